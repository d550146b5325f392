// Painting: lazy layout with "windowinit"/"windowsize", the off-screen bitmap,
// and the alpha rules of layered windows, checked in the off-screen pixels.
#include <gtest/gtest.h>

#include "core/manager/ManagerTestKit.h"

namespace kvtest {
namespace {

// Fills its rectangle with plain GDI (which leaves the alpha byte 0) and
// notes the bitmap the manager painted into, so tests can read its pixels.
class GdiFill : public CControlUI {
public:
    GdiFill(COLORREF color, int* paints = nullptr) : m_color(color), m_paints(paints) {}
    void PaintText(HDC dc) override {
        const HBRUSH brush = CreateSolidBrush(m_color);
        FillRect(dc, &GetPos(), brush);
        DeleteObject(brush);
        if (m_paints) ++*m_paints;
    }
    void DoPostPaint(HDC dc, const RECT& paint) override {
        target = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
        lastPaint = paint;
    }
    HBITMAP target = nullptr;
    RECT lastPaint = {};

private:
    COLORREF m_color;
    int* m_paints;
};

// A pixel of a 32-bit DIB section as 0xAARRGGBB.
DWORD PixelAt(HBITMAP bitmap, int x, int y) {
    DIBSECTION dib = {};
    if (GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib || !dib.dsBm.bmBits) return 0xDEADBEEF;
    const int height = dib.dsBm.bmHeight;
    const int row = height > 0 ? height - 1 - y : y;
    GdiFlush();
    return static_cast<const DWORD*>(dib.dsBm.bmBits)[row * dib.dsBm.bmWidth + x];
}

DWORD* PixelPointer(HBITMAP bitmap, int x, int y) {
    DIBSECTION dib = {};
    GetObjectW(bitmap, sizeof dib, &dib);
    return static_cast<DWORD*>(dib.dsBm.bmBits) + (dib.dsBm.bmHeight - 1 - y) * dib.dsBm.bmWidth + x;
}

// A blue probe at (10,10)-(50,30) and a GDI-black square at (60,10)-(80,30).
class Paint : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.Open()); }
    void Build() {
        root = new TestContainer();
        probe = root->Add(Place(new GdiFill(RGB(0, 0, 255), &paints), 10, 10, 40, 20));
        black = root->Add(Place(new GdiFill(RGB(0, 0, 0)), 60, 10, 20, 20));
        ASSERT_TRUE(host.manager.AttachDialog(root));
        host.manager.AddPostPaint(probe);
        host.manager.AddNotifier(&notes);
    }
    bool Repaint() {
        UpdateWindow(host);
        return ShowAndPaint(host);
    }

    HostWindow host;
    Log log;
    NotifyRecorder notes{&log};
    int paints = 0;
    TestContainer* root = nullptr;
    GdiFill* probe = nullptr;
    GdiFill* black = nullptr;
};

TEST_F(Paint, TheFirstLayoutSendsWindowInitThenEveryLayoutWindowSize) {
    Build();
    ASSERT_TRUE(ShowAndPaint(host));
    Drain();
    EXPECT_EQ((Log{"windowinit:root", "windowsize:root"}), log);
    log.clear();
    root->NeedUpdate();
    ASSERT_TRUE(Repaint());
    Drain();
    EXPECT_EQ((Log{"windowsize:root"}), log) << "windowinit is sent once per tree";
    log.clear();
    InvalidateRect(host, nullptr, FALSE);
    ASSERT_TRUE(Repaint());
    Drain();
    EXPECT_TRUE(log.empty()) << "a repaint without layout sends nothing";
    auto* fresh = new TestContainer(L"fresh");
    host.manager.AttachDialog(fresh);
    host.manager.Invalidate();
    ASSERT_TRUE(Repaint());
    Drain();
    EXPECT_EQ((Log{"windowinit:fresh", "windowsize:fresh"}), log) << "a new tree gets its own windowinit";
}

TEST_F(Paint, TheOffscreenBitmapSurvivesAndOnlyTheInvalidAreaIsRepainted) {
    Build();
    ASSERT_TRUE(ShowAndPaint(host));
    ASSERT_NE(nullptr, probe->target);
    const HBITMAP first = probe->target;
    EXPECT_EQ(0x000000FFu, PixelAt(first, 20, 20) & 0x00FFFFFF);
    // Mark a pixel of the control, then repaint only a part away from it.
    *PixelPointer(first, 12, 12) = 0x00123456;
    RECT part = {200, 100, 220, 120};
    host.manager.InvalidateRect(part);
    const int before = paints;
    ASSERT_TRUE(Repaint());
    EXPECT_EQ(first, probe->target);
    EXPECT_EQ(before, paints) << "the control lies outside the repainted area";
    EXPECT_EQ(0x00123456u, PixelAt(first, 12, 12) & 0x00FFFFFF);
    EXPECT_EQ(200, probe->lastPaint.left);
}

TEST_F(Paint, PrintClientPaintsTheTreeIntoTheGivenDC) {
    Build();
    root->SetPos(RECT{0, 0, 300, 200}, false);
    PixelCanvas canvas(300, 200);
    SendMessageW(host, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_EQ(0x000000FFu, canvas.Rgb(20, 20));
    EXPECT_EQ(0u, canvas.Rgb(5, 5));
}

// Plain GDI output becomes opaque; pixels GDI left black stay transparent.
TEST_F(Paint, ALayeredWindowWithoutImageMakesGdiOutputOpaque) {
    Build();
    host.manager.SetLayered(true);
    ASSERT_TRUE(host.manager.IsLayered());
    ASSERT_TRUE(ShowAndPaint(host));
    ASSERT_TRUE(PumpUntil([&] { return probe->target != nullptr; }));
    EXPECT_TRUE(GetWindowLongPtrW(host, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(0xFF0000FFu, PixelAt(probe->target, 20, 20));
    EXPECT_EQ(0x00000000u, PixelAt(probe->target, 70, 20)) << "GDI black";
    EXPECT_EQ(0x00000000u, PixelAt(probe->target, 150, 150)) << "never painted";
}

TEST_F(Paint, LayeredOpacityRepushesWhileLayeredRelaysOut) {
    Build();
    ASSERT_TRUE(ShowAndPaint(host));
    host.manager.SetLayeredOpacity(128);
    EXPECT_FALSE(root->IsUpdateNeeded());
    EXPECT_EQ(128, host.manager.GetOpacity());
    host.manager.SetLayered(true);
    EXPECT_TRUE(root->IsUpdateNeeded());
    host.manager.SetLayered(true);  // no change: nothing happens
    ASSERT_TRUE(Repaint());
}

TEST_F(Paint, AChildWindowIsNeverMadeLayered) {
    struct Child : HostWindow {
        bool OpenIn(HWND owner) {
            return CreateEx(owner, L"child", WS_CHILD, 0, 0, 0, 50, 50) != nullptr;
        }
    } child;
    ASSERT_TRUE(child.OpenIn(host));
    child.manager.SetLayered(true);
    EXPECT_FALSE(child.manager.IsLayered());
}

// Writes a PNG whose left half is opaque white and right half half-transparent white.
std::wstring WriteLayerImage() {
    const std::string dir = FreshDirUnix("layered");
    WriteFileText(dir + "/make.py",
                  "import struct, zlib\n"
                  "w, h = 300, 200\n"
                  "rows = b''\n"
                  "for y in range(h):\n"
                  "    rows += b'\\x00' + b''.join(bytes([255, 255, 255, 255 if x < 150 else 128]) for x in range(w))\n"
                  "def chunk(t, d):\n"
                  "    return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)\n"
                  "png = b'\\x89PNG\\r\\n\\x1a\\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0))\n"
                  "png += chunk(b'IDAT', zlib.compress(rows)) + chunk(b'IEND', b'')\n"
                  "open('layer.png', 'wb').write(png)\n");
    EXPECT_EQ(0, RunUnix({"python3", "make.py"}, dir));
    return ToWindowsPath(dir);
}

TEST_F(Paint, ALayeredImageShowsTheControlsOnlyWhereItHasAlpha) {
    CPaintManagerUI::SetResourcePath(WriteLayerImage().c_str());
    Build();
    Place(probe, 10, 10, 280, 20);  // across both halves
    host.manager.SetLayered(true);
    host.manager.SetLayeredImage(L"file='layer.png'");
    ASSERT_TRUE(ShowAndPaint(host));
    ASSERT_TRUE(PumpUntil([&] { return probe->target != nullptr; }));
    EXPECT_EQ(0xFF0000FFu, PixelAt(probe->target, 20, 20));
    EXPECT_EQ(0x80000080u, PixelAt(probe->target, 200, 20)) << "scaled by the image's alpha 128";
    EXPECT_EQ(0xFF000000u, PixelAt(probe->target, 100, 150)) << "no control there: the image's shape, unlit";
    EXPECT_EQ(0x80000000u, PixelAt(probe->target, 200, 150));
    CPaintManagerUI::SetResourcePath(L"");
}

// The first paint of a new layered tree only lays out and asks again; the
// bitmap it freed for the new layout must not be written to by the next one.
TEST_F(Paint, ALayeredRepaintAfterTheEarlyReturnPaintsIntoAFreshBitmap) {
    Build();
    host.manager.SetLayered(true);
    ASSERT_TRUE(ShowAndPaint(host));
    ASSERT_TRUE(PumpUntil([&] { return probe->target != nullptr; }));

    auto* tree = new TestContainer(L"second");
    auto* fill = tree->Add(Place(new GdiFill(RGB(0, 255, 0)), 0, 0, 100, 100));
    host.manager.AttachDialog(tree);
    host.manager.AddPostPaint(fill);
    host.manager.SetLayeredOpacity(200);
    ASSERT_TRUE(ShowAndPaint(host));
    ASSERT_TRUE(PumpUntil([&] { return fill->target != nullptr; }));
    EXPECT_EQ(0xFF00FF00u, PixelAt(fill->target, 50, 50));
    EXPECT_EQ(0x00000000u, PixelAt(fill->target, 150, 150));
}

TEST_F(Paint, ShowDirtyOutlinesTheRepaintedArea) {
    Build();
    host.manager.SetShowUpdateRect(true);
    ASSERT_TRUE(ShowAndPaint(host));
    RECT part = {100, 100, 140, 130};
    host.manager.InvalidateRect(part);
    ASSERT_TRUE(Repaint());
    const HDC dc = GetDC(host);
    EXPECT_EQ(RGB(220, 0, 0), GetPixel(dc, 100, 115));
    EXPECT_EQ(RGB(220, 0, 0), GetPixel(dc, 120, 129));
    EXPECT_NE(RGB(220, 0, 0), GetPixel(dc, 120, 115));
    ReleaseDC(host, dc);
}

TEST_F(Paint, AWindowWithoutATreePaintsBlack) {
    ShowWindow(host, SW_SHOWNOACTIVATE);
    const HDC dc = GetDC(host);
    RECT all = {0, 0, 300, 200};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ASSERT_EQ(RGB(255, 255, 255), GetPixel(dc, 50, 50));
    InvalidateRect(host, nullptr, FALSE);
    UpdateWindow(host);
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 50, 50));
    ReleaseDC(host, dc);
}

TEST_F(Paint, WindowAttributesEndInTheManager) {
    host.manager.SetInitSize(320, 240);
    RECT rc;
    GetWindowRect(host, &rc);
    EXPECT_EQ(320, rc.right - rc.left) << "without a tree the window takes the size at once";
    host.manager.SetMinInfo(200, 150);
    host.manager.SetMaxInfo(800, 600);
    MINMAXINFO info = {};
    SendMessageW(host, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(200, info.ptMinTrackSize.x);
    EXPECT_EQ(600, info.ptMaxTrackSize.y);
    EXPECT_EQ(800, info.ptMaxSize.x);
    host.manager.SetOpacity(200);
    EXPECT_TRUE(GetWindowLongPtrW(host, GWL_EXSTYLE) & WS_EX_LAYERED);
}

}  // namespace
}  // namespace kvtest
