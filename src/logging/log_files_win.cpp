#include "logging/log_files_win.h"

#include "base/diagnostic_log.h"

#include <shlwapi.h>

#include <vector>

bool WinLogFiles::FolderExists(const std::wstring& folder) {
    return PathFileExistsW(folder.c_str()) != FALSE;
}

bool WinLogFiles::CreateFolder(const std::wstring& folder) {
    return CreateDirectoryW(folder.c_str(), nullptr) != FALSE;
}

bool WinLogFiles::FileExists(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

LogFiles::WriteResult WinLogFiles::WriteNewFile(const std::wstring& path,
                                                const std::string& bytes) {
    WriteResult result;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        result.error = GetLastError();
        result.alreadyExists =
            result.error == ERROR_FILE_EXISTS || result.error == ERROR_ALREADY_EXISTS;
        return result;
    }
    if (file == nullptr) {
        LogMessage(L"File handle invalid.\n");
        return result;
    }
    result.created = true;
    bool written = true;
    if (!bytes.empty()) {
        DWORD count = 0;
        written =
            bytes.size() <= MAXDWORD &&
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) &&
            count == bytes.size();
        if (!written) {
            result.error = GetLastError();
        }
    }
    // A close that fails may have lost buffered data.
    if (!CloseHandle(file) && written) {
        written = false;
        result.error = GetLastError();
    }
    result.complete = written;
    return result;
}

bool WinLogFiles::MoveOver(const std::wstring& from, const std::wstring& to, std::uint32_t& error) {
    // A read-only log is protected from replacement, as it would be from being rewritten, and
    // from being moved aside for one. Only files move.
    for (const std::wstring* path : {&from, &to}) {
        const DWORD attributes = GetFileAttributesW(path->c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
            error = ERROR_ACCESS_DENIED;
            return false;
        }
    }
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    error = GetLastError();
    return false;
}

void WinLogFiles::RemoveFile(const std::wstring& path) {
    DeleteFileW(path.c_str());
}

std::wstring ExpandEnvironmentText(const std::wstring& text) {
    if (text.empty()) {
        return text;
    }
    const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0) {
        return text;
    }
    std::vector<wchar_t> buffer(static_cast<std::size_t>(needed) + 1, L'\0');
    const DWORD written =
        ExpandEnvironmentStringsW(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (written == 0 || written > buffer.size()) {
        return text;
    }
    return std::wstring(buffer.data());
}

WinLogSavePage::WinLogSavePage(HWND page, HWND sequenceBox, HWND overwriteBox,
                               StatusLabel& statusLabel, std::function<std::wstring()> logText,
                               std::function<std::wstring(int)> texts)
    : page_(page), sequenceBox_(sequenceBox), overwriteBox_(overwriteBox),
      statusLabel_(statusLabel), logText_(std::move(logText)), texts_(std::move(texts)) {}

std::wstring WinLogSavePage::SequenceText() {
    const int length = GetWindowTextLengthW(sequenceBox_);
    if (length <= 0) {
        return std::wstring();
    }
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(sequenceBox_, buffer.data(), length + 1);
    return std::wstring(buffer.data());
}

void WinLogSavePage::SetSequenceText(const std::wstring& text) {
    SetWindowTextW(sequenceBox_, text.c_str());
}

bool WinLogSavePage::OverwriteTicked() {
    return SendMessageW(overwriteBox_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void WinLogSavePage::ShowFolderError(int textId, int captionId) {
    const std::wstring text = texts_(textId);
    const std::wstring caption = texts_(captionId);
    MessageBoxW(page_, text.c_str(), caption.c_str(), MB_ICONERROR);
}

std::wstring WinLogSavePage::ExpandEnvironment(const std::wstring& text) {
    return ExpandEnvironmentText(text);
}
