#pragma once
// Keyboard-layout-editor raw data: rows of keys and property objects, optionally led by a
// metadata object. Positions follow KLE's rules: x and y relative and carried from key to
// key, w and h reset after each key, a new row one unit lower at the rotation origin's x.
#include "layouts/imported_key.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

struct KleBoard {
    std::string name; // the metadata's name, when given
    std::vector<ImportedKey> keys;
    int rotatedKeys = 0;
};

// False with a message naming the row and item when the value is not usable KLE data.
bool ReadKleBoard(const nlohmann::json& rows, KleBoard& board, std::string& error);
