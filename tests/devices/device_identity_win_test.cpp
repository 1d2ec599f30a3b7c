#include "devices/device_identity_win.h"

#include "base/utf8.h"
#include "layouts/layout_selection.h"
#include "layouts/resource_strings_win.h"
#include "logging/log_saving.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool IsKnownInterfaceText(const std::wstring& text) {
    return text == L"Unknown" || text == L"USB" || text == L"PS/2" || text == L"Bluetooth";
}

TEST(DeviceIdentificationWin, RealRawInputKeyboardsYieldAKind) {
    UINT count = 0;
    ASSERT_EQ(GetRawInputDeviceList(nullptr, &count, sizeof(RAWINPUTDEVICELIST)), 0u);
    std::vector<RAWINPUTDEVICELIST> devices(count);
    if (count > 0) {
        ASSERT_NE(GetRawInputDeviceList(devices.data(), &count, sizeof(RAWINPUTDEVICELIST)),
                  static_cast<UINT>(-1));
    }
    int identified = 0;
    std::string kinds;
    for (const auto& device : devices) {
        CapturedLog log;
        const auto result = IdentifyRawInputDevice(device.hDevice, DeviceTextDefault);
        if (device.dwType == RIM_TYPEKEYBOARD) {
            EXPECT_TRUE(result.detected) << EncodeUtf8(log.Text());
        }
        if (result.detected) {
            EXPECT_TRUE(IsKnownInterfaceText(result.interfaceText));
            EXPECT_NE(log.Text().find(L"Device name:  "), std::wstring::npos);
            ++identified;
            kinds += EncodeUtf8(result.interfaceText) + ";";
        }
    }
    RecordProperty("identified", identified);
    RecordProperty("kinds", kinds);
}

TEST(DeviceIdentificationWin, BogusHandleFailsQuietly) {
    CapturedLog log;
    const auto result = IdentifyRawInputDevice(
        reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x7FFF0)), DeviceTextDefault);
    EXPECT_FALSE(result.detected);
    EXPECT_EQ(result.details, L"");
    EXPECT_NE(log.Text().find(L"Unable to get device name length.\n"), std::wstring::npos);
}

TEST(DeviceIdentificationWin, FieldsKeepInterfaceTextWhenDetectionFails) {
    HWND interfaceField = CreateWindowExW(0, L"STATIC", L"USB", WS_POPUP, 0, 0, 10, 10, nullptr,
                                          nullptr, nullptr, nullptr);
    HWND detailsField = CreateWindowExW(0, L"STATIC", L"old", WS_POPUP, 0, 0, 10, 10, nullptr,
                                        nullptr, nullptr, nullptr);
    ASSERT_TRUE(interfaceField && detailsField);
    IdentificationResult failed;
    ShowIdentification(failed, interfaceField, detailsField);
    wchar_t text[64] = {};
    GetWindowTextW(interfaceField, text, 64);
    EXPECT_STREQ(text, L"USB");
    GetWindowTextW(detailsField, text, 64);
    EXPECT_STREQ(text, L"");

    IdentificationResult found{true, L"PS/2", L"Standard PS/2 Keyboard"};
    ShowIdentification(found, interfaceField, detailsField);
    GetWindowTextW(interfaceField, text, 64);
    EXPECT_STREQ(text, L"PS/2");
    DestroyWindow(interfaceField);
    DestroyWindow(detailsField);
}

TEST(DeviceIdentificationWin, StringTableMatchesTheBuiltInTexts) {
    for (int id = 139; id <= 159; ++id) {
        std::wstring expected = DeviceTextDefault(id);
        if (expected.empty()) {
            expected = LogSavingTextDefault(id);
        }
        if (expected.empty()) {
            expected = LayoutStatusTextDefault(id);
        }
        ASSERT_FALSE(expected.empty()) << id;
        std::wstring text;
        EXPECT_TRUE(ReadResourceString(static_cast<UINT>(id), text)) << id;
        EXPECT_EQ(text, expected) << id;
    }
}

} // namespace
