// The text loader and the name reader on any UTF-8 text, at three key sizes; a loaded
// layout must satisfy the layout invariants.
#include "base/diagnostic_log.h"
#include "base/utf8.h"
#include "fuzz_support.h"
#include "layouts/key_names.h"
#include "layouts/keyboard_layout.h"
#include "layouts/layout_parser.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InstallFormattingLoggerOnce();
    if (size == 0) {
        return 0;
    }
    static const int kKeySizes[] = {36, 10, 1000000, 7};
    const int keySize = kKeySizes[data[0] % 4];
    const std::wstring text =
        DecodeUtf8(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));

    KeyboardLayout layout;
    KeyNameTable names;
    bool reachedEnd = false;
    const bool loaded = LoadLayoutText(text, keySize, layout, names, &reachedEnd);
    if (loaded) {
        int width = 0;
        int height = 0;
        for (const LayoutKey& key : layout.keys) {
            width = std::max(width, key.right);
            height = std::max(height, key.bottom);
        }
        if (layout.keys.empty() || !reachedEnd || width != layout.width ||
            height != layout.height) {
            std::abort();
        }
    }
    if (reachedEnd && names.Entries().size() < 127) {
        std::abort();
    }
    for (const LayoutKey& key : layout.keys) {
        names.Lookup(key.scanCode);
    }
    ReadLayoutTextName(text);
    return 0;
}
