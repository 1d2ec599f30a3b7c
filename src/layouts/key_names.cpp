#include "layouts/key_names.h"

#include "layouts/keyboard_layout.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

struct BuiltInName {
    ScanCode code;
    const wchar_t* name;
};

// In insertion order; were a code given twice, the later name would win.
const BuiltInName kBuiltInNames[] = {
    // Escape and function keys
    {0x01, L"ESC"},
    {0x3B, L"F1"},
    {0x3C, L"F2"},
    {0x3D, L"F3"},
    {0x3E, L"F4"},
    {0x3F, L"F5"},
    {0x40, L"F6"},
    {0x41, L"F7"},
    {0x42, L"F8"},
    {0x43, L"F9"},
    {0x44, L"F10"},
    {0x57, L"F11"},
    {0x58, L"F12"},
    // Print, scroll, pause
    {0xE037, L"Print Screen"},
    {0x46, L"Scroll"},
    {0xE11D, L"Pause"},
    {0xE046, L"Break"},
    // Number row
    {0x29, L"\u0060"},
    {0x02, L"1"},
    {0x03, L"2"},
    {0x04, L"3"},
    {0x05, L"4"},
    {0x06, L"5"},
    {0x07, L"6"},
    {0x08, L"7"},
    {0x09, L"8"},
    {0x0A, L"9"},
    {0x0B, L"0"},
    {0x0C, L"-"},
    {0x0D, L"="},
    {0x0E, L"Backspace"},
    // Upper letter row
    {0x0F, L"Tab"},
    {0x10, L"Q"},
    {0x11, L"W"},
    {0x12, L"E"},
    {0x13, L"R"},
    {0x14, L"T"},
    {0x15, L"Y"},
    {0x16, L"U"},
    {0x17, L"I"},
    {0x18, L"O"},
    {0x19, L"P"},
    {0x1A, L"["},
    {0x1B, L"]"},
    {0x1C, L"Enter"},
    {0x2B, L"\\"},
    // Middle letter row
    {0x3A, L"Caps"},
    {0x1E, L"A"},
    {0x1F, L"S"},
    {0x20, L"D"},
    {0x21, L"F"},
    {0x22, L"G"},
    {0x23, L"H"},
    {0x24, L"J"},
    {0x25, L"K"},
    {0x26, L"L"},
    {0x27, L";"},
    {0x28, L"'"},
    // Lower letter row
    {0x2A, L"LShift"},
    {0x2C, L"Z"},
    {0x2D, L"X"},
    {0x2E, L"C"},
    {0x2F, L"V"},
    {0x30, L"B"},
    {0x31, L"N"},
    {0x32, L"M"},
    {0x33, L","},
    {0x34, L"."},
    {0x35, L"/"},
    {0x36, L"RShift"},
    {0x56, L"\\"}, // the extra key of 102-key keyboards
    // Bottom row
    {0x1D, L"LCtrl"},
    {0xE05B, L"LWindows"},
    {0x38, L"LAlt"},
    {0x39, L"Space"},
    {0xE039, L"Space"},
    {0xE038, L"RAlt"},
    {0xE05C, L"RWin"},
    {0x5D, L"RWin"},
    {0xE05D, L"Application"},
    {0x5E, L"Application"},
    {0xE01D, L"RCtrl"},
    // Navigation
    {0xE052, L"Insert"},
    {0xE053, L"Delete"},
    {0xE047, L"Home"},
    {0xE04F, L"End"},
    {0xE049, L"Page Up"},
    {0xE051, L"Page Down"},
    {0xE048, L"Up"},
    {0xE050, L"Down"},
    {0xE04B, L"Left"},
    {0xE04D, L"Right"},
    // Numeric keypad
    {0x45, L"Num Lock"},
    {0xE035, L"Numpad /"},
    {0x37, L"Numpad *"},
    {0x4A, L"Numpad -"},
    {0x47, L"Numpad 7"},
    {0x48, L"Numpad 8"},
    {0x49, L"Numpad 9"},
    {0x4E, L"Numpad +"},
    {0x4B, L"Numpad 4"},
    {0x4C, L"Numpad 5"},
    {0x4D, L"Numpad 6"},
    {0x4F, L"Numpad 1"},
    {0x50, L"Numpad 2"},
    {0x51, L"Numpad 3"},
    {0x52, L"Numpad 0"},
    {0x53, L"Numpad ."},
    {0xE01C, L"Numpad Enter"},
    // Media keys (consumer-page usages as Windows delivers them)
    {0xE019, L"Scan Next Track"},
    {0xE010, L"Scan Previous Track"},
    {0xE024, L"Stop"},
    {0xE022, L"Play/Pause"},
    {0xE020, L"Mute"},
    {0xE030, L"Volume Increment"},
    {0xE02E, L"Volume Decrement"},
    // Application keys
    {0xE06C, L"AL Email Reader"},
    {0xE065, L"AC Search"},
    {0xE032, L"AC Home"},
    {0xE06A, L"AC Back"},
    {0xE069, L"AC Forward"},
    {0xE068, L"AC Stop"},
    {0xE067, L"AC Refresh"},
    {0xE066, L"AC Bookmarks"},
    {0xE021, L"AL Calculator*"},
    {0xE06B, L"AL Local Browser*"},
    {0xE06D, L"AL Consumer Control Configuration*"},
};

// The built-in names by ascending code, each code once with the name that wins.
const std::vector<BuiltInName>& SortedBuiltInNames() {
    static const std::vector<BuiltInName> sorted = [] {
        std::vector<BuiltInName> names;
        // Reversed and stably sorted, the winning (later) name of a code comes first.
        names.assign(std::rbegin(kBuiltInNames), std::rend(kBuiltInNames));
        std::stable_sort(
            names.begin(), names.end(),
            [](const BuiltInName& a, const BuiltInName& b) { return a.code < b.code; });
        names.erase(std::unique(names.begin(), names.end(),
                                [](const BuiltInName& a, const BuiltInName& b) {
                                    return a.code == b.code;
                                }),
                    names.end());
        return names;
    }();
    return sorted;
}

} // namespace

void KeyNameTable::Rebuild(const KeyboardLayout& layout) {
    // The same result as emptying the map and inserting every built-in name, reached by
    // walking the map and the sorted table side by side: entries and their string buffers
    // left by the previous load are reused instead of freed and allocated again.
    auto entry = names_.begin();
    for (const BuiltInName& builtIn : SortedBuiltInNames()) {
        while (entry != names_.end() && entry->first < builtIn.code) {
            entry = names_.erase(entry);
        }
        if (entry != names_.end() && entry->first == builtIn.code) {
            entry->second.assign(builtIn.name);
            ++entry;
        } else {
            names_.emplace_hint(entry, builtIn.code, builtIn.name);
        }
    }
    names_.erase(entry, names_.end());
    for (const LayoutKey& key : layout.keys) {
        std::wstring& name = names_[key.scanCode];
        if (!key.name.empty()) {
            name.assign(key.name);
        } else {
            name.assign(key.label);
            std::replace(name.begin(), name.end(), L'\n', L' ');
        }
    }
}

const std::wstring& KeyNameTable::Lookup(ScanCode code) {
    // operator[] stores the empty entry of a code without a name, as intended.
    return names_[code];
}

KeyNameTable& KeyNames() {
    static KeyNameTable table;
    return table;
}
