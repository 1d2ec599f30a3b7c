#include "logging/log_saving.h"

#include "base/diagnostic_log.h"
#include "logging/event_log.h"

#include <climits>

std::wstring LogSavingTextDefault(int id) {
    switch (id) {
    case kTextLogFolderError:
        return L"Unable to create log file folder.";
    case kTextLogFolderErrorCaption:
        return L"Error Saving Log";
    case kTextLogFileExists:
        return L"Not saved, log file exists!";
    case kTextLogUnknownError:
        return L"Not saved, unknown error!";
    case kTextLogSaved:
        return L"Log saved";
    case kTextReportSaved:
        return L"Report saved";
    case kTextReportExists:
        return L"Not saved, report exists!";
    default:
        return std::wstring();
    }
}

bool DescribeLogStatus(int status, LogStatusDisplay& display) {
    switch (status) {
    case LogStatusNone:
        display = {false, 0, kLogStatusNormalColour};
        return true;
    case LogStatusFileExists:
        display = {true, kTextLogFileExists, kLogStatusErrorColour};
        return true;
    case LogStatusUnknownError:
        display = {true, kTextLogUnknownError, kLogStatusErrorColour};
        return true;
    case LogStatusSaved:
        display = {true, kTextLogSaved, kLogStatusNormalColour};
        return true;
    case LogStatusReportSaved:
        display = {true, kTextReportSaved, kLogStatusNormalColour};
        return true;
    case LogStatusReportExists:
        display = {true, kTextReportExists, kLogStatusErrorColour};
        return true;
    default:
        return false;
    }
}

void UpdateLogStatus(int status, StatusLabel& label) {
    LogStatusDisplay display;
    if (!DescribeLogStatus(status, display)) {
        LogMessage(L"Invalid log status (%d).\n", status);
        label.Show(false);
        return;
    }
    label.SetStatusText(display.textId, display.colour);
    label.Show(display.visible);
}

int ParseSequenceNumber(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return static_cast<int>(value);
}

std::wstring FormatSequenceNumber(int number) {
    return FormatWide(L"%05d", number);
}

const wchar_t* const kReportFileExtensions[kReportFileCount] = {L".html", L".csv", L".log",
                                                                L".trace"};

std::wstring LogFilePath(const std::wstring& folder, const std::wstring& prefix, int number) {
    return NumberedFilePath(folder, prefix, number, L".log");
}

std::wstring NumberedFilePath(const std::wstring& folder, const std::wstring& prefix, int number,
                              const wchar_t* extension) {
    std::wstring path = folder;
    if (path.empty() || path.back() != L'\\') {
        path.push_back(L'\\');
    }
    return path + FormatWide(L"%ls%05d%ls", prefix.c_str(), number, extension);
}

namespace {

// Writes a new file completely or leaves nothing behind.
bool WriteWholeFile(LogFiles& files, const std::wstring& path, const std::string& bytes) {
    const auto result = files.WriteNewFile(path, bytes);
    if (!result.created) {
        LogMessage(L"Error creating file \"%ls\", 0x%08x\n", path.c_str(), result.error);
        return false;
    }
    if (!result.complete) {
        LogMessage(L"Error writing file \"%ls\", 0x%08x\n", path.c_str(), result.error);
        files.RemoveFile(path);
        return false;
    }
    return true;
}

} // namespace

bool SaveLogText(LogFiles& files, const std::wstring& path, std::wstring_view text,
                 bool overwrite) {
    const std::string bytes = EncodeLogFileBytes(text);
    if (!overwrite) {
        return WriteWholeFile(files, path, bytes);
    }
    return WriteFilesWhole(files, {FileContent{path, bytes}});
}

int LogSaver::GetSequenceNumber(LogSavePage& page) {
    const std::wstring text = page.SequenceText();
    LogMessage(L"Sequence number %ls\n", text.c_str());
    return ParseSequenceNumber(text);
}

void LogSaver::IncrementSequenceNumber(LogSavePage& page) {
    // The largest number stays where it is rather than turning negative.
    if (sequence_ < INT_MAX) {
        ++sequence_;
    }
    page.SetSequenceText(FormatSequenceNumber(sequence_));
}

void LogSaver::ShowSequenceNumber(LogSavePage& page) {
    page.SetSequenceText(FormatSequenceNumber(sequence_));
}

void LogSaver::OnClick_Save(LogSavePage& page, LogFiles& files, const std::wstring& folderSetting,
                            const std::wstring& prefix) {
    sequence_ = GetSequenceNumber(page);
    const std::wstring folder = page.ExpandEnvironment(folderSetting);
    // An empty folder setting would put logs at the root of the current drive; it is
    // treated like a folder that cannot be created.
    if (folder.empty() || (!files.FolderExists(folder) && !files.CreateFolder(folder))) {
        page.ShowFolderError(kTextLogFolderError, kTextLogFolderErrorCaption);
        return;
    }
    const std::wstring path = LogFilePath(folder, prefix, sequence_);
    const bool overwrite = page.OverwriteTicked();
    if (!overwrite && files.FileExists(path)) {
        status_ = LogStatusFileExists;
        UpdateLogStatus(page.LogStatusLabel());
        return;
    }
    if (SaveLogText(files, path, page.LogText(), overwrite)) {
        status_ = LogStatusSaved;
        UpdateLogStatus(page.LogStatusLabel());
        IncrementSequenceNumber(page);
    } else {
        status_ = LogStatusUnknownError;
        UpdateLogStatus(page.LogStatusLabel());
    }
}

void LogSaver::OnClick_Report(LogSavePage& page, LogFiles& files, const std::wstring& folderSetting,
                              const std::wstring& prefix,
                              const std::function<std::vector<std::string>()>& report) {
    sequence_ = GetSequenceNumber(page);
    const std::wstring folder = page.ExpandEnvironment(folderSetting);
    if (folder.empty() || (!files.FolderExists(folder) && !files.CreateFolder(folder))) {
        page.ShowFolderError(kTextLogFolderError, kTextLogFolderErrorCaption);
        return;
    }
    std::vector<FileContent> contents;
    bool taken = false;
    for (const wchar_t* extension : kReportFileExtensions) {
        contents.push_back(FileContent{NumberedFilePath(folder, prefix, sequence_, extension), {}});
        taken = taken || files.FileExists(contents.back().path);
    }
    if (taken && !page.OverwriteTicked()) {
        status_ = LogStatusReportExists;
        UpdateLogStatus(page.LogStatusLabel());
        return;
    }
    std::vector<std::string> bytes = report();
    bytes.resize(kReportFileCount);
    for (std::size_t i = 0; i < kReportFileCount; ++i) {
        contents[i].bytes = std::move(bytes[i]);
    }
    if (WriteFilesWhole(files, contents)) {
        LogMessage(L"Report written to \"%ls\" (.html, .csv, .log, .trace).\n",
                   NumberedFilePath(folder, prefix, sequence_, L"").c_str());
        status_ = LogStatusReportSaved;
        UpdateLogStatus(page.LogStatusLabel());
        IncrementSequenceNumber(page);
    } else {
        status_ = LogStatusUnknownError;
        UpdateLogStatus(page.LogStatusLabel());
    }
}
