#include "ui/core/WindowImplBase.h"

#include <windowsx.h>

#include <cwchar>

#include "ui/core/ControlUI.h"
#include "ui/core/RenderGdi.h"

namespace KvUI {
namespace {

// The controls that only show something; in the caption band they drag the window.
constexpr LPCTSTR kStaticClasses[] = {
    L"controlui",         L"textui",         L"labelui",      L"containerui",    L"horizontallayoutui",
    L"verticallayoutui",  L"tablayoutui",    L"childlayoutui", L"dialoglayoutui", L"progresscontainerui",
};

bool IsStaticClass(const CControlUI* control) {
    CUIString name(control->GetClass());
    name.MakeLower();
    for (LPCTSTR staticClass : kStaticClasses) {
        if (name == staticClass) return true;
    }
    return false;
}

void SetVisibleIfPresent(CControlUI* control, bool visible) {
    if (control) control->SetVisible(visible);
}

}  // namespace

KVUI_BEGIN_NOTIFY_MAP(WindowImplBase, CNotifyPump)
KVUI_ON_NOTIFY(L"click", L"", OnClick)
KVUI_END_NOTIFY_MAP()

void WindowImplBase::InitWindow() {}

void WindowImplBase::OnClick(TUINotify& msg) {
    if (!msg.sender) return;
    const CUIString& name = msg.sender->GetName();
    if (name == L"closebtn") {
        Close(1);
    } else if (name == L"minbtn") {
        ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (name == L"maxbtn") {
        ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    } else if (name == L"restorebtn") {
        ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    }
}

bool WindowImplBase::IsInStaticControl(CControlUI* control) {
    if (!control || !IsStaticClass(control)) return false;
    for (CControlUI* parent = control->GetParent(); parent; parent = parent->GetParent()) {
        if (!IsStaticClass(parent)) return false;
    }
    return true;
}

void WindowImplBase::Notify(TUINotify& msg) { NotifyPump(msg); }

LRESULT WindowImplBase::MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool&) {
    if (msg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) return ResponseDefaultKeyEvent(wParam);
    return 0;
}

CControlUI* WindowImplBase::CreateControl(LPCTSTR) { return nullptr; }

LPCTSTR WindowImplBase::QueryControlText(LPCTSTR, int) { return nullptr; }

LPCTSTR WindowImplBase::GetSuperClassName() const { return nullptr; }

UINT WindowImplBase::GetClassStyle() const { return CS_DBLCLKS; }

LRESULT WindowImplBase::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    bool handled = true;
    LRESULT result = 0;
    switch (msg) {
    case WM_CREATE: result = OnCreate(msg, wParam, lParam, handled); break;
    case WM_CLOSE: result = OnClose(msg, wParam, lParam, handled); break;
    case WM_DESTROY: result = OnDestroy(msg, wParam, lParam, handled); break;
    case WM_NCACTIVATE: result = OnNcActivate(msg, wParam, lParam, handled); break;
    case WM_NCCALCSIZE: result = OnNcCalcSize(msg, wParam, lParam, handled); break;
    case WM_NCPAINT: result = OnNcPaint(msg, wParam, lParam, handled); break;
    case WM_NCHITTEST: result = OnNcHitTest(msg, wParam, lParam, handled); break;
    case WM_GETMINMAXINFO: result = OnGetMinMaxInfo(msg, wParam, lParam, handled); break;
    case WM_MOUSEWHEEL: result = OnMouseWheel(msg, wParam, lParam, handled); break;
    case WM_MOUSEHOVER: result = OnMouseHover(msg, wParam, lParam, handled); break;
    case WM_SIZE: result = OnSize(msg, wParam, lParam, handled); break;
    case WM_CHAR: result = OnChar(msg, wParam, lParam, handled); break;
    case WM_SYSCOMMAND: result = OnSysCommand(msg, wParam, lParam, handled); break;
    case WM_KEYDOWN: result = OnKeyDown(msg, wParam, lParam, handled); break;
    case WM_KILLFOCUS: result = OnKillFocus(msg, wParam, lParam, handled); break;
    case WM_SETFOCUS: result = OnSetFocus(msg, wParam, lParam, handled); break;
    case WM_LBUTTONDOWN: result = OnLButtonDown(msg, wParam, lParam, handled); break;
    case WM_LBUTTONUP: result = OnLButtonUp(msg, wParam, lParam, handled); break;
    case WM_MOUSEMOVE: result = OnMouseMove(msg, wParam, lParam, handled); break;
    default: handled = false; break;
    }
    if (handled) return result;

    handled = true;
    result = HandleCustomMessage(msg, wParam, lParam, handled);
    if (handled) return result;
    if (m_pm.MessageHandler(msg, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

void WindowImplBase::OnFinalMessage(HWND) {
    m_pm.RemovePreMessageFilter(this);
    m_pm.RemoveNotifier(this);
    m_pm.ReapObjects(m_pm.GetRoot());
}

CUIString WindowImplBase::GetSkinType() { return CUIString(); }

LPCTSTR WindowImplBase::GetManagerName() { return nullptr; }

bool WindowImplBase::ResponseDefaultKeyEvent(WPARAM key) { return key == VK_ESCAPE; }

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, bool& handled) {
    if (IsIconic(m_hWnd)) {
        handled = false;
        return 0;
    }
    // The skin draws the frame: no active or inactive caption is painted.
    return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM, bool&) { return 0; }

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, bool&) { return 0; }

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool&) {
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(m_hWnd, &pt);
    RECT rc = {};
    GetClientRect(m_hWnd, &rc);

    if (!IsZoomed(m_hWnd)) {
        const RECT box = m_pm.GetSizeBox();
        if (pt.y < rc.top + box.top) {
            if (pt.x < rc.left + box.left) return HTTOPLEFT;
            if (pt.x > rc.right - box.right) return HTTOPRIGHT;
            return HTTOP;
        }
        if (pt.y > rc.bottom - box.bottom) {
            if (pt.x < rc.left + box.left) return HTBOTTOMLEFT;
            if (pt.x > rc.right - box.right) return HTBOTTOMRIGHT;
            return HTBOTTOM;
        }
        if (pt.x < rc.left + box.left) return HTLEFT;
        if (pt.x > rc.right - box.right) return HTRIGHT;
    }

    const RECT caption = m_pm.GetCaptionRect();
    const LONG captionBottom = caption.bottom == -1 ? rc.bottom : caption.bottom;
    if (pt.x >= rc.left + caption.left && pt.x < rc.right - caption.right && pt.y >= caption.top &&
        pt.y < captionBottom) {
        if (IsInStaticControl(m_pm.FindControlAt(pt))) return HTCAPTION;
    }
    return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool&) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT work = monitor.rcWork;
    // Maximised positions are relative to the window's own monitor.
    if (!(monitor.dwFlags & MONITORINFOF_PRIMARY)) OffsetRect(&work, -work.left, -work.top);

    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    const LONG workWidth = work.right - work.left;
    const LONG workHeight = work.bottom - work.top;
    const SIZE maxInfo = m_pm.GetMaxInfo();
    const SIZE minInfo = m_pm.GetMinInfo();
    info->ptMaxPosition = POINT{work.left, work.top};
    info->ptMaxSize = POINT{workWidth, workHeight};
    info->ptMaxTrackSize = POINT{maxInfo.cx ? maxInfo.cx : workWidth, maxInfo.cy ? maxInfo.cy : workHeight};
    info->ptMinTrackSize = POINT{minInfo.cx, minInfo.cy};
    return 0;
}

LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, bool& handled) {
    // The manager lays the tree out for the new size as well.
    handled = false;
    if (IsIconic(m_hWnd)) return 0;
    RECT rc = {};
    GetWindowRect(m_hWnd, &rc);
    const SIZE corner = m_pm.GetRoundCorner();
    UniqueRegion region(CreateRoundRectRgn(0, 0, rc.right - rc.left + 1, rc.bottom - rc.top + 1, corner.cx, corner.cy));
    // The window owns the region once it is set.
    if (region && SetWindowRgn(m_hWnd, region.get(), TRUE)) region.release();
    return 0;
}

LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        ::SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
        return 0;
    }
    const BOOL zoomed = IsZoomed(m_hWnd);
    const LRESULT result = CWindowWnd::HandleMessage(msg, wParam, lParam);
    if (IsZoomed(m_hWnd) != zoomed) {
        // Skins without these buttons are maximised and restored all the same.
        const bool nowZoomed = !zoomed;
        SetVisibleIfPresent(m_pm.FindControl(L"maxbtn"), !nowZoomed);
        SetVisibleIfPresent(m_pm.FindControl(L"restorebtn"), nowZoomed);
    }
    return result;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool&) {
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, GetStyle() | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    m_pm.Init(m_hWnd, GetManagerName());
    m_pm.AddPreMessageFilter(this);

    const CUIString skinType = GetSkinType();
    const CUIString skinFile = GetSkinFile();
    CDialogBuilder builder;
    CControlUI* root =
        skinType.IsEmpty()
            ? builder.Create(skinFile, nullptr, this, &m_pm, nullptr)
            : builder.Create(MAKEINTRESOURCE(_wtoi(skinFile)), skinType, this, &m_pm, nullptr);
    if (!root) {
        // Without its skin the window cannot be shown: say which file, then stop the program.
        const CUIString text = CUIString(L"加载资源文件失败：") + skinFile;
        MessageBoxW(nullptr, text, L"KvUI", MB_ICONHAND);
        ExitProcess(1);
    }
    m_pm.AttachDialog(root);
    m_pm.AddNotifier(this);
    InitWindow();
    return 0;
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LONG WindowImplBase::GetStyle() {
    return static_cast<LONG>(GetWindowLongPtrW(m_hWnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CAPTION));
}

}  // namespace KvUI
