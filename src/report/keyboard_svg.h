#pragma once
// The keyboard as an inline SVG picture, drawn as the keyboard view draws it: each key's
// shape (L-shaped keys included) in a fill colour of its own, its label centred, and a
// title that a browser shows as the key's tooltip.
#include "base/colour.h"
#include "layouts/keyboard_layout.h"

#include <string>
#include <vector>

struct SvgKey {
    LayoutKey key;      // geometry
    std::wstring label; // as printed: line breaks start new lines
    std::wstring title;
    Colour fill = 0;
};

// A <div class="keyboard"> holding the picture of width x height pixels. A label on a dark
// fill is written in white.
void AppendKeyboardSvg(std::string& out, int width, int height, const std::vector<SvgKey>& keys);
