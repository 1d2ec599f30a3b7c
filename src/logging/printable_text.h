#pragma once
// Text from files (layout names, key names, file names) shown in a line of the event log, a
// field or a status: a control character in it would break a line in two or reach the screen
// as a symbol, so each one is shown as a space.
#include <cstddef>
#include <string>
#include <string_view>

// C0 and C1 control characters, DEL, and the Unicode line and paragraph separators.
bool IsControlCharacter(wchar_t c);

std::wstring PrintableText(std::wstring_view text);
// In place, over length characters.
void MakePrintable(wchar_t* text, std::size_t length);
