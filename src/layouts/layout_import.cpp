#include "layouts/layout_import.h"

#include "layouts/import_json.h"
#include "layouts/kbl_writer.h"
#include "layouts/kle_reader.h"
#include "layouts/legend_table.h"
#include "layouts/qmk_keycodes.h"
#include "layouts/qmk_reader.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <new>

namespace {

std::string At(const ImportedKey& key) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "(%g, %g)", key.inputX, key.inputY);
    return buffer;
}

std::string Hex(ScanCode code) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%02X", static_cast<unsigned>(code));
    return buffer;
}

bool Fail(ImportResult& result, const std::string& error) {
    result = ImportResult();
    result.error = error;
    return false;
}

// Keycodes of the keymap on the keys of a QMK layout.
bool ApplyKeymap(const std::vector<std::string>& keycodes, QmkBoard& board, std::string& error) {
    if (keycodes.size() != board.keys.size()) {
        error = "the keymap has " + std::to_string(keycodes.size()) + " keycodes for the " +
                std::to_string(board.keys.size()) + " keys of " + board.layoutName;
        return false;
    }
    for (std::size_t i = 0; i < keycodes.size(); ++i) {
        ImportedKey& key = board.keys[i];
        key.keycode = keycodes[i];
        key.mapped = QmkKeycodeToScanCode(key.keycode, key.code);
        if (!key.mapped) {
            key.what = key.keycode;
            continue;
        }
        std::string label;
        DescribeScanCode(key.code, label, key.name);
        const std::string legend =
            key.legends.empty() ? std::string() : PlainLegend(key.legends[0]);
        key.label = legend.empty() ? label : legend;
    }
    return true;
}

// The keys of an input and what the layout text is to say about it.
struct Board {
    std::vector<ImportedKey> keys;
    std::string name;
    std::string comment;
    int rotated = 0;
};

const char kNoLabels[] = "the layout has no labels: give its keymap with --keymap "
                         "(keymaps/default/keymap.json or keymap.c)";

bool ReadQmk(const nlohmann::json& value, const ImportOptions& options, Board& out,
             ImportResult& result) {
    std::string error;
    if (!options.hasKeymap && !QmkHasLabels(value)) {
        // Faults of the definition itself come first: a keymap would not mend them.
        if (!CheckQmkLayouts(value, error)) {
            return Fail(result, error);
        }
        Fail(result, kNoLabels);
        result.needsKeymap = true;
        return false;
    }
    std::vector<std::string> keycodes;
    std::string keymapLayout;
    if (options.hasKeymap && !ReadQmkKeymap(options.keymap, keycodes, keymapLayout, error)) {
        return Fail(result, error);
    }
    QmkBoard board;
    if (!ReadQmkBoard(value, options.layoutName, keymapLayout, board, error)) {
        return Fail(result, error);
    }
    if (options.hasKeymap) {
        if (!ApplyKeymap(keycodes, board, error)) {
            return Fail(result, error);
        }
    } else if (std::none_of(board.keys.begin(), board.keys.end(), [](const ImportedKey& key) {
                   return !key.legends.empty() && !key.legends[0].empty();
               })) {
        Fail(result, kNoLabels); // other layouts of the keyboard have labels, this one none
        result.needsKeymap = true;
        return false;
    } else {
        IdentifyByLegends(board.keys);
    }
    const std::string keyboard = !board.keyboardName.empty()     ? board.keyboardName
                                 : !options.keyboardName.empty() ? options.keyboardName
                                                                 : options.fallbackName;
    out.name = keyboard.empty() ? board.layoutName : keyboard + " " + board.layoutName;
    out.comment = "Imported from the QMK layout " + board.layoutName +
                  (options.hasKeymap ? " with its keymap's base layer" : " by its labels");
    out.rotated = board.rotatedKeys;
    out.keys = std::move(board.keys);
    return true;
}

bool ReadKle(const nlohmann::json& value, const ImportOptions& options, Board& out,
             ImportResult& result) {
    if (!options.layoutName.empty() || options.hasKeymap) {
        return Fail(result, "a layout name and a keymap belong to QMK keyboard definitions; "
                            "this is KLE raw data");
    }
    KleBoard board;
    std::string error;
    if (!ReadKleBoard(value, board, error)) {
        return Fail(result, error);
    }
    IdentifyByLegends(board.keys);
    out.name = board.name.empty() ? options.fallbackName : board.name;
    out.comment = "Imported from keyboard-layout-editor raw data";
    out.rotated = board.rotatedKeys;
    out.keys = std::move(board.keys);
    return true;
}

// Counts the keys and blanks and notes the blanks, codes used twice and rotated keys;
// false when no key has a scan code.
bool CountKeys(const Board& board, ImportResult& result) {
    result = ImportResult();
    std::map<ScanCode, const ImportedKey*> first;
    for (const ImportedKey& key : board.keys) {
        if (!key.mapped) {
            result.notes.push_back("no scan code for '" + LineText(key.what, 60) + "' at " +
                                   At(key) + ": left blank");
            ++result.blanks;
            continue;
        }
        ++result.keys;
        const auto [seen, inserted] = first.emplace(key.code, &key);
        if (!inserted) {
            result.notes.push_back("warning: scan code " + Hex(key.code) + " on two keys, '" +
                                   LineText(seen->second->name, 40) + "' at " + At(*seen->second) +
                                   " and '" + LineText(key.name, 40) + "' at " + At(key) +
                                   "; both kept");
        }
    }
    if (result.keys == 0) {
        return Fail(result, "no key of the input has a scan code (" +
                                std::to_string(result.blanks) +
                                (result.blanks == 1 ? " key" : " keys") +
                                ", none known by its label or keycode)");
    }
    if (board.rotated > 0) {
        result.notes.push_back("warning: " + std::to_string(board.rotated) +
                               (board.rotated == 1 ? " rotated key" : " rotated keys") +
                               " placed at the bounding box of the rotated position");
    }
    return true;
}

bool Convert(std::string_view json, const ImportOptions& options, ImportResult& result) {
    if (json.size() > kMaxImportBytes) {
        return Fail(result, "the file is larger than " + std::to_string(kMaxImportBytes / 1024) +
                                " KB; keyboard descriptions are far smaller");
    }
    nlohmann::json value;
    std::string error;
    if (!ReadImportJson(json, value, error)) {
        return Fail(result, error);
    }
    Board board;
    if (IsQmkDefinition(value)) {
        if (!ReadQmk(value, options, board, result)) {
            return false;
        }
    } else if (value.is_array()) {
        if (!ReadKle(value, options, board, result)) {
            return false;
        }
    } else if (value.is_object() && value.contains("layers")) {
        return Fail(result, "this is a QMK keymap: give the keyboard's info.json or keyboard.json "
                            "as the input and the keymap with --keymap");
    } else {
        return Fail(result, "neither KLE raw data (an array of rows) nor a QMK keyboard "
                            "definition (an object with \"layouts\")");
    }
    if (!options.name.empty()) {
        board.name = options.name;
    }
    if (board.name.empty()) {
        board.name = "Imported layout";
    }
    if (board.keys.empty()) {
        return Fail(result, "the input holds no keys");
    }
    if (!CountKeys(board, result)) {
        return false;
    }
    KblText kbl;
    if (!WriteKbl(board.name, board.comment, board.keys, kbl, error)) {
        return Fail(result, error);
    }
    result.notes.insert(result.notes.end(), kbl.notes.begin(), kbl.notes.end());
    result.text = std::move(kbl.text);
    result.name = result.text.substr(0, result.text.find(",4\n"));
    result.ok = true;
    return true;
}

} // namespace

std::size_t MaxImportBytes() {
    return kMaxImportBytes;
}

ImportResult ImportLayout(std::string_view json, const ImportOptions& options) {
    ImportResult result;
    try {
        Convert(json, options, result);
    } catch (const std::bad_alloc&) {
        Fail(result, "not enough memory to read the input");
    } catch (const std::exception& e) {
        Fail(result, std::string("the input cannot be read: ") + e.what());
    }
    return result;
}
