#pragma once
// What the browser window tests share: a browser showing a page from a file
// in a hidden parent, the window's painting read back as pixels, and clicks.
#include "engine/EngineProgramKit.h"

namespace kvtest {

// The browser window's client area as WM_PRINTCLIENT paints it: 0x00RRGGBB, rows from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<DWORD> rgb;

    DWORD At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
    // The first row at or below `from` where column `x` has this colour; -1 if none.
    int FindRow(int x, DWORD color, int from = 0) const {
        for (int y = from; y < height; ++y) {
            if (At(x, y) == color) return y;
        }
        return -1;
    }
};

inline Pixels Capture(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    Pixels p;
    p.width = r.right;
    p.height = r.bottom;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = r.right;
    bi.bmiHeader.biHeight = -r.bottom;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    const auto* pixels = static_cast<const DWORD*>(bits);
    p.rgb.assign(pixels, pixels + static_cast<size_t>(p.width) * p.height);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return p;
}

// A left click at a point of the window, as the mouse gives it.
inline void ClickAt(HWND window, int x, int y) {
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(engine.ok); }
    void TearDown() override {
        for (size_t i = 0; i < client->Count(); ++i) client->Browser(i)->GetHost()->CloseBrowser(true);
        PumpUntil([&] { return static_cast<size_t>(client->closed.load()) == client->Count(); }, 10000);
    }
    CefRefPtr<CefBrowser> Open(const std::string& html, DWORD timeoutMs = 10000) {
        const std::string path = WorkDirUnix() + "/window.html";
        WriteFileText(path, html);
        CefRefPtr<CefBrowser> browser = MakeBrowser(client, parent.Get(), FileUrl(path));
        EXPECT_TRUE(browser);
        EXPECT_TRUE(WaitForIdle(timeoutMs));
        return browser;
    }
    static HWND WindowOf(CefRefPtr<CefBrowser> browser) { return browser->GetHost()->GetWindowHandle(); }

    EngineScope engine{true};
    ParentWindow parent;
    CefRefPtr<RecordingClient> client = new RecordingClient();
};

}  // namespace kvtest
