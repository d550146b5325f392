// The group box: a frame 5 pixels inside, broken under its caption; the
// caption's colours; children kept clear of frame and caption.
#include <gtest/gtest.h>

#include "controls/ControlsKit.h"
#include "ui/controls/GroupBoxUI.h"

namespace kvtest {
namespace {

constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kWhite = 0xFFFFFF;

// A 200 x 100 group box at the window's top left; its frame's top line is row 5.
CGroupBoxUI* Open(Host& host, const std::wstring& attributes) {
    host.Build(Skin(L"<HorizontalLayout height=\"100\"><GroupBox name=\"g\" width=\"200\" bordersize=\"1\" "
                    L"bordercolor=\"#FFFF0000\" bkcolor=\"#FFFFFFFF\" " +
                    attributes + L"><Control name=\"c\" bkcolor=\"#FF00FF00\"/></GroupBox></HorizontalLayout>"));
    return host.Find<CGroupBoxUI>(L"g");
}

TEST(GroupBox, TheFrameIsBrokenWhereTheCaptionSits) {
    Host host;
    ASSERT_NE(nullptr, Open(host, L"text=\"Caption\" textcolor=\"#FF000000\""));
    // The caption starts 15 pixels right of the frame's corner (x 20).
    EXPECT_EQ(kRed, host.Pixel(10, 5));
    EXPECT_EQ(0, host.CountInRow(5, 21, 30, kRed)) << "no frame line under the caption";
    EXPECT_EQ(kRed, host.Pixel(190, 5));
    EXPECT_EQ(kRed, host.Pixel(5, 50));
    EXPECT_EQ(kRed, host.Pixel(194, 50));
}

TEST(GroupBox, WithoutTextTheFrameIsWhole) {
    Host host;
    ASSERT_NE(nullptr, Open(host, L""));
    EXPECT_EQ(190, host.CountInRow(5, 5, 195, kRed));
    EXPECT_EQ(kWhite, host.Pixel(100, 2));
}

TEST(GroupBox, ChildrenKeepClearOfFrameAndCaption) {
    Host host;
    CGroupBoxUI* box = Open(host, L"text=\"Caption\"");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ((RECT{20, 25, 180, 80}), host.Find<CControlUI>(L"c")->GetPos());
}

TEST(GroupBox, ADisabledBoxDrawsItsCaptionInTheDisabledColour) {
    Host host;
    CGroupBoxUI* box = Open(host, L"text=\"WWWW\" textcolor=\"#FF0000FF\" disabledtextcolor=\"#FF808080\"");
    ASSERT_NE(nullptr, box);
    const auto countIn = [&](DWORD colour) {
        int n = 0;
        for (int y = 0; y < 20; ++y) n += host.CountInRow(y, 20, 80, colour);
        return n;
    };
    EXPECT_GT(countIn(0x0000FF), 0);
    box->SetEnabled(false);
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(0, countIn(0x0000FF));
    EXPECT_GT(countIn(0x808080), 0);
}

}  // namespace
}  // namespace kvtest
