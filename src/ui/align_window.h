#pragma once
// Placement of windows relative to one another, applied in the parent's client coordinates.
#include "base/alignment.h"

#include <windows.h>

// The rectangle of a window in screen coordinates.
PixelRect ScreenRect(HWND window);
// A child's rectangle in its parent's client coordinates.
PixelRect ChildRect(HWND parent, HWND child);

// A mix-in for windows that their parent places relative to other windows.
class AlignWindow {
public:
    bool AlignAbove(HWND reference, int offset);
    bool AlignLeftEdges(HWND reference, int offset);
    bool AlignTopEdges(HWND reference, int offset);
    bool AlignRightEdges(HWND reference, int offset);
    bool AlignLeftOf(HWND reference, int offset);
    bool CentreBetween(HWND upper, HWND lower);
    bool StretchToBottom(HWND reference, int offset);
    bool StretchToRight(HWND reference, int offset);

protected:
    ~AlignWindow() = default;
    // The window that the operations move: the object this mix-in is part of.
    virtual HWND AlignedWindow() const = 0;

private:
    bool Apply(const PixelRect& target, bool move);
};

// Centres a window: a child on its parent's client area, a window with a visible,
// non-minimized owner on the owner, anything else on the work area of the nearest monitor;
// always kept inside that area (the left/top edge winning). Moves without resizing.
bool CentreWindow(HWND window);

// Moves a top-level window the least distance that brings it onto the work area of its
// nearest monitor (the left/top edge winning when it is larger). Never resizes.
bool KeepOnWorkArea(HWND window);

// Sizes the window so that its client area is width x height, without moving it.
bool ResizeClient(HWND window, int width, int height);
