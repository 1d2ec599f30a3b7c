#pragma once
// Placement arithmetic of the window layout: every rectangle in one coordinate system
// (screen pixels), right and bottom exclusive.

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    PixelRect Moved(int x, int y) const { return {x, y, x + Width(), y + Height()}; }
    bool operator==(const PixelRect&) const = default;
};

// The smallest rectangle holding both; an empty one adds nothing.
PixelRect Enclosing(const PixelRect& a, const PixelRect& b);
// inner lies wholly within outer (an empty inner lies within anything).
bool Contains(const PixelRect& outer, const PixelRect& inner);

// Each returns where the moved window W ends up relative to the reference window R.
PixelRect AlignAbove(const PixelRect& w, const PixelRect& r,
                     int offset); // W bottom = R top + offset
PixelRect AlignLeftEdges(const PixelRect& w, const PixelRect& r,
                         int offset); // W left = R left + offset
PixelRect AlignTopEdges(const PixelRect& w, const PixelRect& r,
                        int offset); // W top = R top + offset
PixelRect AlignRightEdges(const PixelRect& w, const PixelRect& r,
                          int offset); // W right = R right + offset
PixelRect AlignLeftOf(const PixelRect& w, const PixelRect& r,
                      int offset); // W right = R left + offset
// W's top halfway down the gap between U's bottom and L's top, less half W's height; both
// halvings truncate.
PixelRect CentreBetween(const PixelRect& w, const PixelRect& upper, const PixelRect& lower);
PixelRect StretchToBottom(const PixelRect& w, const PixelRect& r,
                          int offset); // W bottom = R bottom + offset
PixelRect StretchToRight(const PixelRect& w, const PixelRect& r,
                         int offset); // W right = R right + offset

// Centres W on `reference` and then pushes it back inside `bounds`, the left/top edge winning
// when W is larger than the bounds.
PixelRect CentreWithin(const PixelRect& w, const PixelRect& reference, const PixelRect& bounds);

// Moves W the least distance that brings it inside `bounds`, the left/top edge winning when W
// is larger than the bounds.
PixelRect KeepWithin(const PixelRect& w, const PixelRect& bounds);
