#include "layouts/qmk_reader.h"

#include "layouts/import_json.h"

#include <cmath>

namespace {

using nlohmann::json;

std::string Names(const json& layouts) {
    std::string names;
    for (const auto& [name, value] : layouts.items()) {
        names += (names.empty() ? "" : ", ") + name;
    }
    return names;
}

// The layout an alias stands for (followed a few steps), or the name itself.
std::string Resolve(const json& definition, std::string name) {
    const auto aliases = definition.find("layout_aliases");
    for (int step = 0; step < 8 && aliases != definition.end() && aliases->is_object(); ++step) {
        const auto target = aliases->find(name);
        if (target == aliases->end() || !target->is_string()) {
            break;
        }
        name = target->get<std::string>();
    }
    return name;
}

bool ChooseLayout(const json& definition, const json& layouts, const std::string& wanted,
                  const std::string& keymapLayout, std::string& chosen, std::string& error) {
    if (!wanted.empty()) {
        chosen = Resolve(definition, wanted);
        if (!layouts.contains(chosen)) {
            error = "no layout named '" + wanted + "'; the layouts are: " + Names(layouts);
            return false;
        }
        return true;
    }
    if (!keymapLayout.empty()) {
        chosen = Resolve(definition, keymapLayout);
        if (!layouts.contains(chosen)) {
            error = "the keymap uses the layout '" + keymapLayout +
                    "', which the keyboard does not have; its layouts are: " + Names(layouts) +
                    " (choose one with --layout)";
            return false;
        }
        return true;
    }
    if (layouts.size() == 1) {
        chosen = layouts.begin().key();
        return true;
    }
    if (layouts.contains(Resolve(definition, "LAYOUT"))) {
        chosen = Resolve(definition, "LAYOUT");
        return true;
    }
    error = "the keyboard has several layouts; choose one with --layout: " + Names(layouts);
    return false;
}

bool ReadNumber(const json& key, const char* name, double fallback, double low, double high,
                double& value, std::string& error) {
    bool present = false;
    value = fallback;
    return ReadJsonNumber(key, name, low, high, present, value, error);
}

bool ReadKey(const json& entry, ImportedKey& key, bool& rotated, std::string& error) {
    if (!entry.is_object()) {
        error = "must be an object with x and y";
        return false;
    }
    if (!entry.contains("x") || !entry.contains("y")) {
        error = "has no x or no y";
        return false;
    }
    constexpr double kFar = 10000;
    double r = 0;
    double rx = 0;
    double ry = 0;
    if (!ReadNumber(entry, "x", 0, -kFar, kFar, key.x, error) ||
        !ReadNumber(entry, "y", 0, -kFar, kFar, key.y, error) ||
        !ReadNumber(entry, "w", 1, 0.01, 100, key.w, error) ||
        !ReadNumber(entry, "h", 1, 0.01, 100, key.h, error) ||
        !ReadNumber(entry, "r", 0, -360, 360, r, error) ||
        !ReadNumber(entry, "rx", 0, -kFar, kFar, rx, error) ||
        !ReadNumber(entry, "ry", 0, -kFar, kFar, ry, error)) {
        return false;
    }
    key.inputX = key.x;
    key.inputY = key.y;
    const auto label = entry.find("label");
    if (label != entry.end()) {
        if (!label->is_string()) {
            error = "'label' must be a string";
            return false;
        }
        key.legends.push_back(label->get<std::string>());
    }
    rotated = std::fmod(r, 360.0) != 0;
    if (rotated) {
        RotateToBoundingBox(key, r, rx, ry);
    }
    return true;
}

// The text with every backslash-newline taken out, as the C preprocessor joins lines
// before anything else.
std::string JoinContinuedLines(std::string_view text) {
    std::string joined;
    joined.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            std::size_t next = i + 1;
            if (next < text.size() && text[next] == '\r') {
                ++next;
            }
            if (next < text.size() && text[next] == '\n') {
                i = next;
                continue;
            }
        }
        joined += text[i];
    }
    return joined;
}

// keymap.c: the text between the parentheses of the first LAYOUT...( after "keymaps",
// split at the commas that are not inside parentheses, comments and literals skipped;
// layoutName gets the macro's name.
bool ReadKeymapC(std::string_view original, std::vector<std::string>& keycodes,
                 std::string& layoutName, std::string& error) {
    const std::string joined = JoinContinuedLines(original);
    const std::string_view text = joined;
    std::string code; // without comments, literals and preprocessor lines
    code.reserve(text.size());
    bool lineStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (lineStart && (c == ' ' || c == '\t')) {
            code += c;
            continue;
        }
        if (lineStart && c == '#') {
            while (i < text.size() && text[i] != '\n') {
                ++i;
            }
            code += '\n';
            continue;
        }
        lineStart = c == '\n';
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            while (i + 1 < text.size() && text[i + 1] != '\n') {
                ++i;
            }
            code += ' ';
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            const std::size_t end = text.find("*/", i + 2);
            i = end == std::string_view::npos ? text.size() : end + 1;
            code += ' ';
        } else if (c == '"' || c == '\'') {
            std::size_t j = i + 1;
            while (j < text.size() && text[j] != c && text[j] != '\n') {
                j += text[j] == '\\' ? 2 : 1;
            }
            i = j;
            code += " 0 ";
        } else {
            code += c;
        }
    }
    const auto isWordChar = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_';
    };
    std::size_t from = code.find("keymaps");
    if (from == std::string::npos) {
        error = "keymap.c: no keymaps array";
        return false;
    }
    std::size_t open = std::string::npos;
    for (std::size_t at = code.find("LAYOUT", from); at != std::string::npos;
         at = code.find("LAYOUT", at + 1)) {
        if (at > 0 && isWordChar(code[at - 1])) {
            continue;
        }
        std::size_t p = at;
        while (p < code.size() && isWordChar(code[p])) {
            ++p;
        }
        while (p < code.size() &&
               (code[p] == ' ' || code[p] == '\t' || code[p] == '\n' || code[p] == '\r')) {
            ++p;
        }
        if (p < code.size() && code[p] == '(') {
            open = p;
            std::size_t end = at;
            while (end < code.size() && isWordChar(code[end])) {
                ++end;
            }
            layoutName = code.substr(at, end - at);
            break;
        }
    }
    if (open == std::string::npos) {
        error = "keymap.c: no LAYOUT...(...) in the keymaps array";
        return false;
    }
    int depth = 0;
    std::string current;
    for (std::size_t p = open + 1; p < code.size(); ++p) {
        const char c = code[p];
        if (c == '(') {
            ++depth;
        } else if (c == ')' && depth == 0) {
            if (!current.empty() || !keycodes.empty()) {
                keycodes.push_back(current);
            }
            return true;
        } else if (c == ')') {
            --depth;
        }
        if (c == ',' && depth == 0) {
            keycodes.push_back(current);
            current.clear();
            if (keycodes.size() > kMaxImportKeys) {
                error = "keymap.c: more than " + std::to_string(kMaxImportKeys) + " keycodes";
                return false;
            }
        } else if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
            current += c;
        }
    }
    error = "keymap.c: the LAYOUT...( has no closing parenthesis";
    return false;
}

} // namespace

bool IsQmkDefinition(const json& value) {
    return value.is_object() && value.contains("layouts");
}

bool QmkHasLabels(const json& definition) {
    const auto layouts = definition.find("layouts");
    if (layouts == definition.end() || !layouts->is_object()) {
        return false;
    }
    for (const auto& [name, layout] : layouts->items()) {
        const auto keys = layout.is_object() ? layout.find("layout") : layout.end();
        if (keys == layout.end() || !keys->is_array()) {
            continue;
        }
        for (const json& key : *keys) {
            const auto label = key.is_object() ? key.find("label") : key.end();
            if (label != key.end() && label->is_string() && !label->get<std::string>().empty()) {
                return true;
            }
        }
    }
    return false;
}

bool ReadQmkBoard(const json& definition, const std::string& wanted,
                  const std::string& keymapLayout, QmkBoard& board, std::string& error) {
    board = QmkBoard();
    const auto name = definition.find("keyboard_name");
    if (name != definition.end() && name->is_string()) {
        board.keyboardName = name->get<std::string>();
    }
    const json& layouts = definition.at("layouts");
    if (!layouts.is_object() || layouts.empty()) {
        error = "'layouts' must be an object holding at least one layout";
        return false;
    }
    if (!ChooseLayout(definition, layouts, wanted, keymapLayout, board.layoutName, error)) {
        return false;
    }
    const json& chosen = layouts.at(board.layoutName);
    const auto keys = chosen.is_object() ? chosen.find("layout") : chosen.end();
    if (keys == chosen.end() || !keys->is_array()) {
        error = "layouts." + board.layoutName + ".layout must be an array of keys";
        return false;
    }
    if (keys->size() > kMaxImportKeys) {
        error = "layouts." + board.layoutName + " has " + std::to_string(keys->size()) +
                " keys; a layout file holds at most 1000 lines";
        return false;
    }
    for (std::size_t i = 0; i < keys->size(); ++i) {
        ImportedKey key;
        bool rotated = false;
        std::string why;
        if (!ReadKey((*keys)[i], key, rotated, why)) {
            error = "layouts." + board.layoutName + ".layout, key " + std::to_string(i + 1) + ": " +
                    why;
            return false;
        }
        board.rotatedKeys += rotated ? 1 : 0;
        board.keys.push_back(std::move(key));
    }
    return true;
}

bool CheckQmkLayouts(const json& definition, std::string& error) {
    QmkBoard board;
    const json& layouts = definition.at("layouts");
    if (!layouts.is_object() || layouts.empty()) {
        return ReadQmkBoard(definition, std::string(), std::string(), board, error);
    }
    for (const auto& [name, layout] : layouts.items()) {
        if (!ReadQmkBoard(definition, name, std::string(), board, error)) {
            return false;
        }
    }
    return true;
}

bool ReadQmkKeymap(std::string_view text, std::vector<std::string>& keycodes,
                   std::string& layoutName, std::string& error) {
    keycodes.clear();
    layoutName.clear();
    if (text.size() > kMaxImportBytes) {
        error = "the keymap is larger than " + std::to_string(kMaxImportBytes / 1024) + " KB";
        return false;
    }
    std::size_t first = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (first < text.size() && (text[first] == ' ' || text[first] == '\t' ||
                                   text[first] == '\n' || text[first] == '\r')) {
        ++first;
    }
    if (first >= text.size() || text[first] != '{') {
        return ReadKeymapC(text, keycodes, layoutName, error);
    }
    json keymap;
    std::string why;
    if (!ReadImportJson(text, keymap, why)) {
        error = "keymap: " + why;
        return false;
    }
    const auto layout = keymap.find("layout");
    if (layout != keymap.end() && layout->is_string()) {
        layoutName = layout->get<std::string>();
    }
    const auto layers = keymap.find("layers");
    if (layers == keymap.end() || !layers->is_array() || layers->empty() ||
        !(*layers)[0].is_array()) {
        error = "keymap: 'layers' must be an array whose first item is the base layer";
        return false;
    }
    const json& base = (*layers)[0];
    if (base.size() > kMaxImportKeys) {
        error = "keymap: more than " + std::to_string(kMaxImportKeys) + " keycodes";
        return false;
    }
    for (std::size_t i = 0; i < base.size(); ++i) {
        if (!base[i].is_string()) {
            error = "keymap: keycode " + std::to_string(i + 1) + " of layer 0 is not a string";
            return false;
        }
        std::string keycode;
        for (char c : base[i].get<std::string>()) {
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
                keycode += c;
            }
        }
        keycodes.push_back(keycode);
    }
    return true;
}
