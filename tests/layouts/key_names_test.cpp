#include "layouts/key_names.h"

#include "layouts/keyboard_layout.h"

#include <gtest/gtest.h>

namespace {

LayoutKey Key(ScanCode code, const wchar_t* label, const wchar_t* name) {
    LayoutKey key;
    key.scanCode = code;
    key.label = label;
    key.name = name;
    return key;
}

} // namespace

TEST(KeyNames, BuiltInTableHas127NamesWrittenExactly) {
    KeyNameTable table;
    table.Rebuild(KeyboardLayout{});
    EXPECT_EQ(table.Entries().size(), 127u);
    const struct {
        ScanCode code;
        const wchar_t* name;
    } expected[] = {
        {0x01, L"ESC"},
        {0x44, L"F10"},
        {0x57, L"F11"},
        {0x46, L"Scroll"},
        {0xE11D, L"Pause"},
        {0xE046, L"Break"},
        {0x29, L"`"},
        {0x0B, L"0"},
        {0x2B, L"\\"},
        {0x56, L"\\"},
        {0x3A, L"Caps"},
        {0x28, L"'"},
        {0x2A, L"LShift"},
        {0xE05B, L"LWindows"},
        {0xE05C, L"RWin"},
        {0x5D, L"RWin"},
        {0x5E, L"Application"},
        {0xE039, L"Space"},
        {0xE049, L"Page Up"},
        {0xE035, L"Numpad /"},
        {0x53, L"Numpad ."},
        {0xE01C, L"Numpad Enter"},
        {0xE019, L"Scan Next Track"},
        {0xE022, L"Play/Pause"},
        {0xE02E, L"Volume Decrement"},
        {0xE030, L"Volume Increment"},
        {0xE032, L"AC Home"},
        {0xE021, L"AL Calculator*"},
        {0xE06B, L"AL Local Browser*"},
        {0xE06D, L"AL Consumer Control Configuration*"},
    };
    for (const auto& entry : expected) {
        EXPECT_EQ(table.Lookup(entry.code), entry.name) << std::hex << entry.code;
    }
    EXPECT_EQ(table.Entries().size(), 127u);
}

TEST(KeyNames, LayoutNamesOverrideAndEmptyNamesUseTheLabel) {
    KeyboardLayout layout;
    layout.keys.push_back(Key(0x2B, L"\\ |", L"Backslash"));
    layout.keys.push_back(Key(0xE037, L"Print\nScrn", L""));
    layout.keys.push_back(Key(0x33, L"&&", L""));
    layout.keys.push_back(Key(0x10, L"Q", L"First"));
    layout.keys.push_back(Key(0x10, L"Q", L"Second"));
    KeyNameTable table;
    table.Rebuild(layout);
    EXPECT_EQ(table.Lookup(0x2B), L"Backslash");
    EXPECT_EQ(table.Lookup(0xE037), L"Print Scrn");
    EXPECT_EQ(table.Lookup(0x33), L"&&");
    EXPECT_EQ(table.Lookup(0x10), L"Second");        // the later key names the code
    EXPECT_EQ(layout.FindKey(0x10)->name, L"First"); // the earlier key shows the state
    EXPECT_EQ(table.Lookup(0xE030), L"Volume Increment");

    // A rebuild starts again from the built-in names.
    table.Rebuild(KeyboardLayout{});
    EXPECT_EQ(table.Lookup(0x2B), L"\\");
    EXPECT_EQ(table.Lookup(0x10), L"Q");
}

TEST(KeyNames, LookupOfAnUnnamedCodeStoresAnEmptyEntry) {
    KeyNameTable table;
    table.Rebuild(KeyboardLayout{});
    EXPECT_EQ(table.Lookup(0xE036), L"");
    EXPECT_EQ(table.Entries().size(), 128u);
    EXPECT_EQ(table.Entries().count(0xE036), 1u);
    table.Lookup(0xE036);
    EXPECT_EQ(table.Entries().size(), 128u);
    table.Rebuild(KeyboardLayout{});
    EXPECT_EQ(table.Entries().count(0xE036), 0u);
}

TEST(KeyNames, ProcessWideTableIsOneInstance) {
    EXPECT_EQ(&KeyNames(), &KeyNames());
}
