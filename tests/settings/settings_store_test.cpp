#include "settings/ini_file.h"
#include "settings/settings_store.h"
#include "store_contract.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

struct IniFileProfileMaker {
    static std::unique_ptr<SettingsProfile> Make(const std::filesystem::path& path) {
        return std::make_unique<IniFileProfile>(path);
    }
};

} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(IniFile, SettingsStoreContract, IniFileProfileMaker);

namespace {

// Records every call; answers from a map and fails the writes it is told to.
class RecordingProfile final : public SettingsProfile {
public:
    std::wstring ReadText(const wchar_t* section, const wchar_t* key,
                          const wchar_t* defaultText) override {
        calls.push_back(FormatWide(L"text %ls/%ls [%ls]", section, key, defaultText));
        const auto found = values.find(key);
        return found != values.end() ? found->second : defaultText;
    }
    std::int32_t ReadInt(const wchar_t* section, const wchar_t* key,
                         std::int32_t defaultValue) override {
        calls.push_back(FormatWide(L"int %ls/%ls [%d]", section, key, defaultValue));
        const auto found = values.find(key);
        return found != values.end() ? ProfileIntFromText(found->second) : defaultValue;
    }
    bool WriteText(const wchar_t* section, const wchar_t* key, const std::wstring& value,
                   std::uint32_t& error) override {
        calls.push_back(FormatWide(L"write %ls/%ls=%ls", section, key, value.c_str()));
        if (failing.count(key) != 0) {
            error = failing[key];
            return false;
        }
        return true;
    }
    void ExpandEnvironment(std::wstring& text) override {
        calls.push_back(L"expand " + text);
        text = L"<" + text + L">";
    }

    std::vector<std::wstring> calls;
    std::map<std::wstring, std::wstring> values;
    std::map<std::wstring, std::uint32_t> failing;
};

} // namespace

TEST(SettingsStore, LoadReadsTheKeyTableInOrderWithItsDefaults) {
    RecordingProfile profile;
    AppSettings settings;
    LoadSettings(profile, settings);
    const std::vector<std::wstring> expected = {
        L"text Layout/Unpressed [(A0, A0, A0)]",
        L"text Layout/Depressed [(A0, A0, FF)]",
        L"text Layout/Pressed [(A0, FF, A0)]",
        L"text Layout/Alarm [(FF, A0, A0)]",
        L"text Layout/LayoutFileDirectory [%APPDATA%\\Quillmark\\layouts]",
        L"expand %APPDATA%\\Quillmark\\layouts",
        L"int Layout/ChatterThreshold [8]",
        L"text Layout/LastLayout []",
        L"text Logging/LogFileDirectory [%APPDATA%\\Quillmark\\log]",
        L"text Logging/LogFilePrefix []",
        L"expand %APPDATA%\\Quillmark\\log",
        L"int Logging/Overwrite [0]",
        L"int Logging/ShowLog [1]",
        L"int Layout/KeyDimensions [36]",
        L"int Layout/PressedKeysFont [0]",
        L"int Layout/KeyLabelFont [0]",
        L"int Layout/LogFont [0]",
        L"int Layout/LogNumberFont [0]",
        L"int Bench/Enabled [0]",
        L"text Bench/Plan []",
        L"text Bench/OutputDirectory []",
    };
    EXPECT_EQ(profile.calls, expected);
    EXPECT_EQ(settings.LayoutFileDirectory, L"<%APPDATA%\\Quillmark\\layouts>");
    EXPECT_EQ(settings.LogFileDirectory, L"<%APPDATA%\\Quillmark\\log>");
}

TEST(SettingsStore, SaveWritesTheKeyTableInOrderAndGoesOnAfterFailures) {
    RecordingProfile profile;
    profile.failing[L"Unpressed"] = 5;
    profile.failing[L"LogFont"] = 0x80070020;
    AppSettings settings;
    settings.LayoutFileDirectory = L"D:\\kbl";
    settings.LogFileDirectory = L"D:\\log";
    settings.LogFilePrefix = L"p";
    settings.LastLayout = L"### DEFAULT LAYOUT ###";
    settings.Overwrite = true;
    settings.ShowLog = false;
    settings.ChatterThreshold = 15;
    settings.KeyDimensions = 40;
    settings.PressedKeysFont = 9;
    settings.KeyLabelFont = 10;
    settings.LogFont = -11;
    settings.LogNumberFont = 12;
    settings.BenchEnabled = true;
    settings.BenchPlan = L"D:\\plans\\x.plan.json";
    CapturedLog log;
    int failed = 0;
    std::uint32_t error = 0;
    EXPECT_FALSE(SaveSettings(profile, settings, &failed, &error));
    EXPECT_EQ(failed, 2);
    EXPECT_EQ(error, 5u); // the first failure's reason
    const std::vector<std::wstring> expected = {
        L"write Layout/Unpressed=(A0, A0, A0)",
        L"write Layout/Depressed=(A0, A0, FF)",
        L"write Layout/Pressed=(A0, FF, A0)",
        L"write Layout/Alarm=(FF, A0, A0)",
        L"write Layout/LayoutFileDirectory=D:\\kbl",
        L"write Layout/ChatterThreshold=15",
        L"write Layout/LastLayout=### DEFAULT LAYOUT ###",
        L"write Logging/LogFileDirectory=D:\\log",
        L"write Logging/LogFilePrefix=p",
        L"write Logging/Overwrite=1",
        L"write Logging/ShowLog=0",
        L"write Layout/KeyDimensions=40",
        L"write Layout/PressedKeysFont=9",
        L"write Layout/KeyLabelFont=10",
        L"write Layout/LogFont=-11",
        L"write Layout/LogNumberFont=12",
        L"write Bench/Enabled=1",
        L"write Bench/Plan=D:\\plans\\x.plan.json",
        L"write Bench/OutputDirectory=",
    };
    EXPECT_EQ(profile.calls, expected);
    EXPECT_EQ(log.Text(), L"Error writing string setting (0x00000005).\n"
                          L"Error writing string setting (0x80070020).\n");

    profile.failing.clear();
    EXPECT_TRUE(SaveSettings(profile, settings, &failed, &error));
    EXPECT_EQ(failed, 0);
}

TEST(SettingsStore, LoadKeepsKeyDimensionsAtLeastTenWithoutUpperBound) {
    RecordingProfile profile;
    const std::pair<const wchar_t*, int> cases[] = {
        {L"9", 10}, {L"10", 10}, {L"-2147483648", 10}, {L"0", 10}, {L"1000000", 1000000}};
    for (const auto& [text, expected] : cases) {
        profile.values[L"KeyDimensions"] = text;
        AppSettings settings;
        LoadSettings(profile, settings);
        EXPECT_EQ(settings.KeyDimensions, expected) << text;
    }
}

TEST(SettingsStore, FlagsAreTrueOnlyForExactlyOne) {
    RecordingProfile profile;
    const std::pair<const wchar_t*, bool> cases[] = {{L"1", true},    {L"01", true},  {L"1x", true},
                                                     {L"2", false},   {L"-1", false}, {L"0", false},
                                                     {L"true", false}};
    for (const auto& [text, expected] : cases) {
        profile.values[L"ShowLog"] = text;
        profile.values[L"Overwrite"] = text;
        AppSettings settings;
        LoadSettings(profile, settings);
        EXPECT_EQ(settings.ShowLog, expected) << text;
        EXPECT_EQ(settings.Overwrite, expected) << text;
    }
}

TEST(ColourText, FormatsUpperCaseRedGreenBlue) {
    EXPECT_EQ(FormatColourText(MakeColour(0xFF, 0xA0, 0xA0)), L"(FF, A0, A0)");
    EXPECT_EQ(FormatColourText(0x00010203), L"(03, 02, 01)");
    EXPECT_EQ(FormatColourText(0xFF000000), L"(00, 00, 00)"); // the top byte is not a colour
}

TEST(ColourText, ParsesWhatItFormatsAndLeavesColourAloneOnFailure) {
    for (Colour colour : {0x000000u, 0xFFFFFFu, 0x123456u, 0xA0A0FFu}) {
        Colour parsed = 0;
        EXPECT_TRUE(ParseColourText(FormatColourText(colour), parsed));
        EXPECT_EQ(parsed, colour);
    }
    Colour untouched = 0x42;
    EXPECT_FALSE(ParseColourText(L"", untouched));
    EXPECT_FALSE(ParseColourText(L"1 2 3", untouched));
    EXPECT_FALSE(ParseColourText(L"1 2 ", untouched)); // runs out before the third number
    EXPECT_EQ(untouched, 0x42u);
    // A very long number keeps only its low byte and never overflows.
    Colour parsed = 0;
    EXPECT_TRUE(ParseColourText(std::wstring(5000, L'F') + L"7 0 0 ", parsed));
    EXPECT_EQ(parsed, MakeColour(0xF7, 0, 0));
}

TEST(SettingsListing, ListsNineteenKeysInFileOrderInTheWrittenForm) {
    AppSettings settings;
    settings.LayoutFileDirectory = L"/kbl";
    settings.LogFileDirectory = L"/log";
    settings.Overwrite = true;
    settings.LogFont = -4;
    EXPECT_EQ(FormatSettingsListing(settings), L"Unpressed=(A0, A0, A0)\n"
                                               L"Depressed=(A0, A0, FF)\n"
                                               L"Pressed=(A0, FF, A0)\n"
                                               L"Alarm=(FF, A0, A0)\n"
                                               L"LayoutFileDirectory=/kbl\n"
                                               L"ChatterThreshold=8\n"
                                               L"LastLayout=\n"
                                               L"LogFileDirectory=/log\n"
                                               L"LogFilePrefix=\n"
                                               L"Overwrite=1\n"
                                               L"ShowLog=1\n"
                                               L"KeyDimensions=36\n"
                                               L"PressedKeysFont=0\n"
                                               L"KeyLabelFont=0\n"
                                               L"LogFont=-4\n"
                                               L"LogNumberFont=0\n"
                                               L"Enabled=0\n"
                                               L"Plan=\n"
                                               L"OutputDirectory=\n");
}
