#pragma once
// Writes identified keys as version-4 layout text: rows from the keys' heights, blank
// places for gaps and for keys without a scan code, two-row keys for keys two units high
// (and the L-shaped Enter), blank rows for vertical gaps.
#include "layouts/imported_key.h"

#include <string>
#include <vector>

struct KblText {
    std::string text;
    std::vector<std::string> notes; // warnings about geometry that had to change
};

// False with a message when the keys cannot form a layout (no key, more than 8 rows, more
// than 1000 lines).
bool WriteKbl(const std::string& name, const std::string& comment,
              const std::vector<ImportedKey>& keys, KblText& out, std::string& error);

// Places a layout row can hold at most: rows are numbered 1 to 8.
constexpr int kMaxLayoutRows = 8;
