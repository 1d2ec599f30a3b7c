#include "base/dpi_scale.h"
#include "layouts/default_layout.h"
#include "layouts/key_geometry.h"
#include "layouts/key_names.h"
#include "layouts/layout_parser.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>

namespace {
LayoutKey TwoRow(int left, int top, int right, int bottom, int secondWidth) {
    LayoutKey key;
    key.left = left;
    key.top = top;
    key.right = right;
    key.bottom = bottom;
    key.twoRow = true;
    key.secondRowWidth = secondWidth;
    return key;
}

RoleGrid DrawShape(const LayoutKey& key, int line, int width, int height) {
    RoleGrid grid(width, height);
    grid.Apply(IsTwoRowShaped(key) ? TwoRowKeyPlan(UpperPart(key), LowerPart(key), line)
                                   : KeyFacePlan(KeyRect(key), line));
    return grid;
}

LayoutKey Doubled(const LayoutKey& key) {
    LayoutKey doubled = key;
    doubled.left *= 2;
    doubled.top *= 2;
    doubled.right *= 2;
    doubled.bottom *= 2;
    doubled.secondRowWidth *= 2;
    return doubled;
}
} // namespace

TEST(DpiScale, LengthsRoundToTheNearestPixel) {
    EXPECT_EQ(ScaleToDpi(36, 96), 36);
    EXPECT_EQ(ScaleToDpi(36, 144), 54);
    EXPECT_EQ(ScaleToDpi(36, 192), 72);
    EXPECT_EQ(ScaleToDpi(12, 120), 15);
    EXPECT_EQ(ScaleToDpi(1, 144), 2); // 1.5 rounds up: a line never vanishes
    EXPECT_EQ(ScaleToDpi(1, 120), 1);
    EXPECT_EQ(ScaleToDpi(-3, 144), -5);
    EXPECT_EQ(ScaleToDpi(4, 0), 4);                     // no DPI known: 100 %
    EXPECT_EQ(ScaleToDpi(1000000000, 192), 2000000000); // no overflow on the way
}

TEST(DpiScale, UpAndBackDownGivesTheSameLength) {
    for (int dpi : {120, 144, 168, 192, 288}) {
        for (int length = -50; length <= 3000; ++length) {
            ASSERT_EQ(ScaleBetweenDpi(ScaleToDpi(length, dpi), dpi, kBaseDpi), length)
                << length << " at " << dpi;
        }
    }
}

TEST(DpiScale, RoomAtBaseDpiIsTheLargestLengthThatFits) {
    for (int dpi : {96, 120, 144, 192}) {
        for (int room = 0; room <= 2500; ++room) {
            const int base = RoomAtBaseDpi(room, dpi);
            ASSERT_LE(ScaleToDpi(base, dpi), room) << room << " at " << dpi;
            ASSERT_GT(ScaleToDpi(base + 1, dpi), room) << room << " at " << dpi;
        }
    }
    EXPECT_EQ(RoomAtBaseDpi(-10, 144), 0);
}

TEST(DpiScale, KeysOfALayoutStillTouchAndKeepTheirShapes) {
    KeyboardLayout layout;
    KeyNameTable names;
    ASSERT_TRUE(LoadLayoutText(DefaultLayoutText(), 36, layout, names));
    for (int dpi : {120, 144, 192}) {
        const int extent = ScaleToDpi(layout.width, dpi);
        for (auto key = layout.keys.begin(); key != layout.keys.end(); ++key) {
            const LayoutKey shape = ScaledKeyShape(*key, dpi);
            EXPECT_TRUE(shape.label.empty());
            EXPECT_EQ(shape.state, key->state);
            EXPECT_LE(std::abs(shape.right - shape.left - ScaleToDpi(key->right - key->left, dpi)),
                      1);
            EXPECT_LE(shape.right, extent);
            EXPECT_EQ(IsTwoRowShaped(shape), IsTwoRowShaped(*key));
            const auto next = std::next(key);
            if (next != layout.keys.end() && next->top == key->top && next->left == key->right) {
                EXPECT_EQ(ScaledKeyShape(*next, dpi).left, shape.right) << "gap at " << dpi;
            }
        }
    }
    // A tall two-row key stays one rectangle; an L keeps its lower part right-aligned.
    const LayoutKey tall = ScaledKeyShape(TwoRow(100, 0, 136, 72, 36), 144);
    EXPECT_FALSE(IsTwoRowShaped(tall));
    EXPECT_EQ(KeyRect(tall), (PixelRect{150, 0, 204, 108}));
    const LayoutKey iso = ScaledKeyShape(TwoRow(100, 0, 154, 72, 45), 144);
    EXPECT_TRUE(IsTwoRowShaped(iso));
    EXPECT_EQ(LowerPart(iso), (PixelRect{164, 54, 231, 108}));
}

TEST(DpiScale, ThickFacesAreTheThinFacesAtDoubleSize) {
    // Lines of 2 pixels on a key of twice the size give the 1-pixel face pixel-doubled:
    // margin, outline, cut corners, the step and the inner corner of an L.
    for (const LayoutKey& key :
         {TwoRow(0, 0, 36, 36, 36), TwoRow(0, 0, 54, 72, 45), TwoRow(20, 0, 56, 72, 54),
          TwoRow(10, 0, 90, 72, 47), TwoRow(0, 0, 63, 36, 63)}) {
        const int width = key.right + 4;
        const int height = key.bottom + 4;
        const RoleGrid thin = DrawShape(key, 1, width, height);
        const RoleGrid thick = DrawShape(Doubled(key), 2, 2 * width, 2 * height);
        int mismatches = 0;
        for (int y = 0; y < 2 * height; ++y) {
            for (int x = 0; x < 2 * width; ++x) {
                mismatches += thick.At(x, y) != thin.At(x / 2, y / 2) ? 1 : 0;
            }
        }
        EXPECT_EQ(mismatches, 0) << key.left << "," << key.right << "," << key.secondRowWidth;
    }
}

TEST(DpiScale, RectanglesScaleEdgeByEdge) {
    EXPECT_EQ(ScaleRect({0, 0, 36, 36}, 144), (PixelRect{0, 0, 54, 54}));
    EXPECT_EQ(ScaleRect({36, 18, 63, 45}, 144), (PixelRect{54, 27, 95, 68}));
    EXPECT_EQ(ScaleRectBetween({54, 27, 95, 68}, 144, 96), (PixelRect{36, 18, 63, 45}));
}

TEST(DpiScale, DpiToFitShrinksAWindowTooLargeForItsScreenButNotBelowOneHundredPercent) {
    EXPECT_EQ(DpiToFit(192, 1500, 1100, 1600, 1200), 192);
    // 2,062 pixels at 200 % on a 1,600-pixel work area: 149 DPI makes it 1,600.
    const int dpi = DpiToFit(192, 2062, 1100, 1600, 1200);
    EXPECT_EQ(dpi, 149);
    EXPECT_LE(ScaleBetweenDpi(2062, 192, dpi), 1600);
    EXPECT_GT(ScaleBetweenDpi(2062, 192, dpi + 1), 1600);
    EXPECT_EQ(DpiToFit(144, 1000, 3000, 1600, 1200), 96);
    EXPECT_EQ(DpiToFit(96, 3000, 3000, 1600, 1200), 96);
}
