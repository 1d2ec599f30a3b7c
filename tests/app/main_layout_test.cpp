#include "app/main_layout.h"

#include <gtest/gtest.h>

TEST(MainWindowLayout, OnlyTheTitleStripDragsTheWindow) {
    EXPECT_EQ(HitTestDragStrip(0, 23), kHitCaption);
    EXPECT_EQ(HitTestDragStrip(23, 23), kHitCaption);
    EXPECT_EQ(HitTestDragStrip(24, 23), kHitClient);
    EXPECT_EQ(HitTestDragStrip(400, 23), kHitClient);
}

TEST(MainWindowLayout, FrameHoldsThePageWithMarginsButNotNarrowerThanTheMinimum) {
    const FrameExtent wide = FrameAroundPage(1000, 500, 900);
    EXPECT_EQ(wide.width, 1024);
    EXPECT_EQ(wide.height, 524);
    const FrameExtent narrow = FrameAroundPage(300, 200, 900);
    EXPECT_EQ(narrow.width, 900);
    EXPECT_EQ(narrow.height, 224);
}

TEST(MainWindowLayout, OverflowBeyondTheWorkArea) {
    const FrameExtent fits = OverflowOf({1280, 1000}, 1280, 1024);
    EXPECT_EQ(fits.width, 0);
    EXPECT_EQ(fits.height, 0);
    const FrameExtent wide = OverflowOf({10878, 400}, 1280, 1024);
    EXPECT_EQ(wide.width, 9598);
    EXPECT_EQ(wide.height, 0);
    EXPECT_EQ(OverflowOf({100, 1100}, 1280, 1024).height, 76);
}

TEST(MainWindowLayout, WindowEndsTwelvePixelsBeyondTheFrame) {
    const FrameExtent window = WindowAroundFrame(PixelRect{20, 60, 1044, 584});
    EXPECT_EQ(window.width, 1056);
    EXPECT_EQ(window.height, 596);
}
