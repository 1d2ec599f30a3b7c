#include "layouts/layout_tokenizer.h"

#include <charconv>
#include <cstdlib>
#include <limits>

bool IsLayoutSpace(wchar_t c) {
    if (c > 0x20 && c < 0x85) {
        return false; // the common case: printable ASCII
    }
    switch (c) {
    case 0x09:
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x0D:
    case 0x20:
    case 0x85:
    case 0xA0:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
        return true;
    default:
        return c >= 0x2000 && c <= 0x200A;
    }
}

namespace {

// A character that the tokenizer appends to the field whatever its state outside a block
// comment; runs of them are copied at once.
bool IsPlainLayoutCharacter(wchar_t c) {
    return c != L'"' && c != L'/' && c != L',' && !IsLayoutLineEnd(c);
}

// Quotes and escapes of a field, in place; returns the field's new length.
std::size_t CleanQuotesAndEscapes(wchar_t* text, std::size_t size) {
    // Inside a quoted section two adjacent quotes stand for one; every other quote opens or
    // closes a section and is dropped. A section that closes at once ("") is empty text,
    // not a quote: layouts write an empty label or name that way.
    std::size_t out = 0;
    bool quoted = false;
    bool backslash = false;
    for (std::size_t i = 0; i < size; ++i) {
        if (text[i] != L'"') {
            backslash = backslash || text[i] == L'\\';
            text[out++] = text[i];
        } else if (quoted && i + 1 < size && text[i + 1] == L'"') {
            text[out++] = L'"';
            ++i;
        } else {
            quoted = !quoted;
        }
    }
    if (!backslash) {
        return out;
    }
    // Two left-to-right passes, each replacing every non-overlapping occurrence: \r\n
    // becomes \n, then \n becomes a line feed.
    size = out;
    out = 0;
    for (std::size_t i = 0; i < size;) {
        if (i + 4 <= size && text[i] == L'\\' && text[i + 1] == L'r' && text[i + 2] == L'\\' &&
            text[i + 3] == L'n') {
            text[out++] = L'\\';
            text[out++] = L'n';
            i += 4;
        } else {
            text[out++] = text[i++];
        }
    }
    size = out;
    out = 0;
    for (std::size_t i = 0; i < size;) {
        if (i + 2 <= size && text[i] == L'\\' && text[i + 1] == L'n') {
            text[out++] = L'\n';
            i += 2;
        } else {
            text[out++] = text[i++];
        }
    }
    return out;
}

} // namespace

std::vector<std::wstring> TokenizeLayoutLine(std::wstring_view line, bool& inComment) {
    LayoutLineFields fields;
    fields.Tokenize(line, inComment);
    std::vector<std::wstring> result;
    result.reserve(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        result.emplace_back(fields[i]);
    }
    return result;
}

void TokenizeLayoutLine(std::wstring_view line, bool& inComment, LayoutLineFields& fields) {
    fields.Tokenize(line, inComment);
}

void LayoutLineFields::Keep(bool evenWhenEmpty) {
    wchar_t* field = text_.data() + fieldStart_;
    std::size_t last = CleanQuotesAndEscapes(field, length_ - fieldStart_);
    while (last > 0 && IsLayoutSpace(field[last - 1])) {
        --last;
    }
    std::size_t first = 0;
    while (first < last && IsLayoutSpace(field[first])) {
        ++first;
    }
    if (evenWhenEmpty || first < last) {
        spans_.push_back(Span{fieldStart_ + first, last - first});
        length_ = fieldStart_ + last;
    } else {
        length_ = fieldStart_;
    }
    fieldStart_ = length_;
}

void LayoutLineFields::Tokenize(std::wstring_view line, bool& inComment) {
    length_ = 0;
    spans_.clear();
    fieldStart_ = 0;
    if (line.empty() || IsLayoutLineEnd(line[0])) {
        return;
    }
    const std::size_t size = line.size();
    // Every character of the line is appended at most once.
    if (text_.size() < size) {
        text_.resize(size);
    }
    wchar_t* const text = text_.data();
    bool inQuotes = false;
    for (std::size_t i = 0;;) {
        const wchar_t c = i < size ? line[i] : L'\0';
        const wchar_t next = i + 1 < size ? line[i + 1] : L'\0';
        if (c == L'"') {
            // Quotes count even inside a block comment; cleanup removes them later.
            inQuotes = !inQuotes;
            text[length_++] = c;
            ++i;
        } else if (inComment) {
            if (c == L'*' && next == L'/') {
                inComment = false;
                i += 2;
            } else if (IsLayoutLineEnd(c)) {
                return; // the field being collected is lost with the comment
            } else {
                ++i;
            }
        } else if (c == L'/' && next == L'*') {
            inComment = true; // next is examined again as a comment character
            ++i;
        } else if (c == L'/' && next == L'/') {
            Keep(false);
            return;
        } else if (IsLayoutLineEnd(c)) {
            // Inside quotes the field is kept even when empty.
            Keep(inQuotes);
            return;
        } else if (c == L',' && !inQuotes) {
            Keep(true);
            ++i;
        } else {
            text[length_++] = c;
            for (++i; i < size && IsPlainLayoutCharacter(line[i]); ++i) {
                text[length_++] = line[i];
            }
        }
    }
}

namespace {

int DigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (c >= L'a' && c <= L'z') {
        return c - L'a' + 10;
    }
    if (c >= L'A' && c <= L'Z') {
        return c - L'A' + 10;
    }
    return 99;
}

} // namespace

std::wstring CleanLayoutField(std::wstring_view field) {
    std::wstring text(field);
    CleanLayoutFieldInPlace(text);
    return text;
}

void CleanLayoutFieldInPlace(std::wstring& text) {
    text.resize(CleanQuotesAndEscapes(text.data(), text.size()));
    std::size_t last = text.size();
    while (last > 0 && IsLayoutSpace(text[last - 1])) {
        --last;
    }
    text.resize(last);
    std::size_t first = 0;
    while (first < text.size() && IsLayoutSpace(text[first])) {
        ++first;
    }
    text.erase(0, first);
}

std::int32_t ReadLayoutLong(std::wstring_view text, int base) {
    std::size_t i = 0;
    while (i < text.size() && IsLayoutSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    if (base == 16 && i + 2 < text.size() && text[i] == L'0' &&
        (text[i + 1] == L'x' || text[i + 1] == L'X') && DigitValue(text[i + 2]) < 16) {
        i += 2;
    }
    // Accumulate in 64 bits and stop growing once past the 32-bit range: the result is
    // clamped there anyway, so no input length can overflow.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= base) {
            break;
        }
        if (value <= kLimit) {
            value = value * base + digit;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t ReadLayoutInteger(std::wstring_view text) {
    const bool hex = text.size() >= 3 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X');
    return ReadLayoutLong(text, hex ? 16 : 10);
}

double ReadLayoutDecimal(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsLayoutSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    // The characters a number can be made of, narrowed; the first other character ends it.
    std::string narrow;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        const bool numeric = (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') ||
                             (c >= L'A' && c <= L'Z') || c == L'.' || c == L'+' || c == L'-';
        if (!numeric) {
            break;
        }
        narrow.push_back(static_cast<char>(c));
    }
    const char* begin = narrow.data();
    const char* end = narrow.data() + narrow.size();
    double value = 0.0;
    std::chars_format format = std::chars_format::general;
    const bool hex =
        narrow.size() >= 2 && narrow[0] == '0' && (narrow[1] == 'x' || narrow[1] == 'X');
    if (hex) {
        format = std::chars_format::hex;
        begin += 2;
    }
    if (begin < end && (*begin == '+' || *begin == '-')) {
        // A second sign is not part of a number ("0x-1" reads as the 0 before the x).
        return 0.0;
    }
    const std::from_chars_result result = std::from_chars(begin, end, value, format);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large becomes infinity and too small becomes 0, as wcstod answers.
        const std::string number(static_cast<const char*>(narrow.data()), result.ptr);
        value = std::strtod(number.c_str(), nullptr);
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}
