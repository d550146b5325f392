// Drawing through a paint manager bound to a hidden window: image draw strings
// resolved in its caches, and controls rendered into bitmaps.
#include <gtest/gtest.h>

#include "RenderKit.h"
#include "support/TestKit.h"
#include "ui/core/ControlUI.h"
#include "ui/core/RenderEngine.h"

using KvUI::CRenderEngine;
using rendertest::B;
using rendertest::Canvas;
using rendertest::G;
using rendertest::R;
using rendertest::Rgba;
using rendertest::kNineGrid;

namespace {

constexpr DWORD kBackground = 0xFF202020;

class ManagerImages : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        using rendertest::MakeImageFile;
        MakeImageFile("grid.png", 6, 6, Rgba(rendertest::NineGridPixels()));
        const auto halves = [](int x, int) -> DWORD { return x < 10 ? 0xFFFF0000 : 0xFF0000FF; };
        MakeImageFile("cells.png", 20, 10, Rgba(rendertest::PixelGrid(20, 10, halves)));
        MakeImageFile("masked.png", 2, 1, Rgba({0xFFFF00FF, 0xFF00FF00}));
        MakeImageFile("scaled.png", 4, 4, Rgba(std::vector<DWORD>(16, 0xFF0000FF)));
        MakeImageFile("scaled@125.png", 5, 5, Rgba(std::vector<DWORD>(25, 0xFFFF0000)));
    }

    ManagerImages() : m_window(kvtest::WorkDir()) {}
    ~ManagerImages() override { KvUI::CPaintManagerUI::SetResourcePath(L""); }

    bool Draw(const RECT& item, LPCTSTR draw, LPCTSTR modify = nullptr) {
        return CRenderEngine::DrawImageString(m_canvas.dc(), manager(), item, m_canvas.rect(), draw, modify);
    }
    KvUI::CPaintManagerUI* manager() { return &m_window.manager(); }

    rendertest::ManagedWindow m_window;
    Canvas m_canvas{60, 60, kBackground};
};

// Opaque images are copied with GDI, whose stretching leaves no alpha: colours only.
DWORD Rgb(DWORD argb) { return argb & 0xFFFFFF; }

TEST_F(ManagerImages, DrawsANineGridAndKeepsTheImageCached) {
    const RECT item = {5, 7, 25, 27};
    ASSERT_TRUE(Draw(item, L"file='grid.png' corner='2,2,2,2'"));
    EXPECT_EQ(kNineGrid[0], m_canvas.Pixel(5, 7));
    EXPECT_EQ(Rgb(kNineGrid[1]), Rgb(m_canvas.Pixel(15, 7)));
    EXPECT_EQ(Rgb(kNineGrid[4]), Rgb(m_canvas.Pixel(15, 17)));
    EXPECT_EQ(kNineGrid[8], m_canvas.Pixel(24, 26));
    EXPECT_EQ(Rgb(kNineGrid[1]), Rgb(m_canvas.Pixel(7, 7)));  // the corner stays 2 pixels wide
    EXPECT_EQ(kBackground, m_canvas.Pixel(25, 27));
    EXPECT_NE(nullptr, manager()->GetImage(L"grid.png"));
    EXPECT_NE(nullptr, manager()->GetDrawSpec(L"file='grid.png' corner='2,2,2,2'", nullptr));
}

TEST_F(ManagerImages, ModifyStringPicksTheSecondCell) {
    ASSERT_TRUE(Draw(RECT{0, 0, 10, 10}, L"file='cells.png' source='0,0,10,10' corner='2,2,2,2'",
                     L"source='10,0,20,10'"));
    EXPECT_EQ(0xFF0000FFu, m_canvas.Pixel(5, 5));
    EXPECT_EQ(0xFF0000FFu, m_canvas.Pixel(0, 0));
    ASSERT_TRUE(Draw(RECT{20, 0, 30, 10}, L"file='cells.png' source='0,0,10,10' corner='2,2,2,2'"));
    EXPECT_EQ(0xFFFF0000u, m_canvas.Pixel(25, 5));
}

TEST_F(ManagerImages, DestIsRelativeToTheItemAndCutByIt) {
    ASSERT_TRUE(Draw(RECT{10, 10, 40, 40}, L"file='grid.png' dest='2,2,8,8'"));
    EXPECT_EQ(kBackground, m_canvas.Pixel(11, 11));
    EXPECT_EQ(kNineGrid[0], m_canvas.Pixel(12, 12));
    EXPECT_EQ(kNineGrid[8], m_canvas.Pixel(17, 17));
    EXPECT_EQ(kBackground, m_canvas.Pixel(18, 18));

    m_canvas.Fill(kBackground);
    ASSERT_TRUE(Draw(RECT{10, 10, 40, 40}, L"file='grid.png' dest='20,20,100,100'"));
    EXPECT_EQ(Rgb(kNineGrid[0]), Rgb(m_canvas.Pixel(30, 30)));
    EXPECT_EQ(Rgb(kNineGrid[8]), Rgb(m_canvas.Pixel(39, 39)));
    EXPECT_EQ(kBackground, m_canvas.Pixel(40, 40));
}

TEST_F(ManagerImages, SourceBeyondTheImageIsCutToIt) {
    ASSERT_TRUE(Draw(RECT{0, 0, 6, 6}, L"file='grid.png' source='0,0,60,60'"));
    for (int i = 0; i < 9; ++i) EXPECT_EQ(kNineGrid[i], m_canvas.Pixel((i % 3) * 2 + 1, (i / 3) * 2 + 1)) << i;
}

TEST_F(ManagerImages, MaskFromTheDrawStringClearsItsColour) {
    ASSERT_TRUE(Draw(RECT{0, 0, 2, 1}, L"file='masked.png' mask='#FFFF00FF'"));
    EXPECT_EQ(kBackground, m_canvas.Pixel(0, 0));
    EXPECT_EQ(0xFF00FF00u, m_canvas.Pixel(1, 0));
}

TEST_F(ManagerImages, FadeZeroLeavesTheTargetAlone) {
    ASSERT_TRUE(Draw(RECT{0, 0, 20, 20}, L"file='grid.png' fade='0'"));
    EXPECT_EQ(0, m_canvas.CountNot(m_canvas.rect(), kBackground));
}

TEST_F(ManagerImages, OtherScalesDrawTheScaledFile) {
    manager()->GetScaler()->SetDPI(120);
    ASSERT_TRUE(Draw(RECT{0, 0, 5, 5}, L"file='scaled.png'"));
    EXPECT_EQ(0xFFFF0000u, m_canvas.Pixel(2, 2));
    EXPECT_NE(nullptr, manager()->GetImage(L"scaled@125.png"));
}

TEST_F(ManagerImages, WhatCannotBeDrawnSaysSo) {
    const RECT item = {0, 0, 10, 10};
    EXPECT_FALSE(Draw(item, L"file='missing.png'"));
    EXPECT_FALSE(Draw(item, L""));
    EXPECT_FALSE(CRenderEngine::DrawImageString(nullptr, manager(), item, item, L"file='grid.png'"));
    EXPECT_FALSE(CRenderEngine::DrawImageString(m_canvas.dc(), nullptr, item, item, L"file='grid.png'"));
    EXPECT_FALSE(CRenderEngine::DrawImageInfo(m_canvas.dc(), manager(), item, item, nullptr));
    // Outside the paint rectangle: nothing to do, which is no failure.
    EXPECT_TRUE(CRenderEngine::DrawImageString(m_canvas.dc(), manager(), item, RECT{30, 30, 40, 40},
                                               L"file='grid.png'"));
    EXPECT_EQ(0, m_canvas.CountNot(m_canvas.rect(), kBackground));
}

// Pixels of a bottom-up 32-bit bitmap, read back top-down.
std::vector<DWORD> TopDownPixels(HBITMAP bitmap, int width, int height) {
    std::vector<DWORD> px(static_cast<size_t>(width) * height);
    BITMAPINFO info = rendertest::TopDown32(width, height);
    const HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, px.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return px;
}

// A root control of the window's manager, laid out at `pos`; the manager owns it.
KvUI::CControlUI* AttachRoot(rendertest::ManagedWindow& window, const RECT& pos,
                             std::initializer_list<std::pair<LPCTSTR, LPCTSTR>> attributes) {
    auto* root = new KvUI::CControlUI;
    for (const auto& [name, value] : attributes) root->SetAttribute(name, value);
    window.manager().AttachDialog(root);
    root->SetPos(pos, false);
    return root;
}

TEST(GenerateBitmap, RendersTheTreeAndThreeColoursSplitAcross) {
    rendertest::ManagedWindow window;
    AttachRoot(window, RECT{0, 0, 90, 30},
               {{L"bkcolor", L"#FFFF0000"},
                {L"bkcolor2", L"#FF00FF00"},
                {L"bkcolor3", L"#FF0000FF"},
                {L"gradient", L"hor"}});

    const KvUI::UniqueBitmap bitmap(CRenderEngine::GenerateBitmap(&window.manager(), RECT{0, 0, 90, 30}));
    ASSERT_TRUE(bitmap);
    const std::vector<DWORD> px = TopDownPixels(static_cast<HBITMAP>(bitmap.get()), 90, 30);
    const auto at = [&](int x, int y) { return px[static_cast<size_t>(y) * 90 + x]; };
    EXPECT_GT(R(at(0, 15)), 200);
    EXPECT_GT(G(at(45, 15)), 200);
    EXPECT_GT(B(at(89, 15)), 200);
    // Left to right only: the top and bottom rows are alike.
    for (int x : {0, 20, 45, 70, 89}) EXPECT_EQ(at(x, 0) & 0xFFFFFF, at(x, 29) & 0xFFFFFF) << x;
}

TEST(GenerateBitmap, CopiesThePartAndBlendsTheBackground) {
    rendertest::ManagedWindow window;
    KvUI::CControlUI* const root = AttachRoot(window, RECT{0, 0, 50, 50}, {{L"bkcolor", L"#FFFFFFFF"}});

    const KvUI::UniqueBitmap plain(CRenderEngine::GenerateBitmap2(&window.manager(), root, RECT{10, 10, 30, 20}));
    ASSERT_TRUE(plain);
    BITMAP info = {};
    GetObjectW(plain.get(), sizeof info, &info);
    EXPECT_EQ(20, info.bmWidth);
    EXPECT_EQ(10, info.bmHeight);
    EXPECT_EQ(0xFFFFFFu, TopDownPixels(static_cast<HBITMAP>(plain.get()), 20, 10)[55] & 0xFFFFFF);

    const KvUI::UniqueBitmap shaded(
        CRenderEngine::GenerateBitmap(&window.manager(), RECT{10, 10, 30, 20}, nullptr, 0x80000000));
    ASSERT_TRUE(shaded);
    EXPECT_NEAR(127, R(TopDownPixels(static_cast<HBITMAP>(shaded.get()), 20, 10)[55]), 2);
    EXPECT_EQ(nullptr, CRenderEngine::GenerateBitmap(nullptr, RECT{0, 0, 10, 10}));
}

}  // namespace
