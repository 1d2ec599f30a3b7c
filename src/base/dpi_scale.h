#pragma once
// Sizes the program defines in pixels are meant at 96 DPI; a window on a screen of another
// scale multiplies them by dpi / 96. The layout keeps its 96-DPI pixels (what reports and
// saved files use); only what is put on the screen is scaled.
#include "base/alignment.h"

// The DPI at which every pixel size of the program is defined (100 %).
constexpr int kBaseDpi = 96;

// A length at 96 DPI on a screen of `dpi`, rounded to the nearest pixel (halves away from
// zero). A dpi of 0 or less counts as 96.
int ScaleToDpi(int length, int dpi);
// A length shown at fromDpi, as it is to be shown at toDpi.
int ScaleBetweenDpi(int length, int fromDpi, int toDpi);
// The largest 96-DPI length whose scaled length still fits in `room` screen pixels.
int RoomAtBaseDpi(int room, int dpi);

// Each edge scaled on its own, so that rectangles which touch at 96 DPI still touch.
PixelRect ScaleRect(const PixelRect& rect, int dpi);
PixelRect ScaleRectBetween(const PixelRect& rect, int fromDpi, int toDpi);

// A window of width x height drawn at dpi that does not fit room: the DPI, below dpi but not
// below 96, at which its scaled size would fit (dpi itself when it fits already).
int DpiToFit(int dpi, int width, int height, int roomWidth, int roomHeight);
