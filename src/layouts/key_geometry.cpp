#include "layouts/key_geometry.h"

#include "base/dpi_scale.h"

#include <algorithm>

Colour FillColourForState(const StateColours& colours, std::int32_t state) {
    switch (state) {
    case Unpressed:
        return colours.unpressed;
    case Depressed:
    case AlarmDepressed:
        return colours.depressed;
    case Pressed:
        return colours.pressed;
    case Alarm:
        return colours.alarm;
    case Skipped:
        return colours.skipped;
    default:
        return kInvalidStateColour;
    }
}

Colour LabelColourForState(Colour label, std::int32_t state) {
    return state == Skipped ? kSkippedLabelColour : label;
}

PixelRect KeyRect(const LayoutKey& key) {
    return {key.left, key.top, key.right, key.bottom};
}

bool IsTwoRowShaped(const LayoutKey& key) {
    return key.twoRow && key.secondRowWidth != key.right - key.left;
}

int MidY(const LayoutKey& key) {
    return key.top + (key.bottom - key.top) / 2;
}

PixelRect UpperPart(const LayoutKey& key) {
    return {key.left, key.top, key.right, MidY(key)};
}

PixelRect LowerPart(const LayoutKey& key) {
    return {key.right - key.secondRowWidth, MidY(key), key.right, key.bottom};
}

PixelRect KeyBounds(const LayoutKey& key) {
    if (!IsTwoRowShaped(key)) {
        return KeyRect(key);
    }
    return {std::min(key.left, key.right - key.secondRowWidth), key.top, key.right, key.bottom};
}

PixelRect LabelArea(const LayoutKey& key) {
    if (!IsTwoRowShaped(key)) {
        return KeyRect(key);
    }
    return key.right - key.left > key.secondRowWidth ? UpperPart(key) : LowerPart(key);
}

bool IsDrawable(const LayoutKey& key) {
    return ShapeFaultOf(key) == KeyShapeFault::None;
}

PixelRect CentreBlock(const PixelRect& area, int blockWidth, int blockHeight) {
    const int x = area.left + (area.Width() - blockWidth) / 2;
    const int y = area.top + (area.Height() - blockHeight) / 2;
    return {x, y, x + blockWidth, y + blockHeight};
}

namespace {
PaintOp Fill(PaintRole role, const PixelRect& rect) {
    return {PaintOp::Kind::FillRect, role, rect};
}

PaintOp Pixel(PaintRole role, int x, int y) {
    return {PaintOp::Kind::Pixel, role, {x, y, x, y}};
}

PixelRect Shrunk(const PixelRect& rect, int by) {
    return {rect.left + by, rect.top + by, rect.right - by, rect.bottom - by};
}

// An outline run from (x0, y0) to (x1, y1) inclusive; none when the end lies behind the start
// in the run's stated direction (dx, dy), as happens for keys too small for their outline.
void AddRun(std::vector<PaintOp>& plan, int x0, int y0, int x1, int y1, int dx, int dy) {
    if ((x1 - x0) * dx < 0 || (y1 - y0) * dy < 0) {
        return;
    }
    plan.push_back({PaintOp::Kind::Run, PaintRole::Outline, {x0, y0, x1, y1}});
}
} // namespace

namespace {
// The square of line x line pixels whose top left corner is (x, y).
PixelRect Square(int x, int y, int line) {
    return {x, y, x + line, y + line};
}

// Faces with lines wider than a pixel are made of filled rectangles: the outline colour over
// the shape shrunk by one line, the fill colour over it shrunk by two, and the outline's outer
// corners cut back to the background.
std::vector<PaintOp> ThickKeyFacePlan(const PixelRect& r, int w) {
    const PixelRect ring = Shrunk(r, w);
    return {
        Fill(PaintRole::Background, r),
        Fill(PaintRole::Outline, ring),
        Fill(PaintRole::Fill, Shrunk(r, 2 * w)),
        Fill(PaintRole::Background, Square(ring.left, ring.top, w)),
        Fill(PaintRole::Background, Square(ring.right - w, ring.top, w)),
        Fill(PaintRole::Background, Square(ring.left, ring.bottom - w, w)),
        Fill(PaintRole::Background, Square(ring.right - w, ring.bottom - w, w)),
    };
}

std::vector<PaintOp> ThickTwoRowKeyPlan(const PixelRect& upper, const PixelRect& lower, int w) {
    const int l = upper.left, t = upper.top, r = upper.right, m = upper.bottom;
    const int l2 = lower.left, b = lower.bottom;
    const int inner = std::max(l, l2);
    std::vector<PaintOp> plan{
        Fill(PaintRole::Background, upper),
        Fill(PaintRole::Background, lower),
        Fill(PaintRole::Outline, Shrunk(upper, w)),
        Fill(PaintRole::Outline, Shrunk(lower, w)),
        Fill(PaintRole::Outline, {inner + w, m - w, r - w, m + w}),
        Fill(PaintRole::Fill, Shrunk(upper, 2 * w)),
        Fill(PaintRole::Fill, Shrunk(lower, 2 * w)),
        Fill(PaintRole::Fill, {inner + 2 * w, m - 2 * w, r - 2 * w, m + 2 * w}),
        Fill(PaintRole::Background, Square(l + w, t + w, w)),
        Fill(PaintRole::Background, Square(r - 2 * w, t + w, w)),
        Fill(PaintRole::Background, Square(r - 2 * w, b - 2 * w, w)),
        Fill(PaintRole::Background, Square(l2 + w, b - 2 * w, w)),
    };
    if (l < l2) {
        // The upper part's lower left corner is an outer one; the step's corner an inner one.
        plan.push_back(Fill(PaintRole::Background, Square(l + w, m - 2 * w, w)));
        plan.push_back(Fill(PaintRole::Fill, Square(l2 + w, m - 2 * w, w)));
    } else if (l > l2) {
        plan.push_back(Fill(PaintRole::Background, Square(l2 + w, m + w, w)));
        plan.push_back(Fill(PaintRole::Fill, Square(l + w, m + w, w)));
    }
    return plan;
}
} // namespace

std::vector<PaintOp> KeyFacePlan(const PixelRect& r, int line) {
    if (line > 1) {
        return ThickKeyFacePlan(r, line);
    }
    const int l = r.left, t = r.top, rt = r.right, b = r.bottom;
    return {
        Fill(PaintRole::Background, r),
        {PaintOp::Kind::OutlinedRect, PaintRole::Fill, {l + 1, t + 1, rt - 1, b - 1}},
        Pixel(PaintRole::Background, l + 1, t + 1),
        Pixel(PaintRole::Background, rt - 2, t + 1),
        Pixel(PaintRole::Background, l + 1, b - 2),
        Pixel(PaintRole::Background, rt - 2, b - 2),
    };
}

std::vector<PaintOp> TwoRowKeyPlan(const PixelRect& upper, const PixelRect& lower, int line) {
    if (line > 1) {
        return ThickTwoRowKeyPlan(upper, lower, line);
    }
    const int l = upper.left, t = upper.top, r = upper.right, m = upper.bottom;
    const int l2 = lower.left, b = lower.bottom;
    std::vector<PaintOp> plan{
        Fill(PaintRole::Background, upper),
        Fill(PaintRole::Background, lower),
        Fill(PaintRole::Fill, Shrunk(upper, 2)),
        Fill(PaintRole::Fill, Shrunk(lower, 2)),
        Fill(PaintRole::Fill, {std::max(l, l2) + 2, m - 2, r - 2, m + 2}),
    };
    AddRun(plan, l + 2, t + 1, r - 3, t + 1, 1, 0);   // top
    AddRun(plan, r - 2, t + 2, r - 2, b - 3, 0, 1);   // right
    AddRun(plan, r - 3, b - 2, l2 + 2, b - 2, -1, 0); // bottom
    if (l < l2) {
        AddRun(plan, l2 + 1, b - 3, l2 + 1, m - 1, 0, -1); // left of the lower part
        AddRun(plan, l2, m - 2, l + 2, m - 2, -1, 0);      // step
        AddRun(plan, l + 1, m - 3, l + 1, t + 2, 0, -1);   // left of the upper part
        plan.push_back(Pixel(PaintRole::Fill, l2 + 1, m - 2));
    } else if (l > l2) {
        AddRun(plan, l2 + 1, b - 3, l2 + 1, m + 2, 0, -1);
        AddRun(plan, l2 + 2, m + 1, l, m + 1, 1, 0);
        AddRun(plan, l + 1, m, l + 1, t + 2, 0, -1);
        plan.push_back(Pixel(PaintRole::Fill, l + 1, m + 1));
    }
    return plan;
}

RoleGrid::RoleGrid(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      cells_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), -1) {}

int RoleGrid::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return -1;
    }
    return cells_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                  static_cast<std::size_t>(x)];
}

void RoleGrid::Set(int x, int y, PaintRole role) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    cells_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x)] = static_cast<int>(role);
}

void RoleGrid::Apply(const std::vector<PaintOp>& plan) {
    for (const PaintOp& op : plan) {
        const PixelRect& r = op.rect;
        switch (op.kind) {
        case PaintOp::Kind::FillRect:
            for (int y = r.top; y < r.bottom; ++y) {
                for (int x = r.left; x < r.right; ++x) {
                    Set(x, y, op.role);
                }
            }
            break;
        case PaintOp::Kind::OutlinedRect:
            for (int y = r.top; y < r.bottom; ++y) {
                for (int x = r.left; x < r.right; ++x) {
                    const bool edge =
                        x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1;
                    Set(x, y, edge ? PaintRole::Outline : op.role);
                }
            }
            break;
        case PaintOp::Kind::Run:
            for (int y = std::min(r.top, r.bottom); y <= std::max(r.top, r.bottom); ++y) {
                for (int x = std::min(r.left, r.right); x <= std::max(r.left, r.right); ++x) {
                    Set(x, y, PaintRole::Outline);
                }
            }
            break;
        case PaintOp::Kind::Pixel:
            Set(r.left, r.top, op.role);
            break;
        }
    }
}

LayoutKey ScaledKeyShape(const LayoutKey& key, int dpi) {
    LayoutKey shape;
    shape.scanCode = key.scanCode;
    shape.left = ScaleToDpi(key.left, dpi);
    shape.top = ScaleToDpi(key.top, dpi);
    shape.right = ScaleToDpi(key.right, dpi);
    shape.bottom = ScaleToDpi(key.bottom, dpi);
    shape.twoRow = key.twoRow;
    // The lower part is right-aligned: its left edge scales like any other edge.
    shape.secondRowWidth = shape.right - ScaleToDpi(key.right - key.secondRowWidth, dpi);
    shape.state = key.state;
    return shape;
}
