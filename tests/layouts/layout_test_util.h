#pragma once
// Small helpers shared by the layout tests.
#include "layouts/key_names.h"
#include "layouts/keyboard_layout.h"
#include "layouts/layout_parser.h"

#include <iterator>
#include <string>

// A text-loader run with its log.
struct TextLoad {
    bool loaded = false;
    bool reachedEnd = false;
    KeyboardLayout layout;
    KeyNameTable names;
    std::wstring log;
};

TextLoad LoadText(const std::wstring& text, int keyDimensions = 36);

// The key at index in list order.
inline const LayoutKey& KeyAt(const KeyboardLayout& layout, std::size_t index) {
    return *std::next(layout.keys.begin(), static_cast<std::ptrdiff_t>(index));
}
