#pragma once
// What the container, layout and scroll bar tests share: a real window with a
// paint manager whose tree a test builds in code, sized children, recorded
// notifications, and the window's pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "support/TestEnv.h"
#include "ui/core/ContainerUI.h"
#include "ui/core/HorizontalLayoutUI.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/ScrollBarUI.h"
#include "ui/core/VerticalLayoutUI.h"
#include "ui/core/WindowWnd.h"

inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const RECT& a, const RECT& b) { return !(a == b); }
inline void PrintTo(const RECT& rc, std::ostream* os) {
    *os << "(" << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom << ")";
}

namespace kvtest {

using namespace KvUI;

// A borderless top-level window whose messages go through its paint manager.
class Host : public CWindowWnd {
public:
    CPaintManagerUI manager;

    explicit Host(int width = 200, int height = 150) {
        CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
        CreateEx(nullptr, L"layout host", WS_POPUP, 0, 40, 30, width, height);
    }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    ~Host() override {
        if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    }

    // Attaches `root` and lays the tree out the way the first paint does.
    template <class T>
    T* Attach(T* root) {
        manager.AttachDialog(root);
        LayOut();
        return root;
    }

    // Hidden windows get no WM_PAINT: shows the window without activating it
    // and pumps until the tree is laid out and painted.
    bool LayOut() {
        ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
        InvalidateRect(m_hWnd, nullptr, FALSE);
        UpdateWindow(m_hWnd);
        return PumpUntil([this] {
            RECT rc;
            return !manager.IsUpdateNeeded() && !GetUpdateRect(m_hWnd, &rc, FALSE);
        });
    }

    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return ::SendMessageW(m_hWnd, msg, wParam, lParam); }
    void Press(int x, int y) { Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Drag(int x, int y) { Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Release(int x, int y) { Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
    void Wheel(int x, int y, int delta) {
        POINT pt{x, y};
        ClientToScreen(m_hWnd, &pt);
        Send(WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(pt.x, pt.y));
    }
    void Key(WPARAM vk) { Send(WM_KEYDOWN, vk, 1); }

    // The tree painted into a 32-bit bitmap of the client size; 0x00RRGGBB.
    std::vector<DWORD> Pixels() {
        RECT client;
        GetClientRect(m_hWnd, &client);
        m_width = client.right;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = client.right;
        info.bmiHeader.biHeight = -client.bottom;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        GdiFlush();
        const auto* p = static_cast<const DWORD*>(bits);
        std::vector<DWORD> pixels(p, p + static_cast<size_t>(client.right) * static_cast<size_t>(client.bottom));
        for (DWORD& px : pixels) px &= 0x00FFFFFF;
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        return pixels;
    }
    DWORD PixelAt(const std::vector<DWORD>& pixels, int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)];
    }

protected:
    LPCTSTR GetWindowClassName() const override { return L"KvLayoutTestHost"; }
    UINT GetClassStyle() const override { return CS_DBLCLKS; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) manager.Init(m_hWnd);
        LRESULT lRes = 0;
        if (manager.MessageHandler(msg, wParam, lParam, lRes)) return lRes;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }

private:
    int m_width = 0;
};

// A named control of the given fixed size; 0 leaves that side to the layout.
inline CControlUI* Box(LPCTSTR name, int width = 0, int height = 0) {
    auto* box = new CControlUI();
    box->SetName(name);
    if (width) box->SetFixedWidth(width);
    if (height) box->SetFixedHeight(height);
    return box;
}

// A control that says when it dies.
class Mortal : public CControlUI {
public:
    explicit Mortal(bool* dead) : m_dead(dead) {}
    ~Mortal() override { *m_dead = true; }

private:
    bool* m_dead;
};

inline RECT Rect(int l, int t, int r, int b) { return RECT{l, t, r, b}; }

// Records notifications as they arrive.
class Notes : public INotifyUI {
public:
    struct Note {
        std::wstring type;
        CControlUI* sender;
        WPARAM wParam;
    };
    void Notify(TUINotify& msg) override { notes.push_back(Note{msg.type.GetData(), msg.sender, msg.wParam}); }
    int Count(LPCTSTR type) const {
        int n = 0;
        for (const Note& note : notes) n += note.type == type;
        return n;
    }
    std::vector<Note> notes;
};

}  // namespace kvtest
