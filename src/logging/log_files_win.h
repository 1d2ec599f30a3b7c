#pragma once
// The file operations of a log save on the Windows file system, and the keyboard test page's
// save controls as the save logic sees them.
#include "logging/log_saving.h"

#include <windows.h>

#include <functional>

class WinLogFiles final : public LogFiles {
public:
    bool FolderExists(const std::wstring& folder) override;
    bool CreateFolder(const std::wstring& folder) override;
    bool FileExists(const std::wstring& path) override;
    WriteResult WriteNewFile(const std::wstring& path, const std::string& bytes) override;
    bool MoveOver(const std::wstring& from, const std::wstring& to, std::uint32_t& error) override;
    void RemoveFile(const std::wstring& path) override;
};

// Environment references expanded, with no limit on the length of the result; the text
// itself when it cannot be expanded.
std::wstring ExpandEnvironmentText(const std::wstring& text);

// The sequence-number box, the "Overwrite?" box and the status label of the keyboard test
// page. The log's text comes from `logText`, the message box's texts from `texts` by
// string-table id.
class WinLogSavePage : public LogSavePage {
public:
    WinLogSavePage(HWND page, HWND sequenceBox, HWND overwriteBox, StatusLabel& statusLabel,
                   std::function<std::wstring()> logText, std::function<std::wstring(int)> texts);

    std::wstring SequenceText() override;
    void SetSequenceText(const std::wstring& text) override;
    bool OverwriteTicked() override;
    void ShowFolderError(int textId, int captionId) override;
    StatusLabel& LogStatusLabel() override { return statusLabel_; }
    std::wstring ExpandEnvironment(const std::wstring& text) override;
    std::wstring LogText() override { return logText_(); }

private:
    HWND page_;
    HWND sequenceBox_;
    HWND overwriteBox_;
    StatusLabel& statusLabel_;
    std::function<std::wstring()> logText_;
    std::function<std::wstring(int)> texts_;
};
