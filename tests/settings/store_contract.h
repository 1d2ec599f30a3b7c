#pragma once
// The settings rules, checked against any implementation of the profile interface: the
// portable INI file on both sides and the platform's profile functions on Windows.
#include "settings/settings_store.h"
#include "settings_test_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

template <typename Maker> class SettingsStoreContract : public ::testing::Test {
protected:
    SettingsStoreContract() : file_(folder_.Path() / "Tapwise.ini") {}

    std::unique_ptr<SettingsProfile> Profile() { return Maker::Make(file_); }
    std::unique_ptr<SettingsProfile> ProfileAt(const std::filesystem::path& path) {
        return Maker::Make(path);
    }
    void WriteIni(const std::string& text) { WriteFileBytes(file_, text); }
    // The value as the same profile reads it back.
    std::wstring Read(const wchar_t* section, const wchar_t* key) {
        return Profile()->ReadText(section, key, L"<missing>");
    }

    const std::wstring appData_ = L"C:\\Users\\Ann\\AppData\\Roaming";
    ScopedEnvironment environment_{"APPDATA", appData_};
    TempFolder folder_;
    std::filesystem::path file_;
};

TYPED_TEST_SUITE_P(SettingsStoreContract);

TYPED_TEST_P(SettingsStoreContract, MissingFileGivesEveryDefaultSilently) {
    CapturedLog log;
    AppSettings settings;
    settings.ShowLog = false;
    settings.KeyDimensions = 99;
    settings.LastLayout = L"stale";
    EXPECT_TRUE(LoadSettings(*this->Profile(), settings));

    EXPECT_EQ(settings.Unpressed, 0xA0A0A0u);
    EXPECT_EQ(settings.Depressed, 0xFFA0A0u);
    EXPECT_EQ(settings.Pressed, 0xA0FFA0u);
    EXPECT_EQ(settings.Alarm, 0xA0A0FFu);
    EXPECT_TRUE(settings.ShowLog);
    EXPECT_FALSE(settings.Overwrite);
    EXPECT_EQ(settings.ChatterThreshold, 8);
    EXPECT_EQ(settings.KeyDimensions, 36);
    EXPECT_EQ(settings.LayoutFileDirectory, this->appData_ + L"\\Quillmark\\layouts");
    EXPECT_EQ(settings.LogFileDirectory, this->appData_ + L"\\Quillmark\\log");
    EXPECT_EQ(settings.LastLayout, L"");
    EXPECT_EQ(settings.LogFilePrefix, L"");
    EXPECT_EQ(settings.PressedKeysFont + settings.KeyLabelFont + settings.LogFont +
                  settings.LogNumberFont,
              0);
    EXPECT_EQ(log.Text(), L"");
}

TYPED_TEST_P(SettingsStoreContract, ColourRuleFindsThreeNumbersEachFollowedByACharacter) {
    struct Case {
        const char* text;
        bool valid;
        Colour colour;
    };
    const Colour fallback = MakeColour(0x01, 0x02, 0x03);
    const Case cases[] = {
        {"(10, 20, 30)", true, MakeColour(0x10, 0x20, 0x30)},
        {"A0 A0 A0;", true, MakeColour(0xA0, 0xA0, 0xA0)},
        {"(ff, a0, 0B)", true, MakeColour(0xFF, 0xA0, 0x0B)},
        {"0x20,0x30,0x40)", true, MakeColour(0x00, 0x20, 0x00)},
        {"(1FF, 100, 12345)", true, MakeColour(0xFF, 0x00, 0x45)},
        {"rgx:1/2/3/", true, MakeColour(0x01, 0x02, 0x03)},
        {"\"(0C, 0D, 0E)\"", true, MakeColour(0x0C, 0x0D, 0x0E)},
        {"10, 20, 30", false, fallback},
        {"A0 A0 A0", false, fallback},
        {"(10, 20)", false, fallback},
        {"(10, 20) ok", false, fallback},
        {"xyz", false, fallback},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        this->WriteIni(std::string("[Layout]\r\nUnpressed=") + c.text + "\r\n");
        CapturedLog log;
        Colour colour = 0xDEADBEEF;
        EXPECT_EQ(ReadColourSetting(*this->Profile(), L"Layout", L"Unpressed", fallback, colour),
                  c.valid);
        EXPECT_EQ(colour, c.colour);
        EXPECT_EQ(log.Text(), c.valid ? L"" : L"Error reading color setting:  Invalid data.\n");
    }
}

TYPED_TEST_P(SettingsStoreContract, ColourRuleKeepsDefaultForEmptyOrMissingValue) {
    this->WriteIni("[Layout]\r\nUnpressed=\r\nDepressed=   \r\n");
    CapturedLog log;
    const Colour fallback = MakeColour(0xA0, 0xA0, 0xFF);
    Colour colour = 0;
    EXPECT_FALSE(ReadColourSetting(*this->Profile(), L"Layout", L"Unpressed", fallback, colour));
    EXPECT_EQ(colour, fallback);
    colour = 0;
    EXPECT_FALSE(ReadColourSetting(*this->Profile(), L"Layout", L"Depressed", fallback, colour));
    EXPECT_EQ(colour, fallback);
    colour = 0;
    // A missing key parses the default's own text and so succeeds.
    EXPECT_TRUE(ReadColourSetting(*this->Profile(), L"Layout", L"Alarm", fallback, colour));
    EXPECT_EQ(colour, fallback);
    EXPECT_EQ(log.Text(), L"");
}

TYPED_TEST_P(SettingsStoreContract, StringRuleFallsBackToDefaultForEmptyValue) {
    this->WriteIni("[Logging]\r\nLogFileDirectory=\r\nLogFilePrefix=  run-  \r\n"
                   "[Layout]\r\nLayoutFileDirectory=%APPDATA%\\kbl\r\nLastLayout=\r\n");
    AppSettings settings;
    LoadSettings(*this->Profile(), settings);
    EXPECT_EQ(settings.LogFileDirectory, this->appData_ + L"\\Quillmark\\log");
    EXPECT_EQ(settings.LogFilePrefix, L"run-");
    EXPECT_EQ(settings.LayoutFileDirectory, this->appData_ + L"\\kbl");
    EXPECT_EQ(settings.LastLayout, L"");

    std::wstring text = L"old";
    EXPECT_FALSE(ReadStringSetting(*this->Profile(), L"Layout", L"LastLayout", L"", text));
    EXPECT_EQ(text, L"");
    EXPECT_TRUE(ReadStringSetting(*this->Profile(), L"Layout", L"Missing", L"dflt", text));
    EXPECT_EQ(text, L"dflt");
    EXPECT_TRUE(ReadStringSetting(*this->Profile(), L"Logging", L"LogFilePrefix", L"", text));
    EXPECT_EQ(text, L"run-");
}

TYPED_TEST_P(SettingsStoreContract, IntegerRuleReadsLeadingNumberWithLimitsAndFlags) {
    this->WriteIni("[Layout]\r\nChatterThreshold=12ms\r\nKeyDimensions=5\r\n"
                   "PressedKeysFont=-7\r\nKeyLabelFont=abc\r\nLogFont=\r\nLogNumberFont= 14 \r\n"
                   "[Logging]\r\nShowLog=2\r\nOverwrite=1\r\n");
    AppSettings settings;
    LoadSettings(*this->Profile(), settings);
    EXPECT_EQ(settings.ChatterThreshold, 12);
    EXPECT_EQ(settings.KeyDimensions, 10);
    EXPECT_EQ(settings.PressedKeysFont, -7);
    EXPECT_EQ(settings.KeyLabelFont, 0);
    EXPECT_EQ(settings.LogFont, 0); // empty value: the default
    EXPECT_EQ(settings.LogNumberFont, 14);
    EXPECT_FALSE(settings.ShowLog);
    EXPECT_TRUE(settings.Overwrite);

    this->WriteIni("[Layout]\r\nKeyDimensions=500\r\nChatterThreshold=x\r\n"
                   "[Logging]\r\nShowLog=1\r\nOverwrite=0\r\n");
    LoadSettings(*this->Profile(), settings);
    EXPECT_EQ(settings.KeyDimensions, 500);
    EXPECT_EQ(settings.ChatterThreshold, 0);
    EXPECT_TRUE(settings.ShowLog);
    EXPECT_FALSE(settings.Overwrite);

    this->WriteIni("[Layout]\r\nChatterThreshold=-5\r\n");
    LoadSettings(*this->Profile(), settings);
    EXPECT_EQ(settings.ChatterThreshold, 0); // the check is off, not every press a fault

    this->WriteIni("[Layout]\r\nKeyDimensions=none\r\n[Logging]\r\nShowLog=yes\r\n");
    LoadSettings(*this->Profile(), settings);
    EXPECT_EQ(settings.KeyDimensions, 10);
    EXPECT_FALSE(settings.ShowLog);

    // Bench mode only for exactly 1; an empty output folder means the log folder.
    for (const char* value : {"yes", "2", "", "-1"}) {
        this->WriteIni(std::string("[Bench]\r\nEnabled=") + value + "\r\nOutputDirectory=\r\n");
        LoadSettings(*this->Profile(), settings);
        EXPECT_FALSE(settings.BenchEnabled) << value;
        EXPECT_EQ(BenchOutputFolder(settings), settings.LogFileDirectory);
    }
    this->WriteIni("[Bench]\r\nEnabled=1\r\nOutputDirectory=D:\\bench\r\n");
    LoadSettings(*this->Profile(), settings);
    EXPECT_TRUE(settings.BenchEnabled);
    EXPECT_EQ(BenchOutputFolder(settings), L"D:\\bench");
}

TYPED_TEST_P(SettingsStoreContract, NamesAreFoundWithoutRegardToCase) {
    this->WriteIni("[LAYOUT]\r\nunpressed=(01, 02, 03)\r\nKEYDIMENSIONS=40\r\n"
                   "[logging]\r\nlogfileprefix=p\r\n");
    AppSettings settings;
    LoadSettings(*this->Profile(), settings);
    EXPECT_EQ(settings.Unpressed, MakeColour(1, 2, 3));
    EXPECT_EQ(settings.KeyDimensions, 40);
    EXPECT_EQ(settings.LogFilePrefix, L"p");
}

TYPED_TEST_P(SettingsStoreContract, SaveWritesAllNineteenKeysThatLoadBackUnchanged) {
    CapturedLog log;
    AppSettings loaded;
    LoadSettings(*this->Profile(), loaded);
    loaded.Alarm = MakeColour(0xFF, 0xA0, 0x0A);
    loaded.LastLayout = L"C:\\kbl\\my board.kbl";
    loaded.LogFilePrefix = L"log-";
    loaded.Overwrite = true;
    loaded.ShowLog = false;
    loaded.ChatterThreshold = -3;
    loaded.KeyDimensions = 48;
    loaded.LogNumberFont = 11;
    loaded.BenchEnabled = true;
    loaded.BenchPlan = L"C:\\plans\\model x.plan.json";
    loaded.BenchOutputDirectory = L"C:\\bench out";
    int failed = -1;
    EXPECT_TRUE(SaveSettings(*this->Profile(), loaded, &failed));
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(log.Text(), L"");

    EXPECT_EQ(this->Read(L"Layout", L"Unpressed"), L"(A0, A0, A0)");
    EXPECT_EQ(this->Read(L"Layout", L"Alarm"), L"(FF, A0, 0A)");
    EXPECT_EQ(this->Read(L"Layout", L"LayoutFileDirectory"),
              this->appData_ + L"\\Quillmark\\layouts");
    EXPECT_EQ(this->Read(L"Logging", L"LogFileDirectory"), this->appData_ + L"\\Quillmark\\log");
    EXPECT_EQ(this->Read(L"Logging", L"Overwrite"), L"1");
    EXPECT_EQ(this->Read(L"Logging", L"ShowLog"), L"0");
    EXPECT_EQ(this->Read(L"Layout", L"ChatterThreshold"), L"0"); // below 0 is written as 0
    EXPECT_EQ(this->Read(L"Layout", L"KeyLabelFont"), L"0");
    const wchar_t* layoutKeys[] = {L"Depressed",     L"Pressed",         L"LastLayout",
                                   L"KeyDimensions", L"PressedKeysFont", L"LogFont",
                                   L"LogNumberFont"};
    for (const wchar_t* key : layoutKeys) {
        EXPECT_NE(this->Read(L"Layout", key), L"<missing>") << key;
    }
    EXPECT_NE(this->Read(L"Logging", L"LogFilePrefix"), L"<missing>");

    AppSettings again;
    LoadSettings(*this->Profile(), again);
    EXPECT_EQ(FormatSettingsListing(again), FormatSettingsListing(loaded));
}

TYPED_TEST_P(SettingsStoreContract, SaveCreatesMissingFolders) {
    const auto nested = this->folder_.Path() / "Roaming" / "Quillmark" / "Tapwise.ini";
    CapturedLog log;
    int failed = -1;
    SaveSettings(*this->ProfileAt(nested), AppSettings{}, &failed);
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(log.Text(), L"");
    EXPECT_EQ(this->ProfileAt(nested)->ReadInt(L"Layout", L"KeyDimensions", 0), 36);
}

TYPED_TEST_P(SettingsStoreContract, EachFailedWriteIsReportedAndTheNextStillTried) {
    WriteFileBytes(this->folder_.Path() / "blocker", "a file, not a folder");
    const auto blocked = this->folder_.Path() / "blocker" / "Tapwise.ini";
    CapturedLog log;
    int failed = -1;
    EXPECT_FALSE(SaveSettings(*this->ProfileAt(blocked), AppSettings{}, &failed));
    EXPECT_EQ(failed, 19);
    std::wstring expected;
    for (int i = 0; i < 19; ++i) {
        expected += L"Error writing string setting (0x00000003).\n";
    }
    EXPECT_EQ(log.Text(), expected);
}

TYPED_TEST_P(SettingsStoreContract, WriteReplacesValueAndKeepsOtherKeys) {
    this->WriteIni("[Layout]\r\nA=1\r\nB=2\r\n\r\n[Logging]\r\nC=3\r\n");
    std::uint32_t error = 0;
    auto profile = this->Profile();
    ASSERT_TRUE(profile->WriteText(L"layout", L"b", L"two", error));
    ASSERT_TRUE(profile->WriteText(L"Layout", L"D", L"4", error));
    ASSERT_TRUE(profile->WriteText(L"Extra", L"E", L"5", error));
    EXPECT_EQ(this->Read(L"Layout", L"A"), L"1");
    EXPECT_EQ(this->Read(L"Layout", L"B"), L"two");
    EXPECT_EQ(this->Read(L"Layout", L"D"), L"4");
    EXPECT_EQ(this->Read(L"Logging", L"C"), L"3");
    EXPECT_EQ(this->Read(L"Extra", L"E"), L"5");
    EXPECT_EQ(this->Read(L"Logging", L"D"), L"<missing>");
}

TYPED_TEST_P(SettingsStoreContract, NonAsciiTextSurvivesARoundTrip) {
    AppSettings settings;
    settings.LogFileDirectory = L"C:\\Users\\\x0416\x0435\x043D\x044F\\log \x00E9\x4E2D";
    settings.LogFilePrefix = L"\x00FC-";
    SaveSettings(*this->Profile(), settings);
    AppSettings loaded;
    LoadSettings(*this->Profile(), loaded);
    EXPECT_EQ(loaded.LogFileDirectory, settings.LogFileDirectory);
    EXPECT_EQ(loaded.LogFilePrefix, settings.LogFilePrefix);
}

REGISTER_TYPED_TEST_SUITE_P(SettingsStoreContract, MissingFileGivesEveryDefaultSilently,
                            ColourRuleFindsThreeNumbersEachFollowedByACharacter,
                            ColourRuleKeepsDefaultForEmptyOrMissingValue,
                            StringRuleFallsBackToDefaultForEmptyValue,
                            IntegerRuleReadsLeadingNumberWithLimitsAndFlags,
                            NamesAreFoundWithoutRegardToCase,
                            SaveWritesAllNineteenKeysThatLoadBackUnchanged,
                            SaveCreatesMissingFolders,
                            EachFailedWriteIsReportedAndTheNextStillTried,
                            WriteReplacesValueAndKeepsOtherKeys, NonAsciiTextSurvivesARoundTrip);
