#include "layouts/key_geometry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

LayoutKey Key(int left, int top, int right, int bottom) {
    LayoutKey key;
    key.left = left;
    key.top = top;
    key.right = right;
    key.bottom = bottom;
    return key;
}

LayoutKey TwoRow(int left, int top, int right, int bottom, int secondWidth) {
    LayoutKey key = Key(left, top, right, bottom);
    key.twoRow = true;
    key.secondRowWidth = secondWidth;
    return key;
}

// One row of a grid as text: B, F, O or '.' for untouched.
std::string Row(const RoleGrid& grid, int y, int x0, int x1) {
    std::string text;
    for (int x = x0; x <= x1; ++x) {
        const int role = grid.At(x, y);
        text += role < 0 ? '.' : "BFO"[role];
    }
    return text;
}

RoleGrid Draw(const LayoutKey& key, int width, int height) {
    RoleGrid grid(width, height);
    grid.Apply(IsTwoRowShaped(key) ? TwoRowKeyPlan(UpperPart(key), LowerPart(key))
                                   : KeyFacePlan(KeyRect(key)));
    return grid;
}
} // namespace

TEST(KeyGeometry, FillColourByState) {
    const StateColours colours;
    EXPECT_EQ(FillColourForState(colours, Unpressed), 0xA0A0A0u);
    EXPECT_EQ(FillColourForState(colours, Depressed), 0xFFA0A0u);
    EXPECT_EQ(FillColourForState(colours, AlarmDepressed), 0xFFA0A0u);
    EXPECT_EQ(FillColourForState(colours, Pressed), 0xA0FFA0u);
    EXPECT_EQ(FillColourForState(colours, Alarm), 0xA0A0FFu);
    EXPECT_EQ(FillColourForState(colours, Skipped), 0x787878u);
    EXPECT_EQ(FillColourForState(colours, 6), kInvalidStateColour);
    EXPECT_EQ(FillColourForState(colours, -1), kInvalidStateColour);
}

TEST(KeyGeometry, TwoRowShapeAndBounds) {
    const LayoutKey tall = TwoRow(100, 0, 136, 72, 36);
    EXPECT_FALSE(IsTwoRowShaped(tall));
    EXPECT_EQ(KeyBounds(tall), (PixelRect{100, 0, 136, 72}));
    EXPECT_EQ(LabelArea(tall), (PixelRect{100, 0, 136, 72}));

    const LayoutKey narrowerBelow = TwoRow(100, 0, 154, 72, 45); // ISO Enter
    EXPECT_TRUE(IsTwoRowShaped(narrowerBelow));
    EXPECT_EQ(KeyBounds(narrowerBelow), (PixelRect{100, 0, 154, 72}));
    EXPECT_EQ(LabelArea(narrowerBelow), (PixelRect{100, 0, 154, 36}));

    const LayoutKey widerBelow = TwoRow(100, 0, 154, 73, 81);
    EXPECT_EQ(MidY(widerBelow), 36);
    EXPECT_EQ(KeyBounds(widerBelow), (PixelRect{73, 0, 154, 73}));
    EXPECT_EQ(LabelArea(widerBelow), (PixelRect{73, 36, 154, 73}));
}

TEST(KeyGeometry, NothingToDrawForEmptyOrNegativeKeys) {
    EXPECT_TRUE(IsDrawable(Key(0, 0, 36, 36)));
    EXPECT_FALSE(IsDrawable(Key(0, 0, 0, 0)));
    EXPECT_FALSE(IsDrawable(Key(36, 0, 0, 36)));
    EXPECT_FALSE(IsDrawable(Key(0, 36, 36, 0)));
    EXPECT_FALSE(IsDrawable(TwoRow(0, 0, 36, 72, -18)));
    EXPECT_FALSE(IsDrawable(TwoRow(0, 0, 36, 72, 0)));
}

TEST(KeyGeometry, LabelBlockCentredWithTruncation) {
    EXPECT_EQ(CentreBlock({10, 20, 46, 56}, 7, 13), (PixelRect{24, 31, 31, 44}));
    // Wider than the key: spills over both sides.
    EXPECT_EQ(CentreBlock({0, 0, 36, 36}, 50, 10), (PixelRect{-7, 13, 43, 23}));
}

TEST(KeyFace, ThirtySixPixelKey) {
    const RoleGrid grid = Draw(Key(0, 0, 36, 36), 36, 36);
    // Corners of the outline are cut back to the background.
    EXPECT_EQ(Row(grid, 0, 0, 35), std::string(36, 'B'));
    EXPECT_EQ(Row(grid, 1, 0, 35), "BB" + std::string(32, 'O') + "BB");
    EXPECT_EQ(Row(grid, 2, 0, 35), "BO" + std::string(32, 'F') + "OB");
    EXPECT_EQ(Row(grid, 33, 0, 35), "BO" + std::string(32, 'F') + "OB");
    EXPECT_EQ(Row(grid, 34, 0, 35), "BB" + std::string(32, 'O') + "BB");
    EXPECT_EQ(Row(grid, 35, 0, 35), std::string(36, 'B'));
}

TEST(KeyFace, LShapeNarrowerBelow) {
    // Upper part (0, 0, 54, 36), lower part (9, 36, 54, 72).
    const RoleGrid grid = Draw(TwoRow(0, 0, 54, 72, 45), 60, 80);
    EXPECT_EQ(Row(grid, 0, 0, 55), std::string(54, 'B') + "..");
    EXPECT_EQ(Row(grid, 1, 0, 55), "BB" + std::string(50, 'O') + "BB..");
    EXPECT_EQ(Row(grid, 2, 0, 55), "BO" + std::string(50, 'F') + "OB..");
    EXPECT_EQ(Row(grid, 33, 0, 55), "BO" + std::string(50, 'F') + "OB..");
    // Step at m-2 = 34 from x = 2 to l2 = 9, inner corner (10, 34) filled.
    EXPECT_EQ(Row(grid, 34, 0, 55), "BB" + std::string(8, 'O') + std::string(42, 'F') + "OB..");
    EXPECT_EQ(Row(grid, 35, 0, 55), std::string(10, 'B') + "O" + std::string(41, 'F') + "OB..");
    // The lower part: left of it is untouched, so a neighbour drawn there survives.
    EXPECT_EQ(Row(grid, 36, 0, 55),
              "........." + std::string(1, 'B') + "O" + std::string(41, 'F') + "OB..");
    EXPECT_EQ(Row(grid, 69, 0, 55), ".........BO" + std::string(41, 'F') + "OB..");
    EXPECT_EQ(Row(grid, 70, 0, 55), ".........BB" + std::string(41, 'O') + "BB..");
    EXPECT_EQ(Row(grid, 71, 0, 55), "........." + std::string(45, 'B') + "..");
    EXPECT_EQ(grid.At(5, 50), -1);
}

TEST(KeyFace, LShapeWiderBelow) {
    // Upper part (20, 0, 56, 36), lower part (2, 36, 56, 72).
    const RoleGrid grid = Draw(TwoRow(20, 0, 56, 72, 54), 60, 80);
    EXPECT_EQ(Row(grid, 1, 0, 57), std::string(20, '.') + "BB" + std::string(32, 'O') + "BB..");
    EXPECT_EQ(Row(grid, 34, 0, 57), std::string(20, '.') + "BO" + std::string(32, 'F') + "OB..");
    EXPECT_EQ(Row(grid, 35, 0, 57), std::string(20, '.') + "BO" + std::string(32, 'F') + "OB..");
    EXPECT_EQ(Row(grid, 36, 0, 57),
              "..BB" + std::string(16, 'B') + "BO" + std::string(32, 'F') + "OB..");
    // Step at m+1 = 37 from l2+2 = 4 to l = 20; inner corner (21, 37) filled.
    EXPECT_EQ(Row(grid, 37, 0, 57), "..BB" + std::string(17, 'O') + std::string(33, 'F') + "OB..");
    EXPECT_EQ(Row(grid, 38, 0, 57), "..BO" + std::string(50, 'F') + "OB..");
    EXPECT_EQ(Row(grid, 70, 0, 57), "..BB" + std::string(50, 'O') + "BB..");
    EXPECT_EQ(grid.At(5, 10), -1);
}

TEST(KeyFace, TinyLShapeDoesNotRunBackwards) {
    // Parts too small for a full outline still give a bounded plan inside the key.
    const LayoutKey key = TwoRow(0, 0, 4, 4, 3);
    const std::vector<PaintOp> plan = TwoRowKeyPlan(UpperPart(key), LowerPart(key));
    for (const PaintOp& op : plan) {
        if (op.kind == PaintOp::Kind::Run) {
            EXPECT_GE(op.rect.left, 0);
            EXPECT_LE(op.rect.right, 3);
            EXPECT_GE(op.rect.top, 0);
            EXPECT_LE(op.rect.bottom, 3);
        }
    }
}

TEST(KeyImageCacheKey, OrdersBySizeThenState) {
    EXPECT_LT((KeyImageKey{36, 36, 0}), (KeyImageKey{36, 36, 1}));
    EXPECT_LT((KeyImageKey{36, 36, 4}), (KeyImageKey{36, 72, 0}));
    EXPECT_EQ((KeyImageKey{54, 36, 2}), (KeyImageKey{54, 36, 2}));
}
