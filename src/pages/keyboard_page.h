#pragma once
// The keyboard test page's own arithmetic and texts: where the keyboard group box ends for a
// layout of a given size, and the input language field.
#include "base/alignment.h"

#include <cstdint>
#include <string>

// Space between the keyboard group box and the keyboard view on each side.
constexpr int kKeyboardMargin = 12;

// The keyboard group box after a layout of width x height pixels was placed in it: the view
// 12 pixels in from the top left corner, 12 pixels of frame beyond it, but never smaller
// than the box the page was designed with. On a scaled screen the margin is scaled too.
PixelRect KeyboardGroupRect(const PixelRect& group, int layoutWidth, int layoutHeight,
                            int minimumWidth, int minimumHeight, int margin = kKeyboardMargin);

// "%04X (%s)": the language identifier and the language's own name for itself.
std::wstring FormatLanguageField(std::uint16_t languageId, const std::wstring& nativeName);

// Writes the keyboard layout line of the diagnostic log for the active input locale.
void LogKeyboardLayout(const std::wstring& layoutName, std::uint16_t languageId,
                       std::uint16_t layoutHandleHigh);
