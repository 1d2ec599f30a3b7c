#pragma once
// Import of a keyboard description read from a file: what QMK keeps around a keyboard
// definition is found from the file's place among its folders (keyboards/<name>/...): the
// default keymap, when the definition's keys carry no labels, and the keyboard's name.
#include "layouts/layout_import.h"

#include <filesystem>
#include <string_view>

// Converts json, the content of the file at input. fallbackName becomes the file's name.
// A QMK definition without keyboard_name takes the keyboard_name of the definitions in its
// parent folders, else (for info.json and keyboard.json) the folder names, "crkbd rev1".
// When no key carries a label and options hold no keymap, keymaps/default/keymap.json, then
// keymap.c, is looked for beside the file and in its parent folders up to keyboards/<name>;
// the keymap found is used and named in the first note, and without one the import fails
// with the importer's "no labels" message.
ImportResult ImportLayoutFile(std::string_view json, const std::filesystem::path& input,
                              ImportOptions options);
