// The image blitter: nine-grid pieces, hole, tiling, fade and premultiplied
// blending, checked pixel by pixel in an off-screen canvas.
#include <gtest/gtest.h>

#include <cstdlib>

#include "RenderKit.h"
#include "ui/core/RenderBlend.h"
#include "ui/core/RenderEngine.h"

using KvUI::CRenderEngine;
using rendertest::Canvas;
using rendertest::MakeBitmap;
using rendertest::PixelGrid;
using rendertest::kNineGrid;

namespace {

constexpr DWORD kBackground = 0xFF202020;
constexpr RECT kNoCorner = {0, 0, 0, 0};

KvUI::UniqueBitmap NineGridSource() { return MakeBitmap(6, 6, rendertest::NineGridPixels()); }

// Runs each test once with msimg32 and once with the built-in fallbacks.
class Blend : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { KvUI::SetMsimg32Ignored(GetParam()); }
    void TearDown() override { KvUI::SetMsimg32Ignored(false); }
};

std::string BlendName(const ::testing::TestParamInfo<bool>& info) { return info.param ? "BuiltIn" : "Msimg32"; }

// Colours only: the copying path stretches with GDI, which leaves no alpha.
DWORD Rgb(DWORD argb) { return argb & 0xFFFFFF; }

void ExpectNineGrid(const Canvas& canvas, const RECT& rc) {
    const int midX = (rc.left + rc.right) / 2;
    const int midY = (rc.top + rc.bottom) / 2;
    const int xs[3] = {rc.left, midX, rc.right - 1};
    const int ys[3] = {rc.top, midY, rc.bottom - 1};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(Rgb(kNineGrid[r * 3 + c]), Rgb(canvas.Pixel(xs[c], ys[r]))) << "part " << r << "," << c;
        }
    }
    // Corners stay 2 pixels wide: the pixel just inside each corner is an edge.
    EXPECT_EQ(Rgb(kNineGrid[1]), Rgb(canvas.Pixel(rc.left + 2, rc.top)));
    EXPECT_EQ(Rgb(kNineGrid[0]), Rgb(canvas.Pixel(rc.left + 1, rc.top + 1)));
    EXPECT_EQ(Rgb(kNineGrid[3]), Rgb(canvas.Pixel(rc.left, rc.top + 2)));
    EXPECT_EQ(kBackground, canvas.Pixel(rc.right, rc.bottom));
}

TEST_P(Blend, NineGridKeepsCornersAndStretchesTheRest) {
    const auto source = NineGridSource();
    for (bool alpha : {false, true}) {
        SCOPED_TRACE(alpha ? "blended" : "copied");
        Canvas canvas(40, 40, kBackground);
        const RECT rc = {5, 7, 25, 27};
        CRenderEngine::DrawImage(canvas.dc(), source.get(), rc, canvas.rect(), RECT{0, 0, 6, 6},
                                 RECT{2, 2, 2, 2}, alpha);
        ExpectNineGrid(canvas, rc);
        if (alpha) {
            EXPECT_EQ(kNineGrid[4], canvas.Pixel(15, 17));  // blending keeps the alpha byte
        }
        EXPECT_EQ(0, canvas.CountNot(RECT{0, 0, 40, 7}, kBackground));
    }
}

TEST_P(Blend, HoleLeavesTheMiddleUntouched) {
    const auto source = NineGridSource();
    Canvas canvas(30, 30, kBackground);
    const RECT rc = {0, 0, 20, 20};
    CRenderEngine::DrawImage(canvas.dc(), source.get(), rc, canvas.rect(), RECT{0, 0, 6, 6}, RECT{2, 2, 2, 2}, true,
                             255, true);
    EXPECT_EQ(0, canvas.CountNot(RECT{2, 2, 18, 18}, kBackground));
    EXPECT_EQ(kNineGrid[0], canvas.Pixel(0, 0));
    EXPECT_EQ(kNineGrid[1], canvas.Pixel(10, 0));
    EXPECT_EQ(kNineGrid[8], canvas.Pixel(19, 19));
}

// A 10x10 tile, left half one colour and right half another, top row marked.
KvUI::UniqueBitmap HalvesTile() {
    return MakeBitmap(10, 10, PixelGrid(10, 10, [](int x, int y) -> DWORD {
                          return y == 0 ? 0xFFFFFFFF : x < 5 ? 0xFFFF0000 : 0xFF0000FF;
                      }));
}

TEST_P(Blend, TilingBothWaysCutsTheLastTile) {
    const auto tile = HalvesTile();
    for (bool alpha : {false, true}) {
        SCOPED_TRACE(alpha ? "blended" : "copied");
        Canvas canvas(40, 40, kBackground);
        // 25 pixels of 10-pixel tiles: three tiles, the last 5 pixels wide and high.
        CRenderEngine::DrawImage(canvas.dc(), tile.get(), RECT{0, 0, 25, 25}, canvas.rect(), RECT{0, 0, 10, 10},
                                 kNoCorner, alpha, 255, false, true, true);
        for (int x : {0, 4, 10, 14, 20, 24}) EXPECT_EQ(0xFFFF0000u, canvas.Pixel(x, 5)) << x;
        for (int x : {5, 9, 15, 19}) EXPECT_EQ(0xFF0000FFu, canvas.Pixel(x, 5)) << x;
        for (int y : {0, 10, 20}) EXPECT_EQ(0xFFFFFFFFu, canvas.Pixel(7, y)) << y;
        EXPECT_EQ(0xFFFF0000u, canvas.Pixel(22, 24));
        EXPECT_EQ(0, canvas.CountNot(RECT{25, 0, 40, 40}, kBackground));
        EXPECT_EQ(0, canvas.CountNot(RECT{0, 25, 40, 40}, kBackground));
    }
}

TEST_P(Blend, TilingAcrossStretchesDown) {
    const auto tile = HalvesTile();
    Canvas canvas(40, 40, kBackground);
    CRenderEngine::DrawImage(canvas.dc(), tile.get(), RECT{0, 0, 25, 30}, canvas.rect(), RECT{0, 0, 10, 10},
                             kNoCorner, true, 255, false, true, false);
    EXPECT_EQ(0xFFFF0000u, canvas.Pixel(20, 29));  // the cut third tile reaches the bottom
    EXPECT_EQ(0xFF0000FFu, canvas.Pixel(15, 29));
    EXPECT_EQ(0xFFFFFFFFu, canvas.Pixel(12, 1));   // the marked row is stretched to three rows
    EXPECT_EQ(0, canvas.CountNot(RECT{25, 0, 40, 40}, kBackground));
}

TEST_P(Blend, TilingDownStretchesAcross) {
    const auto tile = HalvesTile();
    Canvas canvas(40, 40, kBackground);
    CRenderEngine::DrawImage(canvas.dc(), tile.get(), RECT{0, 0, 20, 25}, canvas.rect(), RECT{0, 0, 10, 10},
                             kNoCorner, true, 255, false, false, true);
    for (int y : {0, 10, 20}) EXPECT_EQ(0xFFFFFFFFu, canvas.Pixel(3, y)) << y;
    EXPECT_EQ(0xFFFF0000u, canvas.Pixel(7, 24));
    EXPECT_EQ(0xFF0000FFu, canvas.Pixel(12, 24));
    EXPECT_EQ(0, canvas.CountNot(RECT{0, 25, 40, 40}, kBackground));
}

// Corners wider than the source would turn the middle and edges negative,
// which GDI draws mirrored; they are cut to the source instead.
TEST_P(Blend, CornersWiderThanTheSourceAreClamped) {
    const auto halves = [](int x, int) -> DWORD { return x < 3 ? 0xFFFF0000 : 0xFF0000FF; };
    const auto source = MakeBitmap(6, 6, PixelGrid(6, 6, halves));
    for (bool alpha : {false, true}) {
        Canvas canvas(30, 30, kBackground);
        CRenderEngine::DrawImage(canvas.dc(), source.get(), RECT{0, 0, 20, 20}, canvas.rect(), RECT{0, 0, 6, 6},
                                 RECT{8, 8, 8, 8}, alpha);
        for (int x = 0; x < 3; ++x) EXPECT_EQ(0xFFFF0000u, canvas.Pixel(x, 0)) << x;
        for (int x = 3; x < 6; ++x) EXPECT_EQ(0xFF0000FFu, canvas.Pixel(x, 0)) << x;
        // Nothing mirrored or stretched beyond the unscaled corner.
        EXPECT_EQ(0, canvas.CountNot(RECT{6, 0, 30, 30}, kBackground));
        EXPECT_EQ(0, canvas.CountNot(RECT{0, 6, 30, 30}, kBackground));
    }
}

TEST_P(Blend, ExactSizeOpaqueImageCopiesOnlyThePaintRectangle) {
    const auto source = NineGridSource();
    Canvas canvas(20, 20, kBackground);
    const RECT paint = {3, 3, 6, 6};
    CRenderEngine::DrawImage(canvas.dc(), source.get(), RECT{2, 2, 8, 8}, paint, RECT{0, 0, 6, 6}, kNoCorner, false);
    EXPECT_EQ(9, canvas.CountNot(canvas.rect(), kBackground));
    EXPECT_EQ(kNineGrid[0], canvas.Pixel(3, 3));  // source (1, 1)
    EXPECT_EQ(kNineGrid[4], canvas.Pixel(5, 5));  // source (3, 3)
    EXPECT_EQ(kBackground, canvas.Pixel(2, 2));
}

TEST_P(Blend, PiecesOutsideThePaintRectangleAreSkipped) {
    const auto source = NineGridSource();
    Canvas canvas(40, 40, kBackground);
    CRenderEngine::DrawImage(canvas.dc(), source.get(), RECT{0, 0, 30, 30}, RECT{0, 0, 2, 2}, RECT{0, 0, 6, 6},
                             RECT{2, 2, 2, 2}, true);
    EXPECT_EQ(kNineGrid[0], canvas.Pixel(0, 0));
    EXPECT_EQ(kBackground, canvas.Pixel(29, 29));
    EXPECT_EQ(kBackground, canvas.Pixel(15, 15));
}

bool Near(int expected, int actual) { return std::abs(expected - actual) <= 1; }

// Premultiplied half-transparent red over opaque white: red stays full, green
// and blue keep half of the white; the alpha byte stays opaque.
TEST_P(Blend, PremultipliedPixelsBlendSourceOver) {
    const auto source = MakeBitmap(2, 2, {0x80800000, 0x80800000, 0x80800000, 0x80800000});
    Canvas canvas(4, 4, 0xFFFFFFFF);
    CRenderEngine::DrawImage(canvas.dc(), source.get(), RECT{0, 0, 2, 2}, canvas.rect(), RECT{0, 0, 2, 2}, kNoCorner,
                             true);
    const DWORD c = canvas.Pixel(1, 1);
    EXPECT_EQ(255, rendertest::A(c));
    EXPECT_EQ(255, rendertest::R(c));
    EXPECT_TRUE(Near(127, rendertest::G(c))) << std::hex << c;
    EXPECT_TRUE(Near(127, rendertest::B(c))) << std::hex << c;
    EXPECT_EQ(0xFFFFFFFFu, canvas.Pixel(3, 3));
}

TEST_P(Blend, AlphaByteOverTransparentPixelsIsTheSourceAlpha) {
    const auto source = MakeBitmap(1, 1, {0x80400000});
    Canvas canvas(2, 2, 0x00000000);
    CRenderEngine::DrawImage(canvas.dc(), source.get(), RECT{0, 0, 1, 1}, canvas.rect(), RECT{0, 0, 1, 1}, kNoCorner,
                             true);
    EXPECT_EQ(0x80400000u, canvas.Pixel(0, 0));
}

TEST_P(Blend, FadeScalesAnOpaqueImage) {
    const auto source = MakeBitmap(2, 2, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF});
    Canvas canvas(2, 2, 0xFF000000);
    CRenderEngine::DrawImage(canvas.dc(), source.get(), RECT{0, 0, 2, 2}, canvas.rect(), RECT{0, 0, 2, 2}, kNoCorner,
                             false, 128);
    const DWORD c = canvas.Pixel(0, 0);
    EXPECT_TRUE(Near(128, rendertest::R(c))) << std::hex << c;
    EXPECT_TRUE(Near(128, rendertest::G(c))) << std::hex << c;
    EXPECT_EQ(255, rendertest::A(c));
}

TEST_P(Blend, NothingToDrawWithoutBitmapOrTarget) {
    Canvas canvas(4, 4, kBackground);
    CRenderEngine::DrawImage(canvas.dc(), nullptr, RECT{0, 0, 4, 4}, canvas.rect(), RECT{0, 0, 4, 4}, kNoCorner, true);
    const auto source = NineGridSource();
    CRenderEngine::DrawImage(nullptr, source.get(), RECT{0, 0, 4, 4}, canvas.rect(), RECT{0, 0, 4, 4}, kNoCorner,
                             true);
    EXPECT_EQ(0, canvas.CountNot(canvas.rect(), kBackground));
}

INSTANTIATE_TEST_SUITE_P(DrawImage, Blend, ::testing::Values(false, true), BlendName);

}  // namespace
