#pragma once
// The .kbl layout parser: turns layout text into a KeyboardLayout with pixel geometry.
// Every failure is reported through LogMessage only; the result says whether a usable
// layout (at least one key) was produced.
#include "layouts/keyboard_layout.h"

#include <istream>
#include <string>

class KeyNameTable;

// Why a file load failed, for the user: the line it stopped at (0 when no line is to blame)
// and the parser's message without its line end.
struct LayoutLoadFailure {
    int line = 0;
    std::wstring reason;
};

// Loads a layout file (UTF-8, byte-order mark skipped, header "Name[,version]").
// keyDimensions is the size of one key unit in pixels. On success, and also when the
// whole file was read but yielded no key, names is rebuilt from the new key list.
// reachedEnd, when given, tells whether the load read its text to the end (names was
// rebuilt) rather than stopping at an error.
// failure, when given, receives the reason of a failed load.
bool LoadLayoutFile(const std::wstring& path, int keyDimensions, KeyboardLayout& layout,
                    KeyNameTable& names, bool* reachedEnd = nullptr,
                    LayoutLoadFailure* failure = nullptr);

// The file loader's work on content already opened (the layout is cleared first; the
// "Loading" message and the open are LoadLayoutFile's).
bool LoadLayoutStream(std::istream& stream, int keyDimensions, KeyboardLayout& layout,
                      KeyNameTable& names, bool* reachedEnd = nullptr,
                      LayoutLoadFailure* failure = nullptr);

// Loads layout text held in memory: the first line is the name, every CR and every LF
// ends a line, the version is always 4.
bool LoadLayoutText(const std::wstring& text, int keyDimensions, KeyboardLayout& layout,
                    KeyNameTable& names, bool* reachedEnd = nullptr);

// Draws a loaded layout at another size: keyDimensions pixels per key unit, from the units
// its keys were read with, exactly as a load at that size would; states and names stay.
void ScaleLayout(KeyboardLayout& layout, int keyDimensions);

// The name of a layout file without loading it; empty when it cannot be read.
std::wstring ReadLayoutName(const std::wstring& path);

// The name of layout text without loading it; empty (with a message) when there is none.
std::wstring ReadLayoutTextName(const std::wstring& text);
