#pragma once
// Text in the program's HTML pages: every text that may come from a user file is escaped.
#include "base/colour.h"

#include <string>
#include <string_view>

// & < > " and ' as character references; everything else as it is.
void AppendHtmlEscaped(std::string& out, std::string_view utf8);
void AppendHtmlText(std::string& out, std::wstring_view text);
// "#rrggbb"
std::string CssColour(Colour colour);
