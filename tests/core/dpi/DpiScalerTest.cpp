#include "ui/core/DpiScaler.h"

#include <gtest/gtest.h>

using KvUI::CDpiScaler;

namespace {

CDpiScaler At(int dpi) {
    CDpiScaler s;
    s.SetDPI(dpi);
    return s;
}

}  // namespace

TEST(DpiScaler, StartsAtOneHundredPercent) {
    const CDpiScaler s;
    EXPECT_EQ(100, s.GetScale());
    EXPECT_EQ(96, s.GetDPI());
    EXPECT_EQ(7, s.Scale(7));
}

TEST(DpiScaler, RoundsHalvesAwayFromZeroAt150Percent) {
    const CDpiScaler s = At(144);
    EXPECT_EQ(150, s.GetScale());
    EXPECT_EQ(5, s.Scale(3));
    EXPECT_EQ(-5, s.Scale(-3));
    EXPECT_EQ(2, s.Scale(1));
    EXPECT_EQ(2, s.Unscale(3));
}

TEST(DpiScaler, ScalesRectangleOriginAndSizeApart) {
    const CDpiScaler s = At(144);
    RECT r{1, 1, 2, 2};
    s.ScaleRect(&r);
    EXPECT_EQ(2, r.left);
    EXPECT_EQ(2, r.top);
    EXPECT_EQ(4, r.right);
    EXPECT_EQ(4, r.bottom);
    // The same width gives the same scaled width wherever the rectangle lies.
    const RECT a = s.ScaleRectOut(0, 0, 3, 3);
    const RECT b = s.ScaleRectOut(1, 1, 4, 4);
    EXPECT_EQ(a.right - a.left, b.right - b.left);
}

// The constructor's own 96 dpi is the first scale, so awareness 1 keeps 100 %
// whatever is set later.
TEST(DpiScaler, AwarenessOneKeepsTheFirstScale) {
    CDpiScaler s = At(144);
    s.SetDPI(192);
    EXPECT_EQ(200, s.GetScale());
    s.SetAwareness(1);
    EXPECT_EQ(100, s.GetScale());
    EXPECT_EQ(96, s.GetDPI());
    EXPECT_EQ(7, s.Scale(7));
}

TEST(DpiScaler, AwarenessZeroReturnsEveryInputUnchanged) {
    CDpiScaler s = At(192);
    s.SetAwareness(0);
    EXPECT_EQ(96, s.GetDPI());
    EXPECT_EQ(100, s.GetScale());
    EXPECT_EQ(33, s.Scale(33));
    EXPECT_EQ(33, s.Unscale(33));
    RECT r{3, 4, 10, 20};
    s.ScaleRect(&r);
    EXPECT_EQ(10, r.right);
    POINT p{5, 6};
    s.ScalePoint(&p);
    EXPECT_EQ(5, p.x);
    const SIZE z = s.ScaleSize(8, 9);
    EXPECT_EQ(9, z.cy);
}

TEST(DpiScaler, UnscaleRectUndoesScaleRectAt200Percent) {
    const CDpiScaler s = At(192);
    RECT r{3, 4, 10, 20};
    s.ScaleRect(&r);
    s.UnscaleRect(&r);
    EXPECT_EQ(3, r.left);
    EXPECT_EQ(4, r.top);
    EXPECT_EQ(10, r.right);
    EXPECT_EQ(20, r.bottom);
}
