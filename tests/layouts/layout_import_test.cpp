// Layout import from KLE raw data and QMK keyboard definitions: the boards the converter
// must get right, the legends and keycodes it knows, and the input it must refuse.
#include "layouts/layout_import.h"

#include "layouts/default_layout.h"
#include "layouts/key_names.h"
#include "layouts/keyboard_layout.h"
#include "layouts/layout_parser.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

std::string Data(const char* file) {
    return ReadFileBytes(std::string(TAPWISE_SOURCE_DIR "/tests/layouts/import/") + file);
}

ImportResult Import(const std::string& json, const ImportOptions& options = {}) {
    return ImportLayout(json, options);
}

// The converted text loaded the way a layout file is, which must write no message.
KeyboardLayout Load(const ImportResult& result) {
    EXPECT_TRUE(result.ok) << result.error;
    KeyboardLayout layout;
    KeyNameTable names;
    CapturedLog log;
    std::istringstream stream(result.text);
    bool reachedEnd = false;
    const bool loaded = LoadLayoutStream(stream, 36, layout, names, &reachedEnd);
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(reachedEnd);
    EXPECT_EQ(log.Text(), L"") << result.text;
    EXPECT_EQ(static_cast<int>(layout.keys.size()), result.keys);
    return layout;
}

using Rectangle = std::tuple<ScanCode, int, int, int, int, bool, int>;

std::vector<Rectangle> Rectangles(const KeyboardLayout& layout) {
    std::vector<Rectangle> keys;
    for (const LayoutKey& key : layout.keys) {
        keys.emplace_back(key.scanCode, key.left, key.top, key.right, key.bottom, key.twoRow,
                          key.secondRowWidth);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

const LayoutKey& Key(const KeyboardLayout& layout, ScanCode code) {
    static const LayoutKey missing;
    for (const LayoutKey& key : layout.keys) {
        if (key.scanCode == code) {
            return key;
        }
    }
    ADD_FAILURE() << "no key 0x" << std::hex << code;
    return missing;
}

std::vector<ScanCode> Codes(const KeyboardLayout& layout) {
    std::vector<ScanCode> codes;
    for (const LayoutKey& key : layout.keys) {
        codes.push_back(key.scanCode);
    }
    return codes;
}

} // namespace

TEST(KleImport, Ansi104GivesTheBuiltInLayoutsCodesAndRectangles) {
    const ImportResult result = Import(Data("kle_ansi_104.json"));
    const KeyboardLayout imported = Load(result);
    EXPECT_EQ(imported.name, L"104 Key ANSI");
    EXPECT_TRUE(result.notes.empty()) << result.notes.front();

    KeyboardLayout builtIn;
    KeyNameTable names;
    CapturedLog log;
    ASSERT_TRUE(LoadLayoutText(DefaultLayoutText(), 36, builtIn, names));
    EXPECT_EQ(imported.keys.size(), 104u);
    EXPECT_EQ(Rectangles(imported), Rectangles(builtIn));
    EXPECT_EQ(imported.width, builtIn.width);
    EXPECT_EQ(imported.height, builtIn.height);
}

TEST(KleImport, Iso105HasTheIsoKeysAndTheTwoRowEnter) {
    const KeyboardLayout layout = Load(Import(Data("kle_iso_105.json")));
    EXPECT_EQ(layout.keys.size(), 105u);
    const LayoutKey& iso = Key(layout, 0x56);
    const LayoutKey& z = Key(layout, 0x2C);
    EXPECT_EQ(iso.right, z.left);
    EXPECT_EQ(iso.top, z.top);
    EXPECT_EQ(iso.name, L"\\"); // named after its unshifted legend
    const LayoutKey& enter = Key(layout, 0x1C);
    EXPECT_TRUE(enter.twoRow);
    EXPECT_EQ(enter.right - enter.left, 54); // 1.5 units above, 1.25 below
    EXPECT_EQ(enter.secondRowWidth, 45);
    EXPECT_EQ(enter.bottom - enter.top, 72);
    const LayoutKey& hash = Key(layout, 0x2B);
    EXPECT_EQ(hash.right, enter.right - enter.secondRowWidth);
    EXPECT_EQ(hash.top, enter.top + 36);
    EXPECT_EQ(Key(layout, 0xE038).name, L"RAlt"); // AltGr
    EXPECT_EQ(Key(layout, 0x3A).top, hash.top);
}

TEST(KleImport, SixtyPercentRawDataGives61Keys) {
    ImportOptions options;
    options.fallbackName = "60";
    const ImportResult result = Import(Data("kle_60_raw.txt"), options);
    const KeyboardLayout layout = Load(result);
    EXPECT_EQ(layout.keys.size(), 61u);
    EXPECT_EQ(layout.name, L"60");
    const std::vector<ScanCode> codes = Codes(layout);
    EXPECT_EQ(std::set<ScanCode>(codes.begin(), codes.end()).size(), 61u);
    // Modifiers by side, the blank 6.25-unit key as the space bar.
    EXPECT_LT(Key(layout, 0x2A).left, Key(layout, 0x36).left);
    EXPECT_LT(Key(layout, 0x1D).left, Key(layout, 0xE01D).left);
    EXPECT_LT(Key(layout, 0xE05B).left, Key(layout, 0xE05C).left);
    EXPECT_EQ(Key(layout, 0x39).right - Key(layout, 0x39).left, 225);
    EXPECT_EQ(layout.width, 15 * 36);
    EXPECT_EQ(layout.height, 5 * 36);
}

TEST(QmkImport, SixtyFiveWithKeymapJsonOrKeymapCGivesEveryKeyItsCode) {
    const std::string info = Data("qmk_65_info.json");
    ImportOptions options;
    options.hasKeymap = true;
    options.keymap = Data("qmk_65_keymap.json");
    const ImportResult fromJson = Import(info, options);
    options.keymap = Data("qmk_65_keymap.c");
    const ImportResult fromC = Import(info, options);
    ASSERT_TRUE(fromJson.ok) << fromJson.error;
    ASSERT_TRUE(fromC.ok) << fromC.error;
    EXPECT_EQ(fromJson.text, fromC.text);

    const KeyboardLayout layout = Load(fromC);
    EXPECT_EQ(layout.name, L"Tapwise65 LAYOUT_65_ansi");
    EXPECT_EQ(fromC.keys, 67);
    EXPECT_EQ(fromC.blanks, 1);
    EXPECT_EQ(fromC.notes,
              std::vector<std::string>{"no scan code for 'MO(1)' at (11, 4): left blank"});
    const std::vector<ScanCode> expected = {
        0x01, 0x02, 0x03,   0x04,   0x05,   0x06,   0x07,  0x08,   0x09,   0x0A,   0x0B, 0x0C,
        0x0D, 0x0E, 0xE047, 0x0F,   0x10,   0x11,   0x12,  0x13,   0x14,   0x15,   0x16, 0x17,
        0x18, 0x19, 0x1A,   0x1B,   0x2B,   0xE049, 0x3A,  0x1E,   0x1F,   0x20,   0x21, 0x22,
        0x23, 0x24, 0x25,   0x26,   0x27,   0x28,   0x1C,  0xE051, 0x2A,   0x2C,   0x2D, 0x2E,
        0x2F, 0x30, 0x31,   0x32,   0x33,   0x34,   0x35,  0x36,   0xE048, 0xE04F, 0x1D, 0xE05B,
        0x38, 0x39, 0xE038, 0xE01D, 0xE04B, 0xE050, 0xE04D};
    EXPECT_EQ(Codes(layout), expected);
    // The layer key's place stays empty: Right Ctrl starts one unit after Right Alt ends.
    EXPECT_EQ(Key(layout, 0xE01D).left - Key(layout, 0xE038).right, 36);
}

TEST(QmkImport, LayoutChoiceAndLabels) {
    const std::string info = Data("qmk_65_info.json");
    // Without a keymap the labels are read like legends; the Fn label has no code.
    const ImportResult labels = Import(info);
    ASSERT_TRUE(labels.ok) << labels.error;
    EXPECT_EQ(labels.keys, 67);
    EXPECT_EQ(labels.notes,
              std::vector<std::string>{"no scan code for 'Fn' at (11, 4): left blank"});
    ImportOptions options;
    options.layoutName = "LAYOUT_65_ansi_split_bs";
    const ImportResult split = Import(info, options);
    ASSERT_TRUE(split.ok) << split.error;
    EXPECT_EQ(split.blanks, 3); // the two unlabelled halves of the backspace, and Fn
    options.layoutName = "LAYOUT_tkl";
    EXPECT_EQ(Import(info, options).error,
              "no layout named 'LAYOUT_tkl'; the layouts are: LAYOUT_65_ansi, "
              "LAYOUT_65_ansi_split_bs");
    const std::string twoLayouts =
        R"({"layouts": {"A": {"layout": [{"x": 0, "y": 0, "label": "Q"}]},
                        "B": {"layout": [{"x": 0, "y": 0, "label": "Q"}]}}})";
    EXPECT_EQ(Import(twoLayouts).error,
              "the keyboard has several layouts; choose one with --layout: A, B");
    options = ImportOptions();
    options.hasKeymap = true;
    options.keymap = R"({"layers": [["KC_A", "KC_B"]]})";
    EXPECT_EQ(Import(info, options).error,
              "the keymap has 2 keycodes for the 68 keys of LAYOUT_65_ansi");
}

TEST(QmkImport, KeycodeTable) {
    struct Case {
        const char* keycode;
        int code; // -1: left blank
    };
    const Case cases[] = {
        {"KC_ENT", 0x1C},
        {"KC_ENTER", 0x1C},
        {"KC_BSPC", 0x0E},
        {"KC_LCTL", 0x1D},
        {"KC_RALT", 0xE038},
        {"KC_LGUI", 0xE05B},
        {"KC_APP", 0xE05D},
        {"KC_PSCR", 0xE037},
        {"KC_PAUS", 0xE11D},
        {"KC_NUHS", 0x2B},
        {"KC_NUBS", 0x56},
        {"KC_INT1", 0x73},
        {"KC_INT2", 0x70},
        {"KC_INT3", 0x7D},
        {"KC_INT4", 0x79},
        {"KC_INT5", 0x7B},
        {"KC_LNG1", 0xF2},
        {"KC_LNG2", 0xF1},
        {"KC_P7", 0x47},
        {"KC_PENT", 0xE01C},
        {"KC_PSLS", 0xE035},
        {"KC_PDOT", 0x53},
        {"KC_F1", 0x3B},
        {"KC_F24", 0x76},
        {"KC_EXLM", 0x02},
        {"LCTL(KC_C)", 0x2E},
        {"LT(1,KC_SPC)", 0x39},
        {"LSFT_T(KC_A)", 0x1E},
        {"MO(1)", -1},
        {"TG(2)", -1},
        {"KC_TRNS", -1},
        {"_______", -1},
        {"XXXXXXX", -1},
        {"KC_NO", -1},
        {"QK_BOOT", -1},
        {"MY_MACRO", -1},
        {"LCTL(LCTL(LCTL(LCTL(LCTL(KC_A)))))", -1},
    };
    std::string layout;
    std::string keymap;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        layout += std::string(i ? "," : "") + "{\"x\":" + std::to_string(i) + ",\"y\":0}";
        keymap += std::string(i ? "," : "") + "\"" + cases[i].keycode + "\"";
    }
    ImportOptions options;
    options.hasKeymap = true;
    options.keymap = "{\"layers\":[[" + keymap + "]]}";
    const ImportResult result =
        Import("{\"layouts\":{\"L\":{\"layout\":[" + layout + "]}}}", options);
    const KeyboardLayout loaded = Load(result);
    std::vector<int> expected;
    std::vector<int> got;
    auto key = loaded.keys.begin();
    for (const Case& c : cases) {
        expected.push_back(c.code);
    }
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const int left = static_cast<int>(i) * 36;
        if (key != loaded.keys.end() && key->left == left) {
            got.push_back(key->scanCode);
            ++key;
        } else {
            got.push_back(-1);
        }
    }
    EXPECT_EQ(got, expected);
}

TEST(KleImport, LegendSpellings) {
    const char* json = R"([["!\n1","Q"],["Esc","PrtSc","Print Screen","Scroll Lock","ScrLk","Pause",
        "Pause\nBreak","Ins","Insert","Del","Delete","PgUp","Page Up","Page\nDown",
        "←","Left","↑","Down","→","AltGr","Menu","App","F13","F24","~\n#","Caps Lock",
        "Backspace","<b>Tab</b>","&larr;","Num Lock","半角/全角","無変換","変換","かな"]])";
    const KeyboardLayout layout = Load(Import(json));
    const std::vector<ScanCode> expected = {
        0x02,   0x10,   0x01,   0xE037, 0xE037, 0x46,   0x46,   0xE11D, 0xE11D,
        0xE052, 0xE052, 0xE053, 0xE053, 0xE049, 0xE049, 0xE051, 0xE04B, 0xE04B,
        0xE048, 0xE050, 0xE04D, 0xE038, 0xE05D, 0xE05D, 0x64,   0x76,   0x2B,
        0x3A,   0x0E,   0x0F,   0xE04B, 0x45,   0x29,   0x7B,   0x79,   0x70};
    EXPECT_EQ(Codes(layout), expected);
}

TEST(KleImport, SidesAndKeypadByPosition) {
    // A small board: left and right modifiers round the letters; a keypad right of them
    // with its own Enter and digits whose second legends are navigation keys.
    const char* json = R"([
        ["!\n1","@\n2",{"x":4.5},"Num Lock","/","*","-"],
        ["Shift","Q","W","E","R","Shift",{"x":0.5},"7\nHome","8\n↑","9\nPgUp",{"h":2},"+"],
        ["Ctrl","Win","Alt","Enter",{"x":2.5},".\nDel","0\nIns","Enter"],
        [{"x":3},"Super","Alt","Ctrl"]
    ])";
    const ImportResult result = Import(json);
    const KeyboardLayout layout = Load(result);
    EXPECT_TRUE(result.notes.empty()) << result.notes.front();
    const std::vector<ScanCode> expected = {
        0x02, 0x03, 0x45, 0xE035, 0x37,   0x4A, 0x2A, 0x10, 0x11, 0x12,   0x13,   0x36,   0x47,
        0x48, 0x49, 0x4E, 0x1D,   0xE05B, 0x38, 0x1C, 0x53, 0x52, 0xE01C, 0xE05C, 0xE038, 0xE01D};
    EXPECT_EQ(Codes(layout), expected);
}

TEST(KleImport, UnmappableKeysAreBlankPlacesNamedOnce) {
    const char* json = R"([["Q","Fn","W",""],[{"y":1,"w":1.5},"A","A"]])";
    const ImportResult result = Import(json);
    const KeyboardLayout layout = Load(result);
    EXPECT_EQ(result.blanks, 2);
    const std::vector<std::string> notes = {
        "no scan code for 'Fn' at (1, 0): left blank",
        "no scan code for '' at (3, 0): left blank",
        "warning: scan code 0x1E on two keys, 'A' at (0, 2) and 'A' at (1.5, 2); both kept",
    };
    EXPECT_EQ(result.notes, notes);
    ASSERT_EQ(layout.keys.size(), 4u);
    EXPECT_EQ(Key(layout, 0x11).left, 72); // W keeps its place after the blank Fn
    EXPECT_EQ(layout.keys.back().left, 54);
    EXPECT_EQ(layout.keys.back().top, 72); // the 1-unit gap row above survives
    EXPECT_NE(result.text.find("R1, BL, \"\", \"\", 1 // no scan code: Fn\n"), std::string::npos);
}

TEST(KleImport, RotatedKeysAtTheirBoundingBoxWithOneWarning) {
    const char* json = R"([["Q","W"],[{"r":90,"rx":3,"ry":0},"A","S"]])";
    const ImportResult result = Import(json);
    const KeyboardLayout layout = Load(result);
    EXPECT_EQ(result.notes,
              std::vector<std::string>{"warning: 2 rotated keys placed at the bounding box of the "
                                       "rotated position"});
    // Turned a quarter clockwise about (3, 0): A covers x 2..3, y 0..1; S x 2..3, y 1..2.
    EXPECT_EQ(Key(layout, 0x1E).left, 72);
    EXPECT_EQ(Key(layout, 0x1F).left, 72);
    EXPECT_EQ(Key(layout, 0x1F).top, 36);
}

TEST(LayoutImport, RefusesBadInputWithAReason) {
    struct Case {
        std::string json;
        std::string error;
    };
    const std::string deep(10000, '[');
    std::string manyKeys = "[[";
    for (int i = 0; i < 100000; ++i) {
        manyKeys += i ? ",\"\"" : "\"\"";
    }
    manyKeys += "]]";
    const std::string tenMegabytes = "[[\"" + std::string(10 << 20, 'a') + "\"]]";
    const Case cases[] = {
        {"[\n [\"A\",\n  x]]", "invalid JSON at line 3, column 3: syntax error while parsing "
                               "value - invalid literal"},
        {"", "the file holds no JSON value"},
        {"[[\"A\",{\"x\":\"1\"}]]", "row 1, item 2: 'x' must be a number"},
        {"[[{\"x\":1e308},\"A\"]]",
         "row 1, item 1: 'x' is 1e+308; it must be between -1000 and 1000"},
        {"[[{\"w\":-1e308},\"A\"]]",
         "row 1, item 1: 'w' is -1e+308; it must be between 0.01 and 100"},
        {"[[\"A\",3]]",
         "row 1, item 2: a key must be a string of legends or an object of properties"},
        {"[[\"A\"],{\"x\":1}]", "row 2 is not an array (only the first item may be the metadata "
                                "object)"},
        {deep, "nesting deeper than 64 levels at line 1, column 65"},
        {manyKeys, "row 1, item 991: more than 990 keys; a layout file holds at most 1000 lines"},
        {tenMegabytes, "the file is larger than 1024 KB; keyboard descriptions are far smaller"},
        {"[[]]", "the input holds no keys"},
        {"{\"layers\": [[\"KC_A\"]]}", "this is a QMK keymap: give the keyboard's info.json or "
                                       "keyboard.json as the input and the keymap with --keymap"},
        {"{\"layouts\": {\"L\": {\"layout\": [{\"x\": 1e308, \"y\": 0}]}}}",
         "layouts.L.layout, key 1: 'x' is 1e+308; it must be between -10000 and 10000"},
        {"{\"layouts\": {\"L\": {\"layout\": [{\"x\": \"0\", \"y\": 0}]}}}",
         "layouts.L.layout, key 1: 'x' must be a number"},
        {"{\"layouts\": []}", "'layouts' must be an object holding at least one layout"},
        {"[[\"A\"],[\"B\"],[\"C\"],[\"D\"],[\"E\"],[\"F\"],[\"G\"],[\"H\"],[\"I\"]]",
         "the keys form 9 rows; a layout holds at most 8"},
    };
    for (const Case& c : cases) {
        const ImportResult result = Import(c.json);
        EXPECT_FALSE(result.ok) << c.error;
        EXPECT_EQ(result.error, c.error);
        EXPECT_TRUE(result.text.empty());
    }
}

TEST(LayoutImport, ReadsJsonAsPeopleWriteIt) {
    // Byte-order mark, comments, trailing commas, unquoted property names, metadata first.
    const char* json = "\xEF\xBB\xBF{name: \"Tiny, \\\"quoted\\\"\", author: \"me\"}, // meta\n"
                       "[\"Q\", /* a gap */ {x: 1,}, \"W\",],\n";
    const ImportResult result = Import(json);
    const KeyboardLayout layout = Load(result);
    EXPECT_EQ(layout.name, L"Tiny, \"quoted\"");
    EXPECT_EQ(Codes(layout), (std::vector<ScanCode>{0x10, 0x11}));
    EXPECT_EQ(Key(layout, 0x11).left, 72);
}

TEST(LayoutImport, LabelsThatLayoutTextWouldMisread) {
    const char* json = R"([["\"\n'", "http://x\nA", "a\\nb\n/*Z*/\nZ"]])";
    const ImportResult result = Import(json);
    const KeyboardLayout layout = Load(result);
    ASSERT_EQ(layout.keys.size(), 3u);
    auto key = layout.keys.begin();
    EXPECT_EQ(key->label, L"\"\n'");
    EXPECT_EQ((++key)->label, L"http:/ /x\nA");
    EXPECT_EQ((++key)->label, L"a\\ nb\n/ *Z*/\nZ");
}

namespace {

// A small split board with column stagger, as QMK describes it: three columns a half, the
// outer columns lower, two rows and one thumb key a half, the halves 2 units apart.
std::string SplitBoard(bool labels) {
    const double columnX[] = {0, 1, 2, 5, 6, 7};
    const double stagger[] = {0.5, 0.25, 0, 0, 0.25, 0.5};
    const char* legends[] = {"Q", "W", "E", "I", "O", "P", "A", "S", "D", "K", "L", ";"};
    std::string keys;
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 6; ++column) {
            keys += "{\"x\": " + std::to_string(columnX[column]) +
                    ", \"y\": " + std::to_string(row + stagger[column]) +
                    (labels ? ", \"label\": \"" + std::string(legends[row * 6 + column]) + "\""
                            : std::string()) +
                    "},\n";
        }
    }
    keys += labels
                ? R"({"x": 2, "y": 2.25, "label": "Space"}, {"x": 5, "y": 2.25, "label": "Enter"})"
                : R"({"x": 2, "y": 2.25}, {"x": 5, "y": 2.25})";
    return R"({"keyboard_name": "Splitty", "layouts": {"LAYOUT_split": {"layout": [)" + keys +
           "]}}}";
}

ImportOptions WithKeymap(const std::string& keymap) {
    ImportOptions options;
    options.hasKeymap = true;
    options.keymap = keymap;
    return options;
}

} // namespace

TEST(QmkImport, ColumnStaggeredSplitBoardKeepsKeyOrderAndPlaces) {
    const ImportResult result = Import(SplitBoard(true));
    const KeyboardLayout layout = Load(result);
    EXPECT_EQ(Codes(layout), (std::vector<ScanCode>{0x10, 0x11, 0x12, 0x17, 0x18, 0x19, 0x1E, 0x1F,
                                                    0x20, 0x25, 0x26, 0x27, 0x39, 0x1C}));
    // Every key keeps its own x; the rows are the tops of their highest keys.
    const int lefts[] = {0, 1, 2, 5, 6, 7, 0, 1, 2, 5, 6, 7, 2, 5};
    const int tops[] = {0, 0, 0, 0, 0, 0, 36, 36, 36, 36, 36, 36, 81, 81};
    int i = 0;
    for (const LayoutKey& key : layout.keys) {
        EXPECT_EQ(key.left, lefts[i] * 36) << "key " << i;
        EXPECT_EQ(key.top, tops[i]) << "key " << i;
        ++i;
    }
    EXPECT_EQ(layout.width, 8 * 36);
    EXPECT_EQ(result.notes,
              std::vector<std::string>{"warning: 8 keys moved up by at most 0.5 units to share "
                                       "a row"});
}

TEST(QmkImport, TheKeymapsLayoutChoosesAndLineContinuationsAreJoined) {
    // Two layouts of different sizes and an alias; no LAYOUT to fall back on.
    const std::string board = R"({"layouts": {
        "LAYOUT_all": {"layout": [{"x": 0, "y": 0}, {"x": 1, "y": 0}, {"x": 2, "y": 0}]},
        "LAYOUT_two": {"layout": [{"x": 0, "y": 0}, {"x": 2, "y": 0}]}},
        "layout_aliases": {"LAYOUT_compat": "LAYOUT_all"}})";
    const std::string keymapC = "#include QMK_KEYBOARD_H\r\n"
                                "#define BASE_LAYER LAYOUT_all( \\\r\n"
                                "    KC_Q, KC_W, KC_E)\r\n"
                                "const uint16_t PROGMEM keymaps[][MATRIX_ROWS][MATRIX_COLS] = {\r\n"
                                "    [0] = LAYOUT_all( \\\r\n"
                                "        KC_ESC, KC_1,\\\n"
                                "        KC_RGUI\\\n"
                                "    )\r\n"
                                "};\r\n";
    EXPECT_EQ(Codes(Load(Import(board, WithKeymap(keymapC)))),
              (std::vector<ScanCode>{0x01, 0x02, 0xE05C}));

    const std::string alias = "const uint16_t keymaps[][2][2] = {[0] = LAYOUT_compat(KC_A, "
                              "KC_B, KC_C)};";
    EXPECT_EQ(Codes(Load(Import(board, WithKeymap(alias)))),
              (std::vector<ScanCode>{0x1E, 0x30, 0x2E}));
    const ImportResult json =
        Import(board, WithKeymap(R"({"layout": "LAYOUT_two", "layers": [["KC_A", "KC_B"]]})"));
    EXPECT_EQ(Codes(Load(json)), (std::vector<ScanCode>{0x1E, 0x30}));
    EXPECT_NE(json.text.find("// Imported from the QMK layout LAYOUT_two"), std::string::npos);

    ImportOptions chosen = WithKeymap("const uint16_t keymaps[][2][2] = {[0] = LAYOUT_all(KC_A, "
                                      "KC_B)};");
    chosen.layoutName = "LAYOUT_two"; // --layout wins over the keymap's
    EXPECT_EQ(Codes(Load(Import(board, chosen))), (std::vector<ScanCode>{0x1E, 0x30}));

    EXPECT_EQ(Import(board, WithKeymap("uint16_t keymaps[][1][1] = {LAYOUT_iso(KC_A)};")).error,
              "the keymap uses the layout 'LAYOUT_iso', which the keyboard does not have; its "
              "layouts are: LAYOUT_all, LAYOUT_two (choose one with --layout)");
}

TEST(KleImport, HashOnTheNumberRowIsThree) {
    const char* json = R"([["Esc","!","@","#","$"],["Tab","Q","W","E","R"],
                           ["Caps","A","S","D","#"]])";
    const ImportResult result = Import(json);
    EXPECT_EQ(Codes(Load(result)),
              (std::vector<ScanCode>{0x01, 0x02, 0x03, 0x04, 0x05, 0x0F, 0x10, 0x11, 0x12, 0x13,
                                     0x3A, 0x1E, 0x1F, 0x20, 0x2B}));
    EXPECT_TRUE(result.notes.empty()) << result.notes.front();
}

TEST(LayoutImport, ImportedTextCannotBreakOrAddLayoutLines) {
    // Character references decoded to line ends, a legend that is a layout line, control
    // characters in a QMK layout name, and a name longer than a line of layout text.
    const std::string longName(1100, 'N');
    const std::string cases[] = {
        R"([["Esc","!\n1&#13;X","W"]])",
        R"([["Q\nA&#10;R1, 0x1E, \"A\", \"A\", 1 //","W&#x2028;&#133;"]])",
        R"({"layouts": {"L\r\nR1, 0x1E, \"A\", \"A\", 1": {"layout": [{"x": 0, "y": 0,
            "label": "Q"}, {"x": 1, "y": 0, "label": "&#x85;W\u0085\r\nR1, 0x1E, 1 //"}]}},
            "keyboard_name": "K\u0001\n"})",
        R"({"layouts": {")" + longName + R"(": {"layout": [{"x": 0, "y": 0, "label": "Q"}]}},
            "keyboard_name": ")" +
            longName + "\"}",
    };
    for (const std::string& json : cases) {
        const ImportResult result = Import(json);
        const KeyboardLayout layout = Load(result);
        for (const LayoutKey& key : layout.keys) {
            EXPECT_NE(key.scanCode, 0x1E) << result.text;
            EXPECT_EQ(key.label.find_first_of(L"\r\x85\x2028\x01"), std::wstring::npos);
        }
        EXPECT_EQ(layout.name.find_first_of(L"\r\n\x01"), std::wstring::npos);
    }
}

TEST(LayoutImport, InputWithoutAnyScanCodeIsRefused) {
    const ImportResult kle = Import(R"([["foo","bar"]])");
    EXPECT_FALSE(kle.ok);
    EXPECT_TRUE(kle.text.empty());
    EXPECT_EQ(kle.error,
              "no key of the input has a scan code (2 keys, none known by its label or keycode)");
    const ImportResult qmk =
        Import(R"({"layouts": {"LAYOUT": {"layout": [{"x": 0, "y": 0}, {"x": 1, "y": 0}]}}})",
               WithKeymap("const uint16_t keymaps[][1][2] = {[0] = LAYOUT(,)};"));
    EXPECT_FALSE(qmk.ok);
    EXPECT_NE(qmk.error.find("no key of the input has a scan code"), std::string::npos);
}

TEST(LayoutImport, WhateverTheFuzzCorporaImportAlsoLoads) {
    int imported = 0;
    for (const char* corpus : {"import_kle", "import_qmk"}) {
        const std::filesystem::path folder =
            std::filesystem::path(TAPWISE_SOURCE_DIR) / "fuzz" / "corpus" / corpus;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string bytes = ReadFileBytes(entry.path());
            ImportOptions options;
            std::string_view definition = bytes;
            const std::size_t split = bytes.find('\0');
            if (split != std::string::npos) { // the QMK target's form: definition NUL keymap
                definition = definition.substr(0, split);
                options = WithKeymap(bytes.substr(split + 1));
            }
            const ImportResult result = ImportLayout(definition, options);
            if (!result.ok) {
                EXPECT_FALSE(result.error.empty()) << entry.path();
                continue;
            }
            ++imported;
            EXPECT_GT(result.keys, 0) << entry.path();
            SCOPED_TRACE(entry.path().string());
            Load(result);
        }
    }
    EXPECT_GT(imported, 0);
}

TEST(QmkImport, ALayoutWithoutLabelsAsksForItsKeymap) {
    // Only the other layout has labels: the chosen one is still told by its keymap alone.
    const std::string board = R"({"layouts": {
        "LAYOUT_a": {"layout": [{"x": 0, "y": 0, "label": "Q"}]},
        "LAYOUT_b": {"layout": [{"x": 0, "y": 0}, {"x": 1, "y": 0, "label": ""}]}}})";
    ImportOptions options;
    options.layoutName = "LAYOUT_b";
    const ImportResult result = Import(board, options);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.needsKeymap);
    EXPECT_EQ(result.error, "the layout has no labels: give its keymap with --keymap "
                            "(keymaps/default/keymap.json or keymap.c)");
    options.layoutName = "LAYOUT_a";
    EXPECT_TRUE(Import(board, options).ok);
}
