#pragma once
// What UI tests share: a real top-level window whose messages go through its
// paint manager, mouse and key input sent as window messages, and the pixels
// the window paints. Header-only: the support library does not link the UI.
#include <windows.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "support/TestKit.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/SkinResource.h"
#include "ui/core/WindowWnd.h"
#include "win/GdiOwners.h"

inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const RECT& a, const RECT& b) { return !(a == b); }
inline void PrintTo(const RECT& rc, std::ostream* os) {
    *os << "(" << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom << ")";
}

namespace kvtest {

// Makes this program's resource `id` of type "ZIPRES" the skin archive of
// every window, as the programs do at start; false when there is none.
inline bool AttachSkinZip(int id) { return KvUI::AttachSkinResourceZip(GetModuleHandleW(nullptr), id); }

// Records notifications as they arrive.
class Notes : public KvUI::INotifyUI {
public:
    struct Note {
        std::wstring type;
        KvUI::CControlUI* sender;
        WPARAM wParam;
        LPARAM lParam;
    };
    void Notify(KvUI::TUINotify& msg) override {
        notes.push_back(Note{msg.type.GetData(), msg.sender, msg.wParam, msg.lParam});
    }
    // The types in order, without the window's own "windowinit", "windowsize",
    // "setfocus", "killfocus" and "timer".
    std::vector<std::wstring> Types() const {
        std::vector<std::wstring> types;
        for (const Note& note : notes) {
            if (IsNoise(note.type)) continue;
            types.push_back(note.type);
        }
        return types;
    }
    int Count(const std::wstring& type) const {
        int n = 0;
        for (const Note& note : notes) n += note.type == type;
        return n;
    }
    const Note* Last(const std::wstring& type) const {
        for (auto it = notes.rbegin(); it != notes.rend(); ++it) {
            if (it->type == type) return &*it;
        }
        return nullptr;
    }
    void Clear() { notes.clear(); }

    std::vector<Note> notes;

private:
    static bool IsNoise(const std::wstring& type) {
        return type == L"windowinit" || type == L"windowsize" || type == L"setfocus" || type == L"killfocus" ||
               type == L"timer";
    }
};

// What a window paints for WM_PRINTCLIENT: its client area in a 32-bit
// bitmap, row by row, as 0x00RRGGBB. Reaches windows the test does not own,
// such as pop-ups.
struct PrintedClient {
    int width = 0;
    std::vector<DWORD> pixels;
    DWORD At(int x, int y) const {
        return pixels.at(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x));
    }
};

inline PrintedClient PrintClient(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    PrintedClient printed;
    const kvwin::MemoryDib dib(nullptr, client.right, client.bottom);
    if (!dib.Ready()) return printed;
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.dc()), PRF_CLIENT);
    GdiFlush();
    printed.width = dib.width();
    const DWORD* pixels = dib.pixels();
    printed.pixels.assign(pixels, pixels + static_cast<size_t>(dib.width()) * static_cast<size_t>(dib.height()));
    for (DWORD& px : printed.pixels) px &= 0x00FFFFFF;
    return printed;
}

// A borderless top-level window whose messages go through its paint manager,
// as every skinned window's do.
class UiHostWindow : public KvUI::CWindowWnd {
public:
    KvUI::CPaintManagerUI manager;

    UiHostWindow() = default;
    UiHostWindow(const UiHostWindow&) = delete;
    UiHostWindow& operator=(const UiHostWindow&) = delete;
    ~UiHostWindow() override {
        if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    }

    bool Open(int x, int y, int width, int height, DWORD style = WS_POPUP, DWORD exStyle = 0) {
        KvUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
        return CreateEx(nullptr, L"ui test host", style, exStyle, x, y, width, height) != nullptr;
    }

    // Hidden windows get no WM_PAINT: shows the window without activating it
    // and pumps until the tree is laid out and painted.
    bool ShowAndPaint() {
        ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
        InvalidateRect(m_hWnd, nullptr, FALSE);
        UpdateWindow(m_hWnd);
        return PumpUntil([this] {
            RECT rc;
            return !manager.IsUpdateNeeded() && !GetUpdateRect(m_hWnd, &rc, FALSE);
        });
    }

    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return ::SendMessageW(m_hWnd, msg, wParam, lParam); }
    void Move(int x, int y) { Send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
    void Press(int x, int y) { Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Drag(int x, int y) { Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Release(int x, int y) { Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
    // One wheel notch; a positive delta turns it away from the user.
    void Wheel(int x, int y, int delta) {
        POINT pt{x, y};
        ClientToScreen(m_hWnd, &pt);
        Send(WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(pt.x, pt.y));
    }
    void Key(WPARAM vk) { Send(WM_KEYDOWN, vk, 1); }

    // The tree painted into a 32-bit bitmap of the client size, row by row,
    // as 0x00RRGGBB.
    std::vector<DWORD> Pixels() {
        PrintedClient printed = PrintClient(m_hWnd);
        m_pixelsWidth = printed.width;
        return std::move(printed.pixels);
    }
    // A pixel of what Pixels() returned last.
    DWORD PixelAt(const std::vector<DWORD>& pixels, int x, int y) const {
        return pixels.at(static_cast<size_t>(y) * static_cast<size_t>(m_pixelsWidth) + static_cast<size_t>(x));
    }

protected:
    LPCTSTR GetWindowClassName() const override { return L"KvUiTestHost"; }
    UINT GetClassStyle() const override { return CS_DBLCLKS; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) manager.Init(m_hWnd);
        LRESULT lRes = 0;
        if (manager.MessageHandler(msg, wParam, lParam, lRes)) return lRes;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }

private:
    int m_pixelsWidth = 0;
};

}  // namespace kvtest
