#pragma once
// Whole-string UTF-8 conversions that work whatever the width of wchar_t
// (16 bits with surrogate pairs on Windows, 32 bits on Linux).
#include <string>
#include <string_view>

// Unpaired surrogates are written as U+FFFD so the output is always valid UTF-8.
std::string EncodeUtf8(std::wstring_view text);

// Malformed sequences (stray continuation bytes, overlong forms, surrogates, values
// above U+10FFFF, truncated sequences) decode to one U+FFFD per offending byte.
std::wstring DecodeUtf8(std::string_view bytes);

// UTF-16 bytes in either byte order; surrogate pairs are joined where wchar_t is 32 bits and a
// lone surrogate is kept as it was. A trailing odd byte is ignored.
std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian);
