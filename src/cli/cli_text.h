#pragma once
// Text as tapwise-cli prints it: one line stays one line whatever a file held.
#include <string>

// Inside double quotes: backslash, quote, LF and CR escaped, other control characters as \xHH.
std::string Quoted(const std::wstring& text);
// Only control characters escaped (as \xHH), so the line never breaks.
std::string PlainName(const std::wstring& text);
