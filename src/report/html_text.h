#pragma once
// Text for the HTML report: every character that could end an element or an attribute is
// written as an entity, so text from a user file never becomes markup.
#include "base/colour.h"

#include <string>
#include <string_view>

void AppendEscaped(std::string& out, std::string_view utf8);
void AppendText(std::string& out, std::wstring_view text);
// "#rrggbb"
std::string CssColour(Colour colour);
