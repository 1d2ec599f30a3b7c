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

// True when some key of some layout carries a label to tell it by.
bool QmkHasLabels(const nlohmann::json& definition);

// Reads the layout `wanted` (through layout_aliases); when empty, the layout the keymap
// names (an error when the keyboard has no such layout), else the only layout or the one
// LAYOUT stands for. keymapLayout is what the keymap names, or empty.
bool ReadQmkBoard(const nlohmann::json& definition, const std::string& wanted,
                  const std::string& keymapLayout, QmkBoard& board, std::string& error);

// Reads every layout of the definition; false with the first fault found.
bool CheckQmkLayouts(const nlohmann::json& definition, std::string& error);

// The keycodes of a keymap's base layer, in layout order: layer 0 of a keymap.json's
// "layers", or the arguments of the first LAYOUT...(...) of a keymap.c (lines continued with
// a backslash joined first). layoutName gets the keymap.json's "layout" or the keymap.c's
// LAYOUT... macro name.
bool ReadQmkKeymap(std::string_view text, std::vector<std::string>& keycodes,
                   std::string& layoutName, std::string& error);
