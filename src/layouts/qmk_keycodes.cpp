#include "layouts/qmk_keycodes.h"

#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

struct Keycode {
    const char* name;
    ScanCode code;
};

// Basic keycodes with their long and short names and the older spellings still met in
// keymaps.
const Keycode kKeycodes[] = {
    {"KC_A", 0x1E},
    {"KC_B", 0x30},
    {"KC_C", 0x2E},
    {"KC_D", 0x20},
    {"KC_E", 0x12},
    {"KC_F", 0x21},
    {"KC_G", 0x22},
    {"KC_H", 0x23},
    {"KC_I", 0x17},
    {"KC_J", 0x24},
    {"KC_K", 0x25},
    {"KC_L", 0x26},
    {"KC_M", 0x32},
    {"KC_N", 0x31},
    {"KC_O", 0x18},
    {"KC_P", 0x19},
    {"KC_Q", 0x10},
    {"KC_R", 0x13},
    {"KC_S", 0x1F},
    {"KC_T", 0x14},
    {"KC_U", 0x16},
    {"KC_V", 0x2F},
    {"KC_W", 0x11},
    {"KC_X", 0x2D},
    {"KC_Y", 0x15},
    {"KC_Z", 0x2C},
    {"KC_1", 0x02},
    {"KC_2", 0x03},
    {"KC_3", 0x04},
    {"KC_4", 0x05},
    {"KC_5", 0x06},
    {"KC_6", 0x07},
    {"KC_7", 0x08},
    {"KC_8", 0x09},
    {"KC_9", 0x0A},
    {"KC_0", 0x0B},
    {"KC_ENTER", 0x1C},
    {"KC_ENT", 0x1C},
    {"KC_ESCAPE", 0x01},
    {"KC_ESC", 0x01},
    {"KC_BACKSPACE", 0x0E},
    {"KC_BSPC", 0x0E},
    {"KC_BSPACE", 0x0E},
    {"KC_TAB", 0x0F},
    {"KC_SPACE", 0x39},
    {"KC_SPC", 0x39},
    {"KC_MINUS", 0x0C},
    {"KC_MINS", 0x0C},
    {"KC_EQUAL", 0x0D},
    {"KC_EQL", 0x0D},
    {"KC_LEFT_BRACKET", 0x1A},
    {"KC_LBRC", 0x1A},
    {"KC_LBRACKET", 0x1A},
    {"KC_RIGHT_BRACKET", 0x1B},
    {"KC_RBRC", 0x1B},
    {"KC_RBRACKET", 0x1B},
    {"KC_BACKSLASH", 0x2B},
    {"KC_BSLS", 0x2B},
    {"KC_BSLASH", 0x2B},
    {"KC_NONUS_HASH", 0x2B},
    {"KC_NUHS", 0x2B},
    {"KC_SEMICOLON", 0x27},
    {"KC_SCLN", 0x27},
    {"KC_SCOLON", 0x27},
    {"KC_QUOTE", 0x28},
    {"KC_QUOT", 0x28},
    {"KC_GRAVE", 0x29},
    {"KC_GRV", 0x29},
    {"KC_ZKHK", 0x29},
    {"KC_COMMA", 0x33},
    {"KC_COMM", 0x33},
    {"KC_DOT", 0x34},
    {"KC_SLASH", 0x35},
    {"KC_SLSH", 0x35},
    {"KC_CAPS_LOCK", 0x3A},
    {"KC_CAPS", 0x3A},
    {"KC_CAPSLOCK", 0x3A},
    {"KC_CLCK", 0x3A},
    {"KC_F1", 0x3B},
    {"KC_F2", 0x3C},
    {"KC_F3", 0x3D},
    {"KC_F4", 0x3E},
    {"KC_F5", 0x3F},
    {"KC_F6", 0x40},
    {"KC_F7", 0x41},
    {"KC_F8", 0x42},
    {"KC_F9", 0x43},
    {"KC_F10", 0x44},
    {"KC_F11", 0x57},
    {"KC_F12", 0x58},
    {"KC_F13", 0x64},
    {"KC_F14", 0x65},
    {"KC_F15", 0x66},
    {"KC_F16", 0x67},
    {"KC_F17", 0x68},
    {"KC_F18", 0x69},
    {"KC_F19", 0x6A},
    {"KC_F20", 0x6B},
    {"KC_F21", 0x6C},
    {"KC_F22", 0x6D},
    {"KC_F23", 0x6E},
    {"KC_F24", 0x76},
    {"KC_PRINT_SCREEN", 0xE037},
    {"KC_PSCR", 0xE037},
    {"KC_PSCREEN", 0xE037},
    {"KC_SCROLL_LOCK", 0x46},
    {"KC_SCRL", 0x46},
    {"KC_SCROLLLOCK", 0x46},
    {"KC_SLCK", 0x46},
    {"KC_PAUSE", 0xE11D},
    {"KC_PAUS", 0xE11D},
    {"KC_BRK", 0xE11D},
    {"KC_INSERT", 0xE052},
    {"KC_INS", 0xE052},
    {"KC_HOME", 0xE047},
    {"KC_PAGE_UP", 0xE049},
    {"KC_PGUP", 0xE049},
    {"KC_DELETE", 0xE053},
    {"KC_DEL", 0xE053},
    {"KC_END", 0xE04F},
    {"KC_PAGE_DOWN", 0xE051},
    {"KC_PGDN", 0xE051},
    {"KC_PGDOWN", 0xE051},
    {"KC_RIGHT", 0xE04D},
    {"KC_RGHT", 0xE04D},
    {"KC_LEFT", 0xE04B},
    {"KC_DOWN", 0xE050},
    {"KC_UP", 0xE048},
    {"KC_NUM_LOCK", 0x45},
    {"KC_NUM", 0x45},
    {"KC_NUMLOCK", 0x45},
    {"KC_NLCK", 0x45},
    {"KC_KP_SLASH", 0xE035},
    {"KC_PSLS", 0xE035},
    {"KC_KP_ASTERISK", 0x37},
    {"KC_PAST", 0x37},
    {"KC_KP_MINUS", 0x4A},
    {"KC_PMNS", 0x4A},
    {"KC_KP_PLUS", 0x4E},
    {"KC_PPLS", 0x4E},
    {"KC_KP_ENTER", 0xE01C},
    {"KC_PENT", 0xE01C},
    {"KC_KP_1", 0x4F},
    {"KC_P1", 0x4F},
    {"KC_KP_2", 0x50},
    {"KC_P2", 0x50},
    {"KC_KP_3", 0x51},
    {"KC_P3", 0x51},
    {"KC_KP_4", 0x4B},
    {"KC_P4", 0x4B},
    {"KC_KP_5", 0x4C},
    {"KC_P5", 0x4C},
    {"KC_KP_6", 0x4D},
    {"KC_P6", 0x4D},
    {"KC_KP_7", 0x47},
    {"KC_P7", 0x47},
    {"KC_KP_8", 0x48},
    {"KC_P8", 0x48},
    {"KC_KP_9", 0x49},
    {"KC_P9", 0x49},
    {"KC_KP_0", 0x52},
    {"KC_P0", 0x52},
    {"KC_KP_DOT", 0x53},
    {"KC_PDOT", 0x53},
    {"KC_KP_EQUAL", 0x59},
    {"KC_PEQL", 0x59},
    {"KC_KP_COMMA", 0x7E},
    {"KC_PCMM", 0x7E},
    {"KC_NONUS_BACKSLASH", 0x56},
    {"KC_NUBS", 0x56},
    {"KC_APPLICATION", 0xE05D},
    {"KC_APP", 0xE05D},
    // International and language keys (JIS, ABNT2, Korean).
    {"KC_INTERNATIONAL_1", 0x73},
    {"KC_INT1", 0x73},
    {"KC_RO", 0x73},
    {"KC_INTERNATIONAL_2", 0x70},
    {"KC_INT2", 0x70},
    {"KC_KANA", 0x70},
    {"KC_INTERNATIONAL_3", 0x7D},
    {"KC_INT3", 0x7D},
    {"KC_JYEN", 0x7D},
    {"KC_INTERNATIONAL_4", 0x79},
    {"KC_INT4", 0x79},
    {"KC_HENK", 0x79},
    {"KC_INTERNATIONAL_5", 0x7B},
    {"KC_INT5", 0x7B},
    {"KC_MHEN", 0x7B},
    {"KC_INTERNATIONAL_6", 0x5C},
    {"KC_INT6", 0x5C},
    {"KC_LANGUAGE_1", 0xF2},
    {"KC_LNG1", 0xF2},
    {"KC_HAEN", 0xF2},
    {"KC_LANGUAGE_2", 0xF1},
    {"KC_LNG2", 0xF1},
    {"KC_HANJ", 0xF1},
    {"KC_LANGUAGE_3", 0x78},
    {"KC_LNG3", 0x78},
    {"KC_LANGUAGE_4", 0x77},
    {"KC_LNG4", 0x77},
    {"KC_LANGUAGE_5", 0x76},
    {"KC_LNG5", 0x76},
    // Modifiers.
    {"KC_LEFT_CTRL", 0x1D},
    {"KC_LCTL", 0x1D},
    {"KC_LCTRL", 0x1D},
    {"KC_LEFT_SHIFT", 0x2A},
    {"KC_LSFT", 0x2A},
    {"KC_LSHIFT", 0x2A},
    {"KC_LEFT_ALT", 0x38},
    {"KC_LALT", 0x38},
    {"KC_LOPT", 0x38},
    {"KC_LEFT_GUI", 0xE05B},
    {"KC_LGUI", 0xE05B},
    {"KC_LCMD", 0xE05B},
    {"KC_LWIN", 0xE05B},
    {"KC_RIGHT_CTRL", 0xE01D},
    {"KC_RCTL", 0xE01D},
    {"KC_RCTRL", 0xE01D},
    {"KC_RIGHT_SHIFT", 0x36},
    {"KC_RSFT", 0x36},
    {"KC_RSHIFT", 0x36},
    {"KC_RIGHT_ALT", 0xE038},
    {"KC_RALT", 0xE038},
    {"KC_ROPT", 0xE038},
    {"KC_ALGR", 0xE038},
    {"KC_RIGHT_GUI", 0xE05C},
    {"KC_RGUI", 0xE05C},
    {"KC_RCMD", 0xE05C},
    {"KC_RWIN", 0xE05C},
    // Shifted symbols: the key pressed is the unshifted one.
    {"KC_TILDE", 0x29},
    {"KC_TILD", 0x29},
    {"KC_EXCLAIM", 0x02},
    {"KC_EXLM", 0x02},
    {"KC_AT", 0x03},
    {"KC_HASH", 0x04},
    {"KC_DOLLAR", 0x05},
    {"KC_DLR", 0x05},
    {"KC_PERCENT", 0x06},
    {"KC_PERC", 0x06},
    {"KC_CIRCUMFLEX", 0x07},
    {"KC_CIRC", 0x07},
    {"KC_AMPERSAND", 0x08},
    {"KC_AMPR", 0x08},
    {"KC_ASTERISK", 0x09},
    {"KC_ASTR", 0x09},
    {"KC_LEFT_PAREN", 0x0A},
    {"KC_LPRN", 0x0A},
    {"KC_RIGHT_PAREN", 0x0B},
    {"KC_RPRN", 0x0B},
    {"KC_UNDERSCORE", 0x0C},
    {"KC_UNDS", 0x0C},
    {"KC_PLUS", 0x0D},
    {"KC_LEFT_CURLY_BRACE", 0x1A},
    {"KC_LCBR", 0x1A},
    {"KC_RIGHT_CURLY_BRACE", 0x1B},
    {"KC_RCBR", 0x1B},
    {"KC_PIPE", 0x2B},
    {"KC_COLON", 0x27},
    {"KC_COLN", 0x27},
    {"KC_DOUBLE_QUOTE", 0x28},
    {"KC_DQUO", 0x28},
    {"KC_DQT", 0x28},
    {"KC_LEFT_ANGLE_BRACKET", 0x33},
    {"KC_LABK", 0x33},
    {"KC_LT", 0x33},
    {"KC_RIGHT_ANGLE_BRACKET", 0x34},
    {"KC_RABK", 0x34},
    {"KC_GT", 0x34},
    {"KC_QUESTION", 0x35},
    {"KC_QUES", 0x35},
    // Escape that sends ` with Shift or GUI held: tapped alone it is Escape.
    {"QK_GRAVE_ESCAPE", 0x01},
    {"QK_GESC", 0x01},
    {"KC_GESC", 0x01},
    {"GRAVE_ESC", 0x01},
    // Media and application keys, as Windows delivers them.
    {"KC_AUDIO_MUTE", 0xE020},
    {"KC_MUTE", 0xE020},
    {"KC_AUDIO_VOL_UP", 0xE030},
    {"KC_VOLU", 0xE030},
    {"KC_AUDIO_VOL_DOWN", 0xE02E},
    {"KC_VOLD", 0xE02E},
    {"KC_MEDIA_NEXT_TRACK", 0xE019},
    {"KC_MNXT", 0xE019},
    {"KC_MEDIA_PREV_TRACK", 0xE010},
    {"KC_MPRV", 0xE010},
    {"KC_MEDIA_STOP", 0xE024},
    {"KC_MSTP", 0xE024},
    {"KC_MEDIA_PLAY_PAUSE", 0xE022},
    {"KC_MPLY", 0xE022},
    {"KC_CALCULATOR", 0xE021},
    {"KC_CALC", 0xE021},
    {"KC_MY_COMPUTER", 0xE06B},
    {"KC_MYCM", 0xE06B},
    {"KC_WWW_SEARCH", 0xE065},
    {"KC_WSCH", 0xE065},
    {"KC_WWW_HOME", 0xE032},
    {"KC_WHOM", 0xE032},
    {"KC_WWW_BACK", 0xE06A},
    {"KC_WBAK", 0xE06A},
    {"KC_WWW_FORWARD", 0xE069},
    {"KC_WFWD", 0xE069},
    {"KC_WWW_STOP", 0xE068},
    {"KC_WSTP", 0xE068},
    {"KC_WWW_REFRESH", 0xE067},
    {"KC_WREF", 0xE067},
    {"KC_WWW_FAVORITES", 0xE066},
    {"KC_WFAV", 0xE066},
    {"KC_MAIL", 0xE06C},
    {"KC_MEDIA_SELECT", 0xE06D},
    {"KC_MSEL", 0xE06D},
};

// Functions whose key changes or holds a layer: no scan code of their own.
const std::string_view kLayerFunctions[] = {"MO", "TG",  "TO", "TT", "OSL",
                                            "DF", "PDF", "LM", "OSM"};

const std::unordered_map<std::string_view, ScanCode>& Table() {
    static const std::unordered_map<std::string_view, ScanCode> table = [] {
        std::unordered_map<std::string_view, ScanCode> map;
        for (const Keycode& keycode : kKeycodes) {
            map.emplace(keycode.name, keycode.code);
        }
        return map;
    }();
    return table;
}

// Top-level arguments of "NAME(a, b)".
std::vector<std::string_view> Arguments(std::string_view inside) {
    std::vector<std::string_view> arguments;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < inside.size(); ++i) {
        if (inside[i] == '(') {
            ++depth;
        } else if (inside[i] == ')') {
            --depth;
        } else if (inside[i] == ',' && depth == 0) {
            arguments.push_back(inside.substr(start, i - start));
            start = i + 1;
        }
    }
    arguments.push_back(inside.substr(start));
    return arguments;
}

bool Lookup(std::string_view keycode, int depth, ScanCode& code) {
    const auto& table = Table();
    const auto found = table.find(keycode);
    if (found != table.end()) {
        code = found->second;
        return true;
    }
    const std::size_t open = keycode.find('(');
    if (depth >= 4 || open == std::string_view::npos || keycode.back() != ')') {
        return false;
    }
    const std::string_view function = keycode.substr(0, open);
    for (std::string_view layer : kLayerFunctions) {
        if (function == layer) {
            return false;
        }
    }
    const auto arguments = Arguments(keycode.substr(open + 1, keycode.size() - open - 2));
    const bool tapKey = function == "LT" || function == "MT" ||
                        (function.size() > 2 && function.substr(function.size() - 2) == "_T");
    // A modifier wrapper (LCTL(KC_C), S(KC_1)) or a mod-tap/layer-tap key: the key's
    // own code is that of its keycode argument.
    if (arguments.size() == 1 || (tapKey && arguments.size() == 2)) {
        return Lookup(arguments.back(), depth + 1, code);
    }
    return false;
}

} // namespace

bool QmkKeycodeToScanCode(const std::string& keycode, ScanCode& code) {
    return !keycode.empty() && Lookup(keycode, 0, code);
}
