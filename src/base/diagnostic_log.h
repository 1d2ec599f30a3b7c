#pragma once
// The process-wide diagnostic log. Every subsystem writes through LogMessage; where
// the text goes is decided once at start-up by installing a Logger.
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>

class Logger {
public:
    virtual void Write(const wchar_t* format, va_list arguments) = 0;
    virtual ~Logger() = default;
};

class NullLogger final : public Logger {
public:
    void Write(const wchar_t*, va_list) override {}
};

// Writes each message as UTF-8 with CR LF line ends and flushes it at once, so a crash
// never loses the last messages. Characters above U+00FF survive as UTF-8 instead of
// being squeezed into one byte.
class FileLogger final : public Logger {
public:
    // An empty stream (the file could not be opened) silently drops every message.
    explicit FileLogger(const std::wstring& path);
    ~FileLogger() override;
    FileLogger(const FileLogger&) = delete;
    FileLogger& operator=(const FileLogger&) = delete;

    void Write(const wchar_t* format, va_list arguments) override;
    bool IsOpen() const { return stream_ != nullptr; }

private:
    std::FILE* stream_ = nullptr;
};

// Writes each message as UTF-8 to a stream it does not own (the CLI's standard error).
class StreamLogger final : public Logger {
public:
    explicit StreamLogger(std::FILE* stream) : stream_(stream) {}
    void Write(const wchar_t* format, va_list arguments) override;

private:
    std::FILE* stream_;
};

// Collects every message into one string (tests).
class StringLogger final : public Logger {
public:
    void Write(const wchar_t* format, va_list arguments) override;
    const std::wstring& Text() const { return text_; }
    void Clear() { text_.clear(); }

private:
    std::wstring text_;
};

// Installs the process-wide logger and returns the previous one. The program installs
// its logger once, first thing in its entry function; tests and the CLI may swap it.
std::unique_ptr<Logger> InstallLogger(std::unique_ptr<Logger> logger);

// One call is one message. Safe from any thread; dropped while no logger is installed.
void LogMessage(const wchar_t* format, ...);

// printf-style formatting of a wide format into a string of any length.
std::wstring FormatWideV(const wchar_t* format, va_list arguments);
std::wstring FormatWide(const wchar_t* format, ...);
