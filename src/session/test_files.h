#pragma once
// The files of one recorded test: the report as HTML and CSV, the event log exactly as Save
// writes it, and the trace of every raw record the test was fed. The Report button writes them
// under one number; anything else that records tests can write them under its own names.
#include "logging/file_set.h"
#include "logging/log_saving.h"
#include "report/report_model.h"
#include "session/key_test_session.h"

#include <string>
#include <string_view>
#include <vector>

// The bytes of the files, in the order of kReportFileExtensions (.html, .csv, .log, .trace).
// logText is the whole event log as the view shows it; the trace's header names the context's
// program version, layout and threshold, its clock text and the session's layout file.
std::vector<std::string> RecordedTestFiles(const KeyTestSession& session,
                                           const ReportContext& context, std::wstring_view logText);

// The files at basePath + each extension ("C:\logs\Board00007" gives
// "C:\logs\Board00007.html" and so on), ready for ReplaceFileSet or WriteFilesWhole.
std::vector<FileContent> TestFileSet(const std::wstring& basePath, std::vector<std::string> bytes);
