#pragma once
// Loading and saving AppSettings through a profile file, key by key.
#include "settings/app_settings.h"
#include "settings/profile.h"

#include <string>
#include <string_view>

inline constexpr wchar_t kLayoutSection[] = L"Layout";
inline constexpr wchar_t kLoggingSection[] = L"Logging";
inline constexpr wchar_t kBenchSection[] = L"Bench";
inline constexpr wchar_t kDefaultLayoutFolder[] = L"%APPDATA%\\Quillmark\\layouts";
inline constexpr wchar_t kDefaultLogFolder[] = L"%APPDATA%\\Quillmark\\log";

// "(RR, GG, BB)" in upper-case hexadecimal.
std::wstring FormatColourText(Colour colour);

// Finds three hexadecimal numbers in the text, each of which must be followed by at least
// one more character; their low bytes are red, green and blue. False leaves colour alone.
bool ParseColourText(std::wstring_view text, Colour& colour);

// The colour rule: output starts as the default; invalid text keeps it and writes a
// diagnostic message, an empty value keeps it silently. True when three numbers were found.
bool ReadColourSetting(SettingsProfile& profile, const wchar_t* section, const wchar_t* key,
                       Colour defaultColour, Colour& output);

// The string rule: the value when it has at least one character (true), else the default.
bool ReadStringSetting(SettingsProfile& profile, const wchar_t* section, const wchar_t* key,
                       const wchar_t* defaultText, std::wstring& output);

// Each writes one key; a failure writes a diagnostic message with the platform error code,
// which error (when given) receives.
bool WriteColourSetting(SettingsProfile& profile, const wchar_t* section, const wchar_t* key,
                        Colour colour, std::uint32_t* error = nullptr);
bool WriteIntSetting(SettingsProfile& profile, const wchar_t* section, const wchar_t* key,
                     int number, std::uint32_t* error = nullptr);
bool WriteStringSetting(SettingsProfile& profile, const wchar_t* section, const wchar_t* key,
                        const std::wstring& text, std::uint32_t* error = nullptr);

// Fills every field from the profile; missing keys give their defaults. Always true.
bool LoadSettings(SettingsProfile& profile, AppSettings& settings);

// Writes all nineteen keys, each on its own: one failed write does not stop the next.
// true only when every key was written; failedWrites, when given, counts the keys not
// written, and firstError receives the platform error code of the first failure.
bool SaveSettings(SettingsProfile& profile, const AppSettings& settings,
                  int* failedWrites = nullptr, std::uint32_t* firstError = nullptr);

// The nineteen fields as Key=value lines (LF ends), in file order and in the written form.
std::wstring FormatSettingsListing(const AppSettings& settings);
