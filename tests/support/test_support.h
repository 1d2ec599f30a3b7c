#pragma once
// Helpers shared by the test programs on both sides.
#include "base/diagnostic_log.h"

#include <filesystem>
#include <memory>
#include <string>

// Captures every diagnostic message for the lifetime of the object and restores the
// previous logger afterwards.
class CapturedLog {
public:
    CapturedLog();
    ~CapturedLog();
    CapturedLog(const CapturedLog&) = delete;
    CapturedLog& operator=(const CapturedLog&) = delete;

    const std::wstring& Text() const { return logger_->Text(); }
    void Clear() { logger_->Clear(); }

private:
    StringLogger* logger_;
    std::unique_ptr<Logger> previous_;
};

// A fresh, empty folder under the system temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The whole content of a file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
