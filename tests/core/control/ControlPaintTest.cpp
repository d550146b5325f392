// The base control's paint layers, checked in the pixels of a 32-bit DIB.
#include <gtest/gtest.h>

#include "core/manager/ManagerTestKit.h"

namespace kvtest {
namespace {

int Red(DWORD c) { return (c >> 16) & 0xFF; }
int Blue(DWORD c) { return c & 0xFF; }

// A control at `pos` with the given skin attributes, painted over `paint`.
bool PaintControl(PixelCanvas& canvas, CControlUI& control, RECT pos, LPCTSTR attributes, RECT paint) {
    control.SetPos(pos, false);
    control.ApplyAttributeList(attributes);
    return control.Paint(canvas.dc(), paint, nullptr);
}

TEST(ControlPaint, AnOpaqueBackgroundFillsOnlyThePartBeingRepainted) {
    PixelCanvas canvas(100, 50);
    CControlUI control;
    PaintControl(canvas, control, RECT{0, 0, 100, 50}, L"bkcolor=\"#FFFF0000\"", RECT{0, 0, 50, 50});
    EXPECT_EQ(0xFF0000u, canvas.Rgb(10, 10));
    EXPECT_EQ(0u, canvas.Rgb(80, 10));
}

TEST(ControlPaint, ATranslucentBackgroundFillsTheWholeControl) {
    PixelCanvas canvas(100, 50);
    CControlUI control;
    PaintControl(canvas, control, RECT{0, 0, 100, 50}, L"bkcolor=\"#80FF0000\"", RECT{0, 0, 50, 50});
    EXPECT_GT(Red(canvas.At(10, 10)), 100);
    EXPECT_GT(Red(canvas.At(80, 10)), 100) << "outside the repainted part too";
}

TEST(ControlPaint, APaintRectangleMissingTheControlPaintsNothing) {
    PixelCanvas canvas(100, 50);
    CControlUI control;
    EXPECT_TRUE(PaintControl(canvas, control, RECT{0, 0, 40, 40}, L"bkcolor=\"#FFFF0000\"", RECT{50, 0, 100, 50}));
    EXPECT_EQ(0u, canvas.Rgb(10, 10));
    EXPECT_FALSE(control.Paint(canvas.dc(), RECT{0, 0, 100, 50}, &control)) << "the stop control ends painting";
}

TEST(ControlPaint, AThreeColourGradientRunsFromTheFirstToTheThirdColour) {
    const struct {
        const wchar_t* gradient;
        int width, height;
        POINT first, third;  // where the first and the third colour show
        std::vector<std::pair<POINT, POINT>> across;  // pixel pairs the gradient leaves equal
    } cases[] = {
        {L" gradient=\"hor\"", 200, 40, {2, 20}, {197, 20},
         {{{2, 2}, {2, 37}}, {{60, 2}, {60, 37}}, {{120, 2}, {120, 37}}, {{197, 2}, {197, 37}}}},
        {L"", 40, 200, {20, 2}, {20, 197}, {{{2, 150}, {37, 150}}}},
    };
    for (const auto& c : cases) {
        PixelCanvas canvas(c.width, c.height);
        CControlUI control;
        const std::wstring colours =
            std::wstring(L"bkcolor=\"#FFFF0000\" bkcolor2=\"#FF00FF00\" bkcolor3=\"#FF0000FF\"") + c.gradient;
        PaintControl(canvas, control, RECT{0, 0, c.width, c.height}, colours.c_str(), RECT{0, 0, c.width, c.height});
        EXPECT_GT(Red(canvas.At(c.first.x, c.first.y)), 200) << "gradient '" << c.gradient << "'";
        EXPECT_GT(Blue(canvas.At(c.third.x, c.third.y)), 200) << "gradient '" << c.gradient << "'";
        for (const auto& [a, b] : c.across) {
            EXPECT_EQ(canvas.At(a.x, a.y), canvas.At(b.x, b.y)) << "constant across the gradient at " << a.x << "," << a.y;
        }
    }
}

TEST(ControlPaint, SideBordersDrawOnlyTheirSides) {
    PixelCanvas canvas(60, 60);
    CControlUI control;
    PaintControl(canvas, control, RECT{10, 10, 50, 50},
                 L"bordercolor=\"#FF0000FF\" leftbordersize=\"1\" bottombordersize=\"1\"", RECT{0, 0, 60, 60});
    EXPECT_EQ(0x0000FFu, canvas.Rgb(10, 30)) << "left edge";
    EXPECT_EQ(0x0000FFu, canvas.Rgb(30, 49)) << "bottom edge, one pixel inside";
    EXPECT_EQ(0u, canvas.Rgb(49, 30)) << "no right side";
    EXPECT_EQ(0u, canvas.Rgb(30, 10)) << "no top side";
}

TEST(ControlPaint, AFocusedControlShowsItsFocusBorder) {
    PixelCanvas canvas(60, 60);
    CControlUI control;
    PaintControl(canvas, control, RECT{10, 10, 50, 50},
                 L"bordercolor=\"#FF0000FF\" focusbordercolor=\"#FFFF0000\" bordersize=\"1\"", RECT{0, 0, 60, 60});
    EXPECT_EQ(0x0000FFu, canvas.Rgb(30, 10));
    FireEvent(control, EventSetFocus);
    control.Paint(canvas.dc(), RECT{0, 0, 60, 60}, nullptr);
    EXPECT_EQ(0xFF0000u, canvas.Rgb(30, 10));
    EXPECT_EQ(0u, canvas.Rgb(30, 30)) << "an outline, not a fill";
}

TEST(ControlPaint, ARoundedControlLeavesItsCornersAlone) {
    PixelCanvas canvas(60, 60);
    CControlUI control;
    PaintControl(canvas, control, RECT{0, 0, 60, 60}, L"bkcolor=\"#FF00FF00\" borderround=\"20,20\"",
                 RECT{0, 0, 60, 60});
    EXPECT_EQ(0x00FF00u, canvas.Rgb(30, 30));
    EXPECT_EQ(0u, canvas.Rgb(0, 0));
}

}  // namespace
}  // namespace kvtest
