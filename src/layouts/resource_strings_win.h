#pragma once
// String-table access and whole-string UTF-8 conversions (Windows layer).
#include <windows.h>

#include <initializer_list>
#include <string>

// The string-table entry id of module (the program itself when null), of any length.
// False with an empty text when the entry is missing or empty.
bool ReadResourceString(UINT id, std::wstring& text, HMODULE module = nullptr);
// The program's string-table entry id; empty when there is none.
std::wstring ResourceText(UINT id);

// The entries in order, appended. With stopAtBlank, reading stops at the first entry that
// holds nothing but spaces (a missing entry included).
std::wstring ReadJoinedResourceStrings(std::initializer_list<UINT> ids, bool stopAtBlank,
                                       HMODULE module = nullptr);

// Conversions through CP_UTF8 without flags; false with an empty output on failure.
bool ToNarrow(const std::wstring& text, std::string& bytes);
bool ToWide(const std::string& bytes, std::wstring& text);

// The default layout text from string-table entries 160 to 163 and its name. A damaged
// resource leaves the text empty, so loading it fails with "No data".
void PrepareDefaultLayout(std::wstring& text, std::wstring& name, HMODULE module = nullptr);
