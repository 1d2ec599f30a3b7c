#pragma once
// One key as an importer read it, before it becomes a line of layout text.
#include "base/scan_code.h"

#include <string>
#include <string_view>
#include <vector>

struct ImportedKey {
    // Main rectangle in key units, y downwards; for a rotated key, the bounding box of its
    // rotated rectangles.
    double x = 0;
    double y = 0;
    double w = 1;
    double h = 1;
    // KLE's second rectangle (ISO, JIS and ABNT2 Enter), absolute like the first.
    bool hasSecond = false;
    double x2 = 0;
    double y2 = 0;
    double w2 = 1;
    double h2 = 1;
    bool rotated = false;
    // Where the input puts the key, for messages.
    double inputX = 0;
    double inputY = 0;
    std::vector<std::string> legends; // KLE label lines, or the QMK label as one line
    std::string keycode;              // QMK keycode from a keymap; empty without one

    // Filled by identification.
    bool mapped = false;
    ScanCode code = 0;
    std::string label; // drawn on the key, lines separated by LF
    std::string name;  // the key's name in the event log
    std::string what;  // the legend or keycode named when the key is left blank
};

// The most keys an input may hold: a layout file has at most 1000 lines.
constexpr std::size_t kMaxImportKeys = 990;

// Turns the key's rectangles by degrees (clockwise on screen) about the origin and makes
// the key the bounding box of the result, a single rectangle.
void RotateToBoundingBox(ImportedKey& key, double degrees, double originX, double originY);

// The error text for a number outside [low, high] (non-finite numbers included), or empty.
std::string CheckRange(const char* what, double value, double low, double high);

// Text that may stand in one field of a layout line: every control character (C0, DEL, C1
// and the Unicode line and paragraph separators) becomes a space, a byte that is not part of
// valid UTF-8 becomes '?', and the result is cut at a character boundary to at most `limit`
// bytes. Applied after all decoding, so that no input can break or add a line.
std::string LineText(std::string_view text, std::size_t limit);
