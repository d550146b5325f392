#pragma once
// A frame window with a paint manager for the shadow tests, and ways to see
// the shadow from outside: its window, and the screen's pixels. A white
// shadow over the black screen shows each pixel's alpha as its grey level.
#include <windows.h>

#include <vector>

#include "support/TestKit.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/ShadowUI.h"
#include "ui/core/WindowWnd.h"

namespace kvtest {

using namespace KvUI;

// Far from where other test programs put their windows, and topmost, so
// nothing of theirs covers it on the shared screen.
constexpr int kFrameX = 1000;
constexpr int kFrameY = 800;
constexpr int kFrameWidth = 160;
constexpr int kFrameHeight = 100;

class ShadowFrame : public CWindowWnd {
public:
    CPaintManagerUI manager;

    bool Open(bool visible = false) {
        CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
        CShadowUI::Initialize(GetModuleHandleW(nullptr));
        if (!CreateEx(nullptr, L"frame", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kFrameX, kFrameY, kFrameWidth,
                      kFrameHeight)) {
            return false;
        }
        // Shown without activation, as a tool window that no window manager needs to handle.
        if (visible) ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
        return true;
    }
    ~ShadowFrame() override {
        if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    }

protected:
    LPCTSTR GetWindowClassName() const override { return L"KvShadowTestFrame"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) manager.Init(m_hWnd);
        if (msg == WM_ERASEBKGND) {
            RECT rc = {};
            GetClientRect(m_hWnd, &rc);
            FillRect(reinterpret_cast<HDC>(wParam), &rc, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
            return 1;
        }
        // With a skin attached the manager paints, as in every skinned window.
        LRESULT result = 0;
        if (manager.GetRoot() && manager.MessageHandler(msg, wParam, lParam, result)) return result;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
};

struct ShadowSearch {
    HWND owner;
    std::vector<HWND> found;
};

inline BOOL CALLBACK CollectShadowWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ShadowSearch*>(data);
    wchar_t cls[32] = {};
    GetClassNameW(window, cls, 32);
    if (wcscmp(cls, L"VexloShadowWnd") == 0 && GetWindow(window, GW_OWNER) == search->owner) {
        search->found.push_back(window);
    }
    return TRUE;
}

// The shadow windows that follow `frame`.
inline std::vector<HWND> ShadowWindowsOf(HWND frame) {
    ShadowSearch search = {frame, {}};
    EnumWindows(CollectShadowWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline HWND ShadowWindowOf(HWND frame) {
    const std::vector<HWND> windows = ShadowWindowsOf(frame);
    return windows.empty() ? nullptr : windows.front();
}

inline int CountShadowWindowsOf(HWND frame) { return static_cast<int>(ShadowWindowsOf(frame).size()); }

inline RECT WindowRect(HWND window) {
    RECT rc = {};
    GetWindowRect(window, &rc);
    return rc;
}

inline int WidthOf(HWND window) {
    const RECT rc = WindowRect(window);
    return rc.right - rc.left;
}

// Shows a shadow of `size` for `frame` and returns its window.
inline HWND ShowShadowOf(ShadowFrame& frame, CShadowUI& shadow, int size) {
    shadow.ShowShadow(true);
    shadow.SetSize(size);
    shadow.Create(&frame.manager);
    return ShadowWindowOf(frame);
}

// The grey level (0-255) of the screen at (x, y), red channel.
inline int ScreenLevel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return GetRValue(colour);
}

// The screen's level at (x, y) once it shows `expected`, or its last level
// when that does not happen within the timeout (the X server draws later).
inline int LevelOnceShown(int x, int y, int expected) {
    int level = -1;
    PumpUntil([&] { return (level = ScreenLevel(x, y)) == expected; }, 3000);
    return level;
}

// Processes everything already queued for this thread.
inline void Drain() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace kvtest
