// Every layout that ships with the program loads cleanly and matches its board.
#include "layouts/key_names.h"
#include "layouts/keyboard_layout.h"
#include "layouts/layout_parser.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kKeySize = 36;

struct ShippedLayout {
    const char* file;
    const wchar_t* name;
    int keys;  // keys that send a scan code (an Fn key sends none and is a blank place)
    int width; // pixels at 36 per key unit
    int height;
    std::vector<ScanCode> required; // keys that make the board what it is
    std::vector<ScanCode> absent;   // keys the board does not have
};

const std::vector<ScanCode> kWindowsKeys = {0xE05B, 0xE05C, 0xE05D};
const std::vector<ScanCode> kNumericPad = {0x45, 0xE035, 0x37, 0x4A, 0x47, 0x48, 0x49, 0x4E,  0x4B,
                                           0x4C, 0x4D,   0x4F, 0x50, 0x51, 0x52, 0x53, 0xE01C};

const std::vector<ShippedLayout>& Shipped() {
    static const std::vector<ShippedLayout> layouts = {
        {"abnt2_107.kbl", L"107 Key ABNT2", 107, 810, 234, {0x56, 0x73, 0x7E, 0x2B}, {}},
        {"ansi_100_96percent.kbl",
         L"100 Key ANSI (96%)",
         99,
         684,
         225,
         {0x4E, 0xE01C, 0xE048, 0xE053},
         {0x56, 0x46}},
        {"ansi_101.kbl", L"101 Key ANSI", 101, 810, 234, {0x2B, 0xE11D}, kWindowsKeys},
        {"ansi_61_60percent.kbl", L"61 Key ANSI (60%)", 60, 540, 180, {0x01}, {0x29, 0x3B}},
        {"ansi_68_65percent.kbl", L"68 Key ANSI (65%)", 67, 576, 180, {0x29, 0xE048}, {0x3B}},
        {"ansi_84_75percent.kbl", L"84 Key ANSI (75%)", 83, 576, 225, {0x58, 0xE04F}, {0x45}},
        {"ansi_87_tenkeyless.kbl",
         L"87 Key ANSI (Tenkeyless)",
         87,
         657,
         234,
         {0xE05D, 0xE11D},
         kNumericPad},
        {"iso_uk_105.kbl", L"105 Key ISO UK", 105, 810, 234, {0x56, 0x2B, 0xE01C}, {}},
        {"iso_uk_62_60percent.kbl", L"62 Key ISO UK (60%)", 61, 540, 180, {0x56, 0x2B}, {0x29}},
        {"iso_uk_88_tenkeyless.kbl",
         L"88 Key ISO UK (Tenkeyless)",
         88,
         657,
         234,
         {0x56, 0x2B},
         kNumericPad},
        {"jis_109.kbl",
         L"109 Key JIS",
         109,
         810,
         234,
         {0x29, 0x73, 0x7D, 0x79, 0x7B, 0x70, 0x2B},
         {0x56}},
        {"numpad_17.kbl", L"17 Key Numeric Keypad", 17, 144, 180, kNumericPad, {0x01, 0x1C}},
    };
    return layouts;
}

fs::path ShippedFolder() {
    return fs::path(TAPWISE_SOURCE_DIR) / "layouts";
}

// A key's area: two rectangles for a two-row key whose lower part is narrower or wider.
struct Box {
    int left, top, right, bottom;
};

std::vector<Box> KeyBoxes(const LayoutKey& key) {
    if (!key.twoRow || key.secondRowWidth == 0) {
        return {{key.left, key.top, key.right, key.bottom}};
    }
    const int middle = key.top + (key.bottom - key.top) / 2;
    return {{key.left, key.top, key.right, middle},
            {key.right - key.secondRowWidth, middle, key.right, key.bottom}};
}

bool Overlap(const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool HasCode(const KeyboardLayout& layout, ScanCode code) {
    return std::any_of(layout.keys.begin(), layout.keys.end(),
                       [code](const LayoutKey& key) { return key.scanCode == code; });
}

struct Loaded {
    KeyboardLayout layout;
    KeyNameTable names;
    std::wstring log;
    bool ok = false;
};

void Load(const fs::path& path, Loaded& loaded) {
    CapturedLog log;
    loaded.ok = LoadLayoutFile(path.wstring(), kKeySize, loaded.layout, loaded.names);
    loaded.log = log.Text();
}

} // namespace

TEST(ShippedLayouts, FolderHoldsExactlyTheListedLayouts) {
    std::set<std::string> onDisk;
    for (const fs::directory_entry& entry : fs::directory_iterator(ShippedFolder())) {
        onDisk.insert(entry.path().filename().string());
    }
    std::set<std::string> listed;
    for (const ShippedLayout& shipped : Shipped()) {
        listed.insert(shipped.file);
    }
    EXPECT_EQ(onDisk, listed);
}

TEST(ShippedLayouts, LoadWithoutAnyParserMessage) {
    for (const ShippedLayout& shipped : Shipped()) {
        SCOPED_TRACE(shipped.file);
        const fs::path path = ShippedFolder() / shipped.file;
        Loaded loaded;
        Load(path, loaded);
        EXPECT_TRUE(loaded.ok);
        // The loader announces the file; anything after that line is a complaint.
        const std::wstring announce = L"Loading keyboard layout \"" + path.wstring() + L"\"...\n";
        EXPECT_EQ(loaded.log, announce);
        EXPECT_EQ(loaded.layout.name, shipped.name);
        EXPECT_EQ(ReadLayoutName(path.wstring()), shipped.name);
    }
}

TEST(ShippedLayouts, KeyCountAndPixelSizeMatchTheBoard) {
    for (const ShippedLayout& shipped : Shipped()) {
        SCOPED_TRACE(shipped.file);
        Loaded loaded;
        Load(ShippedFolder() / shipped.file, loaded);
        EXPECT_EQ(static_cast<int>(loaded.layout.keys.size()), shipped.keys);
        EXPECT_EQ(loaded.layout.width, shipped.width);
        EXPECT_EQ(loaded.layout.height, shipped.height);
    }
}

TEST(ShippedLayouts, EveryKeySendsItsOwnNamedCode) {
    for (const ShippedLayout& shipped : Shipped()) {
        SCOPED_TRACE(shipped.file);
        Loaded loaded;
        Load(ShippedFolder() / shipped.file, loaded);
        // None of these boards sends one code from two keys.
        std::map<ScanCode, int> uses;
        for (const LayoutKey& key : loaded.layout.keys) {
            ++uses[key.scanCode];
            EXPECT_FALSE(key.label.empty()) << std::hex << key.scanCode;
            EXPECT_FALSE(loaded.names.Lookup(key.scanCode).empty()) << std::hex << key.scanCode;
            const ScanCode prefix = key.scanCode & 0xFF00;
            EXPECT_TRUE(prefix == 0 || prefix == 0xE000 || key.scanCode == 0xE11D)
                << std::hex << key.scanCode;
        }
        for (const auto& [code, count] : uses) {
            EXPECT_EQ(count, 1) << "code " << std::hex << code;
        }
        for (ScanCode code : shipped.required) {
            EXPECT_TRUE(HasCode(loaded.layout, code)) << "missing " << std::hex << code;
        }
        for (ScanCode code : shipped.absent) {
            EXPECT_FALSE(HasCode(loaded.layout, code)) << "unexpected " << std::hex << code;
        }
    }
}

TEST(ShippedLayouts, KeysDoNotOverlap) {
    for (const ShippedLayout& shipped : Shipped()) {
        SCOPED_TRACE(shipped.file);
        Loaded loaded;
        Load(ShippedFolder() / shipped.file, loaded);
        std::vector<std::pair<ScanCode, Box>> boxes;
        for (const LayoutKey& key : loaded.layout.keys) {
            for (const Box& box : KeyBoxes(key)) {
                for (const auto& [other, placed] : boxes) {
                    EXPECT_FALSE(Overlap(box, placed))
                        << std::hex << key.scanCode << " overlaps " << other;
                }
            }
            for (const Box& box : KeyBoxes(key)) {
                boxes.emplace_back(key.scanCode, box);
            }
        }
    }
}

TEST(ShippedLayouts, IsoAndJisEnterIsWiderInItsUpperRow) {
    for (const char* file : {"iso_uk_105.kbl", "iso_uk_88_tenkeyless.kbl",
                             "iso_uk_62_60percent.kbl", "abnt2_107.kbl", "jis_109.kbl"}) {
        SCOPED_TRACE(file);
        Loaded loaded;
        Load(ShippedFolder() / file, loaded);
        const LayoutKey* enter = loaded.layout.FindKey(0x1C);
        ASSERT_NE(enter, nullptr);
        EXPECT_TRUE(enter->twoRow);
        EXPECT_EQ(enter->right - enter->left, 54); // 1.5 units
        EXPECT_EQ(enter->secondRowWidth, 45);      // 1.25 units
        EXPECT_EQ(enter->bottom - enter->top, 72);
        // The key beside the lower part ends where that part begins.
        const LayoutKey* beside = loaded.layout.FindKey(0x2B);
        ASSERT_NE(beside, nullptr);
        EXPECT_EQ(beside->right, enter->right - enter->secondRowWidth);
        EXPECT_EQ(beside->top, enter->top + 36);
    }
}

TEST(ShippedLayouts, NonAsciiLegendsSurviveTheUtf8File) {
    Loaded jis;
    Load(ShippedFolder() / "jis_109.kbl", jis);
    const LayoutKey* muhenkan = jis.layout.FindKey(0x7B);
    ASSERT_NE(muhenkan, nullptr);
    EXPECT_EQ(muhenkan->label, L"\u7121\u5909\u63db");
    EXPECT_EQ(jis.names.Lookup(0x7D), L"\u00a5");

    Loaded uk;
    Load(ShippedFolder() / "iso_uk_105.kbl", uk);
    const LayoutKey* three = uk.layout.FindKey(0x04);
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(three->label, L"3 \u00a3");
}
