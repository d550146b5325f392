// The shadow's settings: their ranges, the colour arithmetic and copying.
#include <gtest/gtest.h>

#include "core/shadow/ShadowKit.h"

namespace kvtest {
namespace {

TEST(ShadowSettings, ValuesOutOfRangeAreRefused) {
    CShadowUI shadow;
    EXPECT_TRUE(shadow.SetSize(35));
    EXPECT_TRUE(shadow.SetSize(-35));
    EXPECT_FALSE(shadow.SetSize(36));
    EXPECT_FALSE(shadow.SetSize(-36));
    EXPECT_TRUE(shadow.SetSharpness(35));
    EXPECT_FALSE(shadow.SetSharpness(36));
    EXPECT_TRUE(shadow.SetDarkness(255));
    EXPECT_FALSE(shadow.SetDarkness(256));
    EXPECT_TRUE(shadow.SetPosition(-35, 35));
    EXPECT_FALSE(shadow.SetPosition(0, 36));
    EXPECT_FALSE(shadow.SetPosition(-36, 0));
    EXPECT_TRUE(shadow.SetShadowCorner(RECT{0, 0, 0, 0}));
    EXPECT_FALSE(shadow.SetShadowCorner(RECT{1, 1, -1, 1}));
    EXPECT_FALSE(shadow.SetImage(nullptr));
    EXPECT_TRUE(shadow.SetImage(L""));
}

TEST(ShadowSettings, PreMultiplyScalesEachColourByteAndLeavesTheTopByteZero) {
    EXPECT_EQ(0x00000080u, CShadowUI::PreMultiply(RGB(255, 0, 0), 128));
    EXPECT_EQ(0x00804020u, CShadowUI::PreMultiply(RGB(64, 128, 255), 128));
    EXPECT_EQ(0x00FFFFFFu, CShadowUI::PreMultiply(RGB(255, 255, 255), 255));
    EXPECT_EQ(0u, CShadowUI::PreMultiply(RGB(255, 255, 255), 0));
    EXPECT_EQ(0x00000000u, CShadowUI::PreMultiply(RGB(254, 1, 2), 1));  // integer division
}

}  // namespace
}  // namespace kvtest
