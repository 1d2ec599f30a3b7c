#pragma once
// The settings file through the platform's profile functions (Windows side).
#include "settings/profile.h"

#include <string>

// Replaces every %NAME% reference by the variable's value, in place. An empty string stays
// empty; a failed expansion leaves the text as it was.
void ExpandEnvironment(std::wstring& text);

// "%APPDATA%\Quillmark\Tapwise.ini" expanded, worked out once.
const std::wstring& SettingsFilePath();

class WinProfile final : public SettingsProfile {
public:
    explicit WinProfile(std::wstring path) : path_(std::move(path)) {}

    std::wstring ReadText(const wchar_t* section, const wchar_t* key,
                          const wchar_t* defaultText) override;
    std::int32_t ReadInt(const wchar_t* section, const wchar_t* key,
                         std::int32_t defaultValue) override;
    // Before the first write to a missing file, creates its folder (with parents) and the
    // file itself as UTF-16 with a byte-order mark, so that the profile functions keep
    // every character of a path instead of squeezing it into the ANSI code page.
    bool WriteText(const wchar_t* section, const wchar_t* key, const std::wstring& value,
                   std::uint32_t& error) override;
    void ExpandEnvironment(std::wstring& text) override;

private:
    std::wstring path_;
};

// The process-wide record from and to the user's settings file.
bool LoadSettings();
// false when a key could not be written; error then holds the first failure's code.
bool SaveSettings(std::uint32_t& error);
