// The shadow window: made for the frame, placed behind it with a margin,
// drawn from the frame's outline or from an image, and following the frame.
#include <gtest/gtest.h>

#include <memory>

#include "core/shadow/ShadowKit.h"
#include "ui/core/DialogBuilder.h"

namespace kvtest {
namespace {

class ShadowWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(frame.Open(true)); }

    // A white shadow: on the black screen its pixels show their alpha.
    void Configure(int size, int sharpness, int darkness) {
        shadow->ShowShadow(true);
        shadow->SetSize(size);
        shadow->SetSharpness(static_cast<unsigned>(sharpness));
        shadow->SetDarkness(static_cast<unsigned>(darkness));
        shadow->SetColor(RGB(255, 255, 255));
    }
    HWND Create() {
        shadow->Create(&frame.manager);
        return ShadowWindowOf(frame);
    }

    ShadowFrame frame;
    std::unique_ptr<CShadowUI> shadow = std::make_unique<CShadowUI>();
};

TEST_F(ShadowWindow, NothingIsMadeUnlessTheShadowIsShown) {
    shadow->SetSize(10);
    EXPECT_EQ(nullptr, Create());
}

TEST_F(ShadowWindow, AClickThroughLayeredPopupOwnedByTheFrame) {
    Configure(10, 5, 150);
    const HWND window = Create();
    ASSERT_NE(nullptr, window);
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_EQ(WS_EX_LAYERED | WS_EX_TRANSPARENT, exStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT));
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_STYLE) & WS_POPUP);
    EXPECT_TRUE(IsWindowVisible(window));
    // One margin around the frame on every side.
    const RECT rc = WindowRect(window);
    EXPECT_EQ(kFrameX - 10, rc.left);
    EXPECT_EQ(kFrameY - 10, rc.top);
    EXPECT_EQ(kFrameWidth + 20, rc.right - rc.left);
    EXPECT_EQ(kFrameHeight + 20, rc.bottom - rc.top);
}

TEST_F(ShadowWindow, TheBlurFadesOutwardsAndTheFramesOwnAreaIsCutOut) {
    Configure(10, 10, 200);
    ASSERT_NE(nullptr, Create());
    const int y = kFrameY + kFrameHeight / 2;
    // alpha(t) = (1 - t / (sharpness + 1)) x darkness at distance t from the frame.
    EXPECT_EQ(181, LevelOnceShown(kFrameX - 1, y, 181));
    EXPECT_EQ(109, LevelOnceShown(kFrameX - 5, y, 109));
    EXPECT_EQ(18, LevelOnceShown(kFrameX - 10, y, 18));
    EXPECT_EQ(0, LevelOnceShown(kFrameX - 11, y, 0));
    EXPECT_EQ(181, LevelOnceShown(kFrameX + kFrameWidth, y, 181));
    EXPECT_EQ(181, LevelOnceShown(kFrameX + kFrameWidth / 2, kFrameY - 1, 181));
    // Inside, the frame shows itself (grey), not the shadow.
    EXPECT_EQ(128, LevelOnceShown(kFrameX + 1, y, 128));

    // A sharpness below the size keeps a fully dark inner band of size - sharpness,
    // then fades as (1 - (t - 6) / 5) x darkness; a shown shadow redraws at once.
    EXPECT_TRUE(shadow->SetSharpness(4));
    EXPECT_EQ(200, LevelOnceShown(kFrameX - 3, y, 200));
    EXPECT_EQ(120, LevelOnceShown(kFrameX - 8, y, 120));
    EXPECT_EQ(0, LevelOnceShown(kFrameX - 11, y, 0));
}

TEST_F(ShadowWindow, TheOffsetMovesTheShadowButNotTheCutOut) {
    Configure(10, 10, 200);
    shadow->SetPosition(4, 6);
    const HWND window = Create();
    ASSERT_NE(nullptr, window);
    const RECT rc = WindowRect(window);
    EXPECT_EQ(kFrameX + 4 - 10, rc.left);
    EXPECT_EQ(kFrameY + 6 - 10, rc.top);
    // Right of the frame the shadow reaches 4 pixels further; its inner edge still meets the frame.
    const int y = kFrameY + kFrameHeight / 2;
    EXPECT_EQ(200, LevelOnceShown(kFrameX + kFrameWidth + 1, y, 200));
    EXPECT_EQ(128, LevelOnceShown(kFrameX + kFrameWidth - 1, y, 128));
}

TEST_F(ShadowWindow, SizeZeroWithoutAnImageDrawsNothing) {
    Configure(0, 5, 200);
    const HWND window = Create();
    ASSERT_NE(nullptr, window);
    const RECT rc = WindowRect(window);
    EXPECT_EQ(0, rc.right - rc.left);
}

TEST_F(ShadowWindow, ANegativeSizeMakesTheShadowSmallerThanTheFrame) {
    Configure(-5, 5, 200);
    const HWND window = Create();
    ASSERT_NE(nullptr, window);
    const RECT rc = WindowRect(window);
    EXPECT_EQ(kFrameX + 5, rc.left);
    EXPECT_EQ(kFrameWidth - 10, rc.right - rc.left);
    EXPECT_EQ(kFrameHeight - 10, rc.bottom - rc.top);
}

TEST_F(ShadowWindow, ANegativeSizeLargerThanTheFrameDrawsNothing) {
    SetWindowPos(frame, nullptr, 0, 0, 40, 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Configure(-35, 5, 200);
    const HWND window = Create();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(0, WidthOf(window));
    // Growing the frame past the margin draws it again.
    SetWindowPos(frame, nullptr, 0, 0, 100, 80, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(frame);
    EXPECT_TRUE(PumpUntil([&] { return WidthOf(window) == 30; }));
}

TEST_F(ShadowWindow, CreatingTwiceForOneFrameSubclassesItOnce) {
    Configure(10, 5, 150);
    ASSERT_NE(nullptr, Create());
    const LONG_PTR procedure = GetWindowLongPtrW(frame, GWLP_WNDPROC);
    shadow->Create(&frame.manager);
    CShadowUI other;
    other.ShowShadow(true);
    other.SetSize(3);
    other.Create(&frame.manager);
    EXPECT_EQ(procedure, GetWindowLongPtrW(frame, GWLP_WNDPROC));
    EXPECT_EQ(1, CountShadowWindowsOf(frame));
    // The frame's messages still reach its own procedure once (a second
    // subclass would make the shadow's procedure call itself).
    SetWindowPos(frame, nullptr, kFrameX + 2, kFrameY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(kFrameX + 2 - 10, WindowRect(ShadowWindowOf(frame)).left);
}

TEST_F(ShadowWindow, TheShadowFollowsMovesShowsAndHides) {
    Configure(8, 5, 150);
    const HWND window = Create();
    ASSERT_NE(nullptr, window);
    SetWindowPos(frame, nullptr, kFrameX - 30, kFrameY - 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(kFrameX - 30 - 8, WindowRect(window).left);
    EXPECT_EQ(kFrameY - 20 - 8, WindowRect(window).top);
    ShowWindow(frame, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(window));
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(ShadowWindow, MaximisingHidesTheShadowAndRestoringShowsIt) {
    Configure(8, 5, 150);
    const HWND window = Create();
    ASSERT_NE(nullptr, window);
    ShowWindow(frame, SW_MAXIMIZE);
    EXPECT_FALSE(IsWindowVisible(window));
    ShowWindow(frame, SW_RESTORE);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(kFrameWidth + 16, WidthOf(window));
}

TEST_F(ShadowWindow, ShrinkingRedrawsAtOnceGrowingAtTheFramesNextPaint) {
    Configure(8, 5, 150);
    const HWND window = Create();
    ASSERT_NE(nullptr, window);
    // The shadow learns the frame's size from the frame's first size change.
    SetWindowPos(frame, nullptr, 0, 0, 150, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(frame);
    SetWindowPos(frame, nullptr, 0, 0, 120, 80, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(136, WidthOf(window));
    SetWindowPos(frame, nullptr, 0, 0, 200, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(136, WidthOf(window));
    UpdateWindow(frame);
    EXPECT_EQ(216, WidthOf(window));
}

TEST(ShadowOfAHiddenFrame, AppearsWhenTheFrameIsShown) {
    ShadowFrame frame;
    ASSERT_TRUE(frame.Open(false));
    CShadowUI shadow;
    const HWND window = ShowShadowOf(frame, shadow, 6);
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(IsWindowVisible(window));
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(IsWindowVisible(window));
    // The picture follows at the frame's first paint.
    UpdateWindow(frame);
    EXPECT_EQ(kFrameWidth + 12, WidthOf(window));
}

TEST(ShadowLifetime, TheShadowWindowGoesWithTheFrame) {
    CShadowUI shadow;
    HWND window = nullptr;
    {
        ShadowFrame frame;
        ASSERT_TRUE(frame.Open(true));
        window = ShowShadowOf(frame, shadow, 6);
        ASSERT_NE(nullptr, window);
    }
    EXPECT_FALSE(IsWindow(window));
}

TEST(ShadowLifetime, AFrameOutlivingItsShadowGetsItsProcedureBack) {
    ShadowFrame frame;
    ASSERT_TRUE(frame.Open(true));
    const LONG_PTR own = GetWindowLongPtrW(frame, GWLP_WNDPROC);
    HWND window = nullptr;
    {
        CShadowUI shadow;
        window = ShowShadowOf(frame, shadow, 6);
        EXPECT_NE(own, GetWindowLongPtrW(frame, GWLP_WNDPROC));
    }
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(own, GetWindowLongPtrW(frame, GWLP_WNDPROC));
    SetWindowPos(frame, nullptr, kFrameX + 1, kFrameY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(kFrameX + 1, WindowRect(frame).left);
}

TEST(ShadowCopy, GivesTheOtherShadowTheSameLook) {
    CShadowUI source;
    source.ShowShadow(true);
    source.SetSize(12);
    source.SetPosition(3, 4);
    CShadowUI copy;
    EXPECT_TRUE(source.CopyShadow(&copy));
    EXPECT_TRUE(copy.IsShowShadow());

    ShadowFrame frame;
    ASSERT_TRUE(frame.Open(true));
    copy.Create(&frame.manager);
    const RECT rc = WindowRect(ShadowWindowOf(frame));
    EXPECT_EQ(kFrameX + 3 - 12, rc.left);
    EXPECT_EQ(kFrameY + 4 - 12, rc.top);
    EXPECT_EQ(kFrameWidth + 24, rc.right - rc.left);
}

TEST(SkinnedShadow, TheSkinsAttributesShapeTheShadowOfTheAttachedWindow) {
    ShadowFrame frame;
    ASSERT_TRUE(frame.Open(true));
    CDialogBuilder builder;
    CControlUI* root = builder.Create(L"<Window showshadow=\"true\" shadowsize=\"7\" shadowsharpness=\"7\" "
                                      L"shadowdarkness=\"160\" shadowcolor=\"#FFFFFFFF\" shadowposition=\"2,3\">"
                                      L"<Control bkcolor=\"#FF808080\" /></Window>",
                                      nullptr, nullptr, &frame.manager);
    ASSERT_NE(nullptr, root);
    ASSERT_TRUE(frame.manager.AttachDialog(root));
    const HWND window = ShadowWindowOf(frame);
    ASSERT_NE(nullptr, window);
    // The first layout draws it.
    InvalidateRect(frame, nullptr, FALSE);
    UpdateWindow(frame);
    const RECT rc = WindowRect(window);
    EXPECT_EQ(kFrameX + 2 - 7, rc.left);
    EXPECT_EQ(kFrameY + 3 - 7, rc.top);
    EXPECT_EQ(kFrameWidth + 14, rc.right - rc.left);
    // White at alpha (1 - 1 / 8) x 160 right of the frame.
    EXPECT_EQ(140, LevelOnceShown(kFrameX + kFrameWidth + 2, kFrameY + kFrameHeight / 2, 140));
    // Attaching a rebuilt tree keeps the one shadow.
    ASSERT_TRUE(frame.manager.AttachDialog(builder.Create(nullptr, &frame.manager)));
    EXPECT_EQ(1, CountShadowWindowsOf(frame));
}

class ImageShadow : public ShadowWindow {
protected:
    void SetUp() override {
        ShadowWindow::SetUp();
        CPaintManagerUI::SetResourcePath(WorkDir().c_str());
        // A 30x30 white square whose alpha is 255 inside a 10-pixel border of alpha 0x60.
        ASSERT_EQ(0, RunUnix({"convert", "-size", "30x30", "xc:#FFFFFF60", "-fill", "#FFFFFFFF", "-draw",
                              "rectangle 10,10 19,19", WorkDirUnix() + "/shadow.png"}));
    }
};

TEST_F(ImageShadow, ANineGridImageSurroundsTheFrameAndOffsetsDoNotMoveIt) {
    shadow->ShowShadow(true);
    shadow->SetSize(10);
    shadow->SetPosition(5, 5);
    shadow->SetImage(L"shadow.png");
    shadow->SetShadowCorner(RECT{10, 10, 10, 10});
    const HWND window = Create();
    ASSERT_NE(nullptr, window);
    const RECT rc = WindowRect(window);
    EXPECT_EQ(kFrameX - 10, rc.left);
    EXPECT_EQ(kFrameY - 10, rc.top);
    EXPECT_EQ(kFrameWidth + 20, rc.right - rc.left);
    // The corner part of the image, premultiplied: 0x60 of white.
    EXPECT_EQ(0x60, LevelOnceShown(kFrameX - 5, kFrameY - 5, 0x60));
}

TEST_F(ImageShadow, ACopyTakesTheImageAndItsSizeButNoOffsets) {
    CShadowUI source;
    source.ShowShadow(true);
    source.SetSize(10);
    source.SetPosition(7, 7);
    source.SetImage(L"shadow.png");
    source.SetShadowCorner(RECT{10, 10, 10, 10});
    EXPECT_TRUE(source.CopyShadow(shadow.get()));
    const HWND window = Create();
    ASSERT_NE(nullptr, window);
    const RECT rc = WindowRect(window);
    EXPECT_EQ(kFrameX - 10, rc.left);
    EXPECT_EQ(kFrameHeight + 20, rc.bottom - rc.top);
    EXPECT_EQ(0x60, LevelOnceShown(kFrameX - 5, kFrameY + kFrameHeight / 2, 0x60));
}

TEST_F(ImageShadow, AnEmptyOrMissingImageDrawsNothing) {
    for (const wchar_t* image : {L"", L"file='missing.png'"}) {
        ShadowFrame other;
        ASSERT_TRUE(other.Open(true));
        CShadowUI imageShadow;
        imageShadow.SetImage(image);
        const HWND window = ShowShadowOf(other, imageShadow, 10);
        ASSERT_NE(nullptr, window);
        EXPECT_EQ(0, WidthOf(window)) << "image \"" << Narrow(image) << "\"";
    }
}

}  // namespace
}  // namespace kvtest
