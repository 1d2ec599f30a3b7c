#include "base/alignment.h"

#include <gtest/gtest.h>

TEST(Alignment, MovesKeepSizeAndTheOtherCoordinate) {
    const PixelRect w{10, 20, 40, 35}; // 30 x 15
    const PixelRect r{100, 200, 300, 260};
    EXPECT_EQ(AlignAbove(w, r, 2), (PixelRect{10, 187, 40, 202}));
    EXPECT_EQ(AlignLeftEdges(w, r, 12), (PixelRect{112, 20, 142, 35}));
    EXPECT_EQ(AlignTopEdges(w, r, 0), (PixelRect{10, 200, 40, 215}));
    EXPECT_EQ(AlignRightEdges(w, r, -4), (PixelRect{266, 20, 296, 35}));
    EXPECT_EQ(AlignLeftOf(w, r, 0), (PixelRect{70, 20, 100, 35}));
}

TEST(Alignment, StretchesKeepPosition) {
    const PixelRect w{10, 20, 40, 35};
    const PixelRect r{100, 200, 300, 260};
    EXPECT_EQ(StretchToBottom(w, r, -12), (PixelRect{10, 20, 40, 248}));
    EXPECT_EQ(StretchToRight(w, r, 5), (PixelRect{10, 20, 305, 35}));
}

TEST(Alignment, CentreBetweenTruncatesBothHalvings) {
    const PixelRect upper{0, 0, 50, 40};
    const PixelRect lower{0, 63, 50, 100};                                 // 23-pixel gap
    const PixelRect w{5, 500, 25, 511};                                    // 11 pixels high
    EXPECT_EQ(CentreBetween(w, upper, lower), (PixelRect{5, 46, 25, 57})); // 40 + 11 - 5
    // Overlapping windows (negative gap) truncate towards zero, not downwards.
    const PixelRect overlapping{0, 37, 50, 100};
    EXPECT_EQ(CentreBetween(w, upper, overlapping).top, 40 - 1 - 5);
}

TEST(Alignment, CentreWithinWorkArea) {
    const PixelRect area{0, 0, 1280, 984};
    EXPECT_EQ(CentreWithin({0, 0, 617, 400}, area, area), (PixelRect{332, 292, 949, 692}));
    // Odd sizes: (0 + 1279) / 2 - 101 / 2 = 639 - 50.
    EXPECT_EQ(CentreWithin({0, 0, 101, 101}, {0, 0, 1279, 1279}, {0, 0, 1279, 1279}).left, 589);
}

TEST(Alignment, CentreWithinKeepsLargeWindowsOnTheLeftTopEdge) {
    const PixelRect area{-1280, 40, 0, 1024}; // monitor left of the primary, task bar on top
    const PixelRect wide = CentreWithin({0, 0, 2000, 1200}, area, area);
    EXPECT_EQ(wide.left, -1280);
    EXPECT_EQ(wide.top, 40);
    EXPECT_EQ(wide.Width(), 2000);
}

TEST(Alignment, CentreOnOwnerStaysInsideBounds) {
    const PixelRect area{0, 0, 1000, 800};
    const PixelRect owner{900, 700, 1000, 800};
    EXPECT_EQ(CentreWithin({0, 0, 300, 200}, owner, area), (PixelRect{700, 600, 1000, 800}));
    const PixelRect ownerLeft{-50, -50, 10, 10};
    EXPECT_EQ(CentreWithin({0, 0, 300, 200}, ownerLeft, area), (PixelRect{0, 0, 300, 200}));
}

TEST(Alignment, KeepWithinMovesOnlyAsFarAsNeeded) {
    const PixelRect area{0, 0, 1280, 984};
    // A window grown past the right edge slides left just enough; its top stays.
    EXPECT_EQ(KeepWithin({300, 100, 1500, 500}, area), (PixelRect{80, 100, 1280, 500}));
    // Already inside: unchanged.
    EXPECT_EQ(KeepWithin({10, 20, 110, 120}, area), (PixelRect{10, 20, 110, 120}));
    // Larger than the area: the left/top edge wins, the size never changes.
    EXPECT_EQ(KeepWithin({500, -50, 2500, 1050}, area), (PixelRect{0, 0, 2000, 1100}));
}

TEST(Alignment, EnclosingGrowsOverBothAndContainsTellsWhatLiesWithin) {
    const PixelRect a{10, 10, 20, 20};
    const PixelRect b{40, 5, 50, 15};
    EXPECT_EQ(Enclosing(a, b), (PixelRect{10, 5, 50, 20}));
    EXPECT_EQ(Enclosing(PixelRect{}, b), b);
    EXPECT_EQ(Enclosing(a, PixelRect{30, 30, 30, 40}), a) << "an empty rectangle adds nothing";
    EXPECT_TRUE(Contains(Enclosing(a, b), a));
    EXPECT_TRUE(Contains(Enclosing(a, b), PixelRect{25, 8, 35, 18})) << "between the two";
    EXPECT_FALSE(Contains(a, PixelRect{15, 15, 21, 20})) << "one pixel over the right edge";
    EXPECT_FALSE(Contains(PixelRect{}, a));
    EXPECT_TRUE(Contains(a, PixelRect{}));
}
