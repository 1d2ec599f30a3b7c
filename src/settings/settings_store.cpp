#include "settings/settings_store.h"

#include "base/diagnostic_log.h"

#include <cwchar>

AppSettings& Settings() {
    static AppSettings settings;
    return settings;
}

namespace {

bool IsHexDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f');
}

unsigned HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return static_cast<unsigned>(c - L'0');
    }
    if (c >= L'A' && c <= L'F') {
        return static_cast<unsigned>(c - L'A' + 10);
    }
    return static_cast<unsigned>(c - L'a' + 10);
}

const wchar_t* BoolText(bool value) {
    return value ? L"1" : L"0";
}

} // namespace

std::wstring FormatColourText(Colour colour) {
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"(%02X, %02X, %02X)", colour & 0xFFu, (colour >> 8) & 0xFFu,
                  (colour >> 16) & 0xFFu);
    return buffer;
}

bool ParseColourText(std::wstring_view text, Colour& colour) {
    unsigned bytes[3] = {};
    std::size_t position = 0;
    for (unsigned& byte : bytes) {
        while (position < text.size() && !IsHexDigit(text[position])) {
            ++position;
        }
        if (position == text.size()) {
            return false;
        }
        // Only the low byte counts, so only the last two digits matter; a run of any
        // length cannot overflow.
        unsigned value = 0;
        while (position < text.size() && IsHexDigit(text[position])) {
            value = ((value << 4) | HexValue(text[position])) & 0xFFu;
            ++position;
        }
        if (position == text.size()) {
            return false;
        }
        byte = value;
        ++position; // past the character that ended the number
    }
    colour = MakeColour(static_cast<std::uint8_t>(bytes[0]), static_cast<std::uint8_t>(bytes[1]),
                        static_cast<std::uint8_t>(bytes[2]));
    return true;
}

bool ReadColourSetting(SettingsProfile& profile, const wchar_t* section, const wchar_t* key,
                       Colour defaultColour, Colour& output) {
    output = defaultColour;
    const std::wstring text =
        profile.ReadText(section, key, FormatColourText(defaultColour).c_str());
    if (text.empty()) {
        return false;
    }
    if (!ParseColourText(text, output)) {
        LogMessage(L"Error reading color setting:  Invalid data.\n");
        return false;
    }
    return true;
}

bool ReadStringSetting(SettingsProfile& profile, const wchar_t* section, const wchar_t* key,
                       const wchar_t* defaultText, std::wstring& output) {
    std::wstring text = profile.ReadText(section, key, defaultText);
    if (text.empty()) {
        output = defaultText;
        return false;
    }
    output = std::move(text);
    return true;
}

bool WriteStringSetting(SettingsProfile& profile, const wchar_t* section, const wchar_t* key,
                        const std::wstring& text, std::uint32_t* error) {
    std::uint32_t code = 0;
    if (!profile.WriteText(section, key, text, code)) {
        LogMessage(L"Error writing string setting (0x%08x).\n", code);
        if (error != nullptr) {
            *error = code;
        }
        return false;
    }
    return true;
}

bool WriteColourSetting(SettingsProfile& profile, const wchar_t* section, const wchar_t* key,
                        Colour colour, std::uint32_t* error) {
    return WriteStringSetting(profile, section, key, FormatColourText(colour), error);
}

bool WriteIntSetting(SettingsProfile& profile, const wchar_t* section, const wchar_t* key,
                     int number, std::uint32_t* error) {
    wchar_t buffer[20];
    std::swprintf(buffer, 20, L"%d", number);
    return WriteStringSetting(profile, section, key, buffer, error);
}

bool LoadSettings(SettingsProfile& profile, AppSettings& settings) {
    profile.BeginLoad();
    const AppSettings defaults;
    ReadColourSetting(profile, kLayoutSection, L"Unpressed", defaults.Unpressed,
                      settings.Unpressed);
    ReadColourSetting(profile, kLayoutSection, L"Depressed", defaults.Depressed,
                      settings.Depressed);
    ReadColourSetting(profile, kLayoutSection, L"Pressed", defaults.Pressed, settings.Pressed);
    ReadColourSetting(profile, kLayoutSection, L"Alarm", defaults.Alarm, settings.Alarm);

    ReadStringSetting(profile, kLayoutSection, L"LayoutFileDirectory", kDefaultLayoutFolder,
                      settings.LayoutFileDirectory);
    profile.ExpandEnvironment(settings.LayoutFileDirectory);

    settings.ChatterThreshold =
        UsableChatterThreshold(profile.ReadInt(kLayoutSection, L"ChatterThreshold", 8));
    ReadStringSetting(profile, kLayoutSection, L"LastLayout", L"", settings.LastLayout);

    ReadStringSetting(profile, kLoggingSection, L"LogFileDirectory", kDefaultLogFolder,
                      settings.LogFileDirectory);
    ReadStringSetting(profile, kLoggingSection, L"LogFilePrefix", L"", settings.LogFilePrefix);
    profile.ExpandEnvironment(settings.LogFileDirectory);

    settings.Overwrite = profile.ReadInt(kLoggingSection, L"Overwrite", 0) == 1;
    settings.ShowLog = profile.ReadInt(kLoggingSection, L"ShowLog", 1) == 1;

    settings.KeyDimensions = profile.ReadInt(kLayoutSection, L"KeyDimensions", 36);
    if (settings.KeyDimensions < 10) {
        settings.KeyDimensions = 10;
    }

    settings.PressedKeysFont = profile.ReadInt(kLayoutSection, L"PressedKeysFont", 0);
    settings.KeyLabelFont = profile.ReadInt(kLayoutSection, L"KeyLabelFont", 0);
    settings.LogFont = profile.ReadInt(kLayoutSection, L"LogFont", 0);
    settings.LogNumberFont = profile.ReadInt(kLayoutSection, L"LogNumberFont", 0);

    settings.BenchEnabled = profile.ReadInt(kBenchSection, L"Enabled", 0) == 1;
    // Empty values keep their meaning (no plan, the log folder).
    if (ReadStringSetting(profile, kBenchSection, L"Plan", L"", settings.BenchPlan)) {
        profile.ExpandEnvironment(settings.BenchPlan);
    }
    if (ReadStringSetting(profile, kBenchSection, L"OutputDirectory", L"",
                          settings.BenchOutputDirectory)) {
        profile.ExpandEnvironment(settings.BenchOutputDirectory);
    }
    return true;
}

bool SaveSettings(SettingsProfile& profile, const AppSettings& settings, int* failedWrites,
                  std::uint32_t* firstError) {
    std::uint32_t codes[19] = {};
    const bool written[] = {
        WriteColourSetting(profile, kLayoutSection, L"Unpressed", settings.Unpressed, &codes[0]),
        WriteColourSetting(profile, kLayoutSection, L"Depressed", settings.Depressed, &codes[1]),
        WriteColourSetting(profile, kLayoutSection, L"Pressed", settings.Pressed, &codes[2]),
        WriteColourSetting(profile, kLayoutSection, L"Alarm", settings.Alarm, &codes[3]),
        WriteStringSetting(profile, kLayoutSection, L"LayoutFileDirectory",
                           settings.LayoutFileDirectory, &codes[4]),
        WriteIntSetting(profile, kLayoutSection, L"ChatterThreshold",
                        UsableChatterThreshold(settings.ChatterThreshold), &codes[5]),
        WriteStringSetting(profile, kLayoutSection, L"LastLayout", settings.LastLayout, &codes[6]),
        WriteStringSetting(profile, kLoggingSection, L"LogFileDirectory", settings.LogFileDirectory,
                           &codes[7]),
        WriteStringSetting(profile, kLoggingSection, L"LogFilePrefix", settings.LogFilePrefix,
                           &codes[8]),
        WriteStringSetting(profile, kLoggingSection, L"Overwrite", BoolText(settings.Overwrite),
                           &codes[9]),
        WriteStringSetting(profile, kLoggingSection, L"ShowLog", BoolText(settings.ShowLog),
                           &codes[10]),
        WriteIntSetting(profile, kLayoutSection, L"KeyDimensions", settings.KeyDimensions,
                        &codes[11]),
        WriteIntSetting(profile, kLayoutSection, L"PressedKeysFont", settings.PressedKeysFont,
                        &codes[12]),
        WriteIntSetting(profile, kLayoutSection, L"KeyLabelFont", settings.KeyLabelFont,
                        &codes[13]),
        WriteIntSetting(profile, kLayoutSection, L"LogFont", settings.LogFont, &codes[14]),
        WriteIntSetting(profile, kLayoutSection, L"LogNumberFont", settings.LogNumberFont,
                        &codes[15]),
        WriteStringSetting(profile, kBenchSection, L"Enabled", BoolText(settings.BenchEnabled),
                           &codes[16]),
        WriteStringSetting(profile, kBenchSection, L"Plan", settings.BenchPlan, &codes[17]),
        WriteStringSetting(profile, kBenchSection, L"OutputDirectory",
                           settings.BenchOutputDirectory, &codes[18]),
    };
    int failed = 0;
    for (std::size_t i = 0; i < 19; ++i) {
        if (!written[i] && failed++ == 0 && firstError != nullptr) {
            *firstError = codes[i];
        }
    }
    if (failedWrites != nullptr) {
        *failedWrites = failed;
    }
    return failed == 0;
}

std::wstring FormatSettingsListing(const AppSettings& settings) {
    std::wstring listing;
    auto line = [&listing](const wchar_t* key, const std::wstring& value) {
        listing += key;
        listing += L'=';
        listing += value;
        listing += L'\n';
    };
    auto number = [](int value) { return FormatWide(L"%d", value); };
    line(L"Unpressed", FormatColourText(settings.Unpressed));
    line(L"Depressed", FormatColourText(settings.Depressed));
    line(L"Pressed", FormatColourText(settings.Pressed));
    line(L"Alarm", FormatColourText(settings.Alarm));
    line(L"LayoutFileDirectory", settings.LayoutFileDirectory);
    line(L"ChatterThreshold", number(UsableChatterThreshold(settings.ChatterThreshold)));
    line(L"LastLayout", settings.LastLayout);
    line(L"LogFileDirectory", settings.LogFileDirectory);
    line(L"LogFilePrefix", settings.LogFilePrefix);
    line(L"Overwrite", BoolText(settings.Overwrite));
    line(L"ShowLog", BoolText(settings.ShowLog));
    line(L"KeyDimensions", number(settings.KeyDimensions));
    line(L"PressedKeysFont", number(settings.PressedKeysFont));
    line(L"KeyLabelFont", number(settings.KeyLabelFont));
    line(L"LogFont", number(settings.LogFont));
    line(L"LogNumberFont", number(settings.LogNumberFont));
    line(L"Enabled", BoolText(settings.BenchEnabled));
    line(L"Plan", settings.BenchPlan);
    line(L"OutputDirectory", settings.BenchOutputDirectory);
    return listing;
}
