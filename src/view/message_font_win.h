#pragma once
// Fonts modelled on the system's message font.
#include <windows.h>

// pointSize 0 keeps the message font's own height. fixedPitch asks for a fixed-pitch font of
// the same metrics. Falls back to "MS Shell Dlg" and then to any face; null only when every
// attempt failed. The font is made for a window at dpi (0: the system DPI). The caller owns
// the font.
HFONT CreateMessageFont(int pointSize, bool fixedPitch, int dpi = 0);
