#include "base/alignment.h"

#include <algorithm>

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
// Pushes [position, position + size) back inside [low, high), the low edge winning.
int ClampAxis(int position, int size, int low, int high) {
    if (position + size > high) {
        position = high - size;
    }
    if (position < low) {
        position = low;
    }
    return position;
}

int CentreAxis(int size, int refLow, int refHigh, int low, int high) {
    return ClampAxis((refLow + refHigh) / 2 - size / 2, size, low, high);
}
} // namespace

PixelRect KeepWithin(const PixelRect& w, const PixelRect& bounds) {
    return w.Moved(ClampAxis(w.left, w.Width(), bounds.left, bounds.right),
                   ClampAxis(w.top, w.Height(), bounds.top, bounds.bottom));
}

PixelRect CentreWithin(const PixelRect& w, const PixelRect& reference, const PixelRect& bounds) {
    return w.Moved(
        CentreAxis(w.Width(), reference.left, reference.right, bounds.left, bounds.right),
        CentreAxis(w.Height(), reference.top, reference.bottom, bounds.top, bounds.bottom));
}

PixelRect Enclosing(const PixelRect& a, const PixelRect& b) {
    if (a.IsEmpty()) {
        return b;
    }
    if (b.IsEmpty()) {
        return a;
    }
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

bool Contains(const PixelRect& outer, const PixelRect& inner) {
    return inner.IsEmpty() || (inner.left >= outer.left && inner.top >= outer.top &&
                               inner.right <= outer.right && inner.bottom <= outer.bottom);
}
