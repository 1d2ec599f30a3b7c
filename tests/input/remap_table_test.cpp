#include "input/remap_table.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

void Put32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// A value with the given count field and mappings (target, source), terminator included.
std::vector<std::uint8_t> MakeMap(std::uint32_t count,
                                  std::initializer_list<std::pair<ScanCode, ScanCode>> mappings,
                                  bool terminator = true) {
    std::vector<std::uint8_t> bytes;
    Put32(bytes, 0);
    Put32(bytes, 0);
    Put32(bytes, count);
    for (const auto& [target, source] : mappings) {
        Put32(bytes, target | (static_cast<std::uint32_t>(source) << 16));
    }
    if (terminator) {
        Put32(bytes, 0);
    }
    return bytes;
}

} // namespace

TEST(ScancodeMap, AcceptsMappingsAndTranslatesTargetsBack) {
    CapturedLog log;
    RemapTable table;
    const auto bytes = MakeMap(3, {{0x001D, 0x003A}, {0xE01D, 0x0046}});
    ASSERT_EQ(bytes.size(), 24u);
    EXPECT_TRUE(table.ReadScancodeMap(bytes.data(), bytes.size()));
    EXPECT_EQ(log.Text(), L"Scan Code Map contains 3 entries.\n");
    EXPECT_EQ(table.Entries().size(), 2u);
    EXPECT_EQ(table.TranslateRemapped(0x1D), 0x3A); // Left Ctrl press refreshes Caps Lock
    EXPECT_EQ(table.TranslateRemapped(0xE01D), 0x46);
    EXPECT_EQ(table.TranslateRemapped(0x3A), 0x3A); // not a target: unchanged
}

TEST(ScancodeMap, TheFirstOfTwoMappingsWithOneTargetStays) {
    CapturedLog log;
    RemapTable table;
    const auto bytes = MakeMap(3, {{0x001D, 0x003A}, {0x001D, 0x0058}});
    EXPECT_TRUE(table.ReadScancodeMap(bytes.data(), bytes.size()));
    EXPECT_EQ(table.TranslateRemapped(0x1D), 0x3A);
}

TEST(ScancodeMap, FormatFaultsLeaveTheTableEmptyWithTheirMessages) {
    RemapTable table;
    const auto good = MakeMap(2, {{0x1D, 0x3A}});
    ASSERT_TRUE(table.ReadScancodeMap(good.data(), good.size()));

    struct Case {
        std::vector<std::uint8_t> bytes;
        const wchar_t* log;
    };
    std::vector<std::uint8_t> eight(8, 0);
    const Case cases[] = {
        {{}, L"Scan Code Map is invalid (0 bytes).\n"},
        {eight, L"Scan Code Map is invalid (8 bytes).\n"},
        // 12 bytes, count 0: header only; 3 words are not less than 0 + 3.
        {MakeMap(0, {}, false), L"Scan Code Map contains 0 entries.\n"},
        // 12 bytes, count 1: no room for the terminator.
        {MakeMap(1, {}, false),
         L"Scan Code Map contains 1 entries.\nScan Code Map is too short (12 bytes).\n"},
        // 20 bytes, count 3: 5 words are less than 6.
        {MakeMap(3, {{0x1D, 0x3A}}),
         L"Scan Code Map contains 3 entries.\nScan Code Map is too short (20 bytes).\n"},
        // A count whose mappings cannot fit, however the sum would wrap.
        {MakeMap(0xFFFFFFFF, {{0x1D, 0x3A}, {0x1E, 0x3A}}),
         L"Scan Code Map contains -1 entries.\nScan Code Map is too short (24 bytes).\n"},
        {MakeMap(0xFFFFFFFD, {{0x1D, 0x3A}, {0x1E, 0x3A}}),
         L"Scan Code Map contains -3 entries.\nScan Code Map is too short (24 bytes).\n"},
        // Count 1, terminator only: accepted but empty.
        {MakeMap(1, {}), L"Scan Code Map contains 1 entries.\n"},
    };
    for (const Case& c : cases) {
        CapturedLog log;
        EXPECT_FALSE(table.ReadScancodeMap(c.bytes.data(), c.bytes.size())) << c.bytes.size();
        EXPECT_EQ(log.Text(), c.log);
        EXPECT_TRUE(table.Entries().empty());
        EXPECT_EQ(table.TranslateRemapped(0x1D), 0x1D);
    }
}

TEST(ScancodeMap, ExtraBytesBeyondTheCountAreIgnored) {
    CapturedLog log;
    RemapTable table;
    auto bytes = MakeMap(2, {{0x1D, 0x3A}});
    Put32(bytes, 0x00460045); // trailing garbage after the terminator
    EXPECT_TRUE(table.ReadScancodeMap(bytes.data(), bytes.size()));
    EXPECT_EQ(table.Entries().size(), 1u);
    EXPECT_EQ(table.TranslateRemapped(0x45), 0x45);
}
