#include "cli/cli_report.h"

#include "base/diagnostic_log.h"
#include "base/utf8.h"
#include "cli/cli_files.h"
#include "logging/std_log_files.h"
#include "settings/settings_page.h"

#include <cstdio>
#include <ctime>
#include <vector>

namespace {

bool LocalNow(std::tm& now) {
    const std::time_t seconds = std::time(nullptr);
#ifdef _WIN32
    return localtime_s(&now, &seconds) == 0;
#else
    return localtime_r(&seconds, &now) != nullptr;
#endif
}

} // namespace

ReportContext ReplayReportContext(const std::wstring& layoutName, std::uint32_t threshold,
                                  const std::wstring& traceFile, std::int64_t clockNow) {
    ReportContext context;
    context.layoutName = layoutName;
    context.threshold = threshold;
    context.interfaceText = L"Replayed trace";
    context.deviceText = traceFile;
    context.inputLanguage = L"(not recorded)";
    context.programVersion = ProgramVersionText() + L" (tapwise-cli)";
    context.clockNow = clockNow;
    std::tm now{};
    if (LocalNow(now)) {
        context.dateTime =
            FormatWide(L"%04d-%02d-%02d %02d:%02d:%02d", now.tm_year + 1900, now.tm_mon + 1,
                       now.tm_mday, now.tm_hour, now.tm_min, now.tm_sec);
        context.timeOfDayNow =
            static_cast<std::uint32_t>(((now.tm_hour * 60 + now.tm_min) * 60 + now.tm_sec) * 1000);
    }
    return context;
}

bool WriteReportFiles(const TestReport& report, const std::string& htmlFile,
                      const std::string& csvFile) {
    StdLogFiles files;
    std::vector<FileContent> contents;
    if (!htmlFile.empty()) {
        contents.push_back(FileContent{ArgumentToWide(htmlFile), WriteReportHtml(report)});
    }
    if (!csvFile.empty()) {
        contents.push_back(FileContent{ArgumentToWide(csvFile), WriteReportCsv(report)});
    }
    if (contents.empty()) {
        return true;
    }
    std::vector<std::wstring> stranded;
    const FileSetResult result = ReplaceFileSet(files, contents, &stranded);
    if (result == FileSetResult::Written) {
        return true;
    }
    std::string names;
    for (const std::string* file : {&htmlFile, &csvFile}) {
        if (!file->empty()) {
            names += (names.empty() ? "'" : " and '") + *file + "'";
        }
    }
    if (result == FileSetResult::Unchanged) {
        std::fprintf(stderr, "tapwise-cli replay: cannot write %s; nothing was written\n",
                     names.c_str());
        return false;
    }
    std::string kept;
    for (const std::wstring& name : stranded) {
        kept += (kept.empty() ? "'" : ", '") + EncodeUtf8(name) + "'";
    }
    std::fprintf(stderr,
                 "tapwise-cli replay: cannot write %s; nothing new was written, but an earlier "
                 "file could not be put back and is kept as %s\n",
                 names.c_str(), kept.c_str());
    return false;
}
