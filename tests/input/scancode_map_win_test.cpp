#include "input/scancode_map_win.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

constexpr wchar_t kTestKey[] = L"Software\\TapwiseTests\\ScancodeMap";

class RegistryValue {
public:
    RegistryValue() {
        RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        nullptr);
    }
    ~RegistryValue() {
        RegCloseKey(key_);
        RegDeleteKeyW(HKEY_CURRENT_USER, kTestKey);
    }
    void Set(DWORD type, const void* data, DWORD size) {
        RegSetValueExW(key_, L"Scancode Map", 0, type, static_cast<const BYTE*>(data), size);
    }

private:
    HKEY key_ = nullptr;
};

} // namespace

TEST(ScancodeMapRegistry, ReadsTheBinaryValue) {
    RegistryValue value;
    RemapTable table;
    CapturedLog log;
    EXPECT_FALSE(ReadScancodeMapFrom(HKEY_CURRENT_USER, kTestKey, table)); // no value
    EXPECT_EQ(log.Text(), L"");

    const BYTE capsToCtrl[] = {0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0x1D, 0, 0x3A, 0, 0, 0, 0, 0};
    value.Set(REG_BINARY, capsToCtrl, sizeof capsToCtrl);
    EXPECT_TRUE(ReadScancodeMapFrom(HKEY_CURRENT_USER, kTestKey, table));
    EXPECT_EQ(table.TranslateRemapped(0x1D), 0x3A);
    EXPECT_EQ(log.Text(), L"Scan Code Map contains 2 entries.\n");

    log.Clear();
    value.Set(REG_DWORD, capsToCtrl, 4); // wrong type: ignored silently, table emptied
    EXPECT_FALSE(ReadScancodeMapFrom(HKEY_CURRENT_USER, kTestKey, table));
    EXPECT_TRUE(table.Entries().empty());
    EXPECT_EQ(log.Text(), L"");

    value.Set(REG_BINARY, capsToCtrl, 8);
    EXPECT_FALSE(ReadScancodeMapFrom(HKEY_CURRENT_USER, kTestKey, table));
    EXPECT_EQ(log.Text(), L"Scan Code Map is invalid (8 bytes).\n");

    log.Clear();
    EXPECT_FALSE(ReadScancodeMapFrom(HKEY_CURRENT_USER, L"Software\\TapwiseTests\\Missing", table));
    EXPECT_EQ(log.Text(), L"");
}
