#pragma once
// What several fuzz targets share.
#include "base/diagnostic_log.h"

#include <memory>

// Formats every message, as the file logger would, and keeps nothing.
class FormattingLogger final : public Logger {
public:
    void Write(const wchar_t* format, va_list arguments) override {
        FormatWideV(format, arguments);
    }
};

// Installs a FormattingLogger on the first call.
inline void InstallFormattingLoggerOnce() {
    static const bool installed = [] {
        InstallLogger(std::make_unique<FormattingLogger>());
        return true;
    }();
    (void)installed;
}
