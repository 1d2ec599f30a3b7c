#include "layouts/import_file.h"

#include "layouts/import_json.h"

#include <fstream>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The path as UTF-8, whatever the system's encoding of paths.
std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

bool IsFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

bool HoldsDefinition(const fs::path& folder) {
    return IsFile(folder / "info.json") || IsFile(folder / "keyboard.json");
}

// A QMK keyboard definition's own file name rather than a name a person gave it.
bool IsDefinitionFileName(const fs::path& file) {
    const std::string name = Lower(Utf8(file.filename()));
    return name == "info.json" || name == "keyboard.json";
}

// The folders QMK merges a keyboard's definition from, nearest first: the file's folder and
// its parents up to keyboards/<name>. Outside a keyboards folder, the file's folder and the
// parents that hold a definition too.
std::vector<fs::path> KeyboardFolders(const fs::path& input) {
    std::error_code error;
    fs::path folder = fs::absolute(input, error).lexically_normal().parent_path();
    if (error) {
        folder = input.parent_path();
    }
    std::vector<fs::path> chain;
    constexpr int kMaxDepth = 8; // QMK nests revisions a few folders deep at most
    for (fs::path at = folder; static_cast<int>(chain.size()) < kMaxDepth; at = at.parent_path()) {
        chain.push_back(at);
        const fs::path parent = at.parent_path();
        if (Lower(Utf8(parent.filename())) == "keyboards") {
            return chain;
        }
        if (parent == at || parent.empty()) {
            break;
        }
    }
    std::vector<fs::path> folders = {folder};
    for (fs::path at = folder.parent_path();
         folders.size() < 4 && at != folders.back() && HoldsDefinition(at); at = at.parent_path()) {
        folders.push_back(at);
    }
    return folders;
}

bool ReadSmallFile(const fs::path& path, std::string& bytes) {
    if (!IsFile(path)) {
        return false;
    }
    std::ifstream stream(path, std::ios::binary);
    if (!stream.is_open()) {
        return false;
    }
    bytes.assign(kMaxImportBytes + 1, '\0');
    stream.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(stream.gcount()));
    return !stream.bad() && bytes.size() <= kMaxImportBytes;
}

// keyboard_name of the nearest definition around the input that has one, else empty.
std::string ParentKeyboardName(const fs::path& input, const std::vector<fs::path>& folders) {
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (i == 0 && !IsDefinitionFileName(input)) {
            continue; // other files beside a dropped-in description are not its definition
        }
        for (const char* file : {"keyboard.json", "info.json"}) {
            const fs::path path = folders[i] / file;
            std::error_code error;
            std::string bytes;
            nlohmann::json definition;
            std::string why;
            if (fs::equivalent(path, input, error) || !ReadSmallFile(path, bytes) ||
                !ReadImportJson(bytes, definition, why) || !definition.is_object()) {
                continue;
            }
            const auto name = definition.find("keyboard_name");
            if (name != definition.end() && name->is_string() &&
                !name->get<std::string>().empty()) {
                return name->get<std::string>();
            }
        }
    }
    return std::string();
}

// "crkbd rev1": the folder names from the outermost keyboard folder down to the file's.
std::string FolderNames(const std::vector<fs::path>& folders) {
    std::string names;
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        const std::string name = Utf8(it->filename());
        if (!name.empty()) {
            names += (names.empty() ? "" : " ") + name;
        }
    }
    return names;
}

bool FindDefaultKeymap(const std::vector<fs::path>& folders, fs::path& found, std::string& bytes) {
    for (const fs::path& folder : folders) {
        for (const char* file : {"keymap.json", "keymap.c"}) {
            const fs::path path = folder / "keymaps" / "default" / file;
            if (ReadSmallFile(path, bytes)) {
                found = path;
                return true;
            }
        }
    }
    return false;
}

} // namespace

ImportResult ImportLayoutFile(std::string_view json, const fs::path& input, ImportOptions options) {
    std::vector<fs::path> folders;
    try {
        options.fallbackName = Utf8(input.stem());
        folders = KeyboardFolders(input);
        if (options.keyboardName.empty()) {
            options.keyboardName = ParentKeyboardName(input, folders);
        }
        if (options.keyboardName.empty() && IsDefinitionFileName(input)) {
            options.keyboardName = FolderNames(folders);
        }
    } catch (const std::exception&) {
        folders.clear(); // a path the file system cannot spell: no search beside the file
    }
    ImportResult result = ImportLayout(json, options);
    if (!result.needsKeymap) {
        return result;
    }
    fs::path keymap;
    try {
        if (!FindDefaultKeymap(folders, keymap, options.keymap)) {
            return result;
        }
    } catch (const std::exception&) {
        return result;
    }
    options.hasKeymap = true;
    result = ImportLayout(json, options);
    const std::string where = Utf8(keymap);
    if (!result.ok) {
        result.error += " (in the default keymap " + where + ")";
        return result;
    }
    result.notes.insert(result.notes.begin(),
                        "the layout has no labels: using the default keymap " + where);
    return result;
}
