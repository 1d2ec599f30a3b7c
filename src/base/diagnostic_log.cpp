#include "base/diagnostic_log.h"

#include "base/utf8.h"

#include <atomic>
#include <cwchar>
#include <vector>

namespace {

// Constant-initialised, so no static initialiser of another file can see it unset
// by accident of ordering: it is null until the entry function installs a logger.
std::atomic<Logger*> g_logger{nullptr};

std::string ToFileBytes(const std::wstring& text) {
    std::string utf8 = EncodeUtf8(text);
    std::string out;
    out.reserve(utf8.size() + 8);
    for (char c : utf8) {
        if (c == '\n') {
            out.push_back('\r');
        }
        out.push_back(c);
    }
    return out;
}

} // namespace

std::wstring FormatWideV(const wchar_t* format, va_list arguments) {
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list copy;
        va_copy(copy, arguments);
        const int written = std::vswprintf(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (written >= 0 && static_cast<size_t>(written) < buffer.size()) {
            return std::wstring(buffer.data(), static_cast<size_t>(written));
        }
        // vswprintf reports a too-small buffer and a bad format the same way; stop growing
        // at a size no diagnostic message reaches.
        if (buffer.size() >= (1u << 20)) {
            return std::wstring();
        }
        buffer.resize(buffer.size() * 4);
    }
}

std::wstring FormatWide(const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::wstring text = FormatWideV(format, arguments);
    va_end(arguments);
    return text;
}

FileLogger::FileLogger(const std::wstring& path) {
#ifdef _WIN32
    stream_ = _wfopen(path.c_str(), L"wb");
#else
    stream_ = std::fopen(EncodeUtf8(path).c_str(), "wb");
#endif
}

FileLogger::~FileLogger() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
}

void FileLogger::Write(const wchar_t* format, va_list arguments) {
    if (stream_ == nullptr) {
        return;
    }
    const std::string bytes = ToFileBytes(FormatWideV(format, arguments));
    // One fwrite per message: the stream's own lock keeps messages of different
    // threads from interleaving.
    std::fwrite(bytes.data(), 1, bytes.size(), stream_);
    std::fflush(stream_);
}

void StreamLogger::Write(const wchar_t* format, va_list arguments) {
    const std::string bytes = EncodeUtf8(FormatWideV(format, arguments));
    std::fwrite(bytes.data(), 1, bytes.size(), stream_);
    std::fflush(stream_);
}

void StringLogger::Write(const wchar_t* format, va_list arguments) {
    text_ += FormatWideV(format, arguments);
}

std::unique_ptr<Logger> InstallLogger(std::unique_ptr<Logger> logger) {
    return std::unique_ptr<Logger>(g_logger.exchange(logger.release()));
}

void LogMessage(const wchar_t* format, ...) {
    Logger* logger = g_logger.load(std::memory_order_acquire);
    if (logger == nullptr) {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
    logger->Write(format, arguments);
    va_end(arguments);
}
