#include "layouts/layout_tokenizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

std::vector<std::wstring> Tokens(const std::wstring& line) {
    bool inComment = false;
    return TokenizeLayoutLine(line, inComment);
}

using Fields = std::vector<std::wstring>;

} // namespace

TEST(LayoutTokenizer, SplitsAtCommasAndCleansEachField) {
    EXPECT_EQ(Tokens(L"R1, 0x01, \"Esc\", \"Esc\", 1"),
              (Fields{L"R1", L"0x01", L"Esc", L"Esc", L"1"}));
    EXPECT_EQ(Tokens(L"R6-7,0xE01C,\"Enter\", \"Enter\",1-1"),
              (Fields{L"R6-7", L"0xE01C", L"Enter", L"Enter", L"1-1"}));
    // Commas inside quotes belong to the field; spaces inside quotes at the ends go.
    EXPECT_EQ(Tokens(L"a, \" x,y \", b"), (Fields{L"a", L"x,y", L"b"}));
}

TEST(LayoutTokenizer, EmptyFieldsAreKeptAtCommasButNotAtTheLineEnd) {
    EXPECT_EQ(Tokens(L"R1, BL, \"\", \"\", 1"), (Fields{L"R1", L"BL", L"", L"", L"1"}));
    EXPECT_EQ(Tokens(L"a, b, c, d, e,"), (Fields{L"a", L"b", L"c", L"d", L"e"}));
    EXPECT_EQ(Tokens(L"a, b, c, d,").size(), 4u);
    EXPECT_EQ(Tokens(L",").size(), 1u);
    // An end character inside quotes keeps even an empty field.
    EXPECT_EQ(Tokens(L"R1, \""), (Fields{L"R1", L""}));
    EXPECT_EQ(Tokens(L"R1, \"ab\ncd\", x"), (Fields{L"R1", L"ab"}));
}

TEST(LayoutTokenizer, LineEndsAtCarriageReturnLineFeedOrNul) {
    EXPECT_TRUE(Tokens(L"").empty());
    EXPECT_TRUE(Tokens(L"\r\nR1, x").empty());
    EXPECT_TRUE(Tokens(L"\nR1, x").empty());
    EXPECT_EQ(Tokens(L"a, b\rc, d"), (Fields{L"a", L"b"}));
    EXPECT_EQ(Tokens(std::wstring(L"a, b\0c, d", 9)), (Fields{L"a", L"b"}));
    EXPECT_TRUE(Tokens(L"   \t ").empty());
}

TEST(LayoutTokenizer, LineCommentEndsTheLineEvenInsideQuotes) {
    EXPECT_EQ(Tokens(L"R2, BL, \"\", \"\", 18.5x0.5 // 18.5 width and 0.5 height"),
              (Fields{L"R2", L"BL", L"", L"", L"18.5x0.5"}));
    EXPECT_TRUE(Tokens(L"// Top row - numbers, backspace, etc.").empty());
    // The quote before the slashes is left alone and dropped; the line is cut short.
    EXPECT_EQ(Tokens(L"R1, 0x01, \"a//b\", \"n\", 1"), (Fields{L"R1", L"0x01", L"a"}));
}

TEST(LayoutTokenizer, BlockCommentsCarryAcrossLines) {
    bool inComment = false;
    // The field being collected when the line ends inside the comment is lost.
    EXPECT_EQ(TokenizeLayoutLine(L"a, b /* c, d", inComment), (Fields{L"a"}));
    EXPECT_TRUE(inComment);
    EXPECT_TRUE(TokenizeLayoutLine(L"R1, 0x01, \"x\", \"x\", 1", inComment).empty());
    EXPECT_TRUE(inComment);
    EXPECT_EQ(TokenizeLayoutLine(L"e */ f, g", inComment), (Fields{L"f", L"g"}));
    EXPECT_FALSE(inComment);
    // The star after the opening slash already counts as a comment character.
    EXPECT_EQ(TokenizeLayoutLine(L"a/*/b, c", inComment), (Fields{L"ab", L"c"}));
    EXPECT_FALSE(inComment);
    // A quote inside a comment still toggles the quote state and reaches the field, so
    // the comma after it is part of the field.
    EXPECT_EQ(TokenizeLayoutLine(L"x/* \" */y, z\"", inComment), (Fields{L"xy, z"}));
}

TEST(LayoutFieldCleanup, QuotesEscapesAndWhiteSpaceInThatOrder) {
    EXPECT_EQ(CleanLayoutField(L" \"' \"\"\" "), L"' \"");
    EXPECT_EQ(CleanLayoutField(L"\"2 \"\"\""), L"2 \"");
    EXPECT_EQ(CleanLayoutField(L"\"a\"\"b\""), L"a\"b");
    EXPECT_EQ(CleanLayoutField(L"\"\"\"\""), L"\"");
    // An empty quoted text is empty, not a quote.
    EXPECT_EQ(CleanLayoutField(L" \"\""), L"");
    EXPECT_EQ(CleanLayoutField(L" \"a"), L"a");
    EXPECT_EQ(CleanLayoutField(L"\"Page\\nUp\""), L"Page\nUp");
    EXPECT_EQ(CleanLayoutField(L"\"a\\r\\nb\""), L"a\nb");
    EXPECT_EQ(CleanLayoutField(L"\"a\\tb\\\""), L"a\\tb\\");
    EXPECT_EQ(CleanLayoutField(L"\"\\ |\""), L"\\ |");
    EXPECT_EQ(CleanLayoutField(L"\"  padded  \""), L"padded");
    EXPECT_EQ(CleanLayoutField(L"\x3000x\x00A0"), L"x");
    // A trailing escaped line break is white space and is trimmed.
    EXPECT_EQ(CleanLayoutField(L"\"end\\n\""), L"end");
}

TEST(LayoutNumbers, IntegerRuleChoosesTheBaseByTheZeroXPrefix) {
    EXPECT_EQ(ReadLayoutInteger(L"0x1D"), 0x1D);
    EXPECT_EQ(ReadLayoutInteger(L"0XE11D"), 0xE11D);
    EXPECT_EQ(ReadLayoutInteger(L"29"), 29);
    EXPECT_EQ(ReadLayoutInteger(L"57629"), 57629);
    EXPECT_EQ(ReadLayoutInteger(L"0x"), 0);
    EXPECT_EQ(ReadLayoutInteger(L"0xZZ"), 0);
    EXPECT_EQ(ReadLayoutInteger(L"BL"), 0);
    EXPECT_EQ(ReadLayoutInteger(L"12abc"), 12);
    EXPECT_EQ(ReadLayoutInteger(L"-1"), -1);
    EXPECT_EQ(ReadLayoutInteger(L"+7"), 7);
    EXPECT_EQ(ReadLayoutInteger(L"010"), 10);
}

TEST(LayoutNumbers, IntegersBeyondThirtyTwoBitsAreClamped) {
    const auto max = std::numeric_limits<std::int32_t>::max();
    const auto min = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(ReadLayoutInteger(L"2147483647"), max);
    EXPECT_EQ(ReadLayoutInteger(L"2147483648"), max);
    EXPECT_EQ(ReadLayoutInteger(L"-2147483648"), min);
    EXPECT_EQ(ReadLayoutInteger(L"-2147483649"), min);
    EXPECT_EQ(ReadLayoutInteger(L"0xFFFFFFFFFFFFFFFFFFFFFFFF"), max);
    EXPECT_EQ(ReadLayoutInteger(std::wstring(5000, L'9')), max);
    EXPECT_EQ(ReadLayoutLong(L"  42, x", 10), 42);
    EXPECT_EQ(ReadLayoutLong(L" ISO", 10), 0);
}

TEST(LayoutNumbers, DecimalRuleReadsLikeWcstod) {
    EXPECT_EQ(ReadLayoutDecimal(L"1.5"), 1.5);
    EXPECT_EQ(ReadLayoutDecimal(L".5"), 0.5);
    EXPECT_EQ(ReadLayoutDecimal(L"18.5"), 18.5);
    EXPECT_EQ(ReadLayoutDecimal(L"6.25"), 6.25);
    EXPECT_EQ(ReadLayoutDecimal(L" 0.25"), 0.25);
    EXPECT_EQ(ReadLayoutDecimal(L"2abc"), 2.0);
    EXPECT_EQ(ReadLayoutDecimal(L"abc"), 0.0);
    EXPECT_EQ(ReadLayoutDecimal(L""), 0.0);
    EXPECT_EQ(ReadLayoutDecimal(L"-2"), -2.0);
    EXPECT_EQ(ReadLayoutDecimal(L"1e2"), 100.0);
    EXPECT_EQ(ReadLayoutDecimal(L"1,5"), 1.0);
    EXPECT_EQ(ReadLayoutDecimal(L"0x10"), 16.0);
    EXPECT_TRUE(std::isinf(ReadLayoutDecimal(L"1e999")));
    EXPECT_EQ(ReadLayoutDecimal(L"1e-999"), 0.0);
    EXPECT_TRUE(std::isinf(ReadLayoutDecimal(L"inf")));
    EXPECT_TRUE(std::isnan(ReadLayoutDecimal(L"nan")));
}
