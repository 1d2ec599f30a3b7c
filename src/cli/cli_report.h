#pragma once
// The report files of tapwise-cli replay, written by the program's own report writers.
#include "report/report_model.h"

#include <string>

// The context of a replayed trace: no device or input language was recorded; the local time
// now stands for the moment of the trace's last record.
ReportContext ReplayReportContext(const std::wstring& layoutName, std::uint32_t threshold,
                                  const std::wstring& traceFile, std::int64_t clockNow);

// Each non-empty path gets its file, written whole or not at all; on failure a message on
// standard error and false.
bool WriteReportFiles(const TestReport& report, const std::string& htmlFile,
                      const std::string& csvFile);
