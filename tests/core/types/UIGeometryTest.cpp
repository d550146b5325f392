#include "ui/core/UIGeometry.h"

#include <gtest/gtest.h>

using KvUI::CUIRect;

namespace {

void ExpectRect(const RECT& rc, LONG l, LONG t, LONG r, LONG b) {
    EXPECT_EQ(l, rc.left);
    EXPECT_EQ(t, rc.top);
    EXPECT_EQ(r, rc.right);
    EXPECT_EQ(b, rc.bottom);
}

}  // namespace

TEST(UIRect, JoinTakesTheOuterEdgesOfBoth) {
    CUIRect rc(10, 10, 20, 20);
    rc.Join(CUIRect(0, 15, 5, 30));
    ExpectRect(rc, 0, 10, 20, 30);
}

TEST(UIRect, MovesAndShrinksKeepingItsSize) {
    CUIRect rc(5, 7, 25, 17);
    EXPECT_EQ(20, rc.GetWidth());
    EXPECT_EQ(10, rc.GetHeight());
    rc.ResetOffset();
    ExpectRect(rc, 0, 0, 20, 10);
    rc.Offset(3, -2);
    ExpectRect(rc, 3, -2, 23, 8);
    rc.Deflate(2, 1);
    ExpectRect(rc, 5, -1, 21, 7);
    rc.Inflate(2, 1);
    ExpectRect(rc, 3, -2, 23, 8);
}

TEST(UIRect, IsNullOnlyWhenAllFieldsAreZero) {
    CUIRect rc;
    EXPECT_TRUE(rc.IsNull());
    rc.Set(0, 0, 0, 1);
    EXPECT_FALSE(rc.IsNull());
    rc.Assign(RECT{0, 0, 0, 0});
    EXPECT_TRUE(rc.IsNull());
    // Empty but not null: a rectangle of no area somewhere else.
    rc.Set(4, 4, 4, 4);
    EXPECT_FALSE(rc.IsNull());
}
