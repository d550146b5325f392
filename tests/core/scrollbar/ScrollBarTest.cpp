#include "ui/core/ScrollBarUI.h"

#include <climits>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "core/container/ContainerTestKit.h"

namespace kvtest {
namespace {

// A vertical bar laid out on its own at (x, y), 16 wide.
void Place(CScrollBarUI& bar, int x, int y, int height) { bar.SetPos(RECT{x, y, x + 16, y + height}); }

TUIEvent Timer(CScrollBarUI& bar) {
    TUIEvent event;
    event.type = EventTimer;
    event.sender = &bar;
    event.wParam = 10;
    return event;
}

}  // namespace

TEST(ScrollBarLayout, ThumbIsProportionalAndFollowsThePosition) {
    CScrollBarUI bar;
    bar.SetScrollRange(200);
    Place(bar, 0, 0, 216);
    EXPECT_EQ(Rect(0, 0, 16, 16), bar.GetButton1Rect());
    EXPECT_EQ(Rect(0, 200, 16, 216), bar.GetButton2Rect());
    // 216 x 184 / (216 + 200) = 95 pixels of a 184-pixel track.
    EXPECT_EQ(Rect(0, 16, 16, 111), bar.GetThumbRect());
    bar.SetScrollPos(100);
    EXPECT_EQ(Rect(0, 60, 16, 155), bar.GetThumbRect());
    bar.SetScrollPos(500);
    EXPECT_EQ(200, bar.GetScrollPos());
    EXPECT_EQ(Rect(0, 105, 16, 200), bar.GetThumbRect());
}

TEST(ScrollBarLayout, RangeZeroGivesAThumbFillingTheTrack) {
    CScrollBarUI bar;
    Place(bar, 0, 0, 100);
    EXPECT_EQ(Rect(0, 16, 16, 84), bar.GetThumbRect());
    bar.SetScrollRange(-5);
    EXPECT_EQ(0, bar.GetScrollRange());
    EXPECT_EQ(Rect(0, 16, 16, 84), bar.GetThumbRect());
}

TEST(ScrollBarLayout, ShortBarShowsTwoHalfButtonsAndNoThumb) {
    CScrollBarUI bar;
    bar.SetScrollRange(50);
    Place(bar, 5, 10, 40);
    EXPECT_EQ(Rect(5, 10, 21, 26), bar.GetButton1Rect());
    EXPECT_EQ(Rect(5, 34, 21, 50), bar.GetButton2Rect());
    EXPECT_EQ(Rect(0, 0, 0, 0), bar.GetThumbRect());
    Place(bar, 5, 10, 20);
    EXPECT_EQ(Rect(5, 10, 21, 20), bar.GetButton1Rect());
    EXPECT_EQ(Rect(5, 20, 21, 30), bar.GetButton2Rect());
}

// Ranges of a few billion pixels (a very long list) must not wrap the arithmetic.
TEST(ScrollBarLayout, HugeRangesKeepTheThumbOnItsTrack) {
    CScrollBarUI bar;
    bar.SetScrollRange(INT_MAX);
    Place(bar, 0, 0, 216);
    bar.SetScrollPos(INT_MAX / 2);
    // A minimum-length thumb just short of half way along the 168 free pixels.
    EXPECT_EQ(Rect(0, 16 + 83, 16, 16 + 83 + 16), bar.GetThumbRect());
    bar.SetScrollPos(INT_MAX);
    EXPECT_EQ(Rect(0, 184, 16, 200), bar.GetThumbRect());
    bar.SetScrollPos(1);
    EXPECT_EQ(Rect(0, 16, 16, 32), bar.GetThumbRect());
}

TEST(ScrollBarLayout, HiddenButtonsLeaveEmptyRectanglesAtTheEnds) {
    CScrollBarUI bar;
    bar.SetShowButton1(false);
    bar.SetScrollRange(100);
    Place(bar, 10, 20, 100);
    EXPECT_EQ(Rect(10, 20, 10, 20), bar.GetButton1Rect());
    EXPECT_EQ(Rect(10, 104, 26, 120), bar.GetButton2Rect());
    EXPECT_EQ(20, bar.GetThumbRect().top);
    bar.SetShowButton2(false);
    EXPECT_EQ(Rect(10, 120, 10, 120), bar.GetButton2Rect());
}

TEST(ScrollBarLayout, HorizontalBarSwapsTheAxes) {
    CScrollBarUI bar;
    bar.SetAttribute(L"hor", L"true");
    EXPECT_EQ(0, bar.GetFixedWidth());
    EXPECT_EQ(16, bar.GetFixedHeight());
    bar.SetScrollRange(200);
    bar.SetPos(RECT{0, 0, 216, 16});
    EXPECT_EQ(Rect(0, 0, 16, 16), bar.GetButton1Rect());
    EXPECT_EQ(Rect(200, 0, 216, 16), bar.GetButton2Rect());
    EXPECT_EQ(Rect(16, 0, 111, 16), bar.GetThumbRect());
    bar.SetHorizontal(false);
    EXPECT_EQ(16, bar.GetFixedWidth());
}

// A bar standing alone in a window, 16 x 216 at the window's top-left.
class StandaloneBar : public ::testing::Test {
protected:
    void SetUp() override {
        auto* root = new CHorizontalLayoutUI();
        bar = new CScrollBarUI();
        bar->SetScrollRange(200);
        bar->SetLineSize(8);
        root->Add(bar);
        root->Add(Box(L"rest"));
        host.manager.AddNotifier(&notes);
        host.Attach(root);
        ASSERT_EQ(Rect(0, 0, 16, 216), bar->GetPos());
    }

    Host host{200, 216};
    Notes notes;
    CScrollBarUI* bar = nullptr;
};

TEST_F(StandaloneBar, ArrowButtonsStepOneLineAndNotify) {
    host.Press(8, 208);
    host.Release(8, 208);
    EXPECT_EQ(8, bar->GetScrollPos());
    host.Press(8, 8);
    host.Release(8, 8);
    EXPECT_EQ(0, bar->GetScrollPos());
    EXPECT_EQ(2, notes.Count(L"scroll"));
    EXPECT_EQ(bar, notes.notes.back().sender);
}

TEST_F(StandaloneBar, TheTrackPagesByTheBarLength) {
    host.Press(8, 150);  // below the thumb
    host.Release(8, 150);
    EXPECT_EQ(200, bar->GetScrollPos());
    bar->SetScrollPos(150);
    host.Press(8, 20);  // above it
    host.Release(8, 20);
    EXPECT_EQ(0, bar->GetScrollPos());
}

TEST_F(StandaloneBar, AHeldButtonRepeatsFromTheSixthTick) {
    host.Press(8, 208);
    EXPECT_EQ(8, bar->GetScrollPos());
    for (int tick = 1; tick <= 5; ++tick) {
        TUIEvent timer = Timer(*bar);
        bar->Event(timer);
        EXPECT_EQ(8, bar->GetScrollPos()) << "tick " << tick;
    }
    for (int tick = 6; tick <= 8; ++tick) {
        TUIEvent timer = Timer(*bar);
        bar->Event(timer);
    }
    EXPECT_EQ(32, bar->GetScrollPos());
    host.Release(8, 208);
}

TEST_F(StandaloneBar, TheWindowTimerDrivesTheRepeat) {
    const DWORD start = GetTickCount();
    host.Press(8, 208);
    ASSERT_TRUE(PumpUntil([&] { return bar->GetScrollPos() >= 24; }, 5000));
    EXPECT_GE(GetTickCount() - start, 250u) << "the repeat waits for the sixth 50 ms tick";
    host.Release(8, 208);
    const int stopped = bar->GetScrollPos();
    TUIEvent timer = Timer(*bar);
    bar->Event(timer);
    EXPECT_EQ(stopped, bar->GetScrollPos());
}

TEST_F(StandaloneBar, DraggingTheThumbFollowsTheMouse) {
    const RECT thumb = bar->GetThumbRect();
    const int grab = (thumb.top + thumb.bottom) / 2;
    host.Press(8, grab);
    host.Drag(8, grab + 40);
    TUIEvent timer = Timer(*bar);
    bar->Event(timer);
    EXPECT_NEAR(thumb.top + 40, bar->GetThumbRect().top, 1);
    host.Release(8, grab + 40);
}

// With a button hidden the track is longer: the thumb must still stay under
// the mouse, not run ahead of it.
TEST_F(StandaloneBar, DraggingFollowsTheMouseWithAButtonHidden) {
    for (bool first : {true, false}) {
        bar->SetScrollPos(0);
        first ? bar->SetShowButton1(false) : bar->SetShowButton2(false);
        const RECT thumb = bar->GetThumbRect();
        const int grab = (thumb.top + thumb.bottom) / 2;
        host.Press(8, grab);
        host.Drag(8, grab + 50);
        TUIEvent timer = Timer(*bar);
        bar->Event(timer);
        EXPECT_NEAR(thumb.top + 50, bar->GetThumbRect().top, 1) << (first ? "first" : "second") << " hidden";
        host.Release(8, grab + 50);
        bar->SetShowButton1(true);
        bar->SetShowButton2(true);
    }
}

TEST_F(StandaloneBar, ADisabledBarIgnoresPresses) {
    bar->SetEnabled(false);
    host.Press(8, 208);
    host.Release(8, 208);
    EXPECT_EQ(0, bar->GetScrollPos());
    EXPECT_EQ(0, notes.Count(L"scroll"));
}

TEST_F(StandaloneBar, PartsWithoutImagesAreOutlined) {
    const std::vector<DWORD> pixels = host.Pixels();
    EXPECT_EQ(0x85E4FFu, host.PixelAt(pixels, 0, 0)) << "first button";
    EXPECT_EQ(0x85E4FFu, host.PixelAt(pixels, 15, 215)) << "second button";
    EXPECT_EQ(0x85E4FFu, host.PixelAt(pixels, 0, 16)) << "thumb";
    EXPECT_NE(0x85E4FFu, host.PixelAt(pixels, 8, 8)) << "an outline, not a fill";
}

TEST_F(StandaloneBar, ADisabledBarDrawsItsDisabledImages) {
    const std::string dir = FreshDirUnix("images");
    ASSERT_EQ(0, RunUnix({"convert", "-size", "16x16", "xc:#00FF00", dir + "/normal.png"}));
    ASSERT_EQ(0, RunUnix({"convert", "-size", "16x16", "xc:#FF0000", dir + "/disabled.png"}));
    CPaintManagerUI::SetResourcePath(ToWindowsPath(dir).c_str());
    bar->SetAttribute(L"button1normalimage", L"normal.png");
    bar->SetAttribute(L"button1disabledimage", L"disabled.png");
    EXPECT_EQ(0x00FF00u, host.PixelAt(host.Pixels(), 8, 8));
    bar->SetEnabled(false);
    EXPECT_EQ(0xFF0000u, host.PixelAt(host.Pixels(), 8, 8));
    CPaintManagerUI::SetResourcePath(L"");
}

// The thumb's state picks the thumb, rail and background images alike; the
// rail grip is a square of the bar's thickness on the thumb's centre.
TEST_F(StandaloneBar, ThumbRailAndBackgroundFollowTheThumbState) {
    const std::string dir = FreshDirUnix("parts");
    const std::pair<const char*, const char*> images[] = {
        {"thumb.png", "#00FF00"}, {"hot.png", "#FFFF00"}, {"rail.png", "#FF0000"},
        {"bk.png", "#0000FF"},    {"bkpushed.png", "#00FFFF"}};
    for (const auto& [name, colour] : images) {
        ASSERT_EQ(0, RunUnix({"convert", "-size", "16x16", std::string("xc:") + colour, dir + "/" + name}));
    }
    CPaintManagerUI::SetResourcePath(ToWindowsPath(dir).c_str());
    bar->ApplyAttributeList(L"thumbnormalimage=\"thumb.png\" thumbhotimage=\"hot.png\" "
                            L"railnormalimage=\"rail.png\" bknormalimage=\"bk.png\" "
                            L"bkpushedimage=\"bkpushed.png\"");
    ASSERT_EQ(Rect(0, 16, 16, 111), bar->GetThumbRect());

    std::vector<DWORD> pixels = host.Pixels();
    EXPECT_EQ(0x00FF00u, host.PixelAt(pixels, 8, 20)) << "thumb";
    EXPECT_EQ(0x00FF00u, host.PixelAt(pixels, 8, 54)) << "thumb above the grip";
    EXPECT_EQ(0xFF0000u, host.PixelAt(pixels, 8, 55)) << "grip from centre 63 less 8";
    EXPECT_EQ(0xFF0000u, host.PixelAt(pixels, 8, 70)) << "grip over 16 pixels";
    EXPECT_EQ(0x00FF00u, host.PixelAt(pixels, 8, 71)) << "thumb below the grip";
    EXPECT_EQ(0x0000FFu, host.PixelAt(pixels, 8, 150)) << "background";

    host.Move(8, 20);
    pixels = host.Pixels();
    EXPECT_EQ(0xFFFF00u, host.PixelAt(pixels, 8, 20)) << "hot thumb";
    EXPECT_EQ(0x0000FFu, host.PixelAt(pixels, 8, 150)) << "no hot background: the normal one";

    host.Press(8, 20);
    pixels = host.Pixels();
    EXPECT_EQ(0x00FFFFu, host.PixelAt(pixels, 8, 150)) << "pushed background while the thumb is held";
    host.Release(8, 20);
    CPaintManagerUI::SetResourcePath(L"");
}

// A bar owned by a container hands its scrolling to the container.
class OwnedBars : public ::testing::Test {
protected:
    void SetUp() override {
        layout = new CVerticalLayoutUI();
        layout->EnableScrollBar(true, true);
        for (int i = 0; i < 10; ++i) layout->Add(Box(L"row", 400, 50));
        host.Attach(layout);
        ASSERT_TRUE(layout->GetVerticalScrollBar()->IsVisible());
        ASSERT_TRUE(layout->GetHorizontalScrollBar()->IsVisible());
    }

    Host host{200, 200};
    CVerticalLayoutUI* layout = nullptr;
};

TEST_F(OwnedBars, DraggingTheThumbScrollsTheOwnerOnItsAxisOnly) {
    layout->SetScrollPos(SIZE{30, 0});
    CScrollBarUI* bar = layout->GetVerticalScrollBar();
    const RECT thumb = bar->GetThumbRect();
    const int x = (thumb.left + thumb.right) / 2;
    const int grab = (thumb.top + thumb.bottom) / 2;
    host.Press(x, grab);
    host.Drag(x, grab + 20);
    TUIEvent timer = Timer(*bar);
    bar->Event(timer);
    host.Release(x, grab + 20);
    EXPECT_GT(layout->GetScrollPos().cy, 0);
    EXPECT_EQ(bar->GetScrollPos(), layout->GetScrollPos().cy);
    EXPECT_EQ(30, layout->GetScrollPos().cx);
}

TEST_F(OwnedBars, ArrowsScrollTheOwnerByItsLineStep) {
    CScrollBarUI* bar = layout->GetVerticalScrollBar();
    layout->SetScrollStepSize(17);
    const RECT down = bar->GetButton2Rect();
    host.Press(down.left + 2, down.top + 2);
    host.Release(down.left + 2, down.top + 2);
    EXPECT_EQ(17, layout->GetScrollPos().cy);
    EXPECT_EQ(-17 + 0, layout->GetItemAt(0)->GetPos().top);
}

}  // namespace kvtest
