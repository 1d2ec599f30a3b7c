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

// The fields of the line that starts at line[0] and ends at its first end character or at
// the end of the view. inComment carries an open block comment from line to line.
std::vector<std::wstring> TokenizeLayoutLine(std::wstring_view line, bool& inComment);
// The same into fields (replacing its content), reusing the strings it already holds.
void TokenizeLayoutLine(std::wstring_view line, bool& inComment, std::vector<std::wstring>& fields);

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
