// The colour palette: the colour picked in the pallet and the bar, sent on
// release; what it draws; and no fault on degenerate sizes.
#include <gtest/gtest.h>

#include <memory>

#include "controls/ControlsKit.h"
#include "ui/controls/ColorPaletteUI.h"

namespace kvtest {
namespace {

// A 360 x 240 palette at the window's top left: the pallet in rows 0 to 199,
// the bar in rows 230 to 239.
class Palette : public ::testing::Test {
protected:
    void SetUp() override {
        host.Build(Skin(L"<HorizontalLayout height=\"240\"><ColorPalette name=\"p\" width=\"360\"/><Control/>"
                        L"</HorizontalLayout>"));
        palette = host.Find<CColorPaletteUI>(L"p");
        ASSERT_NE(nullptr, palette);
    }
    DWORD ClickAndRelease(int x, int y, int releaseX, int releaseY) {
        host.Press(x, y);
        host.Release(releaseX, releaseY);
        const Notes::Note* note = host.notes.Last(L"colorchanged");
        return note ? static_cast<DWORD>(note->wParam) : 0;
    }
    DWORD Click(int x, int y) { return ClickAndRelease(x, y, x, y); }

    Host host{400, 260};
    CColorPaletteUI* palette = nullptr;
};

TEST_F(Palette, StartsOnAFullCyan) {
    const DWORD colour = palette->GetSelectColor();
    EXPECT_EQ(0xFF00FF00u, colour & 0xFFFFFF00);
    EXPECT_GE(colour & 0xFF, 0xFEu);
}

struct Pick {
    bool grey;     // saturation 0 picked first, at the bar's left end
    POINT pallet;  // then this point of the pallet
    DWORD colour;
};
class PalettePick : public Palette, public ::testing::WithParamInterface<Pick> {};

TEST_P(PalettePick, ReleasingSendsTheColourPicked) {
    const Pick pick = GetParam();
    if (pick.grey) Click(0, 235);
    EXPECT_EQ(pick.colour, Click(pick.pallet.x, pick.pallet.y));
}

INSTANTIATE_TEST_SUITE_P(Points, PalettePick,
                         ::testing::Values(Pick{false, {0, 0}, 0xFFFFFFFF},      // lightness 200: white
                                           Pick{false, {0, 199}, 0xFF020000},    // lightness 1: a dark red
                                           Pick{false, {0, 100}, 0xFFFF0000},    // hue 0 at half light
                                           Pick{false, {120, 100}, 0xFF00FF00},  // hue 120
                                           Pick{true, {200, 100}, 0xFF7F7F7F},   // saturation 0: grey
                                           Pick{true, {300, 0}, 0xFFFFFFFF}));

TEST_F(Palette, ReleasingOutsideStillSendsTheLastColour) {
    const DWORD inside = Click(0, 100);
    host.notes.Clear();
    EXPECT_EQ(inside, ClickAndRelease(0, 100, 390, 250));
    EXPECT_EQ(1, host.notes.Count(L"colorchanged"));
}

TEST_F(Palette, DrawsThePalletAndTheBarItPicksFrom) {
    Click(0, 100);  // hue 0, half light: the bar runs from grey to red
    ASSERT_TRUE(host.Paint());
    const DWORD pureRed = host.Pixel(0, 100);
    EXPECT_GT((pureRed >> 16) & 0xFF, 0xE0u);
    EXPECT_LT((pureRed >> 8) & 0xFF, 0x20u);
    const DWORD barStart = host.Pixel(0, 235);
    const DWORD barEnd = host.Pixel(359, 235);
    EXPECT_NEAR(static_cast<int>((barStart >> 16) & 0xFF), static_cast<int>(barStart & 0xFF), 4) << "grey";
    EXPECT_GT((barEnd >> 16) & 0xFF, 0xE0u);
    EXPECT_LT(barEnd & 0xFF, 0x20u);
}

TEST_F(Palette, DraggingAfterThePalletLostItsHeightKeepsWorking) {
    host.Press(10, 10);
    palette->SetAttribute(L"palletheight", L"0");
    host.Drag(10, 0);
    host.Release(10, 0);
    EXPECT_EQ(1, host.notes.Count(L"colorchanged"));
}

TEST(PaletteAlone, PlacedBeforeItHasAWindowItDrawsNothingAndDoesNotFault) {
    auto palette = std::make_unique<CColorPaletteUI>();
    palette->SetPos(RECT{0, 0, 100, 100});
    palette->SetAttribute(L"barheight", L"300");
    palette->SetPos(RECT{0, 0, 0, 0});
    EXPECT_EQ(150, palette->GetBarHeight());
}

}  // namespace
}  // namespace kvtest
