#pragma once
// Layout import: a keyboard described in keyboard-layout-editor (KLE) raw data JSON or in a
// QMK keyboard definition (info.json / keyboard.json, with an optional keymap) becomes the
// text of a version-4 .kbl layout that the layout parser loads and a person can edit.
#include <string>
#include <string_view>
#include <vector>

struct ImportOptions {
    std::string name;         // layout name; empty: from the input (or fallbackName)
    std::string fallbackName; // used when neither name nor the input names the layout
    std::string layoutName;   // QMK: the layouts.<NAME> to use; empty: chosen automatically
    std::string keymap;       // QMK: content of keymap.json or keymap.c; empty: labels only
    bool hasKeymap = false;
    std::string keyboardName; // QMK: the keyboard's name when the definition has none
};

struct ImportResult {
    bool ok = false;
    std::string error;              // why the input cannot be used (when !ok)
    bool needsKeymap = false;       // QMK: failed because no key has a label and no keymap
                                    // was given
    std::string text;               // the .kbl text, UTF-8, LF line ends (when ok)
    std::string name;               // the layout's name (the .kbl header without version)
    std::vector<std::string> notes; // one line each: places left blank, warnings
    int keys = 0;                   // keys written with a scan code
    int blanks = 0;                 // places written blank for want of a scan code
};

// The most bytes of an input or keymap the importer reads; larger ones are refused.
std::size_t MaxImportBytes();

// Converts JSON bytes (UTF-8, an optional byte-order mark) to layout text. Never throws.
ImportResult ImportLayout(std::string_view json, const ImportOptions& options);
