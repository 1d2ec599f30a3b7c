#pragma once
// The flat dark colour scheme: the palette and the colours each dialog gives its ordinary
// child controls.
#include "base/colour.h"

namespace Palette {
constexpr Colour MainBackground = MakeColour(51, 51, 51); // main window, page labels, buttons
constexpr Colour PageBackground = MakeColour(69, 69, 69); // pages, frame fill, selected tab
constexpr Colour FrameLine = MakeColour(100, 100, 100);   // frame and tab lines
constexpr Colour DimText = MakeColour(164, 164, 164);     // keyboard page button text, lamp off
constexpr Colour NormalText = MakeColour(220, 220, 220);
constexpr Colour BrightText = MakeColour(242, 242, 242); // key outlines, tab text, event log
constexpr Colour LampOn = MakeColour(255, 220, 0);
constexpr Colour Black = MakeColour(0, 0, 0);
} // namespace Palette

enum class SchemeDialog { Main, KeyboardPage, SettingsPage };
enum class ColourMessage { Button, Dialog, Static };

struct ControlColours {
    Colour background;
    Colour text;
    bool operator==(const ControlColours&) const = default;
};

// The background and text colour a dialog sets for a WM_CTLCOLOR message of one of its
// controls (controlId -1 for unnamed labels).
ControlColours SchemeColours(SchemeDialog dialog, ColourMessage message, int controlId);
