// Clipping one painting step and giving the DC back exactly as it was.
#include <gtest/gtest.h>

#include "RenderKit.h"
#include "ui/core/RenderClip.h"

using KvUI::CRenderClip;
using KvUI::UniqueRegion;
using rendertest::Canvas;

namespace {

constexpr DWORD kBackground = 0xFF000000;

UniqueRegion ClipOf(HDC dc) {
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    if (GetClipRgn(dc, region.get()) != 1) region.reset();
    return region;
}

// Plain GDI, so only the clip decides what is painted.
void Paint(const Canvas& canvas, const RECT& rc) { FillRect(canvas.dc(), &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))); }
void PaintAll(const Canvas& canvas) { Paint(canvas, canvas.rect()); }
bool Painted(const Canvas& canvas, int x, int y) { return (canvas.Pixel(x, y) & 0xFFFFFF) == 0xFFFFFF; }

TEST(RenderClip, PaintingStaysInsideTheClip) {
    Canvas canvas(20, 20, kBackground);
    {
        CRenderClip clip;
        CRenderClip::GenerateClip(canvas.dc(), RECT{5, 5, 10, 10}, clip);
        PaintAll(canvas);
    }
    EXPECT_EQ(25, canvas.CountNot(canvas.rect(), kBackground));
    EXPECT_TRUE(Painted(canvas, 5, 5));
    EXPECT_TRUE(Painted(canvas, 9, 9));
    EXPECT_EQ(kBackground, canvas.Pixel(10, 10));
}

TEST(RenderClip, EndingRemovesAClipTheDcDidNotHave) {
    Canvas canvas(20, 20, kBackground);
    {
        CRenderClip clip;
        CRenderClip::GenerateClip(canvas.dc(), RECT{5, 5, 10, 10}, clip);
    }
    EXPECT_FALSE(ClipOf(canvas.dc()));
    PaintAll(canvas);
    EXPECT_EQ(400, canvas.CountNot(canvas.rect(), kBackground));
}

// Two separate areas: their bounding box would let painting reach between them.
TEST(RenderClip, EndingRestoresThePreviousRegionNotItsBoundingBox) {
    Canvas canvas(30, 10, kBackground);
    const UniqueRegion left(CreateRectRgn(0, 0, 5, 10));
    const UniqueRegion right(CreateRectRgn(25, 0, 30, 10));
    const UniqueRegion both(CreateRectRgn(0, 0, 0, 0));
    CombineRgn(both.get(), left.get(), right.get(), RGN_OR);
    SelectClipRgn(canvas.dc(), both.get());
    {
        CRenderClip clip;
        CRenderClip::GenerateClip(canvas.dc(), RECT{0, 0, 30, 5}, clip);
        PaintAll(canvas);
        EXPECT_EQ(50, canvas.CountNot(canvas.rect(), kBackground));
    }
    const UniqueRegion after = ClipOf(canvas.dc());
    ASSERT_TRUE(after);
    EXPECT_TRUE(EqualRgn(after.get(), both.get()));
    canvas.Fill(kBackground);
    PaintAll(canvas);
    EXPECT_EQ(kBackground, canvas.Pixel(15, 5));
    EXPECT_EQ(100, canvas.CountNot(canvas.rect(), kBackground));
}

TEST(RenderClip, NestedClipsUnwindInOrder) {
    Canvas canvas(20, 20, kBackground);
    CRenderClip outer;
    CRenderClip::GenerateClip(canvas.dc(), RECT{0, 0, 10, 10}, outer);
    {
        CRenderClip inner;
        CRenderClip::GenerateClip(canvas.dc(), RECT{5, 5, 20, 20}, inner);
        PaintAll(canvas);
        EXPECT_EQ(25, canvas.CountNot(canvas.rect(), kBackground));
    }
    canvas.Fill(kBackground);
    PaintAll(canvas);
    EXPECT_EQ(100, canvas.CountNot(canvas.rect(), kBackground));
}

TEST(RenderClip, OldClipCanBeUsedForAMoment) {
    Canvas canvas(20, 20, kBackground);
    CRenderClip clip;
    CRenderClip::GenerateClip(canvas.dc(), RECT{0, 0, 5, 5}, clip);
    CRenderClip::UseOldClipBegin(canvas.dc(), clip);
    PaintAll(canvas);
    EXPECT_EQ(400, canvas.CountNot(canvas.rect(), kBackground));
    CRenderClip::UseOldClipEnd(canvas.dc(), clip);
    canvas.Fill(kBackground);
    PaintAll(canvas);
    EXPECT_EQ(25, canvas.CountNot(canvas.rect(), kBackground));
}

TEST(RenderClip, RoundClipCutsTheCorners) {
    Canvas canvas(40, 40, kBackground);
    {
        CRenderClip clip;
        const RECT rc = {0, 0, 30, 30};
        CRenderClip::GenerateRoundClip(canvas.dc(), rc, rc, 12, 12, clip);
        PaintAll(canvas);
    }
    EXPECT_EQ(kBackground, canvas.Pixel(0, 0));
    EXPECT_EQ(kBackground, canvas.Pixel(29, 0));
    EXPECT_TRUE(Painted(canvas, 15, 0));
    EXPECT_TRUE(Painted(canvas, 15, 15));
    EXPECT_EQ(kBackground, canvas.Pixel(31, 15));
    EXPECT_FALSE(ClipOf(canvas.dc()));
}

TEST(RenderClip, FollowsAMovedWindowOrigin) {
    Canvas canvas(20, 20, kBackground);
    SetWindowOrgEx(canvas.dc(), -10, -10, nullptr);  // logical (0, 0) is pixel (10, 10)
    {
        CRenderClip clip;
        CRenderClip::GenerateRoundClip(canvas.dc(), RECT{0, 0, 5, 5}, RECT{0, 0, 5, 5}, 0, 0, clip);
        Paint(canvas, RECT{-10, -10, 10, 10});
    }
    SetWindowOrgEx(canvas.dc(), 0, 0, nullptr);
    EXPECT_TRUE(Painted(canvas, 12, 12));
    EXPECT_EQ(kBackground, canvas.Pixel(5, 5));
    EXPECT_EQ(25, canvas.CountNot(canvas.rect(), kBackground));
}

}  // namespace
