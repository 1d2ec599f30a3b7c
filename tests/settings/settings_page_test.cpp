#include "settings/settings_page.h"

#include "base/app_messages.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <limits>

TEST(ReadDecimalInt, ReadsLeadingDigitsLikeTheCLibrary) {
    EXPECT_EQ(ReadDecimalInt(L"8"), 8);
    EXPECT_EQ(ReadDecimalInt(L"2000"), 2000);
    EXPECT_EQ(ReadDecimalInt(L"0"), 0);
    EXPECT_EQ(ReadDecimalInt(L"007"), 7);
    EXPECT_EQ(ReadDecimalInt(L"12ms"), 12);
    EXPECT_EQ(ReadDecimalInt(L"  \t42"), 42);
    EXPECT_EQ(ReadDecimalInt(L"+5"), 5);
    EXPECT_EQ(ReadDecimalInt(L"-5"), -5);
}

TEST(ReadDecimalInt, TextWithoutLeadingDigitsIsZero) {
    EXPECT_EQ(ReadDecimalInt(L""), 0);
    EXPECT_EQ(ReadDecimalInt(L"abc"), 0);
    EXPECT_EQ(ReadDecimalInt(L"x12"), 0);
    EXPECT_EQ(ReadDecimalInt(L"-"), 0);
    EXPECT_EQ(ReadDecimalInt(L" - 3"), 0);
}

TEST(ReadDecimalInt, SaturatesInsteadOfWrapping) {
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(ReadDecimalInt(L"2147483647"), kMax);
    EXPECT_EQ(ReadDecimalInt(L"2147483648"), kMax);
    EXPECT_EQ(ReadDecimalInt(L"99999999999999999999999999"), kMax);
    EXPECT_EQ(ReadDecimalInt(L"-2147483648"), kMin);
    EXPECT_EQ(ReadDecimalInt(L"-99999999999999999999"), kMin);
}

TEST(SettingsPage, EditTextsAreStoredAsTyped) {
    AppSettings settings;
    EXPECT_TRUE(StoreEditText(settings, IDC_SET_LOG_FOLDER, L"%TEMP%\\logs"));
    EXPECT_TRUE(StoreEditText(settings, IDC_SET_LOG_PREFIX, L"Board"));
    EXPECT_TRUE(StoreEditText(settings, IDC_SET_LAYOUT_FOLDER, L"Q:\\does not exist"));
    // No expansion, no check that the folder exists.
    EXPECT_EQ(settings.LogFileDirectory, L"%TEMP%\\logs");
    EXPECT_EQ(settings.LogFilePrefix, L"Board");
    EXPECT_EQ(settings.LayoutFileDirectory, L"Q:\\does not exist");
    EXPECT_TRUE(StoreEditText(settings, IDC_SET_LOG_PREFIX, L""));
    EXPECT_EQ(settings.LogFilePrefix, L"");

    EXPECT_TRUE(StoreEditText(settings, IDC_SET_BENCH_PLAN, L"D:\\plans\\keypad.plan.json"));
    EXPECT_TRUE(StoreEditText(settings, IDC_SET_BENCH_OUTPUT, L""));
    EXPECT_EQ(settings.BenchPlan, L"D:\\plans\\keypad.plan.json");
    EXPECT_EQ(BenchOutputFolder(settings), L"%TEMP%\\logs"); // empty: the log folder
    EXPECT_TRUE(StoreCheckState(settings, IDC_SET_BENCH_ENABLED, 1));
    EXPECT_TRUE(settings.BenchEnabled);
    EXPECT_EQ(RawInputSwitchForEdit(IDC_SET_BENCH_PLAN, 0x100), RawInputSwitch::Disable);
}

TEST(SettingsPage, ThresholdTextBecomesANumberAtOnce) {
    AppSettings settings;
    EXPECT_TRUE(StoreEditText(settings, IDC_SET_CHATTER, L"25"));
    EXPECT_EQ(settings.ChatterThreshold, 25);
    EXPECT_TRUE(StoreEditText(settings, IDC_SET_CHATTER, L""));
    EXPECT_EQ(settings.ChatterThreshold, 0);
    EXPECT_TRUE(StoreEditText(settings, IDC_SET_CHATTER, L"30abc"));
    EXPECT_EQ(settings.ChatterThreshold, 30);
    EXPECT_EQ(CorrectedEditText(settings, IDC_SET_CHATTER, L"30abc"), L"");
}

TEST(SettingsPage, NegativeThresholdIsStoredAndShownAsZero) {
    AppSettings settings;
    for (const wchar_t* pasted : {L"-5", L"-2147483648", L" -1ms"}) {
        EXPECT_TRUE(StoreEditText(settings, IDC_SET_CHATTER, pasted));
        EXPECT_EQ(settings.ChatterThreshold, 0) << pasted;
        EXPECT_EQ(CorrectedEditText(settings, IDC_SET_CHATTER, pasted), L"0") << pasted;
    }
    EXPECT_EQ(CorrectedEditText(settings, IDC_SET_CHATTER, L"0"), L"");
    EXPECT_EQ(CorrectedEditText(settings, IDC_SET_LOG_PREFIX, L"-5"), L"");
}

TEST(SettingsPage, OtherControlsStoreNothing) {
    AppSettings settings;
    const AppSettings before = settings;
    EXPECT_FALSE(StoreEditText(settings, IDC_SET_VERSION, L"1"));
    EXPECT_FALSE(StoreEditText(settings, IDC_KBD_LOG, L"1"));
    EXPECT_FALSE(StoreCheckState(settings, IDC_SET_CHATTER, 1));
    EXPECT_EQ(StateColourOfButton(settings, IDC_SET_BROWSE_LOG), nullptr);
    EXPECT_EQ(settings.ChatterThreshold, before.ChatterThreshold);
    EXPECT_EQ(settings.LogFilePrefix, before.LogFilePrefix);
}

TEST(SettingsPage, ColourButtonsNameTheirStates) {
    AppSettings settings;
    EXPECT_EQ(StateColourOfButton(settings, 1038), &settings.Unpressed);
    EXPECT_EQ(StateColourOfButton(settings, 1039), &settings.Depressed);
    EXPECT_EQ(StateColourOfButton(settings, 1040), &settings.Pressed);
    EXPECT_EQ(StateColourOfButton(settings, 1041), &settings.Alarm);
}

TEST(SettingsPage, CheckBoxesAreTrueOnlyWhenTicked) {
    AppSettings settings;
    EXPECT_TRUE(StoreCheckState(settings, IDC_SET_OVERWRITE, 1));
    EXPECT_TRUE(settings.Overwrite);
    EXPECT_TRUE(StoreCheckState(settings, IDC_SET_SHOW_LOG, 0));
    EXPECT_FALSE(settings.ShowLog);
    // An indeterminate state (2) is not ticked.
    EXPECT_TRUE(StoreCheckState(settings, IDC_SET_SHOW_LOG, 2));
    EXPECT_FALSE(settings.ShowLog);
    EXPECT_TRUE(StoreCheckState(settings, IDC_SET_OVERWRITE, 0));
    EXPECT_FALSE(settings.Overwrite);
}

TEST(SettingsPage, BrowseButtonsFillTheirFolderBoxes) {
    EXPECT_EQ(FolderBrowseTargetOf(1042).editId, 1003);
    EXPECT_EQ(FolderBrowseTargetOf(1042).titleId, 129u);
    EXPECT_EQ(FolderBrowseTargetOf(1043).editId, 1047);
    EXPECT_EQ(FolderBrowseTargetOf(1043).titleId, 130u);
    EXPECT_EQ(FolderBrowseTargetOf(1038).editId, 0);
}

TEST(SettingsPage, EditFocusSwitchesRawInput) {
    for (int id : {1003, 1004, 1047, 1052}) {
        EXPECT_EQ(RawInputSwitchForEdit(id, 0x100), RawInputSwitch::Disable) << id;
        EXPECT_EQ(RawInputSwitchForEdit(id, 0x200), RawInputSwitch::Enable) << id;
        EXPECT_EQ(RawInputSwitchForEdit(id, 0x300), RawInputSwitch::None) << id; // EN_CHANGE
    }
    EXPECT_EQ(RawInputSwitchForEdit(IDC_SET_OVERWRITE, 0x100), RawInputSwitch::None);
}

TEST(SettingsPage, VersionAndNumberTexts) {
    EXPECT_EQ(ProgramVersionText(), L"1.0.2.2910");
    EXPECT_EQ(FormatDecimalInt(8), L"8");
    EXPECT_EQ(FormatDecimalInt(-12), L"-12");
}
