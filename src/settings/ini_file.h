#pragma once
// A portable INI file reader and writer with the rules of the platform's profile
// functions: section and key names compared without regard to case, the first matching
// section and the first matching key win, values trimmed and unquoted and cut to 1023
// characters, and a write changes only the line of its key.
#include "settings/profile.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How a file's bytes are turned into text; a rewrite keeps the encoding it found. Files
// that start without a byte-order mark are read as UTF-8 when they are valid UTF-8 and as
// Latin-1 otherwise, so that no byte is ever lost.
enum class IniEncoding { Utf16Le, Utf16Be, Utf8Bom, Utf8, Latin1 };

class IniDocument {
public:
    // A new, empty document is written as UTF-16LE with a byte-order mark, which the
    // platform's profile functions read and write back without loss.
    IniDocument() = default;

    static IniDocument Parse(std::string_view bytes);
    std::string Serialize() const;

    IniEncoding Encoding() const { return encoding_; }

    // The raw text after the first "=" of the key's line, or nothing when the section or
    // the key is missing.
    std::optional<std::wstring> Find(std::wstring_view section, std::wstring_view key) const;

    // Replaces the key's value, or adds the key at the end of its section, or adds the
    // section at the end of the file. Every other line stays as it was.
    void Set(std::wstring_view section, std::wstring_view key, std::wstring_view value);

private:
    struct Line {
        std::wstring text;
        // "\r\n", "\r", "\n" or "" for a last line without one; a literal, so that a file of
        // many lines costs one allocation per line
        const wchar_t* ending = L"";
    };
    struct Location {
        std::optional<std::size_t> insertAt; // after the section's last non-blank line
        std::optional<std::size_t> key;
    };
    // keyOnly: stop at the key's line; insertAt is then not worked out.
    Location Locate(std::wstring_view section, std::wstring_view key, bool keyOnly = false) const;

    IniEncoding encoding_ = IniEncoding::Utf16Le;
    std::vector<Line> lines_;
};

// What the profile functions return for a key's raw value: the text up to any NUL,
// trimmed, one pair of enclosing quotes (" or ') removed, at most 1023 characters.
std::wstring ProfileValueText(std::wstring_view raw);

// The number at the start of the text as the platform's integer read converts it:
// leading blanks and one sign skipped, "0x", "0o" and "0b" select base 16, 8 and 2,
// digits up to the first character that is not one, arithmetic modulo 2^32; 0 when
// there is no number.
std::int32_t ProfileIntFromText(std::wstring_view text);

class IniFileProfile final : public SettingsProfile {
public:
    explicit IniFileProfile(std::filesystem::path path) : path_(std::move(path)) {}

    std::wstring ReadText(const wchar_t* section, const wchar_t* key,
                          const wchar_t* defaultText) override;
    std::int32_t ReadInt(const wchar_t* section, const wchar_t* key,
                         std::int32_t defaultValue) override;
    // Creates the folder of the file (and its parents) when it is missing.
    bool WriteText(const wchar_t* section, const wchar_t* key, const std::wstring& value,
                   std::uint32_t& error) override;
    void ExpandEnvironment(std::wstring& text) override;
    // The file is read and parsed again at the next read, once for the whole load.
    void BeginLoad() override { document_.reset(); }

    const std::filesystem::path& Path() const { return path_; }

private:
    std::optional<std::wstring> FindRaw(const wchar_t* section, const wchar_t* key);

    std::filesystem::path path_;
    // The file as last read or written; an unreadable file is an empty document.
    std::optional<IniDocument> document_;
};
