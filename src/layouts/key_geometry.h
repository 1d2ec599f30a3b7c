#pragma once
// Geometry of key faces: which rectangle a key occupies, which part carries its label, and the
// exact pixel runs that draw an ordinary or L-shaped key. The Windows layer executes these
// plans with GDI; tests rasterise them in memory.
#include "base/alignment.h"
#include "base/colour.h"
#include "layouts/keyboard_layout.h"

#include <compare>
#include <cstdint>
#include <vector>

struct StateColours {
    Colour unpressed = MakeColour(0xA0, 0xA0, 0xA0);
    Colour depressed = MakeColour(0xA0, 0xA0, 0xFF);
    Colour pressed = MakeColour(0xA0, 0xFF, 0xA0);
    Colour alarm = MakeColour(0xFF, 0xA0, 0xA0);
    // Keys a test plan leaves out: a neutral grey, darker than untested, lighter than the page.
    Colour skipped = MakeColour(0x78, 0x78, 0x78);
};

// States outside 0 to 5 are painted in this colour so that they stand out.
constexpr Colour kInvalidStateColour = MakeColour(255, 0, 255);

Colour FillColourForState(const StateColours& colours, std::int32_t state);
// A skipped key's label is pale, as on a disabled control, so that an operator tells a key left
// out of the test from one still to be pressed at a glance; other keys keep the view's label.
constexpr Colour kSkippedLabelColour = MakeColour(0xDC, 0xDC, 0xDC);
Colour LabelColourForState(Colour label, std::int32_t state);

PixelRect KeyRect(const LayoutKey& key);
// A two-row key whose lower part differs in width from the upper part: drawn as an L,
// directly and never from the face cache.
bool IsTwoRowShaped(const LayoutKey& key);
int MidY(const LayoutKey& key);
PixelRect UpperPart(const LayoutKey& key);
PixelRect LowerPart(const LayoutKey& key);
// What a redraw of the key must invalidate: the rectangle, or the box around both parts.
PixelRect KeyBounds(const LayoutKey& key);
// The rectangle the label is centred in: the wider part of an L-shaped key.
PixelRect LabelArea(const LayoutKey& key);
// Keys with an empty or negative rectangle (or an empty lower part) draw nothing.
bool IsDrawable(const LayoutKey& key);
// A measured text block of blockWidth x blockHeight, moved to the centre of area (halvings
// truncate, so a block larger than the area spills over both sides).
PixelRect CentreBlock(const PixelRect& area, int blockWidth, int blockHeight);

// The cache of rendered faces is keyed by size and state.
struct KeyImageKey {
    int width = 0;
    int height = 0;
    std::int32_t state = 0;
    auto operator<=>(const KeyImageKey&) const = default;
};

enum class PaintRole : std::uint8_t { Background, Fill, Outline };

struct PaintOp {
    enum class Kind : std::uint8_t {
        FillRect,     // rect, right/bottom exclusive, in the role's colour
        OutlinedRect, // Win32 Rectangle rule: 1-pixel outline on the rect's border, fill inside
        Run,          // outline pixels from (rect.left, rect.top) to (rect.right, rect.bottom)
                      // inclusive, horizontal or vertical, drawn in that direction
        Pixel,        // one pixel at (rect.left, rect.top)
    };
    Kind kind;
    PaintRole role;
    PixelRect rect;
};

// A face at rect: background, outline 1 pixel inside, fill, the four outline corners cut.
// On a scaled screen `line` pixels take the place of each of those pixels: margin, outline
// and cut corners all grow together.
std::vector<PaintOp> KeyFacePlan(const PixelRect& rect, int line = 1);
// An L-shaped key from its upper part (l, t, r, m) and lower part (l2, m, r, b).
std::vector<PaintOp> TwoRowKeyPlan(const PixelRect& upper, const PixelRect& lower, int line = 1);

// Rasterises a plan into a grid (tests and tools): cells hold a role, or -1 where untouched.
class RoleGrid {
public:
    RoleGrid(int width, int height);
    void Apply(const std::vector<PaintOp>& plan);
    // -1 untouched or outside the grid, else the PaintRole value.
    int At(int x, int y) const;
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    void Set(int x, int y, PaintRole role);
    int width_;
    int height_;
    std::vector<int> cells_;
};

// The key's shape (rectangle, two-row flag and lower width, state) in screen pixels; label
// and name are left empty. A tall two-row key stays a plain rectangle, an L stays an L.
LayoutKey ScaledKeyShape(const LayoutKey& key, int dpi);
