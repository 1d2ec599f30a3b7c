#include "layouts/legend_table.h"

#include "layouts/key_names.h"
#include "layouts/keyboard_layout.h"
#include "base/utf8.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string_view>
#include <unordered_map>

namespace {

enum class Kind {
    Fixed,   // one code wherever the key is
    Sided,   // code on the left half of the main block, other on the right
    Keypad,  // code in the main block, other on the numeric keypad
    Shifted, // a shifted symbol: used only when no other legend of the key is known
};

struct Entry {
    Kind kind;
    ScanCode code;
    ScanCode other = 0;
    bool character = false; // named after its legend (letters, digits, punctuation)
};

struct Spelling {
    const char* legend; // lower case
    Entry entry;
};

constexpr Entry Fixed(ScanCode code) {
    return {Kind::Fixed, code, 0, false};
}
constexpr Entry Char(ScanCode code) {
    return {Kind::Fixed, code, 0, true};
}
constexpr Entry Sided(ScanCode left, ScanCode right) {
    return {Kind::Sided, left, right, false};
}
constexpr Entry Pad(ScanCode main, ScanCode keypad, bool character = true) {
    return {Kind::Keypad, main, keypad, character};
}
constexpr Entry Shift(ScanCode code) {
    return {Kind::Shifted, code, 0, true};
}

// Legends shared by every family; the JIS and ABNT2 tables below take precedence on their
// boards.
const Spelling kCommon[] = {
    {"esc", Fixed(0x01)},
    {"escape", Fixed(0x01)},
    {"f1", Fixed(0x3B)},
    {"f2", Fixed(0x3C)},
    {"f3", Fixed(0x3D)},
    {"f4", Fixed(0x3E)},
    {"f5", Fixed(0x3F)},
    {"f6", Fixed(0x40)},
    {"f7", Fixed(0x41)},
    {"f8", Fixed(0x42)},
    {"f9", Fixed(0x43)},
    {"f10", Fixed(0x44)},
    {"f11", Fixed(0x57)},
    {"f12", Fixed(0x58)},
    {"f13", Fixed(0x64)},
    {"f14", Fixed(0x65)},
    {"f15", Fixed(0x66)},
    {"f16", Fixed(0x67)},
    {"f17", Fixed(0x68)},
    {"f18", Fixed(0x69)},
    {"f19", Fixed(0x6A)},
    {"f20", Fixed(0x6B)},
    {"f21", Fixed(0x6C)},
    {"f22", Fixed(0x6D)},
    {"f23", Fixed(0x6E)},
    {"f24", Fixed(0x76)},
    {"print screen", Fixed(0xE037)},
    {"printscreen", Fixed(0xE037)},
    {"prtsc", Fixed(0xE037)},
    {"prt sc", Fixed(0xE037)},
    {"prtscn", Fixed(0xE037)},
    {"prtscr", Fixed(0xE037)},
    {"prt scr", Fixed(0xE037)},
    {"prt scn", Fixed(0xE037)},
    {"print", Fixed(0xE037)},
    {"print scrn", Fixed(0xE037)},
    {"prnt scrn", Fixed(0xE037)},
    {"psc", Fixed(0xE037)},
    {"sysrq", Fixed(0xE037)},
    {"prtsc sysrq", Fixed(0xE037)},
    {"prt sc sysrq", Fixed(0xE037)},
    {"print screen sysrq", Fixed(0xE037)},
    {"print scrn sysrq", Fixed(0xE037)},
    {"scroll lock", Fixed(0x46)},
    {"scrolllock", Fixed(0x46)},
    {"scrlk", Fixed(0x46)},
    {"scr lk", Fixed(0x46)},
    {"scroll lk", Fixed(0x46)},
    {"scroll", Fixed(0x46)},
    {"slck", Fixed(0x46)},
    {"pause", Fixed(0xE11D)},
    {"pause break", Fixed(0xE11D)},
    {"pause/break", Fixed(0xE11D)},
    {"break", Fixed(0xE11D)},
    {"pause brk", Fixed(0xE11D)},
    {"pau", Fixed(0xE11D)},
    {"insert", Fixed(0xE052)},
    {"ins", Fixed(0xE052)},
    {"delete", Fixed(0xE053)},
    {"del", Fixed(0xE053)},
    {"home", Fixed(0xE047)},
    {"end", Fixed(0xE04F)},
    {"page up", Fixed(0xE049)},
    {"pageup", Fixed(0xE049)},
    {"pgup", Fixed(0xE049)},
    {"pg up", Fixed(0xE049)},
    {"page down", Fixed(0xE051)},
    {"pagedown", Fixed(0xE051)},
    {"pgdn", Fixed(0xE051)},
    {"pg dn", Fixed(0xE051)},
    {"pgdown", Fixed(0xE051)},
    {"up", Fixed(0xE048)},
    {"\xE2\x86\x91", Fixed(0xE048)},
    {"\xE2\x96\xB2", Fixed(0xE048)},
    {"down", Fixed(0xE050)},
    {"\xE2\x86\x93", Fixed(0xE050)},
    {"\xE2\x96\xBC", Fixed(0xE050)},
    {"left", Fixed(0xE04B)},
    {"\xE2\x86\x90", Fixed(0xE04B)},
    {"\xE2\x97\x80", Fixed(0xE04B)},
    {"right", Fixed(0xE04D)},
    {"\xE2\x86\x92", Fixed(0xE04D)},
    {"\xE2\x96\xB6", Fixed(0xE04D)},
    {"num lock", Fixed(0x45)},
    {"numlock", Fixed(0x45)},
    {"num lk", Fixed(0x45)},
    {"numlk", Fixed(0x45)},
    {"num", Fixed(0x45)},
    {"caps lock", Fixed(0x3A)},
    {"capslock", Fixed(0x3A)},
    {"caps", Fixed(0x3A)},
    {"caps lk", Fixed(0x3A)},
    {"\xE2\x87\xAA", Fixed(0x3A)},
    {"tab", Fixed(0x0F)},
    {"\xE2\x87\xA5", Fixed(0x0F)},
    {"\xE2\x86\xB9", Fixed(0x0F)},
    {"backspace", Fixed(0x0E)},
    {"back space", Fixed(0x0E)},
    {"bksp", Fixed(0x0E)},
    {"bkspc", Fixed(0x0E)},
    {"bspc", Fixed(0x0E)},
    {"\xE2\x8C\xAB", Fixed(0x0E)},
    {"space", Fixed(0x39)},
    {"spacebar", Fixed(0x39)},
    {"space bar", Fixed(0x39)},
    {"menu", Fixed(0xE05D)},
    {"app", Fixed(0xE05D)},
    {"apps", Fixed(0xE05D)},
    {"application", Fixed(0xE05D)},
    {"\xE2\x89\xA3", Fixed(0xE05D)},
    {"altgr", Fixed(0xE038)},
    {"alt gr", Fixed(0xE038)},
    {"alt graph", Fixed(0xE038)},
    {"enter", Pad(0x1C, 0xE01C, false)},
    {"return", Pad(0x1C, 0xE01C, false)},
    {"ent", Pad(0x1C, 0xE01C, false)},
    {"\xE2\x86\xB5", Pad(0x1C, 0xE01C, false)},
    {"\xE2\x8F\x8E", Pad(0x1C, 0xE01C, false)},
    {"shift", Sided(0x2A, 0x36)},
    {"\xE2\x87\xA7", Sided(0x2A, 0x36)},
    {"left shift", Fixed(0x2A)},
    {"lshift", Fixed(0x2A)},
    {"right shift", Fixed(0x36)},
    {"rshift", Fixed(0x36)},
    {"ctrl", Sided(0x1D, 0xE01D)},
    {"control", Sided(0x1D, 0xE01D)},
    {"ctl", Sided(0x1D, 0xE01D)},
    {"\xE2\x8C\x83", Sided(0x1D, 0xE01D)},
    {"left ctrl", Fixed(0x1D)},
    {"lctrl", Fixed(0x1D)},
    {"right ctrl", Fixed(0xE01D)},
    {"rctrl", Fixed(0xE01D)},
    {"alt", Sided(0x38, 0xE038)},
    {"option", Sided(0x38, 0xE038)},
    {"opt", Sided(0x38, 0xE038)},
    {"\xE2\x8C\xA5", Sided(0x38, 0xE038)},
    {"left alt", Fixed(0x38)},
    {"lalt", Fixed(0x38)},
    {"right alt", Fixed(0xE038)},
    {"ralt", Fixed(0xE038)},
    {"win", Sided(0xE05B, 0xE05C)},
    {"windows", Sided(0xE05B, 0xE05C)},
    {"super", Sided(0xE05B, 0xE05C)},
    {"cmd", Sided(0xE05B, 0xE05C)},
    {"command", Sided(0xE05B, 0xE05C)},
    {"gui", Sided(0xE05B, 0xE05C)},
    {"meta", Sided(0xE05B, 0xE05C)},
    {"\xE2\x8C\x98", Sided(0xE05B, 0xE05C)},
    {"\xE2\x9D\x96", Sided(0xE05B, 0xE05C)},
    {"lwin", Fixed(0xE05B)},
    {"rwin", Fixed(0xE05C)},
    {"lgui", Fixed(0xE05B)},
    {"rgui", Fixed(0xE05C)},
    // JIS keys, by their Japanese and romanised names.
    {"\xE7\x84\xA1\xE5\xA4\x89\xE6\x8F\x9B", Fixed(0x7B)},
    {"muhenkan", Fixed(0x7B)},
    {"\xE5\xA4\x89\xE6\x8F\x9B", Fixed(0x79)},
    {"henkan", Fixed(0x79)},
    {"\xE3\x81\x8B\xE3\x81\xAA", Fixed(0x70)},
    {"\xE3\x82\xAB\xE3\x83\x8A", Fixed(0x70)},
    {"\xE3\x82\xAB\xE3\x82\xBF\xE3\x82\xAB\xE3\x83\x8A", Fixed(0x70)},
    {"\xE3\x81\xB2\xE3\x82\x89\xE3\x81\x8C\xE3\x81\xAA", Fixed(0x70)},
    {"kana", Fixed(0x70)},
    {"katakana", Fixed(0x70)},
    {"hiragana", Fixed(0x70)},
    {"katakana/hiragana", Fixed(0x70)},
    {"\xE5\x8D\x8A\xE8\xA7\x92/\xE5\x85\xA8\xE8\xA7\x92", Fixed(0x29)},
    {"\xE5\x8D\x8A\xE8\xA7\x92 \xE5\x85\xA8\xE8\xA7\x92", Fixed(0x29)},
    {"\xE5\x8D\x8A\xE8\xA7\x92/ \xE5\x85\xA8\xE8\xA7\x92", Fixed(0x29)},
    {"\xE5\x85\xA8\xE8\xA7\x92", Fixed(0x29)},
    {"\xE5\x8D\x8A\xE8\xA7\x92", Fixed(0x29)},
    {"zenkaku", Fixed(0x29)},
    {"hankaku", Fixed(0x29)},
    {"hankaku/zenkaku", Fixed(0x29)},
    {"zenkaku/hankaku", Fixed(0x29)},
    {"\xE8\x8B\xB1\xE6\x95\xB0", Fixed(0x3A)}, // eisu, the JIS Caps Lock
    {"\xC2\xA5", Char(0x7D)},
    {"yen", Char(0x7D)},
    {"ro", Char(0x73)},
    // Letters.
    {"a", Char(0x1E)},
    {"b", Char(0x30)},
    {"c", Char(0x2E)},
    {"d", Char(0x20)},
    {"e", Char(0x12)},
    {"f", Char(0x21)},
    {"g", Char(0x22)},
    {"h", Char(0x23)},
    {"i", Char(0x17)},
    {"j", Char(0x24)},
    {"k", Char(0x25)},
    {"l", Char(0x26)},
    {"m", Char(0x32)},
    {"n", Char(0x31)},
    {"o", Char(0x18)},
    {"p", Char(0x19)},
    {"q", Char(0x10)},
    {"r", Char(0x13)},
    {"s", Char(0x1F)},
    {"t", Char(0x14)},
    {"u", Char(0x16)},
    {"v", Char(0x2F)},
    {"w", Char(0x11)},
    {"x", Char(0x2D)},
    {"y", Char(0x15)},
    {"z", Char(0x2C)},
    // Digits and the characters found both in the main block and on the keypad.
    {"1", Pad(0x02, 0x4F)},
    {"2", Pad(0x03, 0x50)},
    {"3", Pad(0x04, 0x51)},
    {"4", Pad(0x05, 0x4B)},
    {"5", Pad(0x06, 0x4C)},
    {"6", Pad(0x07, 0x4D)},
    {"7", Pad(0x08, 0x47)},
    {"8", Pad(0x09, 0x48)},
    {"9", Pad(0x0A, 0x49)},
    {"0", Pad(0x0B, 0x52)},
    {"-", Pad(0x0C, 0x4A)},
    {"=", Pad(0x0D, 0x59)},
    {",", Pad(0x33, 0x7E)},
    {".", Pad(0x34, 0x53)},
    {"/", Pad(0x35, 0xE035)},
    {"*", Pad(0x09, 0x37)},
    {"+", Pad(0x0D, 0x4E)},
    // Unshifted punctuation (US and UK).
    {"`", Char(0x29)},
    {"[", Char(0x1A)},
    {"]", Char(0x1B)},
    {"\\", Char(0x2B)},
    {";", Char(0x27)},
    {"'", Char(0x28)},
    {"#", Char(0x2B)},
    // Shifted symbols, for keys that show no unshifted legend.
    {"~", Shift(0x29)},
    {"\xC2\xAC", Shift(0x29)},
    {"!", Shift(0x02)},
    {"@", Shift(0x03)},
    {"\xC2\xA3", Shift(0x04)},
    {"$", Shift(0x05)},
    {"%", Shift(0x06)},
    {"^", Shift(0x07)},
    {"&", Shift(0x08)},
    {"(", Shift(0x0A)},
    {")", Shift(0x0B)},
    {"_", Shift(0x0C)},
    {"{", Shift(0x1A)},
    {"}", Shift(0x1B)},
    {"|", Shift(0x2B)},
    {":", Shift(0x27)},
    {"\"", Shift(0x28)},
    {"<", Shift(0x33)},
    {">", Shift(0x34)},
    {"?", Shift(0x35)},
};

// JIS: @ [ ] \ ^ : sit on other keys than on US boards.
const Spelling kJis[] = {
    {"@", Char(0x1A)},  {"[", Char(0x1B)},  {"]", Char(0x2B)},      {"\\", Char(0x73)},
    {"^", Char(0x0D)},  {":", Char(0x28)},  {"`", Shift(0x1A)},     {"{", Shift(0x1B)},
    {"}", Shift(0x2B)}, {"~", Shift(0x0D)}, {"*", Pad(0x28, 0x37)}, {"+", Pad(0x27, 0x4E)},
    {"_", Shift(0x73)}, {"|", Shift(0x7D)}, {"=", Pad(0x0C, 0x59)},
};

// ABNT2 (Brazil): the extra / ? key, ; on the US slash key, and the keypad's , and . keys.
const Spelling kAbnt2[] = {
    {"\xC3\xA7", Char(0x27)}, {"~", Char(0x28)},      {"\xC2\xB4", Char(0x1A)}, {"[", Char(0x1B)},
    {"]", Char(0x2B)},        {";", Char(0x35)},      {"/", Pad(0x73, 0xE035)}, {"\\", Char(0x56)},
    {",", Pad(0x33, 0x53)},   {".", Pad(0x34, 0x7E)}, {"`", Shift(0x1A)},       {"^", Shift(0x28)},
    {"{", Shift(0x1B)},       {"}", Shift(0x2B)},     {":", Shift(0x35)},       {"?", Shift(0x73)},
    {"|", Shift(0x56)},
};

using Table = std::unordered_map<std::string_view, Entry>;

Table MakeTable(const Spelling* family, std::size_t count) {
    Table table;
    for (std::size_t i = 0; i < count; ++i) {
        table.emplace(family[i].legend, family[i].entry);
    }
    for (const Spelling& spelling : kCommon) {
        table.emplace(spelling.legend, spelling.entry); // keeps the family's entry
    }
    return table;
}

const Table& TableFor(int family) {
    static const Table common = MakeTable(nullptr, 0);
    static const Table jis = MakeTable(kJis, std::size(kJis));
    static const Table abnt2 = MakeTable(kAbnt2, std::size(kAbnt2));
    return family == 1 ? jis : family == 2 ? abnt2 : common;
}

// How the importer labels and names a key known by its code alone, where that differs from
// the program's own key names (input/key_names): legends as keycaps show them ("Esc",
// "Page\nUp"), names as the built-in layout gives them ("Num 7"), and keys the program's
// table does not name (F13 to F24, JIS and language keys).
struct CodeText {
    ScanCode code;
    const char* label;
    const char* name;
};

const CodeText kCodeTexts[] = {
    {0x01, "Esc", "Esc"},
    {0x64, "F13", "F13"},
    {0x65, "F14", "F14"},
    {0x66, "F15", "F15"},
    {0x67, "F16", "F16"},
    {0x68, "F17", "F17"},
    {0x69, "F18", "F18"},
    {0x6A, "F19", "F19"},
    {0x6B, "F20", "F20"},
    {0x6C, "F21", "F21"},
    {0x6D, "F22", "F22"},
    {0x6E, "F23", "F23"},
    {0x76, "F24", "F24"},
    {0xE037, "Print\nScrn", "Print Screen"},
    {0x46, "Scroll\nLock", "Scroll Lock"},
    {0x3A, "Caps Lock", "Caps Lock"},
    {0x2A, "Shift", "LShift"},
    {0x36, "Shift", "RShift"},
    {0x56, "\\", "\\ (ISO)"},
    {0x1D, "Ctrl", "LCtrl"},
    {0xE05B, "Win", "LWin"},
    {0x38, "Alt", "LAlt"},
    {0xE038, "Alt", "RAlt"},
    {0xE05C, "Win", "RWin"},
    {0xE05D, "Menu", "Menu"},
    {0xE01D, "Ctrl", "RCtrl"},
    {0xE049, "Page\nUp", "Page Up"},
    {0xE051, "Page\nDown", "Page Down"},
    {0x45, "Num\nLock", "Num Lock"},
    {0xE035, "/", "Num /"},
    {0x37, "*", "Num *"},
    {0x4A, "-", "Num -"},
    {0x47, "7", "Num 7"},
    {0x48, "8", "Num 8"},
    {0x49, "9", "Num 9"},
    {0x4E, "+", "Num +"},
    {0x4B, "4", "Num 4"},
    {0x4C, "5", "Num 5"},
    {0x4D, "6", "Num 6"},
    {0x4F, "1", "Num 1"},
    {0x50, "2", "Num 2"},
    {0x51, "3", "Num 3"},
    {0x52, "0", "Num 0"},
    {0x53, ".", "Num ."},
    {0xE01C, "Enter", "Num Enter"},
    {0x59, "=", "Num ="},
    {0x7E, ",", "Num ,"},
    {0x73, "Ro", "Ro"},
    {0x70, "Kana", "Katakana/Hiragana"},
    {0x7D, "\xC2\xA5", "Yen"},
    {0x79, "Henkan", "Henkan"},
    {0x7B, "Muhenkan", "Muhenkan"},
    {0x5C, "Int6", "Int6"},
    {0xF2, "Lang1", "Lang1"},
    {0xF1, "Lang2", "Lang2"},
    {0x78, "Lang3", "Lang3"},
    {0x77, "Lang4", "Lang4"},
    {0xE030, "Vol+", "Volume Up"},
    {0xE02E, "Vol-", "Volume Down"},
    {0xE019, "Next", "Next Track"},
    {0xE010, "Prev", "Previous Track"},
    {0xE022, "Play", "Play/Pause"},
    {0xE021, "Calc", "Calculator"},
    {0xE06B, "My PC", "My Computer"},
    {0xE065, "Search", "Search"},
    {0xE032, "Web", "Web Home"},
    {0xE06A, "Back", "Back"},
    {0xE069, "Fwd", "Forward"},
    {0xE068, "Stop", "Web Stop"},
    {0xE067, "Refresh", "Refresh"},
    {0xE066, "Fav", "Favourites"},
    {0xE06C, "Mail", "Mail"},
    {0xE06D, "Media", "Media Select"},
};

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

void AppendUtf8(std::string& out, unsigned long cp) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return;
    }
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsLetterEntry(const Entry& entry) {
    switch (entry.code) {
    case 0x10:
    case 0x11:
    case 0x12:
    case 0x13:
    case 0x14:
    case 0x15:
    case 0x16:
    case 0x17:
    case 0x18:
    case 0x19:
    case 0x1E:
    case 0x1F:
    case 0x20:
    case 0x21:
    case 0x22:
    case 0x23:
    case 0x24:
    case 0x25:
    case 0x26:
    case 0x2C:
    case 0x2D:
    case 0x2E:
    case 0x2F:
    case 0x30:
    case 0x31:
    case 0x32:
        return entry.kind == Kind::Fixed && entry.character;
    default:
        return false;
    }
}

bool IsDigit(const std::string& legend) {
    return legend.size() == 1 && legend[0] >= '0' && legend[0] <= '9';
}

struct Box {
    double left = 1e300;
    double top = 1e300;
    double right = -1e300;
    double bottom = -1e300;
    bool Empty() const { return left > right; }
    void Add(const ImportedKey& key) {
        left = std::min(left, key.x);
        top = std::min(top, key.y);
        right = std::max(right, key.x + key.w);
        bottom = std::max(bottom, key.y + key.h);
    }
};

// What the legends of one key say, before the board's geometry is used.
struct Reading {
    std::vector<std::string> lines; // plain legends, in KLE's order, empty ones kept
    const Entry* entry = nullptr;
    std::string legend; // the legend that matched
};

std::string Joined(const std::vector<std::string>& lines, const char* separator) {
    std::string joined;
    for (const std::string& line : lines) {
        if (!line.empty()) {
            joined += (joined.empty() ? "" : separator) + line;
        }
    }
    return joined;
}

const Entry* Find(const Table& table, const std::string& legend) {
    const auto found = table.find(Lower(legend));
    return found == table.end() ? nullptr : &found->second;
}

// The first legend that names a key: the whole text, then the unshifted legend (second
// line) before the shifted one (first line), then the rest; shifted symbols last.
void Read(const Table& table, Reading& reading) {
    const std::string whole = Joined(reading.lines, " ");
    if (whole.empty()) {
        return;
    }
    if (const Entry* entry = Find(table, whole)) {
        reading.entry = entry;
        reading.legend = whole;
        return;
    }
    std::vector<std::size_t> order;
    if (reading.lines.size() > 1) {
        order.push_back(1);
    }
    for (std::size_t i = 0; i < reading.lines.size(); ++i) {
        if (i != 1) {
            order.push_back(i);
        }
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i : order) {
            const std::string& line = reading.lines[i];
            if (line.empty()) {
                continue;
            }
            const Entry* entry = Find(table, line);
            if (entry != nullptr && (entry->kind == Kind::Shifted) == (pass == 1)) {
                reading.entry = entry;
                reading.legend = line;
                return;
            }
        }
    }
}

// The keypad reading of a key in the keypad: its first legend that exists on a keypad
// ("7" of "7\nHome", "." of ".\nDel").
const Entry* KeypadEntry(const Table& table, const Reading& reading, std::string& legend) {
    for (const std::string& line : reading.lines) {
        const Entry* entry = line.empty() ? nullptr : Find(table, line);
        if (entry != nullptr && entry->kind == Kind::Keypad) {
            legend = line;
            return entry;
        }
    }
    return nullptr;
}

// 0 common, 1 JIS, 2 ABNT2: told by legends only those boards carry.
int Family(const std::vector<Reading>& readings) {
    for (const Reading& reading : readings) {
        for (const std::string& line : reading.lines) {
            if (line.find("\xC3\xA7") != std::string::npos ||
                line.find("\xC3\x87") != std::string::npos) {
                return 2;
            }
        }
    }
    for (const Reading& reading : readings) {
        for (const std::string& line : reading.lines) {
            // Hiragana and katakana (U+3040..U+30FF: E3 81 80 .. E3 83 BF) or the yen sign.
            for (std::size_t i = 0; i + 2 < line.size(); ++i) {
                const unsigned char a = static_cast<unsigned char>(line[i]);
                const unsigned char b = static_cast<unsigned char>(line[i + 1]);
                if (a == 0xE3 && b >= 0x81 && b <= 0x83) {
                    return 1;
                }
            }
            const std::string lower = Lower(line);
            if (line.find("\xC2\xA5") != std::string::npos || lower == "henkan" ||
                lower == "muhenkan") {
                return 1;
            }
        }
    }
    return 0;
}

std::string Capitalised(const std::string& legend) {
    std::string text = legend;
    if (text.size() == 1 && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

// What the legends of the whole board say about where its parts are.
struct Board {
    Box letters;                    // the main block, where the letters are
    const ImportedKey* z = nullptr; // Z, for the ISO key left of it
    Box keypad;                     // the numeric keypad, with room for its outer keys
    double middle = 0;              // left and right modifiers part here
    std::vector<double> numberRow;  // vertical centres of the main block's digit keys
};

bool Inside(const Box& box, double x, double y) {
    return !box.Empty() && x > box.left && x < box.right && y > box.top && y < box.bottom;
}

// The main block is where the letters are; the keypad is where digits stand right of every
// letter (or anywhere, on a board without letters).
Board Measure(const Table& table, const std::vector<ImportedKey>& keys,
              const std::vector<Reading>& readings) {
    Board board;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (readings[i].entry != nullptr && IsLetterEntry(*readings[i].entry)) {
            board.letters.Add(keys[i]);
            if (readings[i].entry->code == 0x2C) {
                board.z = &keys[i];
            }
        }
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        std::string legend;
        const Entry* entry = KeypadEntry(table, readings[i], legend);
        if (entry != nullptr && IsDigit(legend) &&
            (board.letters.Empty() || keys[i].x >= board.letters.right - 0.01)) {
            board.keypad.Add(keys[i]);
        }
    }
    // Num Lock / * - above the digits, + and Enter right of them.
    if (!board.keypad.Empty()) {
        board.keypad.left -= 0.25;
        board.keypad.top -= 1.25;
        board.keypad.right += 1.25;
        board.keypad.bottom += 0.25;
    }
    board.middle = board.letters.Empty() ? 0 : (board.letters.left + board.letters.right) / 2;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const Entry* entry = readings[i].entry;
        const ImportedKey& key = keys[i];
        if (entry != nullptr && entry->code >= 0x02 && entry->code <= 0x0B &&
            !Inside(board.keypad, key.x + key.w / 2, key.y + key.h / 2)) {
            board.numberRow.push_back(key.y + key.h / 2);
        }
    }
    return board;
}

bool OnNumberRow(const Board& board, double y) {
    for (double row : board.numberRow) {
        if (std::fabs(row - y) < 0.5) {
            return true;
        }
    }
    return false;
}

// "#" is Shift and 3 on the number row; elsewhere it is the ISO key beside Enter.
constexpr Entry kHashOnNumberRow = Shift(0x04);

// Sets the key's code, label and name (or what) from its reading and its place.
void Identify(const Table& table, const Board& board, const Reading& reading, ImportedKey& key) {
    const double cx = key.x + key.w / 2;
    const double cy = key.y + key.h / 2;
    const Entry* entry = reading.entry;
    std::string legend = reading.legend;
    bool onKeypad = false;
    if (Inside(board.keypad, cx, cy)) {
        std::string keypadLegend;
        if (const Entry* keypadEntry = KeypadEntry(table, reading, keypadLegend)) {
            entry = keypadEntry;
            legend = keypadLegend;
            onKeypad = true;
        }
    }
    if (entry != nullptr && legend == "#" && OnNumberRow(board, cy)) {
        entry = &kHashOnNumberRow;
    }
    const Box& letters = board.letters;
    key.label = Joined(reading.lines, "\n");
    key.mapped = false;
    if (entry != nullptr) {
        key.mapped = true;
        switch (entry->kind) {
        case Kind::Sided:
            key.code = cx < board.middle || letters.Empty() ? entry->code : entry->other;
            break;
        case Kind::Keypad:
            key.code = onKeypad ? entry->other : entry->code;
            break;
        default:
            key.code = entry->code;
            break;
        }
    } else if (key.label.empty() && key.w >= 3 && !letters.Empty() &&
               key.y >= letters.bottom - 0.01 && cx > letters.left && cx < letters.right) {
        key.mapped = true; // the blank wide key below the letters: the space bar
        key.code = 0x39;
    }
    // ISO: the key between the left Shift and Z, whatever its legend.
    const ImportedKey* z = board.z;
    if (z != nullptr && &key != z && std::fabs(key.y - z->y) < 0.5 &&
        std::fabs(key.x + key.w - z->x) < 0.05 && !(key.mapped && key.code == 0x2A)) {
        key.mapped = true;
        key.code = 0x56;
        if (entry != nullptr && !entry->character) {
            entry = nullptr; // named as the ISO key, not after another key's legend
        }
    }
    if (!key.mapped) {
        key.what = Joined(reading.lines, " ");
        return;
    }
    std::string label;
    std::string name;
    DescribeScanCode(key.code, label, name);
    if (entry != nullptr && entry->character && !onKeypad) {
        name = Capitalised(legend);
    }
    if (key.label.empty() && key.code != 0x39) {
        key.label = label;
    }
    key.name = name;
}

} // namespace

std::string PlainLegend(const std::string& legend) {
    std::string text;
    text.reserve(legend.size());
    for (std::size_t i = 0; i < legend.size(); ++i) {
        const char c = legend[i];
        if (c == '<') {
            const std::size_t close = legend.find('>', i);
            if (close != std::string::npos) {
                if (Lower(legend.substr(i, 3)) == "<br") {
                    text += ' ';
                }
                i = close;
                continue;
            }
        }
        if (c == '&') {
            const std::size_t semicolon = legend.find(';', i);
            if (semicolon != std::string::npos && semicolon - i <= 10) {
                const std::string entity = legend.substr(i + 1, semicolon - i - 1);
                static const struct {
                    const char* name;
                    const char* text;
                } kEntities[] = {{"amp", "&"},
                                 {"lt", "<"},
                                 {"gt", ">"},
                                 {"quot", "\""},
                                 {"apos", "'"},
                                 {"nbsp", " "},
                                 {"larr", "\xE2\x86\x90"},
                                 {"uarr", "\xE2\x86\x91"},
                                 {"rarr", "\xE2\x86\x92"},
                                 {"darr", "\xE2\x86\x93"}};
                bool decoded = false;
                for (const auto& known : kEntities) {
                    if (entity == known.name) {
                        text += known.text;
                        decoded = true;
                    }
                }
                if (!decoded && entity.size() > 1 && entity[0] == '#') {
                    const bool hex = entity[1] == 'x' || entity[1] == 'X';
                    const std::string digits = entity.substr(hex ? 2 : 1);
                    char* end = nullptr;
                    const unsigned long cp = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
                    if (!digits.empty() && end != nullptr && *end == '\0') {
                        AppendUtf8(text, cp);
                        decoded = true;
                    }
                }
                if (decoded) {
                    i = semicolon;
                    continue;
                }
            }
        }
        text += c;
    }
    // Control characters, also those written as character references, would break a
    // layout line.
    text = LineText(text, text.size());
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void DescribeScanCode(ScanCode code, std::string& label, std::string& name) {
    for (const CodeText& text : kCodeTexts) {
        if (text.code == code) {
            label = text.label;
            name = text.name;
            return;
        }
    }
    static const std::map<ScanCode, std::wstring> builtIn = [] {
        KeyNameTable table;
        table.Rebuild(KeyboardLayout());
        return table.Entries();
    }();
    const auto found = builtIn.find(code);
    if (found != builtIn.end() && !found->second.empty()) {
        label = name = EncodeUtf8(found->second);
        return;
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%02X", static_cast<unsigned>(code));
    label = name = buffer;
}

void IdentifyByLegends(std::vector<ImportedKey>& keys) {
    std::vector<Reading> readings(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        for (const std::string& legend : keys[i].legends) {
            readings[i].lines.push_back(PlainLegend(legend));
        }
    }
    const Table& table = TableFor(Family(readings));
    for (Reading& reading : readings) {
        Read(table, reading);
    }
    const Board board = Measure(table, keys, readings);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        Identify(table, board, readings[i], keys[i]);
    }
}
