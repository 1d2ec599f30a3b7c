#pragma once
// What both importer fuzz targets require of a conversion: a failure says why, and layout
// text that was written has at least one key and is read by the file loader to the end,
// without any message, with exactly the keys the conversion reported.
#include "base/diagnostic_log.h"
#include "layouts/key_names.h"
#include "layouts/keyboard_layout.h"
#include "layouts/layout_import.h"
#include "layouts/layout_parser.h"

#include <cstdlib>
#include <memory>
#include <sstream>

class CountingLogger final : public Logger {
public:
    void Write(const wchar_t*, va_list) override { ++count; }
    int count = 0;
};

inline void CheckImport(const ImportResult& result) {
    static CountingLogger* logger = [] {
        auto owned = std::make_unique<CountingLogger>();
        CountingLogger* raw = owned.get();
        InstallLogger(std::move(owned));
        return raw;
    }();
    if (!result.ok) {
        if (result.error.empty()) {
            std::abort();
        }
        return;
    }
    std::istringstream stream(result.text);
    KeyboardLayout layout;
    KeyNameTable names;
    bool reachedEnd = false;
    logger->count = 0;
    const bool loaded = LoadLayoutStream(stream, 36, layout, names, &reachedEnd);
    if (!reachedEnd || logger->count != 0 || !loaded || result.keys <= 0 ||
        static_cast<int>(layout.keys.size()) != result.keys) {
        std::abort();
    }
}
