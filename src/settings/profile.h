#pragma once
// The few operations the settings store needs from a profile (INI) file. The program
// uses the platform's profile functions; the CLI and the tests use a portable reader
// and writer with the same semantics.
#include <cstdint>
#include <string>

class SettingsProfile {
public:
    virtual ~SettingsProfile() = default;

    // The value of a key: surrounding blanks removed, at most 1023 characters. A missing
    // file, section or key gives defaultText. Never fails.
    virtual std::wstring ReadText(const wchar_t* section, const wchar_t* key,
                                  const wchar_t* defaultText) = 0;

    // The number at the start of the value, 0 when there is none; defaultValue when the
    // key is missing or its value empty.
    virtual std::int32_t ReadInt(const wchar_t* section, const wchar_t* key,
                                 std::int32_t defaultValue) = 0;

    // Creates the file, section and key as needed and replaces an existing value,
    // keeping the rest of the file. On failure returns false with a platform error code.
    virtual bool WriteText(const wchar_t* section, const wchar_t* key, const std::wstring& value,
                           std::uint32_t& error) = 0;

    // Replaces every %NAME% reference to an environment variable by its value, in place.
    virtual void ExpandEnvironment(std::wstring& text) = 0;

    // A load of the whole record begins: reads from here on may share one reading of the
    // file, taken afresh now.
    virtual void BeginLoad() {}
};
