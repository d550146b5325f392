// The base control's paint layers, checked in the pixels of a 32-bit DIB.
#include <gtest/gtest.h>

#include "core/manager/ManagerTestKit.h"

namespace kvtest {
namespace {

// A 32-bit top-down DIB selected into a memory DC, cleared to 0.
class Canvas {
public:
    Canvas(int width, int height) : m_width(width) {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~Canvas() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC dc() const { return m_dc; }
    DWORD At(int x, int y) const {
        GdiFlush();
        return m_bits[y * m_width + x];
    }
    DWORD Rgb(int x, int y) const { return At(x, y) & 0x00FFFFFF; }

private:
    int m_width;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

int Red(DWORD c) { return (c >> 16) & 0xFF; }
int Blue(DWORD c) { return c & 0xFF; }

TEST(ControlPaint, AnOpaqueBackgroundFillsOnlyThePartBeingRepainted) {
    Canvas canvas(100, 50);
    CControlUI control;
    control.SetPos(RECT{0, 0, 100, 50}, false);
    control.SetBkColor(0xFFFF0000);
    control.Paint(canvas.dc(), RECT{0, 0, 50, 50}, nullptr);
    EXPECT_EQ(0xFF0000u, canvas.Rgb(10, 10));
    EXPECT_EQ(0u, canvas.Rgb(80, 10));
}

TEST(ControlPaint, ATranslucentBackgroundFillsTheWholeControl) {
    Canvas canvas(100, 50);
    CControlUI control;
    control.SetPos(RECT{0, 0, 100, 50}, false);
    control.SetBkColor(0x80FF0000);
    control.Paint(canvas.dc(), RECT{0, 0, 50, 50}, nullptr);
    EXPECT_GT(Red(canvas.At(10, 10)), 100);
    EXPECT_GT(Red(canvas.At(80, 10)), 100) << "outside the repainted part too";
}

TEST(ControlPaint, APaintRectangleMissingTheControlPaintsNothing) {
    Canvas canvas(100, 50);
    CControlUI control;
    control.SetPos(RECT{0, 0, 40, 40}, false);
    control.SetBkColor(0xFFFF0000);
    EXPECT_TRUE(control.Paint(canvas.dc(), RECT{50, 0, 100, 50}, nullptr));
    EXPECT_EQ(0u, canvas.Rgb(10, 10));
    EXPECT_FALSE(control.Paint(canvas.dc(), RECT{0, 0, 100, 50}, &control)) << "the stop control ends painting";
}

TEST(ControlPaint, AHorizontalThreeColourGradientSplitsLeftAndRight) {
    Canvas canvas(200, 40);
    CControlUI control;
    control.SetPos(RECT{0, 0, 200, 40}, false);
    control.ApplyAttributeList(L"bkcolor=\"#FFFF0000\" bkcolor2=\"#FF00FF00\" bkcolor3=\"#FF0000FF\" gradient=\"hor\"");
    control.Paint(canvas.dc(), RECT{0, 0, 200, 40}, nullptr);
    EXPECT_GT(Red(canvas.At(2, 20)), 200) << "the first colour at the left";
    EXPECT_GT(Blue(canvas.At(197, 20)), 200) << "the third colour at the right";
    for (int x : {2, 60, 120, 197}) {
        EXPECT_EQ(canvas.At(x, 2), canvas.At(x, 37)) << "a horizontal gradient is constant down a column, x=" << x;
    }
}

TEST(ControlPaint, AVerticalThreeColourGradientSplitsTopAndBottom) {
    Canvas canvas(40, 200);
    CControlUI control;
    control.SetPos(RECT{0, 0, 40, 200}, false);
    control.ApplyAttributeList(L"bkcolor=\"#FFFF0000\" bkcolor2=\"#FF00FF00\" bkcolor3=\"#FF0000FF\"");
    control.Paint(canvas.dc(), RECT{0, 0, 40, 200}, nullptr);
    EXPECT_GT(Red(canvas.At(20, 2)), 200);
    EXPECT_GT(Blue(canvas.At(20, 197)), 200);
    EXPECT_EQ(canvas.At(2, 150), canvas.At(37, 150));
}

TEST(ControlPaint, SideBordersDrawOnlyTheirSides) {
    Canvas canvas(60, 60);
    CControlUI control;
    control.SetPos(RECT{10, 10, 50, 50}, false);
    control.ApplyAttributeList(L"bordercolor=\"#FF0000FF\" leftbordersize=\"1\" bottombordersize=\"1\"");
    control.Paint(canvas.dc(), RECT{0, 0, 60, 60}, nullptr);
    EXPECT_EQ(0x0000FFu, canvas.Rgb(10, 30)) << "left edge";
    EXPECT_EQ(0x0000FFu, canvas.Rgb(30, 49)) << "bottom edge, one pixel inside";
    EXPECT_EQ(0u, canvas.Rgb(49, 30)) << "no right side";
    EXPECT_EQ(0u, canvas.Rgb(30, 10)) << "no top side";
}

TEST(ControlPaint, AFocusedControlShowsItsFocusBorder) {
    Canvas canvas(60, 60);
    CControlUI control;
    control.SetPos(RECT{10, 10, 50, 50}, false);
    control.ApplyAttributeList(L"bordercolor=\"#FF0000FF\" focusbordercolor=\"#FFFF0000\" bordersize=\"1\"");
    control.Paint(canvas.dc(), RECT{0, 0, 60, 60}, nullptr);
    EXPECT_EQ(0x0000FFu, canvas.Rgb(30, 10));
    TUIEvent focus;
    focus.type = EventSetFocus;
    control.Event(focus);
    control.Paint(canvas.dc(), RECT{0, 0, 60, 60}, nullptr);
    EXPECT_EQ(0xFF0000u, canvas.Rgb(30, 10));
    EXPECT_EQ(0u, canvas.Rgb(30, 30)) << "an outline, not a fill";
}

TEST(ControlPaint, ARoundedControlLeavesItsCornersAlone) {
    Canvas canvas(60, 60);
    CControlUI control;
    control.SetPos(RECT{0, 0, 60, 60}, false);
    control.ApplyAttributeList(L"bkcolor=\"#FF00FF00\" borderround=\"20,20\"");
    control.Paint(canvas.dc(), RECT{0, 0, 60, 60}, nullptr);
    EXPECT_EQ(0x00FF00u, canvas.Rgb(30, 30));
    EXPECT_EQ(0u, canvas.Rgb(0, 0));
}

}  // namespace
}  // namespace kvtest
