#include "layouts/layout_parser.h"

#include "layout_test_util.h"
#include "layouts/default_layout.h"
#include "layouts/key_names.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>
#include <tuple>

namespace {

const wchar_t kInvalidFields[] = L"Invalid line, wrong number of fields.\n";
const wchar_t kTextStart[] = L"Loading keyboard layout from string...\n";

std::wstring TextLineError(int line, const std::wstring& text) {
    return L"   Error:  Line " + std::to_wstring(line) + L" invalid (length " +
           std::to_wstring(text.size()) + L", \"" + text + L"\").\n";
}

// The log of a text load that fails at one line with one parser message.
std::wstring FailedAt(const wchar_t* message, int line, const std::wstring& text) {
    return kTextStart + std::wstring(message) + TextLineError(line, text);
}

} // namespace

TEST(LayoutParser, BlanksTakeRoomButAreNotStored) {
    const TextLoad load = LoadText(L"T\nR1, 0x01, \"Esc\", \"Esc\", 1\nR1, BL, \"\", \"\", 1\n"
                                   L"R1, 0x3B, \"F1\", \"F1\", 1\n");
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(load.log, kTextStart);
    ASSERT_EQ(load.layout.keys.size(), 2u);
    EXPECT_EQ(KeyAt(load.layout, 0).left, 0);
    EXPECT_EQ(KeyAt(load.layout, 1).scanCode, 0x3B);
    EXPECT_EQ(KeyAt(load.layout, 1).left, 72);
    EXPECT_EQ(KeyAt(load.layout, 1).right, 108);
    EXPECT_EQ(load.layout.width, 108);
    EXPECT_EQ(load.layout.height, 36);
}

TEST(LayoutParser, PixelsAreTruncatedProductsOfTheKeySize) {
    TextLoad load = LoadText(L"T\nR1, BL, \"\", \"\", 1.25\nR1, 0x10, \"Q\", \"Q\", 1.25\n");
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(KeyAt(load.layout, 0).left, 45);
    EXPECT_EQ(KeyAt(load.layout, 0).right, 90);

    // trunc(10 x 0.25) = 2; rectangle edges are truncated one by one, not summed first.
    load = LoadText(L"T\nR1, 0x10, \"Q\", \"Q\", 0.35x0.25\nR1, 0x11, \"W\", \"W\", 0.35\n", 10);
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(KeyAt(load.layout, 0).bottom, 2);
    EXPECT_EQ(KeyAt(load.layout, 0).right, 3);
    EXPECT_EQ(KeyAt(load.layout, 1).left, 3);
    EXPECT_EQ(KeyAt(load.layout, 1).right, 6);
    EXPECT_EQ(KeyAt(load.layout, 1).bottom, 10);
}

TEST(LayoutParser, LabelsDoubleAmpersandsAndKeepLineBreaks) {
    const TextLoad load = LoadText(L"T\nR1, 0x10, \"A & B\", \"A & B\", 1\n"
                                   L"R1, 0xE049, \"Page\\nUp\", \"\", 1\n");
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(KeyAt(load.layout, 0).label, L"A && B");
    EXPECT_EQ(KeyAt(load.layout, 0).name, L"A & B");
    EXPECT_EQ(KeyAt(load.layout, 1).label, L"Page\nUp");
    EXPECT_EQ(KeyAt(load.layout, 1).name, L"");
}

TEST(LayoutParser, CodesFollowTheIntegerRuleAndKeepSixteenBits) {
    const TextLoad load =
        LoadText(L"T\nR1, 57629, \"\", \"a\", 1\nR1, 0x1E046, \"\", \"b\", 1\n"
                 L"R1, abc, \"\", \"c\", 1\nR1, bl, \"\", \"d\", 1\nR1, -1, \"\", \"e\", 1\n");
    ASSERT_TRUE(load.loaded);
    ASSERT_EQ(load.layout.keys.size(), 5u);
    EXPECT_EQ(KeyAt(load.layout, 0).scanCode, 0xE11D);
    EXPECT_EQ(KeyAt(load.layout, 1).scanCode, 0xE046);
    EXPECT_EQ(KeyAt(load.layout, 2).scanCode, 0);
    EXPECT_EQ(KeyAt(load.layout, 3).scanCode, 0); // only upper-case BL is a blank
    EXPECT_EQ(KeyAt(load.layout, 4).scanCode, 0xFFFF);
    EXPECT_TRUE(load.layout.hasPause);
    EXPECT_TRUE(load.layout.hasBreak);
}

TEST(LayoutParser, WrongFieldCountIsReportedWithTheLine) {
    const std::wstring line = L"R1, 0x01, \"Esc\", \"Esc\"";
    TextLoad load = LoadText(L"T\n" + line + L"\n");
    EXPECT_FALSE(load.loaded);
    EXPECT_FALSE(load.reachedEnd);
    EXPECT_EQ(load.log, FailedAt(kInvalidFields, 1, line));

    // A trailing comma after the size still gives five fields.
    load = LoadText(L"T\nR1, 0x01, \"Esc\", \"Esc\", 1,\n");
    EXPECT_TRUE(load.loaded);
    load = LoadText(L"T\nR1, 0x01, \"Esc\", \"Esc\", 1, 2\n");
    EXPECT_EQ(load.log, FailedAt(kInvalidFields, 1, L"R1, 0x01, \"Esc\", \"Esc\", 1, 2"));
}

TEST(LayoutParser, RowFieldsAreChecked) {
    const wchar_t* secondRow = L"Invalid second row value.\n";
    const wchar_t* rowField = L"Invalid row field.\n";
    const struct {
        const wchar_t* row;
        const wchar_t* message;
    } cases[] = {
        {L"R4-4", secondRow}, {L"R4-3", secondRow}, {L"R4-6", rowField}, {L"R9", rowField},
        {L"R0", rowField},    {L"R", rowField},     {L"R-1", rowField},  {L"R8-9", rowField},
    };
    for (const auto& c : cases) {
        const std::wstring size =
            std::wstring(c.row).find(L'-') != std::wstring::npos ? L"1-1" : L"1";
        const std::wstring line = std::wstring(c.row) + L", 0x01, \"a\", \"a\", " + size;
        EXPECT_EQ(LoadText(L"T\n" + line).log, FailedAt(c.message, 1, line)) << c.row;
    }
    // Any first character; the row number may be written in hex.
    EXPECT_TRUE(LoadText(L"T\nX8, 0x01, \"a\", \"a\", 1").loaded);
    EXPECT_TRUE(LoadText(L"T\nR0x2, 0x01, \"a\", \"a\", 1").loaded);
    EXPECT_TRUE(LoadText(L"T\nR7-8, 0x01, \"a\", \"a\", 1-1").loaded);
}

TEST(LayoutParser, RowsNeverGoBackwardsAndSkippedRowsAddNoHeight) {
    const std::wstring back = L"R2, 0x04, \"d\", \"d\", 1";
    TextLoad load = LoadText(L"T\nR1, 0x01, \"a\", \"a\", 1\nR1, 0x02, \"b\", \"b\", 1\n"
                             L"R3, 0x03, \"c\", \"c\", 1\n" +
                             back + L"\n");
    EXPECT_FALSE(load.loaded);
    EXPECT_EQ(load.log, FailedAt(L"Row is out of sequence.\n", 4, back));
    // The keys read before the bad line stay; the extent is not computed.
    EXPECT_EQ(load.layout.keys.size(), 3u);
    EXPECT_EQ(load.layout.width, 0);
    EXPECT_EQ(load.layout.name, L"T");

    load = LoadText(L"T\nR1, 0x01, \"a\", \"a\", 1\nR3, 0x03, \"c\", \"c\", 1\n");
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(KeyAt(load.layout, 1).top, 36);
    EXPECT_EQ(KeyAt(load.layout, 1).left, 0);
    EXPECT_EQ(load.layout.height, 72);
}

TEST(LayoutParser, SizeForms) {
    // WxH on a one-row key makes the key and its row taller.
    TextLoad load = LoadText(L"T\nR1, 0x01, \"a\", \"a\", 1x2\nR2, 0x02, \"b\", \"b\", 1X0.5\n"
                             L"R3, 0x03, \"c\", \"c\", 1x0.5\n");
    ASSERT_TRUE(load.loaded) << load.log;
    EXPECT_EQ(KeyAt(load.layout, 0).bottom, 72);
    EXPECT_EQ(KeyAt(load.layout, 1).top, 72);
    EXPECT_EQ(KeyAt(load.layout, 1).bottom, 90);
    EXPECT_EQ(KeyAt(load.layout, 2).top, 90);

    const wchar_t* width = L"Invalid width field.\n";
    const struct {
        const wchar_t* row;
        const wchar_t* size;
    } bad[] = {
        {L"R1", L"1-1"},     {L"R1-2", L"1"},       {L"R1", L"1x1x1"}, {L"R1-2", L"1-1x1"},
        {L"R1-2", L"1-1-1"}, {L"R1-2", L"1x2-1-1"}, {L"R1", L"1x2-1"},
    };
    for (const auto& c : bad) {
        const std::wstring line = std::wstring(c.row) + L", 0x01, \"a\", \"a\", " + c.size;
        EXPECT_EQ(LoadText(L"T\n" + line).log, FailedAt(width, 1, line)) << c.size;
    }
    // A separator at the very start is not recorded: "x2" is width 0, height 2.
    load = LoadText(L"T\nR1, 0x01, \"a\", \"a\", x2\n");
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(KeyAt(load.layout, 0).right, 0);
    EXPECT_EQ(KeyAt(load.layout, 0).bottom, 72);
    // Letters read as 0.
    load = LoadText(L"T\nR1, 0x01, \"a\", \"a\", wide\n");
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(KeyAt(load.layout, 0).right, 0);
}

TEST(LayoutParser, HeightMustBeOneOfFourValues) {
    const std::wstring line = L"R1, 0x01, \"a\", \"a\", 1x0.75";
    EXPECT_EQ(LoadText(L"T\n" + line).log,
              FailedAt(L"Invalid height, must be 0.25, 0.5 or 1.\n", 1, line));
    for (const wchar_t* size : {L"1x0.25", L"1x0.5", L"1x1", L"1x2"}) {
        EXPECT_TRUE(LoadText(L"T\nR1, 0x01, \"a\", \"a\", " + std::wstring(size)).loaded) << size;
    }
    // A negative size splits at its minus sign: width 0, height 5.
    EXPECT_FALSE(LoadText(L"T\nR1, 0x01, \"a\", \"a\", -5").loaded);
}

TEST(LayoutParser, TwoRowKeysReserveTheirLowerPartInTheNextRow) {
    // Upper section 1.5 wide, lower section 1.25 wide, right-aligned: reserved from 0.25 to 1.5.
    const TextLoad load = LoadText(L"T\nR1-2, 0x1C, \"Enter\", \"Enter\", 1.5x2-1.25\n"
                                   L"R2, BL, \"\", \"\", 0.25\nR2, 0x2B, \"\\\\\", \"\\\\\", 1\n"
                                   L"R2, 0x10, \"Q\", \"Q\", 1\n");
    ASSERT_TRUE(load.loaded) << load.log;
    const LayoutKey& enter = KeyAt(load.layout, 0);
    EXPECT_TRUE(enter.twoRow);
    EXPECT_EQ(enter.secondRowWidth, 45);
    EXPECT_EQ(enter.right, 54);
    EXPECT_EQ(enter.bottom, 72);
    // The blank ends exactly at the reservation and is not moved; the next key is.
    EXPECT_EQ(KeyAt(load.layout, 1).left, 54);
    EXPECT_EQ(KeyAt(load.layout, 1).top, 0); // a key with a lower width left row 1 at height 0
    // Only one reservation per entry, and it is used up.
    EXPECT_EQ(KeyAt(load.layout, 2).left, 90);
}

TEST(LayoutParser, TwoRowKeyWithoutSecondWidthMakesItsRowTaller) {
    const TextLoad load =
        LoadText(L"T\nR1-2, 0x4E, \"+\", \"+\", 1x1\nR2, 0x10, \"Q\", \"Q\", 1\n");
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(KeyAt(load.layout, 0).bottom, 36);
    EXPECT_EQ(KeyAt(load.layout, 1).top, 36);
    EXPECT_EQ(KeyAt(load.layout, 1).left, 0); // the reservation starts where Q ends
}

TEST(LayoutParser, KeysThatCannotBeDrawnAreReportedOneLineEach) {
    const TextLoad load = LoadText(L"T\nR1, 0x01, \"a\", \"a\", 1\nR1, 0x02, \"b\", \"b\", 0\n"
                                   L"R1-2, 0x1C, \"E\", \"E\", 1.5x2-0\nR1, 0x03, \"c\", \"c\", 1\n"
                                   L"R2, 0x04, \"d\", \"d\", wide\n");
    ASSERT_TRUE(load.loaded) << load.log;
    EXPECT_EQ(load.log,
              std::wstring(kTextStart) +
                  L"   Key 2 (0x0002) cannot be drawn: its rectangle (36, 0, 36, 36) is empty.\n"
                  L"   Key 3 (0x001C) cannot be drawn: the lower part of its L shape is empty "
                  L"(width 0).\n"
                  L"   Key 5 (0x0004) cannot be drawn: its rectangle (0, 72, 0, 108) is empty.\n");
    // A drawable layout loads without a word.
    EXPECT_EQ(LoadText(L"T\nR1, 0x01, \"a\", \"a\", 1\nR1-2, 0x1C, \"E\", \"E\", 1.5x2-1.25\n").log,
              kTextStart);
}

TEST(LayoutParser, HugeSizesAndKeySizesStayInsideIntRange) {
    TextLoad load = LoadText(L"T\nR1, 0x01, \"a\", \"a\", 1e300\nR1, 0x02, \"b\", \"b\", 1\n");
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(KeyAt(load.layout, 0).right, INT_MAX);
    EXPECT_EQ(KeyAt(load.layout, 1).left, INT_MAX);
    EXPECT_EQ(KeyAt(load.layout, 1).right, INT_MAX);
    load = LoadText(L"T\nR1, 0x01, \"a\", \"a\", nan\nR1, 0x02, \"b\", \"b\", inf\n");
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(KeyAt(load.layout, 0).right, 0);
    EXPECT_EQ(KeyAt(load.layout, 1).right, INT_MAX);
    load = LoadText(L"T\nR1, BL, \"\", \"\", 3\nR1, 0x01, \"a\", \"a\", 2\n", 1000000);
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(load.layout.width, 5000000);
}

TEST(LayoutTextLoader, NeedsTextAndAName) {
    TextLoad load = LoadText(L"");
    EXPECT_FALSE(load.loaded);
    EXPECT_EQ(load.log, std::wstring(kTextStart) + L"   No data.\n");
    load = LoadText(L"Just a name");
    EXPECT_FALSE(load.loaded);
    EXPECT_EQ(load.log, std::wstring(kTextStart) + L"   Name missing.\n");
    EXPECT_EQ(load.layout.name, L"");
    // Text ends at a NUL, as it would as a C string.
    load = LoadText(std::wstring(L"\0T\n", 3));
    EXPECT_EQ(load.log, std::wstring(kTextStart) + L"   No data.\n");
}

TEST(LayoutTextLoader, EveryCarriageReturnAndLineFeedEndsALine) {
    const TextLoad load = LoadText(L"N\r\nR1, 0x01, \"a\", \"a\", 1\r\nbad\r\n");
    EXPECT_EQ(load.layout.name, L"N");
    // Line 1 is the empty line between the name's CR and LF.
    EXPECT_EQ(load.log, FailedAt(kInvalidFields, 4, L"bad"));
}

TEST(LayoutTextLoader, LastLineWithoutLineEndIsParsed) {
    const TextLoad load = LoadText(L"N\nR1, 0x01, \"a\", \"a\", 1\nR1, 0x02, \"b\", \"b\", 1");
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(load.layout.keys.size(), 2u);
}

TEST(LayoutTextLoader, AThousandLinesAtMost) {
    std::wstring text = L"N\n";
    for (int i = 1; i < 1000; ++i) {
        text += L"R1, 0x01, \"a\", \"a\", 1\n";
    }
    text += L"R1, 0x01, \"a\", \"a\", 1"; // line 1000, no line end
    TextLoad load = LoadText(text);
    EXPECT_TRUE(load.loaded);
    EXPECT_EQ(load.layout.keys.size(), 1000u);
    // The empty line after a final line end is line 1001.
    load = LoadText(text + L"\n");
    EXPECT_FALSE(load.loaded);
    EXPECT_FALSE(load.reachedEnd);
    EXPECT_EQ(load.log, std::wstring(kTextStart) + L"   Error:  Maximum lines exceeded.\n");
}

TEST(LayoutTextLoader, OnlyALoadThatReadsItsWholeTextRebuildsNames) {
    TextLoad load = LoadText(L"N\n// nothing but a comment\n");
    EXPECT_FALSE(load.loaded);
    EXPECT_TRUE(load.reachedEnd);
    EXPECT_EQ(load.log, kTextStart);
    EXPECT_EQ(load.names.Entries().size(), 127u);
    load = LoadText(L"N\nR1, BL, \"\", \"\", 1\n");
    EXPECT_FALSE(load.loaded); // blanks only
    EXPECT_EQ(load.layout.width, 0);

    load = LoadText(L"N\nR1, 0x01, \"a\", \"a\"\n");
    EXPECT_FALSE(load.reachedEnd);
    EXPECT_TRUE(load.names.Entries().empty());
}

TEST(LayoutTextLoader, BlockCommentsSpanLines) {
    const TextLoad load =
        LoadText(L"N\nR1, 0x01, \"a\", \"a\", 1 /* start\nR1, 0x02, \"b\", \"b\", 1\n"
                 L"still */ \nR1, 0x03, \"c\", \"c\", 1\n");
    // The opening line lost its size field: four fields.
    EXPECT_EQ(load.log, FailedAt(kInvalidFields, 1, L"R1, 0x01, \"a\", \"a\", 1 /* start"));

    const TextLoad closed = LoadText(L"N\n/* start\nR1, 0x02, \"b\", \"b\", 1\nstill */\n"
                                     L"R1, 0x03, \"c\", \"c\", 1\n");
    ASSERT_TRUE(closed.loaded);
    ASSERT_EQ(closed.layout.keys.size(), 1u);
    EXPECT_EQ(KeyAt(closed.layout, 0).scanCode, 0x03);
}

TEST(LayoutTextLoader, ANewLoadClearsThePreviousLayout) {
    KeyboardLayout layout;
    KeyNameTable names;
    CapturedLog log;
    ASSERT_TRUE(LoadLayoutText(L"A\nR1, 0xE11D, \"P\", \"P\", 1\n", 36, layout, names));
    EXPECT_TRUE(layout.hasPause);
    EXPECT_FALSE(LoadLayoutText(L"B\nR1, 0x01, \"a\", \"a\", 1\nR0, 0x02, \"b\", \"b\", 1\n", 36,
                                layout, names));
    EXPECT_EQ(layout.name, L"B");
    EXPECT_EQ(layout.keys.size(), 1u);
    EXPECT_FALSE(layout.hasPause);
    EXPECT_EQ(layout.width, 0);
    EXPECT_EQ(layout.height, 0);
    // The names of the last complete load stay.
    EXPECT_EQ(names.Lookup(0xE11D), L"P");
}

// A load into a layout and name table that held another layout (keys under test, codes
// looked up) ends exactly as a load into fresh ones.
TEST(LayoutTextLoader, ReloadingMatchesAFreshLoad) {
    const std::wstring first =
        L"First\nR1, 0xE11D, \"Pause\", \"Long pause name\", 1x2\n"
        L"R2-3, 0x4E, \"+\", \"\", 1.5x2-1.25\nR3, 0x10, \"Q\", \"Q key\", 1\n";
    const std::wstring second =
        L"Second\nR1, 0x2B, \"A & B\", \"\", 1\nR1, 0x01, \"Esc\", \"\", 0.5\n";
    const std::string version3 = "Third,3\n0x1C, \"Enter\", \"Return\", 1, 2, 1.5, 1\n";
    const auto expectSame = [](const KeyboardLayout& a, const KeyNameTable& aNames,
                               const KeyboardLayout& b, const KeyNameTable& bNames) {
        ASSERT_EQ(a.keys.size(), b.keys.size());
        for (auto x = a.keys.begin(), y = b.keys.begin(); x != a.keys.end(); ++x, ++y) {
            EXPECT_EQ(x->scanCode, y->scanCode);
            EXPECT_EQ(x->label, y->label);
            EXPECT_EQ(x->name, y->name);
            EXPECT_EQ(std::make_tuple(x->left, x->top, x->right, x->bottom),
                      std::make_tuple(y->left, y->top, y->right, y->bottom));
            EXPECT_EQ(x->twoRow, y->twoRow);
            EXPECT_EQ(x->secondRowWidth, y->secondRowWidth);
            EXPECT_EQ(x->state, y->state);
        }
        EXPECT_EQ(a.name, b.name);
        EXPECT_EQ(std::make_tuple(a.width, a.height, a.hasPause, a.hasBreak),
                  std::make_tuple(b.width, b.height, b.hasPause, b.hasBreak));
        EXPECT_EQ(aNames.Entries(), bNames.Entries());
    };
    CapturedLog log;
    KeyboardLayout layout;
    KeyNameTable names;
    // A test run: keys change state and unnamed codes get empty entries.
    const auto use = [&layout, &names]() {
        for (LayoutKey& key : layout.keys) {
            key.state = Alarm;
        }
        names.Lookup(0xE036);
        names.Lookup(0xFFFF);
    };
    ASSERT_TRUE(LoadLayoutText(first, 36, layout, names));
    use();

    ASSERT_TRUE(LoadLayoutText(second, 20, layout, names));
    KeyboardLayout fresh;
    KeyNameTable freshNames;
    ASSERT_TRUE(LoadLayoutText(second, 20, fresh, freshNames));
    expectSame(layout, names, fresh, freshNames);
    use();

    std::istringstream stream(version3);
    ASSERT_TRUE(LoadLayoutStream(stream, 36, layout, names));
    std::istringstream freshStream(version3);
    KeyboardLayout fresh3;
    KeyNameTable freshNames3;
    ASSERT_TRUE(LoadLayoutStream(freshStream, 36, fresh3, freshNames3));
    expectSame(layout, names, fresh3, freshNames3);
    use();

    ASSERT_TRUE(LoadLayoutText(first, 36, layout, names));
    KeyboardLayout freshFirst;
    KeyNameTable freshFirstNames;
    ASSERT_TRUE(LoadLayoutText(first, 36, freshFirst, freshFirstNames));
    expectSame(layout, names, freshFirst, freshFirstNames);
}

TEST(LayoutTextLoader, NameReader) {
    CapturedLog log;
    EXPECT_EQ(ReadLayoutTextName(L"104 Key ANSI\nR1"), L"104 Key ANSI");
    EXPECT_EQ(ReadLayoutTextName(L"Name, 3\r\n"), L"Name, 3");
    EXPECT_EQ(log.Text(), L"");
    EXPECT_EQ(ReadLayoutTextName(L""), L"");
    EXPECT_EQ(log.Text(), L"   No data.\n");
    log.Clear();
    EXPECT_EQ(ReadLayoutTextName(L"Name"), L"");
    EXPECT_EQ(log.Text(), L"   Name missing.\n");
}

TEST(LayoutScale, ScalingALoadedLayoutDrawsItAsALoadAtThatSize) {
    const std::wstring text = DefaultLayoutText();
    KeyNameTable names;
    KeyboardLayout scaled;
    ASSERT_TRUE(LoadLayoutText(text, 36, scaled, names));
    for (int keySize : {17, 10, 53}) {
        KeyboardLayout loaded;
        ASSERT_TRUE(LoadLayoutText(text, keySize, loaded, names));
        ScaleLayout(scaled, keySize);
        EXPECT_EQ(scaled.width, loaded.width);
        EXPECT_EQ(scaled.height, loaded.height);
        ASSERT_EQ(scaled.keys.size(), loaded.keys.size());
        auto other = loaded.keys.begin();
        for (const LayoutKey& key : scaled.keys) {
            EXPECT_EQ(std::tie(key.left, key.top, key.right, key.bottom, key.secondRowWidth),
                      std::tie(other->left, other->top, other->right, other->bottom,
                               other->secondRowWidth))
                << "key " << key.scanCode << " at " << keySize;
            ++other;
        }
    }
}
