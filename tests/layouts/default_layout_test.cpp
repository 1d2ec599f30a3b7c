#include "layouts/default_layout.h"

#include "layout_test_util.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

TEST(DefaultLayout, TextIsTheStoredFileByteForByte) {
    const std::string stored = ReadFileBytes(TAPWISE_SOURCE_DIR "/src/resources/default.kbl");
    ASSERT_FALSE(stored.empty());
    EXPECT_EQ(std::string(DefaultLayoutUtf8()), stored);
    EXPECT_EQ(DefaultLayoutText().back(), L'\n');
    EXPECT_EQ(ReadLayoutTextName(DefaultLayoutText()), L"104 Key ANSI");
}

TEST(DefaultLayout, LoadsTo104KeysOn23By6AndAHalfUnits) {
    const TextLoad load = LoadText(DefaultLayoutText());
    ASSERT_TRUE(load.loaded) << load.log;
    EXPECT_TRUE(load.reachedEnd);
    EXPECT_EQ(load.log, L"Loading keyboard layout from string...\n");
    EXPECT_EQ(load.layout.name, L"104 Key ANSI");
    EXPECT_EQ(load.layout.keys.size(), 104u);
    EXPECT_EQ(load.layout.width, 828);
    EXPECT_EQ(load.layout.height, 234);
    EXPECT_TRUE(load.layout.hasPause);
    EXPECT_FALSE(load.layout.hasBreak);
    for (const LayoutKey& key : load.layout.keys) {
        EXPECT_EQ(key.state, Unpressed);
    }
}

TEST(DefaultLayout, GeometryOfTheTrickyKeys) {
    TextLoad load = LoadText(DefaultLayoutText());
    KeyboardLayout& layout = load.layout;
    // Print Screen after Esc, a gap, twelve F keys and three half gaps: x = 15.5.
    const LayoutKey* print = layout.FindKey(0xE037);
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->left, 558);
    EXPECT_EQ(print->label, L"Print\nScrn");
    // Row 3 starts below row 1 and the half-unit blank row 2.
    EXPECT_EQ(layout.FindKey(0x29)->top, 54);
    const LayoutKey* plus = layout.FindKey(0x4E);
    EXPECT_TRUE(plus->twoRow);
    EXPECT_EQ(plus->left, 792);
    EXPECT_EQ(plus->top, 90);
    EXPECT_EQ(plus->bottom, 162);
    EXPECT_EQ(plus->secondRowWidth, 36);
    const LayoutKey* enter = layout.FindKey(0xE01C);
    EXPECT_EQ(enter->left, 792);
    EXPECT_EQ(enter->top, 162);
    EXPECT_EQ(enter->bottom, 234);
    EXPECT_EQ(layout.FindKey(0x4D)->right, 792); // keypad 6 ends where + hangs down
    EXPECT_EQ(layout.FindKey(0x28)->label, L"' \"");
    EXPECT_EQ(layout.FindKey(0x39)->right - layout.FindKey(0x39)->left, 225);
    EXPECT_EQ(layout.FindKey(0x53)->left, 756);
}

TEST(DefaultLayout, NamesAfterLoading) {
    TextLoad load = LoadText(DefaultLayoutText());
    EXPECT_EQ(load.names.Lookup(0x2B), L"\\");
    EXPECT_EQ(load.names.Lookup(0xE037), L"Print Screen");
    EXPECT_EQ(load.names.Lookup(0x4E), L"Num +");
    EXPECT_EQ(load.names.Lookup(0xE05D), L"Menu");
    EXPECT_EQ(load.names.Lookup(0x5D), L"RWin");
    EXPECT_EQ(load.names.Lookup(0xE05B), L"LWin");
}

TEST(DefaultLayout, LargeKeySizes) {
    const TextLoad load = LoadText(DefaultLayoutText(), 1000000);
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(load.layout.width, 23000000);
    EXPECT_EQ(load.layout.height, 6500000);
}

TEST(Base64, DecodesStandardAlphabetWithPadding) {
    std::string out;
    EXPECT_TRUE(DecodeBase64("TWFu", out));
    EXPECT_EQ(out, "Man");
    EXPECT_TRUE(DecodeBase64("TWE=", out));
    EXPECT_EQ(out, "Ma");
    EXPECT_TRUE(DecodeBase64("TQ==", out));
    EXPECT_EQ(out, "M");
    EXPECT_TRUE(DecodeBase64("+/+/", out));
    EXPECT_EQ(out, "\xFB\xFF\xBF");
    EXPECT_TRUE(DecodeBase64("", out));
    EXPECT_TRUE(out.empty());
}

TEST(Base64, WrongLengthFailsAndStrayCharactersDecodeAsZero) {
    std::string out = "left over";
    EXPECT_FALSE(DecodeBase64("TWF", out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(DecodeBase64("TWFuTQ=", out));
    EXPECT_TRUE(DecodeBase64("TW\nu", out));
    EXPECT_EQ(out, "M`.");
    EXPECT_TRUE(DecodeBase64("T=Fu", out));
    EXPECT_EQ(out, std::string("L\x01\x6E", 3));
}
