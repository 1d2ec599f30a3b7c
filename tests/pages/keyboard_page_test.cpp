#include "pages/keyboard_page.h"
#include "report/readout.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

TEST(KeyboardGroupRect, FitsTheLayoutWithTwelvePixelsOnEachSide) {
    const PixelRect group{10, 150, 400, 300};
    const PixelRect grown = KeyboardGroupRect(group, 800, 250, 300, 100);
    EXPECT_EQ(grown, (PixelRect{10, 150, 10 + 800 + 24, 150 + 250 + 24}));
}

TEST(KeyboardGroupRect, NeverShrinksBelowTheTemplateBox) {
    const PixelRect group{0, 100, 900, 300};
    // A small numeric pad: both edges come from the minimum size.
    EXPECT_EQ(KeyboardGroupRect(group, 150, 180, 930, 210), (PixelRect{0, 100, 930, 310}));
    // Exactly the minimum counts as fitting.
    EXPECT_EQ(KeyboardGroupRect(group, 906, 186, 930, 210), (PixelRect{0, 100, 930, 310}));
    // Wider but lower than the template: only the height is held.
    EXPECT_EQ(KeyboardGroupRect(group, 1000, 100, 930, 210), (PixelRect{0, 100, 1024, 310}));
}

TEST(LanguageField, ShowsTheIdentifierInFourHexDigitsAndTheNativeName) {
    EXPECT_EQ(FormatLanguageField(0x0409, L"English"), L"0409 (English)");
    EXPECT_EQ(FormatLanguageField(0x0C0C, L"fran\u00e7ais"), L"0C0C (fran\u00e7ais)");
    EXPECT_EQ(FormatLanguageField(0x0411, L""), L"0411 ()");
    // The field's buffer holds 100 characters with the terminator.
    const std::wstring longName(300, L'x');
    EXPECT_EQ(FormatLanguageField(0x0409, longName).size(), 99u);
}

TEST(LanguageField, DiagnosticLineSplitsPrimaryAndSubLanguage) {
    CapturedLog log;
    LogKeyboardLayout(L"00000409", 0x0409, 0x0409);
    LogKeyboardLayout(L"0000080C", 0x080C, 0xF001);
    EXPECT_EQ(log.Text(),
              L"Keyboard layout:  \"00000409\", input language ID 0x409 (primary 0x9, sub 0x1), "
              L"layout handle 0x00000409\n"
              L"Keyboard layout:  \"0000080C\", input language ID 0x80c (primary 0xc, sub 0x2), "
              L"layout handle 0x0000f001\n");
}

TEST(TestReadout, CountsFaultyAsAnAlarmAndFillsTheBarOnlyWhenComplete) {
    std::vector<ReadoutPart> parts = ReadoutParts({104, 12, 0}, 3);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0].text, L"Tested 12 / 104");
    EXPECT_EQ(parts[1].text, L"Faulty 0");
    EXPECT_FALSE(parts[1].alarm);
    EXPECT_EQ(parts[2].text, L"Rollover 3");
    parts = ReadoutParts({104, 104, 2}, 6);
    EXPECT_EQ(parts[1].text, L"Faulty 2");
    EXPECT_TRUE(parts[1].alarm);
    EXPECT_EQ(ReadoutParts({104, 104, 0}, 6, 7)[2].text, L"Rollover 6, overflow at 7");

    EXPECT_EQ(ProgressFill(200, 0, 104), 0);
    EXPECT_EQ(ProgressFill(200, 52, 104), 100);
    EXPECT_EQ(ProgressFill(200, 103, 104), 198); // one key short never looks complete
    EXPECT_EQ(ProgressFill(200, 104, 104), 200);
    EXPECT_EQ(ProgressFill(200, 0, 0), 0); // a layout without keys
    EXPECT_EQ(ProgressFill(-5, 3, 4), 0);
}
