#include "shell/alignment.h"

PixelRect AlignAbove(const PixelRect& w, const PixelRect& r, int offset) {
    return w.Moved(w.left, r.top + offset - w.Height());
}

PixelRect AlignLeftEdges(const PixelRect& w, const PixelRect& r, int offset) {
    return w.Moved(r.left + offset, w.top);
}

PixelRect AlignTopEdges(const PixelRect& w, const PixelRect& r, int offset) {
    return w.Moved(w.left, r.top + offset);
}

PixelRect AlignRightEdges(const PixelRect& w, const PixelRect& r, int offset) {
    return w.Moved(r.right + offset - w.Width(), w.top);
}

PixelRect AlignLeftOf(const PixelRect& w, const PixelRect& r, int offset) {
    return w.Moved(r.left + offset - w.Width(), w.top);
}

PixelRect CentreBetween(const PixelRect& w, const PixelRect& upper, const PixelRect& lower) {
    return w.Moved(w.left, upper.bottom + (lower.top - upper.bottom) / 2 - w.Height() / 2);
}

PixelRect StretchToBottom(const PixelRect& w, const PixelRect& r, int offset) {
    return {w.left, w.top, w.right, r.bottom + offset};
}

PixelRect StretchToRight(const PixelRect& w, const PixelRect& r, int offset) {
    return {w.left, w.top, r.right + offset, w.bottom};
}

namespace {
int CentreAxis(int size, int refLow, int refHigh, int low, int high) {
    int position = (refLow + refHigh) / 2 - size / 2;
    if (position + size > high) {
        position = high - size;
    }
    if (position < low) {
        position = low;
    }
    return position;
}
} // namespace

PixelRect CentreWithin(const PixelRect& w, const PixelRect& reference, const PixelRect& bounds) {
    return w.Moved(
        CentreAxis(w.Width(), reference.left, reference.right, bounds.left, bounds.right),
        CentreAxis(w.Height(), reference.top, reference.bottom, bounds.top, bounds.bottom));
}
