#pragma once
// The main window's own arithmetic: the drag strip, the frame around the keyboard test page
// and the window around the frame.
#include "base/alignment.h"

// Space between the frame and the page inside it, and between the frame and the window edge.
constexpr int kFrameMargin = 12;

// WM_NCHITTEST answers: the title strip drags the borderless window.
constexpr int kHitClient = 1;
constexpr int kHitCaption = 2;

// y in client coordinates; rows 0 to stripHeight drag the window.
int HitTestDragStrip(int clientY, int stripHeight);

struct FrameExtent {
    int width = 0;
    int height = 0;
};

// The frame holds the page with a margin on each side, and is never narrower than the
// layout selection box needs.
// On a scaled screen the margin is scaled too.
FrameExtent FrameAroundPage(int pageWidth, int pageHeight, int minimumFrameWidth,
                            int margin = kFrameMargin);

// The window's size (it has no border) when it ends a margin beyond the frame.
FrameExtent WindowAroundFrame(const PixelRect& frameInClient, int margin = kFrameMargin);

// How far a window of this size reaches beyond a work area of workWidth x workHeight
// (0 in a direction where it fits).
FrameExtent OverflowOf(const FrameExtent& window, int workWidth, int workHeight);

// The web site that the logo opens.
inline constexpr wchar_t kHomePageAddress[] = L"https://www.quillmark.example/tapwise";
