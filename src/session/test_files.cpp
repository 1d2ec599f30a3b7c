#include "session/test_files.h"

#include "logging/event_log.h"

#include <utility>

std::vector<std::string> RecordedTestFiles(const KeyTestSession& session,
                                           const ReportContext& context,
                                           std::wstring_view logText) {
    const TestReport report = session.Report(context);
    TraceHeader header;
    header.programVersion = context.programVersion;
    header.layoutName = context.layoutName;
    header.layoutFile = session.LayoutFile();
    header.threshold = context.threshold;
    header.clock = context.clockText;
    return {WriteReportHtml(report), WriteReportCsv(report), EncodeLogFileBytes(logText),
            WriteTrace(header, session.Recording())};
}

std::vector<FileContent> TestFileSet(const std::wstring& basePath, std::vector<std::string> bytes) {
    bytes.resize(kReportFileCount);
    std::vector<FileContent> files;
    files.reserve(kReportFileCount);
    for (std::size_t i = 0; i < kReportFileCount; ++i) {
        files.push_back(FileContent{basePath + kReportFileExtensions[i], std::move(bytes[i])});
    }
    return files;
}
