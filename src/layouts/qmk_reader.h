#pragma once
// QMK keyboard definitions: the physical layout of info.json / keyboard.json
// (layouts.<NAME>.layout: x, y, w, h, label, r, rx, ry) and the base layer of a keymap.
#include "layouts/imported_key.h"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>
#include <vector>

struct QmkBoard {
    std::string keyboardName; // keyboard_name, when given
    std::string layoutName;   // the layout used
    std::vector<ImportedKey> keys;
    int rotatedKeys = 0;
};

// True when the value looks like a keyboard definition (an object with "layouts").
bool IsQmkDefinition(const nlohmann::json& value);

// Reads the layout `wanted` (empty: the keymap's layout when it names one, the only layout,
// or the one LAYOUT stands for). keymapLayout is what a keymap.json names, or empty.
bool ReadQmkBoard(const nlohmann::json& definition, const std::string& wanted,
                  const std::string& keymapLayout, QmkBoard& board, std::string& error);

// The keycodes of a keymap's base layer, in layout order: layer 0 of a keymap.json's
// "layers", or the arguments of the first LAYOUT...(...) of a keymap.c. layoutName gets the
// keymap.json's "layout" when it has one.
bool ReadQmkKeymap(std::string_view text, std::vector<std::string>& keycodes,
                   std::string& layoutName, std::string& error);
