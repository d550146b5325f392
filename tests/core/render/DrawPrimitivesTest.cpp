// Colours, gradients, lines and rectangles, and the colour helpers.
#include <gtest/gtest.h>

#include <cstdlib>

#include "RenderKit.h"
#include "ui/core/RenderBlend.h"
#include "ui/core/RenderEngine.h"

using KvUI::CRenderEngine;
using rendertest::A;
using rendertest::B;
using rendertest::Canvas;
using rendertest::G;
using rendertest::R;

namespace {

constexpr DWORD kBackground = 0xFF000000;

TEST(DrawColor, AlphaZeroDrawsNothingWhateverTheColour) {
    Canvas canvas(8, 8, kBackground);
    CRenderEngine::DrawColor(canvas.dc(), canvas.rect(), 0x00FF00FF);
    EXPECT_EQ(0, canvas.CountNot(canvas.rect(), kBackground));
}

TEST(DrawColor, OpaqueFillsExactlyTheRectangle) {
    Canvas canvas(8, 8, kBackground);
    CRenderEngine::DrawColor(canvas.dc(), RECT{2, 2, 5, 6}, 0xFF336699);
    EXPECT_EQ(0xFF336699u, canvas.Pixel(2, 2));
    EXPECT_EQ(0xFF336699u, canvas.Pixel(4, 5));
    EXPECT_EQ(12, canvas.CountNot(canvas.rect(), kBackground));
}

TEST(DrawColor, PartialAlphaBlendsOverWhatIsThere) {
    Canvas canvas(4, 4, 0xFFFFFFFF);
    CRenderEngine::DrawColor(canvas.dc(), canvas.rect(), 0x80000000);
    const DWORD c = canvas.Pixel(1, 1);
    EXPECT_NEAR(127, R(c), 2);
    EXPECT_NEAR(127, G(c), 2);
}

// Each gradient test runs with GradientFill and with the built-in bands.
class Gradient : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { KvUI::SetMsimg32Ignored(GetParam()); }
    void TearDown() override { KvUI::SetMsimg32Ignored(false); }
};

std::string GradientName(const ::testing::TestParamInfo<bool>& info) { return info.param ? "BuiltIn" : "Msimg32"; }

TEST_P(Gradient, VerticalRunsFromTopToBottom) {
    Canvas canvas(32, 64, kBackground);
    CRenderEngine::DrawGradient(canvas.dc(), canvas.rect(), 0xFFFF0000, 0xFF0000FF, true, 64);
    const DWORD top = canvas.Pixel(16, 0);
    const DWORD bottom = canvas.Pixel(16, 63);
    EXPECT_GT(R(top), 240);
    EXPECT_LT(B(top), 16);
    EXPECT_GT(B(bottom), 240);
    EXPECT_LT(R(bottom), 16);
    // Rows differ, columns do not.
    EXPECT_EQ(canvas.Pixel(0, 20) & 0xFFFFFF, canvas.Pixel(31, 20) & 0xFFFFFF);
    EXPECT_GT(R(canvas.Pixel(16, 20)), R(canvas.Pixel(16, 40)));
}

TEST_P(Gradient, HorizontalRunsFromLeftToRight) {
    Canvas canvas(64, 32, kBackground);
    CRenderEngine::DrawGradient(canvas.dc(), canvas.rect(), 0xFFFF0000, 0xFF0000FF, false, 64);
    const DWORD left = canvas.Pixel(0, 16);
    const DWORD right = canvas.Pixel(63, 16);
    EXPECT_GT(R(left), 240);
    EXPECT_GT(B(right), 240);
    EXPECT_EQ(canvas.Pixel(20, 0) & 0xFFFFFF, canvas.Pixel(20, 31) & 0xFFFFFF);
    // The left half leans to the first colour, the right half to the second.
    EXPECT_GT(R(canvas.Pixel(16, 16)), B(canvas.Pixel(16, 16)));
    EXPECT_GT(B(canvas.Pixel(48, 16)), R(canvas.Pixel(48, 16)));
}

TEST_P(Gradient, StaysInsideItsRectangle) {
    Canvas canvas(40, 40, kBackground);
    CRenderEngine::DrawGradient(canvas.dc(), RECT{10, 10, 30, 20}, 0xFFFFFFFF, 0xFF808080, true, 4);
    EXPECT_EQ(0, canvas.CountNot(RECT{0, 0, 40, 10}, kBackground));
    EXPECT_EQ(0, canvas.CountNot(RECT{0, 20, 40, 40}, kBackground));
    EXPECT_EQ(0, canvas.CountNot(RECT{0, 10, 10, 20}, kBackground));
    EXPECT_EQ(200, canvas.CountNot(RECT{10, 10, 30, 20}, kBackground));
}

TEST_P(Gradient, BothColoursTransparentDrawsNothing) {
    Canvas canvas(16, 16, kBackground);
    CRenderEngine::DrawGradient(canvas.dc(), canvas.rect(), 0x00FF0000, 0x00FFFFFF, true, 16);
    EXPECT_EQ(0, canvas.CountNot(canvas.rect(), kBackground));
}

TEST_P(Gradient, MeanAlphaBlendsOverTheTarget) {
    Canvas canvas(16, 16, 0xFF000000);
    // Alphas 0xFF and 0x01 average to 0x80: white over black comes out mid grey.
    CRenderEngine::DrawGradient(canvas.dc(), canvas.rect(), 0xFFFFFFFF, 0x01FFFFFF, true, 16);
    const DWORD c = canvas.Pixel(8, 8);
    EXPECT_NEAR(128, R(c), 2);
    EXPECT_NEAR(128, G(c), 2);
    EXPECT_EQ(255, A(c));
}

INSTANTIATE_TEST_SUITE_P(DrawGradient, Gradient, ::testing::Values(false, true), GradientName);

TEST(DrawLine, DrawsFromTopLeftTowardsBottomRight) {
    Canvas canvas(20, 20, kBackground);
    CRenderEngine::DrawLine(canvas.dc(), RECT{2, 5, 15, 5}, 1, 0xFF00FF00);
    EXPECT_EQ(0x00FF00u, canvas.Pixel(2, 5) & 0xFFFFFF);
    EXPECT_EQ(0x00FF00u, canvas.Pixel(14, 5) & 0xFFFFFF);
    EXPECT_EQ(0u, canvas.Pixel(15, 5) & 0xFFFFFF);  // GDI lines leave out their last point
    EXPECT_EQ(13, canvas.CountNot(canvas.rect(), kBackground));
}

bool IsRed(DWORD c) { return R(c) > 200 && G(c) < 60 && B(c) < 60; }

TEST(DrawRect, OutlinesInsideTheRectangle) {
    Canvas canvas(20, 20, kBackground);
    CRenderEngine::DrawRect(canvas.dc(), RECT{2, 2, 12, 12}, 1, 0xFFFF0000);
    EXPECT_TRUE(IsRed(canvas.Pixel(2, 2)));
    EXPECT_TRUE(IsRed(canvas.Pixel(11, 6)));
    EXPECT_TRUE(IsRed(canvas.Pixel(6, 11)));
    EXPECT_EQ(0, canvas.CountNot(RECT{4, 4, 10, 10}, kBackground));
    EXPECT_EQ(0, canvas.CountNot(RECT{13, 0, 20, 20}, kBackground));
}

TEST(DrawRect, TranslucentOutlineBlendsEachPixelOnce) {
    Canvas canvas(20, 20, kBackground);
    CRenderEngine::DrawRect(canvas.dc(), RECT{0, 0, 10, 10}, 2, 0x80FF0000);
    const DWORD edge = canvas.Pixel(5, 0);
    EXPECT_NEAR(128, R(edge), 2);
    for (POINT p : {POINT{0, 0}, POINT{1, 1}, POINT{9, 9}, POINT{0, 5}, POINT{8, 5}}) {
        EXPECT_EQ(edge, canvas.Pixel(p.x, p.y)) << p.x << "," << p.y;
    }
    EXPECT_EQ(kBackground, canvas.Pixel(2, 2));
}

TEST(DrawRoundRect, RoundsTheCorners) {
    Canvas canvas(40, 40, kBackground);
    CRenderEngine::DrawRoundRect(canvas.dc(), RECT{0, 0, 30, 30}, 1, 16, 16, 0xFFFF0000);
    EXPECT_EQ(kBackground, canvas.Pixel(0, 0));
    EXPECT_EQ(kBackground, canvas.Pixel(29, 29));
    EXPECT_GT(canvas.CountWhere(RECT{12, 0, 18, 2}, IsRed), 0);   // top edge
    EXPECT_GT(canvas.CountWhere(RECT{0, 12, 2, 18}, IsRed), 0);   // left edge
    EXPECT_EQ(0, canvas.CountNot(RECT{6, 6, 24, 24}, kBackground));
}

TEST(DrawRoundRectPath, FillsWithTheFillColourOrTheLineColour) {
    Canvas canvas(40, 40, kBackground);
    CRenderEngine::DrawRoundRectPath(canvas.dc(), 0, 0, 30, 30, 8, 0xFFFF0000, 1, true, 0xFF0000FF);
    EXPECT_EQ(0xFF0000FFu, canvas.Pixel(15, 15));
    CRenderEngine::DrawRoundRectPath(canvas.dc(), 0, 0, 30, 30, 8, 0xFFFF0000, 1, true, 0x000000FF);
    EXPECT_TRUE(IsRed(canvas.Pixel(15, 15)));
}

TEST(Hsl, PrimaryHuesAreAThirdApart) {
    float h = 0, s = 0, l = 0;
    CRenderEngine::RgbToHsl(0xFFFF0000, &h, &s, &l);
    EXPECT_FLOAT_EQ(0.0f, h);
    EXPECT_FLOAT_EQ(1.0f, s);
    EXPECT_FLOAT_EQ(0.5f, l);
    CRenderEngine::RgbToHsl(0xFF00FF00, &h, &s, &l);
    EXPECT_FLOAT_EQ(120.0f, h);
    CRenderEngine::RgbToHsl(0xFF0000FF, &h, &s, &l);
    EXPECT_FLOAT_EQ(240.0f, h);
    CRenderEngine::RgbToHsl(0xFF808080, &h, &s, &l);
    EXPECT_FLOAT_EQ(0.0f, s);
}

TEST(Hsl, RoundTripKeepsTheColourAndItsAlpha) {
    for (DWORD c : {0x80FF0000u, 0xFF123456u, 0x40C0A080u, 0xFFFFFFFFu}) {
        float h = 0, s = 0, l = 0;
        CRenderEngine::RgbToHsl(c, &h, &s, &l);
        DWORD back = c & 0xFF000000;
        CRenderEngine::HslToRgb(&back, h, s, l);
        EXPECT_EQ(A(c), A(back));
        EXPECT_NEAR(R(c), R(back), 1) << std::hex << c;
        EXPECT_NEAR(G(c), G(back), 1) << std::hex << c;
        EXPECT_NEAR(B(c), B(back), 1) << std::hex << c;
    }
}

TEST(Hsl, AdjustShiftsHueAndScalesLightness) {
    EXPECT_EQ(0x80123456u, CRenderEngine::AdjustHsl(0x80123456, 180, 100, 100));
    const DWORD green = CRenderEngine::AdjustHsl(0x80FF0000, 300, 100, 100);  // +120 degrees
    EXPECT_EQ(0x80u, green >> 24);
    EXPECT_LT(R(green), 2);
    EXPECT_GT(G(green), 253);
    const DWORD back = CRenderEngine::AdjustHsl(0xFF0000FF, 300, 100, 100);  // 240 + 120 wraps to red
    EXPECT_GT(R(back), 253);
    EXPECT_LT(B(back), 2);
    const DWORD dark = CRenderEngine::AdjustHsl(0xFFFFFFFF, 180, 100, 50);
    EXPECT_NEAR(127, R(dark), 1);
}

TEST(AdjustColor, OnlyBlackChangesWhateverItsAlpha) {
    EXPECT_EQ(0xFF000001u, CRenderEngine::AdjustColor(0xFF000000));
    EXPECT_EQ(0x00000001u, CRenderEngine::AdjustColor(0x00000000));
    EXPECT_EQ(0xFF000100u, CRenderEngine::AdjustColor(0xFF000100));
    EXPECT_EQ(0x80FFFFFFu, CRenderEngine::AdjustColor(0x80FFFFFF));
}

TEST(AdjustImage, WritesAdjustedPixelsIntoTheBitmap) {
    KvUI::TImageInfo image;
    auto bitmap = rendertest::MakeBitmap(1, 1, {0xFFFF0000});
    image.bitmap = static_cast<HBITMAP>(bitmap.get());
    image.width = 1;
    image.height = 1;
    image.useHsl = true;
    image.sourcePixels = {0x00, 0x00, 0xFF, 0xFF};
    image.pixels = image.sourcePixels;
    CRenderEngine::AdjustImage(true, &image, 300, 100, 100);
    EXPECT_GT(image.pixels[1], 253);  // green
    DIBSECTION dib = {};
    GetObjectW(image.bitmap, sizeof dib, &dib);
    EXPECT_GT(G(*static_cast<const DWORD*>(dib.dsBm.bmBits)), 253);
    CRenderEngine::AdjustImage(false, &image, 300, 100, 100);
    EXPECT_EQ(0xFF, image.pixels[2]);
    image.useHsl = false;
    image.pixels[2] = 0;
    CRenderEngine::AdjustImage(true, &image, 180, 100, 100);
    EXPECT_EQ(0, image.pixels[2]);
}

}  // namespace
