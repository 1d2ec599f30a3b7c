#include "settings/ini_file.h"

#include "base/utf8.h"
#include "settings/environment.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>

namespace {

constexpr std::size_t kMaxValueLength = 1023; // a read buffer of 1024 characters
constexpr std::size_t kMaxIntegerLength = 29; // the integer read uses 30 characters

// Platform error codes reported by a failed write.
constexpr std::uint32_t kErrorPathNotFound = 3;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorGenFailure = 31;
constexpr std::uint32_t kErrorDiskFull = 112;

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

std::wstring_view Trim(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

wchar_t FoldCase(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) {
            return false;
        }
    }
    return true;
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<std::wstring_view> SectionName(std::wstring_view line) {
    // Most lines are keys: their first character settles it without trimming.
    if (line.empty() || (line.front() != L'[' && !IsBlank(line.front()))) {
        return std::nullopt;
    }
    const std::wstring_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() != L'[') {
        return std::nullopt;
    }
    const std::size_t close = trimmed.find(L']');
    if (close == std::wstring_view::npos) {
        return std::nullopt;
    }
    return Trim(trimmed.substr(1, close - 1));
}

void AppendUtf16Unit(std::string& bytes, char32_t unit, bool bigEndian) {
    const char high = static_cast<char>((unit >> 8) & 0xFF);
    const char low = static_cast<char>(unit & 0xFF);
    bytes.push_back(bigEndian ? high : low);
    bytes.push_back(bigEndian ? low : high);
}

std::string EncodeUtf16(std::wstring_view text, bool bigEndian) {
    std::string bytes;
    bytes.reserve(text.size() * 2 + 2);
    AppendUtf16Unit(bytes, 0xFEFF, bigEndian);
    for (wchar_t c : text) {
        const auto value = static_cast<char32_t>(c);
        if (value > 0xFFFF && value <= 0x10FFFF) {
            AppendUtf16Unit(bytes, 0xD800 + ((value - 0x10000) >> 10), bigEndian);
            AppendUtf16Unit(bytes, 0xDC00 + ((value - 0x10000) & 0x3FF), bigEndian);
        } else if (value > 0x10FFFF) {
            AppendUtf16Unit(bytes, 0xFFFD, bigEndian);
        } else {
            AppendUtf16Unit(bytes, value, bigEndian);
        }
    }
    return bytes;
}

std::uint32_t ErrorCodeFromErrno(int number) {
    switch (number) {
    case ENOENT:
    case ENOTDIR:
    case EEXIST: // a file stands where a folder of the path should be
        return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return kErrorAccessDenied;
    case ENOSPC:
        return kErrorDiskFull;
    default:
        return kErrorGenFailure;
    }
}

std::uint32_t ErrorCodeFromStatus(const std::error_code& status) {
    const std::error_condition condition = status.default_error_condition();
    return ErrorCodeFromErrno(condition.category() == std::generic_category() ? condition.value()
                                                                              : EIO);
}

std::FILE* OpenFile(const std::filesystem::path& path, const wchar_t* mode) {
#ifdef _WIN32
    return _wfopen(path.c_str(), mode);
#else
    return std::fopen(path.c_str(), EncodeUtf8(mode).c_str());
#endif
}

// The whole file, or nothing with errno set when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    std::FILE* file = OpenFile(path, L"rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, count);
    }
    const bool failed = std::ferror(file) != 0;
    const int readError = errno;
    std::fclose(file);
    if (failed) {
        errno = readError;
        return std::nullopt;
    }
    return bytes;
}

} // namespace

IniDocument IniDocument::Parse(std::string_view bytes) {
    IniDocument document;
    std::wstring text;
    if (bytes.empty()) {
        return document; // nothing to keep: written like a new file
    }
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        document.encoding_ = IniEncoding::Utf16Le;
        text = DecodeUtf16(bytes.substr(2), false);
    } else if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') {
        document.encoding_ = IniEncoding::Utf16Be;
        text = DecodeUtf16(bytes.substr(2), true);
    } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        document.encoding_ = IniEncoding::Utf8Bom;
        text = DecodeUtf8(bytes.substr(3));
    } else {
        // Plain ASCII is valid UTF-8 and needs no decoding; anything else must come back as
        // the same bytes.
        const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (ascii) {
            text.assign(bytes.begin(), bytes.end());
        } else {
            text = DecodeUtf8(bytes);
        }
        if (ascii || EncodeUtf8(text) == bytes) {
            document.encoding_ = IniEncoding::Utf8;
        } else {
            document.encoding_ = IniEncoding::Latin1;
            text.assign(bytes.size(), L'\0');
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
            }
        }
    }

    document.lines_.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), L'\n')) +
                            1);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) {
            document.lines_.push_back({text.substr(start), L""});
            break;
        }
        const wchar_t* ending = L"\n";
        if (text[end] == L'\r') {
            ending = end + 1 < text.size() && text[end + 1] == L'\n' ? L"\r\n" : L"\r";
        }
        document.lines_.push_back({text.substr(start, end - start), ending});
        start = end + std::char_traits<wchar_t>::length(ending);
    }
    return document;
}

std::string IniDocument::Serialize() const {
    std::wstring text;
    for (const Line& line : lines_) {
        text += line.text;
        text += line.ending;
    }
    switch (encoding_) {
    case IniEncoding::Utf16Be:
        return EncodeUtf16(text, true);
    case IniEncoding::Utf8Bom:
        return "\xEF\xBB\xBF" + EncodeUtf8(text);
    case IniEncoding::Utf8:
        return EncodeUtf8(text);
    case IniEncoding::Latin1: {
        std::string bytes;
        bytes.reserve(text.size());
        for (wchar_t c : text) {
            if (static_cast<char32_t>(c) > 0xFF) {
                // A character Latin-1 cannot hold: keep everything by switching encoding.
                return EncodeUtf16(text, false);
            }
            bytes.push_back(static_cast<char>(c));
        }
        return bytes;
    }
    case IniEncoding::Utf16Le:
        break;
    }
    return EncodeUtf16(text, false);
}

IniDocument::Location IniDocument::Locate(std::wstring_view section, std::wstring_view key,
                                          bool keyOnly) const {
    Location location;
    const std::wstring_view wantedSection = Trim(section);
    const std::wstring_view wantedKey = Trim(key);
    // Lines before the first header belong to the section with the empty name.
    bool inside = wantedSection.empty();
    if (inside) {
        location.insertAt = 0;
    }
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::wstring& text = lines_[i].text;
        if (const auto name = SectionName(text)) {
            if (inside) {
                break; // only the first section of a name counts
            }
            if (SameName(*name, wantedSection)) {
                inside = true;
                location.insertAt = i + 1;
            }
            continue;
        }
        if (!inside) {
            continue;
        }
        if (!keyOnly && !Trim(text).empty()) {
            location.insertAt = i + 1;
        }
        const std::size_t equals = text.find(L'=');
        if (!location.key && equals != std::wstring::npos &&
            SameName(Trim(std::wstring_view(text).substr(0, equals)), wantedKey)) {
            location.key = i;
            if (keyOnly) {
                break;
            }
        }
    }
    return location;
}

std::optional<std::wstring> IniDocument::Find(std::wstring_view section,
                                              std::wstring_view key) const {
    const Location location = Locate(section, key, true);
    if (!location.key) {
        return std::nullopt;
    }
    const std::wstring& text = lines_[*location.key].text;
    return text.substr(text.find(L'=') + 1);
}

void IniDocument::Set(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    const Location location = Locate(section, key);
    if (location.key) {
        std::wstring& text = lines_[*location.key].text;
        text.erase(text.find(L'=') + 1);
        text += value;
        return;
    }
    std::wstring keyLine(Trim(key));
    keyLine += L'=';
    keyLine += value;
    const std::size_t at = location.insertAt.value_or(lines_.size());
    if (at == lines_.size() && !lines_.empty() && *lines_.back().ending == L'\0') {
        lines_.back().ending = L"\r\n";
    }
    if (location.insertAt) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), {keyLine, L"\r\n"});
        return;
    }
    lines_.push_back({L"[" + std::wstring(Trim(section)) + L"]", L"\r\n"});
    lines_.push_back({keyLine, L"\r\n"});
}

std::wstring ProfileValueText(std::wstring_view raw) {
    const std::size_t nul = raw.find(L'\0');
    if (nul != std::wstring_view::npos) {
        raw = raw.substr(0, nul);
    }
    std::wstring_view value = Trim(raw);
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::wstring(value.substr(0, kMaxValueLength));
}

std::int32_t ProfileIntFromText(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && static_cast<char32_t>(text[i]) <= U' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
        negative = text[i] == L'-';
        ++i;
    }
    std::uint32_t base = 10;
    if (i + 1 < text.size() && text[i] == L'0') {
        const wchar_t prefix = text[i + 1];
        base = prefix == L'x' ? 16 : prefix == L'o' ? 8 : prefix == L'b' ? 2 : 10;
        if (base != 10) {
            i += 2;
        }
    }
    std::uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        std::uint32_t digit = 0;
        if (c >= L'0' && c <= L'9') {
            digit = static_cast<std::uint32_t>(c - L'0');
        } else if (c >= L'A' && c <= L'Z') {
            digit = static_cast<std::uint32_t>(c - L'A' + 10);
        } else if (c >= L'a' && c <= L'z') {
            digit = static_cast<std::uint32_t>(c - L'a' + 10);
        } else {
            break;
        }
        if (digit >= base) {
            break;
        }
        value = value * base + digit;
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<std::int32_t>(value);
}

std::optional<std::wstring> IniFileProfile::FindRaw(const wchar_t* section, const wchar_t* key) {
    if (!document_) {
        const auto bytes = ReadWholeFile(path_);
        document_ = bytes ? IniDocument::Parse(*bytes) : IniDocument();
    }
    return document_->Find(section, key);
}

std::wstring IniFileProfile::ReadText(const wchar_t* section, const wchar_t* key,
                                      const wchar_t* defaultText) {
    if (const auto raw = FindRaw(section, key)) {
        return ProfileValueText(*raw);
    }
    // The platform drops trailing blanks of a default but keeps leading ones.
    std::wstring_view fallback(defaultText);
    while (!fallback.empty() && IsBlank(fallback.back())) {
        fallback.remove_suffix(1);
    }
    return std::wstring(fallback.substr(0, kMaxValueLength));
}

std::int32_t IniFileProfile::ReadInt(const wchar_t* section, const wchar_t* key,
                                     std::int32_t defaultValue) {
    const auto raw = FindRaw(section, key);
    if (!raw) {
        return defaultValue;
    }
    const std::wstring text = ProfileValueText(*raw).substr(0, kMaxIntegerLength);
    return text.empty() ? defaultValue : ProfileIntFromText(text);
}

bool IniFileProfile::WriteText(const wchar_t* section, const wchar_t* key,
                               const std::wstring& value, std::uint32_t& error) {
    IniDocument document;
    std::error_code status;
    if (std::filesystem::exists(path_, status)) {
        const auto bytes = ReadWholeFile(path_);
        if (!bytes) {
            error = ErrorCodeFromErrno(errno);
            return false;
        }
        document = IniDocument::Parse(*bytes);
    } else if (path_.has_parent_path()) {
        // A fresh machine has no folder for the file yet; without it no setting is kept.
        std::filesystem::create_directories(path_.parent_path(), status);
        if (status) {
            error = ErrorCodeFromStatus(status);
            return false;
        }
    }
    document.Set(section, key, value);
    const std::string bytes = document.Serialize();

    // Write a sibling first and move it over the file, so a failed write never leaves
    // half a settings file behind.
    std::filesystem::path temporary = path_;
    temporary += L".new";
    std::FILE* file = OpenFile(temporary, L"wb");
    if (file == nullptr) {
        error = ErrorCodeFromErrno(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = ErrorCodeFromErrno(written ? errno : writeError);
        std::filesystem::remove(temporary, status);
        return false;
    }
    std::filesystem::rename(temporary, path_, status);
    if (status) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        error = kErrorAccessDenied;
        return false;
    }
    document_ = std::move(document);
    return true;
}

void IniFileProfile::ExpandEnvironment(std::wstring& text) {
    text = ExpandEnvironmentReferences(text, ProcessEnvironmentVariable);
}
