#include "ui/core/WindowWnd.h"

#include "ui/core/PaintManagerUI.h"

namespace KvUI {
namespace {

// Superclassed windows keep their object here, since the system class may use the user data.
constexpr wchar_t kObjectProperty[] = L"WndX";

bool Registered(ATOM atom) { return atom != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS; }

// The object a window of our class was created for. The class is registered
// for the whole process, so anyone may create one without an object: such a
// window simply gets the default procedure.
CWindowWnd* CreationObject(LPARAM lParam) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    return create ? static_cast<CWindowWnd*>(create->lpCreateParams) : nullptr;
}

}  // namespace

bool CWindowWnd::RegisterWindowClass() {
    WNDCLASSW wc = {};
    wc.style = GetClassStyle();
    wc.lpfnWndProc = CWindowWnd::WndProc;
    wc.hInstance = CPaintManagerUI::GetInstance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = GetWindowClassName();
    return Registered(RegisterClassW(&wc));
}

bool CWindowWnd::RegisterSuperclass() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    const HINSTANCE instance = CPaintManagerUI::GetInstance();
    if (!GetClassInfoExW(nullptr, GetSuperClassName(), &wc) &&
        !GetClassInfoExW(instance, GetSuperClassName(), &wc)) {
        return false;
    }
    m_oldWndProc = wc.lpfnWndProc;
    wc.lpfnWndProc = CWindowWnd::ControlProc;
    wc.hInstance = instance;
    wc.lpszClassName = GetWindowClassName();
    return Registered(RegisterClassExW(&wc));
}

HWND CWindowWnd::Create(HWND parent, LPCTSTR name, DWORD style, DWORD exStyle, const RECT& rc, HMENU menu) {
    return CreateEx(parent, name, style, exStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, menu);
}

HWND CWindowWnd::CreateEx(HWND parent, LPCTSTR name, DWORD style, DWORD exStyle, int x, int y, int cx, int cy,
                          HMENU menu) {
    const bool registered = GetSuperClassName() ? RegisterSuperclass() : RegisterWindowClass();
    if (!registered) return nullptr;
    m_hWnd = CreateWindowExW(exStyle, GetWindowClassName(), name, style, x, y, cx, cy, parent, menu,
                             CPaintManagerUI::GetInstance(), this);
    return m_hWnd;
}

void CWindowWnd::Unsubclass() {
    if (!IsWindow(m_hWnd) || !m_subclassed) return;
    SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldWndProc));
    m_oldWndProc = ::DefWindowProcW;
    m_subclassed = false;
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
    if (!IsWindow(m_hWnd)) return;
    ::ShowWindow(m_hWnd, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

UINT CWindowWnd::ShowModal() {
    // The object may delete itself when its window goes: only the handle is used from here on.
    const HWND window = m_hWnd;
    const HWND owner = GetWindow(window, GW_OWNER);
    ::ShowWindow(window, SW_SHOWNORMAL);
    if (owner) EnableWindow(owner, FALSE);

    UINT result = 0;
    bool quit = false;
    WPARAM exitCode = 0;
    MSG msg = {};
    while (IsWindow(window)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            quit = true;
            exitCode = msg.wParam;
            break;
        }
        if (msg.message == WM_CLOSE && msg.hwnd == window) {
            result = static_cast<UINT>(msg.wParam);
            // Before the window dies, so that activation returns to the owner.
            if (owner) {
                EnableWindow(owner, TRUE);
                ::SetFocus(owner);
            }
        }
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (owner) {
        EnableWindow(owner, TRUE);
        ::SetFocus(owner);
    }
    if (quit) PostQuitMessage(static_cast<int>(exitCode));
    return result;
}

void CWindowWnd::Close(UINT result) {
    if (IsWindow(m_hWnd)) ::PostMessageW(m_hWnd, WM_CLOSE, result, 0);
}

void CWindowWnd::CenterWindow() {
    RECT window = {};
    GetWindowRect(m_hWnd, &window);
    const HWND owner = GetWindow(m_hWnd, GW_OWNER);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT area = monitor.rcWork;
    RECT centre = area;
    if (owner) GetWindowRect(owner, &centre);

    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    int x = (centre.left + centre.right) / 2 - width / 2;
    int y = (centre.top + centre.bottom) / 2 - height / 2;
    if (x < area.left) {
        x = area.left;
    } else if (x + width > area.right) {
        x = area.right - width;
    }
    if (y < area.top) {
        y = area.top;
    } else if (y + height > area.bottom) {
        y = area.bottom - height;
    }
    SetWindowPos(m_hWnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The frame is what the window really has around its client area: a skinned
// window answers WM_NCCALCSIZE with no frame at all, which the style's
// AdjustWindowRectEx frame would add to the client instead.
bool CWindowWnd::ResizeClient(int cx, int cy) {
    RECT client = {};
    RECT window = {};
    if (!GetClientRect(m_hWnd, &client) || !GetWindowRect(m_hWnd, &window)) return false;
    const int frameX = (window.right - window.left) - client.right;
    const int frameY = (window.bottom - window.top) - client.bottom;
    const int width = (cx != -1 ? cx : client.right) + frameX;
    const int height = (cy != -1 ? cy : client.bottom) + frameY;
    SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    return true;
}

LRESULT CWindowWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, msg, wParam, lParam);
}

LRESULT CWindowWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, msg, wParam, lParam);
}

LPCTSTR CWindowWnd::GetSuperClassName() const { return nullptr; }
UINT CWindowWnd::GetClassStyle() const { return 0; }

LRESULT CWindowWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(m_oldWndProc, m_hWnd, msg, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND hWnd) { (void)hWnd; }

LRESULT CALLBACK CWindowWnd::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CWindowWnd* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = CreationObject(lParam);
        if (self) {
            self->m_hWnd = hWnd;
            SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (msg == WM_NCDESTROY && self) {
            const LRESULT result = CallWindowProcW(self->m_oldWndProc, hWnd, msg, wParam, lParam);
            SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
            if (self->m_subclassed) self->Unsubclass();
            self->m_hWnd = nullptr;
            self->OnFinalMessage(hWnd);
            return result;
        }
    }
    return self ? self->HandleMessage(msg, wParam, lParam) : DefWindowProcW(hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::ControlProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CWindowWnd* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = CreationObject(lParam);
        if (self) {
            self->m_hWnd = hWnd;
            SetPropW(hWnd, kObjectProperty, self);
        }
    } else {
        self = static_cast<CWindowWnd*>(GetPropW(hWnd, kObjectProperty));
        if (msg == WM_NCDESTROY && self) {
            const LRESULT result = CallWindowProcW(self->m_oldWndProc, hWnd, msg, wParam, lParam);
            if (self->m_subclassed) self->Unsubclass();
            RemovePropW(hWnd, kObjectProperty);
            self->m_hWnd = nullptr;
            self->OnFinalMessage(hWnd);
            return result;
        }
    }
    return self ? self->HandleMessage(msg, wParam, lParam) : DefWindowProcW(hWnd, msg, wParam, lParam);
}

}  // namespace KvUI
