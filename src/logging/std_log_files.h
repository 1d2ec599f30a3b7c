#pragma once
// The file operations of a save through the standard library, for tapwise-cli and tests.
#include "logging/log_saving.h"

#include <filesystem>

// Wide paths as the platform names files: UTF-16 on Windows, UTF-8 bytes elsewhere.
std::filesystem::path WidePath(const std::wstring& path);

class StdLogFiles final : public LogFiles {
public:
    bool FolderExists(const std::wstring& folder) override;
    bool CreateFolder(const std::wstring& folder) override;
    bool FileExists(const std::wstring& path) override;
    WriteResult WriteNewFile(const std::wstring& path, const std::string& bytes) override;
    bool MoveOver(const std::wstring& from, const std::wstring& to, std::uint32_t& error) override;
    void RemoveFile(const std::wstring& path) override;
};
