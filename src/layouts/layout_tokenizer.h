#pragma once
// The lexical rules of layout text: splitting a line into fields, cleaning a field, and
// reading integers and decimals the way the C library's wcstol and wcstod would.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// White space as the Windows C library's iswspace classifies it, on every platform.
bool IsLayoutSpace(wchar_t c);

// Carriage return, line feed and NUL (the end of a C string) end a line.
inline bool IsLayoutLineEnd(wchar_t c) {
    return c == L'\r' || c == L'\n' || c == L'\0';
}

// The cleaned fields of one line, held in one buffer that is reused from line to line, so
// that a parser tokenizing line after line does not allocate once the buffer has grown.
class LayoutLineFields {
public:
    std::size_t size() const { return spans_.size(); }
    bool empty() const { return spans_.empty(); }
    // Valid until the next Tokenize.
    std::wstring_view operator[](std::size_t index) const {
        return std::wstring_view(text_.data() + spans_[index].start, spans_[index].length);
    }

    // Replaces the content with the fields of line (see TokenizeLayoutLine).
    void Tokenize(std::wstring_view line, bool& inComment);

private:
    struct Span {
        std::size_t start;
        std::size_t length;
    };

    // Cleans the field collected since fieldStart_ and keeps it when asked or not empty.
    void Keep(bool evenWhenEmpty);

    // Characters are written at text_[length_]; the buffer only grows, so that a line
    // costs neither an allocation nor a fill once it has reached the longest line's size.
    std::vector<wchar_t> text_;
    std::size_t length_ = 0;
    std::vector<Span> spans_;
    std::size_t fieldStart_ = 0;
};

// The fields of the line that starts at line[0] and ends at its first end character or at
// the end of the view. inComment carries an open block comment from line to line.
std::vector<std::wstring> TokenizeLayoutLine(std::wstring_view line, bool& inComment);
void TokenizeLayoutLine(std::wstring_view line, bool& inComment, LayoutLineFields& fields);

// Quotes ("" inside a quoted section becomes ", other quotes go), escapes (\r\n and \n become a
// line feed), then white space trimmed from both ends.
std::wstring CleanLayoutField(std::wstring_view field);
void CleanLayoutFieldInPlace(std::wstring& field);

// wcstol: leading white space and a sign, an optional 0x prefix in base 16, digits up to the
// first character that is not one; no digits reads as 0; clamped to the 32-bit range.
std::int32_t ReadLayoutLong(std::wstring_view text, int base);

// The code and row rule: base 16 for text of three or more characters that begins with 0x
// or 0X, else base 10.
std::int32_t ReadLayoutInteger(std::wstring_view text);

// wcstod with "." as the decimal point; text that is not a number reads as 0.
double ReadLayoutDecimal(std::wstring_view text);
