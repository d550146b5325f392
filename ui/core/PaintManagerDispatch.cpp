// The paint manager's message dispatch: raw window messages become control
// events for the control under the mouse, the focused control or a timer's
// owner; keyboard pre-translation (TAB, shortcuts) and the message loop.
#include <windowsx.h>

#include <cwchar>
#include <cwctype>

#include "ui/core/ControlUI.h"
#include "ui/core/PaintManagerProcess.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {

using paintmanager::Process;

namespace {

// Child windows reflect their notifications back to themselves at this offset.
constexpr UINT kReflectOffset = 0x2000;

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

CControlUI* CALLBACK FindControlFromPoint(CControlUI* control, LPVOID data) {
    return PtInRect(&control->GetPos(), *static_cast<const POINT*>(data)) ? control : nullptr;
}

struct ShortcutSearch {
    TCHAR key;
    bool pickNext;
};

// A label passes its shortcut on to the next control that is not a label.
CControlUI* CALLBACK FindShortcut(CControlUI* control, LPVOID data) {
    if (!control->IsVisible()) return nullptr;
    auto* search = static_cast<ShortcutSearch*>(data);
    if (static_cast<TCHAR>(towupper(control->GetShortcut())) == search->key) search->pickNext = true;
    if (search->pickNext && !wcsstr(control->GetClass(), L"LabelUI")) return control;
    return nullptr;
}

bool IsLiveManager(const CPaintManagerUI* manager) {
    return paintmanager::Contains(Process().managers, manager);
}

// The rich edit keeps TAB when its "wanttab" is on.
bool RichEditWantsTab(CControlUI* richEdit) {
    const auto* keeper = static_cast<const IWantTabUI*>(richEdit->GetInterface(L"WantTab"));
    return keeper && keeper->IsWantTab();
}

template <class T>
bool AddNonNull(std::vector<T*>& list, T* item) {
    if (!item) return false;
    list.push_back(item);
    return true;
}

// Offers a message to the filters registered when it arrived. A filter may
// add or remove filters (a closing menu removes itself): the walk goes over a
// copy and skips any filter removed meanwhile.
bool OfferToFilters(const std::vector<IMessageFilterUI*>& filters, UINT msg, WPARAM wParam, LPARAM lParam,
                    LRESULT& result) {
    if (filters.empty()) return false;
    const std::vector<IMessageFilterUI*> snapshot(filters);
    for (IMessageFilterUI* const item : snapshot) {
        if (!paintmanager::Contains(filters, item)) continue;
        bool handled = false;
        const LRESULT filtered = item->MessageHandler(msg, wParam, lParam, handled);
        if (handled) {
            result = filtered;
            return true;
        }
    }
    return false;
}

}  // namespace

// ---- Registration ----

bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) { return AddNonNull(m_preMessageFilters, filter); }
bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
    return paintmanager::RemoveFirst(m_preMessageFilters, filter);
}
bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* filter) { return AddNonNull(m_messageFilters, filter); }
bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* filter) { return paintmanager::RemoveFirst(m_messageFilters, filter); }
bool CPaintManagerUI::AddTranslateAccelerator(ITranslateAccelerator* translator) {
    return AddNonNull(m_translateAccelerators, translator);
}
bool CPaintManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* translator) {
    return paintmanager::RemoveFirst(m_translateAccelerators, translator);
}

void CPaintManagerUI::SetHoverTime(int ms) { m_hoverTime = ms; }
void CPaintManagerUI::SetNoActivate(bool noActivate) { m_noActivate = noActivate; }

// ---- The message loop and pre-translation ----

WORD CPaintManagerUI::MapKeyState() {
    WORD state = 0;
    if (GetKeyState(VK_LBUTTON) < 0) state |= UIKEY_LBUTTON;
    if (GetKeyState(VK_RBUTTON) < 0) state |= UIKEY_RBUTTON;
    if (GetKeyState(VK_SHIFT) < 0) state |= UIKEY_SHIFT;
    if (GetKeyState(VK_CONTROL) < 0) state |= UIKEY_CONTROL;
    if (GetKeyState(VK_MENU) < 0) state |= UIKEY_ALT;
    return state;
}

void CPaintManagerUI::MessageLoop() {
    MSG msg = {};
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) return;  // WM_QUIT, or the queue is unusable
        if (CPaintManagerUI::TranslateMessage(&msg)) continue;
        ::TranslateMessage(&msg);
        try {
            DispatchMessageW(&msg);
        } catch (...) {
            // A failing handler must not take the whole program down.
        }
    }
}

bool CPaintManagerUI::TranslateMessage(const MSG* msg) {
    LRESULT lRes = 0;
    const std::vector<CPaintManagerUI*>& managers = Process().managers;
    const LONG_PTR style = GetWindowLongPtrW(msg->hwnd, GWL_STYLE);
    if ((style & WS_CHILD) == 0) {
        for (CPaintManagerUI* const manager : managers) {
            if (manager->GetPaintWindow() != msg->hwnd) continue;
            return manager->TranslateAccelerator(const_cast<MSG*>(msg)) ||
                   manager->PreMessageHandler(msg->message, msg->wParam, msg->lParam, lRes);
        }
        return false;
    }
    const HWND parent = ::GetParent(msg->hwnd);
    for (size_t i = 0; i < managers.size(); ++i) {
        CPaintManagerUI* const manager = managers[i];
        for (HWND ancestor = parent; ancestor; ancestor = ::GetParent(ancestor)) {
            const HWND paintWnd = manager->GetPaintWindow();
            if (msg->hwnd != paintWnd && ancestor != paintWnd) continue;
            if (manager->TranslateAccelerator(const_cast<MSG*>(msg))) return true;
            manager->PreMessageHandler(msg->message, msg->wParam, msg->lParam, lRes);
            // A handler may have closed a window and so destroyed its manager.
            if (!IsLiveManager(manager)) break;
        }
    }
    return false;
}

bool CPaintManagerUI::TranslateAccelerator(MSG* msg) {
    for (size_t i = 0; i < m_translateAccelerators.size(); ++i) {
        if (m_translateAccelerators[i]->TranslateAccelerator(msg) == 0) return true;
    }
    return false;
}

bool CPaintManagerUI::IsTabKeptByFocus() const {
    if (!m_focus) return false;
    LPCTSTR className = m_focus->GetClass();
    if (wcsstr(className, L"WkeWebkitUI")) return true;
    return m_focus->IsVisible() && m_focus->IsEnabled() && wcscmp(className, L"RichEdit") == 0 &&
           RichEditWantsTab(m_focus);
}

bool CPaintManagerUI::PreMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
    if (OfferToFilters(m_preMessageFilters, msg, wParam, lParam, lRes)) return true;
    switch (msg) {
    case WM_KEYDOWN:
        if (wParam != VK_TAB) return false;
        if (IsTabKeptByFocus()) return false;
        SetNextTabControl(GetKeyState(VK_SHIFT) >= 0);
        return true;
    case WM_SYSKEYDOWN:
        if (m_focus) {
            TUIEvent event = MakeEvent(EventSysKey, nullptr);
            event.keyChar = static_cast<TCHAR>(wParam);
            m_focus->Event(event);
        }
        return false;
    case WM_SYSCHAR: {
        if (!m_root) return false;
        ShortcutSearch search{static_cast<TCHAR>(towupper(static_cast<wint_t>(wParam))), false};
        // In tree order, so that "the next control" after a label is the one that follows it.
        CControlUI* control = m_root->FindControl(FindShortcut, &search, UIFIND_ENABLED | UIFIND_ME_FIRST);
        if (!control) return false;
        control->SetFocus();
        control->Activate();
        return true;
    }
    default:
        return false;
    }
}

// ---- Dispatch ----

TUIEvent CPaintManagerUI::MakeEvent(int type, CControlUI* sender, WPARAM wParam, LPARAM lParam) const {
    TUIEvent event;
    event.type = type;
    event.sender = sender;
    event.timestamp = GetTickCount();
    event.mousePoint = m_lastMousePos;
    event.keyState = MapKeyState();
    event.wParam = wParam;
    event.lParam = lParam;
    return event;
}

CControlUI* CPaintManagerUI::FindControlAt(POINT pt) const {
    if (!m_root) return nullptr;
    return m_root->FindControl(FindControlFromPoint, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintManagerUI::FindControlOfThisManager(POINT pt) const {
    CControlUI* control = FindControlAt(pt);
    return (control && control->GetManager() == this) ? control : nullptr;
}

bool CPaintManagerUI::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
    if (!m_paintWnd) return false;

    if (OfferToFilters(m_messageFilters, msg, wParam, lParam, lRes)) {
        if (msg >= WM_MOUSEMOVE && msg <= WM_LBUTTONDBLCLK) {
            m_lastMousePos = PointOf(lParam);
        } else if (msg == WM_MOUSEWHEEL || msg == WM_CONTEXTMENU) {
            POINT pt = PointOf(lParam);
            ::ScreenToClient(m_paintWnd, &pt);
            m_lastMousePos = pt;
        }
        return true;
    }

    if (m_layered) {
        switch (msg) {
        case WM_NCCALCSIZE:
        case WM_NCPAINT:
            lRes = 0;
            return true;
        case WM_NCACTIVATE:
            if (IsIconic(m_paintWnd)) break;
            lRes = (wParam == 0) ? TRUE : FALSE;
            return true;
        default:
            break;
        }
    }
    return HandleMessage(msg, wParam, lParam, lRes);
}

bool CPaintManagerUI::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
    switch (msg) {
    case WM_CLOSE: {
        if (m_eventHover) {
            TUIEvent event = MakeEvent(EventMouseLeave, m_eventHover);
            m_eventHover->Event(event);
        }
        if (m_eventClick) {
            TUIEvent event = MakeEvent(EventButtonUp, m_eventClick);
            m_eventClick->Event(event);
        }
        SetFocus(nullptr);
        if (::GetActiveWindow() == m_paintWnd) {
            if (const HWND owner = GetWindow(m_paintWnd, GW_OWNER)) ::SetFocus(owner);
        }
        if (m_tooltipWnd) DestroyWindow(m_tooltipWnd);
        m_tooltipWnd = nullptr;
        return false;
    }
    case WM_ERASEBKGND:
        lRes = 1;
        return true;
    case WM_PAINT:
        return OnPaint();
    case WM_PRINTCLIENT:
        OnPrintClient(reinterpret_cast<HDC>(wParam), lParam);
        return false;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (m_minInfo.cx > 0) info->ptMinTrackSize.x = m_minInfo.cx;
        if (m_minInfo.cy > 0) info->ptMinTrackSize.y = m_minInfo.cy;
        if (m_maxInfo.cx > 0) info->ptMaxTrackSize.x = info->ptMaxSize.x = m_maxInfo.cx;
        if (m_maxInfo.cy > 0) info->ptMaxTrackSize.y = info->ptMaxSize.y = m_maxInfo.cy;
        return false;
    }
    case WM_SIZE:
        if (m_focus) {
            TUIEvent event = MakeEvent(EventWindowSize, m_focus);
            m_focus->Event(event);
        }
        if (m_root) m_root->NeedUpdate();
        return true;
    case WM_TIMER:
        for (size_t i = 0; i < m_timers.size(); ++i) {
            const TUITimer* timer = m_timers[i].get();
            if (timer->window != m_paintWnd || timer->windowTimerId != LOWORD(wParam) || timer->killed) continue;
            TUIEvent event = MakeEvent(EventTimer, timer->control, timer->localId, lParam);
            timer->control->Event(event);
            break;
        }
        return false;
    case WM_MOUSEHOVER:
        return OnMouseHover(wParam, lParam);
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return false;
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, lParam);
        return false;
    case WM_LBUTTONDOWN:
        OnButtonDown(EventButtonDown, wParam, lParam);
        return false;
    case WM_LBUTTONDBLCLK: {
        if (!m_noActivate) ::SetFocus(m_paintWnd);
        m_lastMousePos = PointOf(lParam);
        CControlUI* control = FindControlOfThisManager(m_lastMousePos);
        if (!control) return false;
        SetCapture();
        TUIEvent event = MakeEvent(EventDblClick, control, wParam, lParam);
        event.keyState = LOWORD(wParam);
        m_eventClick = control;
        control->Event(event);
        return false;
    }
    case WM_LBUTTONUP: {
        m_lastMousePos = PointOf(lParam);
        CControlUI* control = m_eventClick;
        if (!control) return false;
        ReleaseCapture();
        m_eventClick = nullptr;
        TUIEvent event = MakeEvent(EventButtonUp, control, wParam, lParam);
        event.keyState = LOWORD(wParam);
        control->Event(event);
        return false;
    }
    case WM_RBUTTONDOWN:
        OnButtonDown(EventRButtonDown, wParam, lParam);
        return false;
    case WM_RBUTTONUP:
        OnButtonUp(EventRButtonUp, wParam, lParam);
        return false;
    case WM_MBUTTONDOWN:
        OnButtonDown(EventMButtonDown, wParam, lParam);
        return false;
    case WM_MBUTTONUP:
        OnButtonUp(EventMButtonUp, wParam, lParam);
        return false;
    case WM_CONTEXTMENU: {
        if (!m_root) return false;
        POINT pt = PointOf(lParam);
        ::ScreenToClient(m_paintWnd, &pt);
        m_lastMousePos = pt;
        CControlUI* control = m_eventClick;
        if (!control) return false;
        ReleaseCapture();
        TUIEvent event = MakeEvent(EventContextMenu, control, wParam, reinterpret_cast<LPARAM>(control));
        event.keyState = LOWORD(wParam);
        control->Event(event);
        m_eventClick = nullptr;
        return false;
    }
    case WM_MOUSEWHEEL: {
        if (!m_root) return false;
        POINT pt = PointOf(lParam);
        ::ScreenToClient(m_paintWnd, &pt);
        m_lastMousePos = pt;
        CControlUI* control = FindControlOfThisManager(pt);
        if (!control) return false;
        const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        TUIEvent event = MakeEvent(EventScrollWheel, control, delta < 0 ? 1 : 0, lParam);
        control->Event(event);
        // The content may have scrolled under the cursor: let hover follow it.
        ::SendMessageW(m_paintWnd, WM_MOUSEMOVE, 0, MAKELPARAM(m_lastMousePos.x, m_lastMousePos.y));
        return false;
    }
    case WM_SETCURSOR: {
        if (!m_root || LOWORD(lParam) != HTCLIENT) return false;
        if (m_captured) return true;
        POINT pt = {};
        GetCursorPos(&pt);
        ::ScreenToClient(m_paintWnd, &pt);
        CControlUI* control = FindControlOfThisManager(pt);
        if (!control || (control->GetControlFlags() & UIFLAG_SETCURSOR) == 0) return false;
        TUIEvent event = MakeEvent(EventSetCursor, control, wParam, lParam);
        event.mousePoint = pt;
        control->Event(event);
        return true;
    }
    case WM_SETFOCUS:
        if (m_focus) {
            TUIEvent event = MakeEvent(EventSetFocus, m_focus, wParam, lParam);
            m_focus->Event(event);
        }
        return false;
    case WM_KILLFOCUS:
        if (m_captured) ReleaseCapture();
        return false;
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a menu, a drag, a system dialog): the
        // cursor no longer belongs to this tree, or it would stay stuck.
        if (reinterpret_cast<HWND>(lParam) != m_paintWnd) {
            m_captured = false;
            m_dragPending = false;
        }
        return false;
    case WM_KEYDOWN: {
        if (!m_root || !m_focus) return false;
        CControlUI* control = m_focus;
        m_eventKey = control;
        TUIEvent event = MakeEvent(EventKeyDown, control, wParam, lParam);
        event.keyChar = static_cast<TCHAR>(wParam);
        control->Event(event);
        return false;
    }
    case WM_KEYUP: {
        if (!m_root || !m_eventKey) return false;
        CControlUI* control = m_eventKey;
        m_eventKey = nullptr;
        TUIEvent event = MakeEvent(EventKeyUp, control, wParam, lParam);
        event.keyChar = static_cast<TCHAR>(wParam);
        control->Event(event);
        return false;
    }
    case WM_CHAR: {
        if (!m_root || !m_focus) return false;
        TUIEvent event = MakeEvent(EventChar, m_focus, wParam, lParam);
        event.keyChar = static_cast<TCHAR>(wParam);
        m_focus->Event(event);
        return false;
    }
    case WM_NOTIFY: {
        if (!lParam) return false;
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        lRes = ::SendMessageW(header->hwndFrom, msg + kReflectOffset, wParam, lParam);
        return true;
    }
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (!lParam) return false;
        lRes = ::SendMessageW(reinterpret_cast<HWND>(lParam), msg + kReflectOffset, wParam, lParam);
        return lRes != 0;
    case UIMSG_ASYNC_NOTIFY:
        OnAsyncNotify();
        return false;
    default:
        return false;
    }
}

void CPaintManagerUI::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    if (!m_mouseTracking) {
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof track;
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = m_paintWnd;
        track.dwHoverTime = m_tooltipWnd
                                ? static_cast<DWORD>(::SendMessageW(m_tooltipWnd, TTM_GETDELAYTIME, TTDT_INITIAL, 0))
                                : static_cast<DWORD>(m_hoverTime);
        TrackMouseEvent(&track);
        m_mouseTracking = true;
    }
    const POINT pt = PointOf(lParam);
    const bool moved = pt.x != m_lastMousePos.x || pt.y != m_lastMousePos.y;
    m_lastMousePos = pt;

    CControlUI* control = FindControlAt(pt);
    if (control && control->GetManager() != this) return;
    if (moved && m_dragPending && wParam == MK_LBUTTON) {
        StartDrag();
        return;
    }
    if (!m_captured) {
        control = FindControlAt(pt);
        if (control && control->GetManager() != this) return;
        if (control != m_eventHover && m_eventHover) {
            CControlUI* leaving = m_eventHover;
            m_eventHover = nullptr;
            TUIEvent event = MakeEvent(EventMouseLeave, leaving, wParam, lParam);
            leaving->Event(event);
            if (m_tooltipWnd) ::SendMessageW(m_tooltipWnd, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_toolTip));
        }
        if (control != m_eventHover && control) {
            TUIEvent event = MakeEvent(EventMouseEnter, control, wParam, lParam);
            m_eventHover = control;
            control->Event(event);
        }
    }
    CControlUI* target = m_eventClick ? m_eventClick : control;
    if (!target) return;
    TUIEvent event = MakeEvent(EventMouseMove, target, wParam, lParam);
    target->Event(event);
}

bool CPaintManagerUI::OnMouseHover(WPARAM wParam, LPARAM lParam) {
    m_mouseTracking = false;
    const POINT pt = PointOf(lParam);
    CControlUI* control = FindControlAt(pt);
    if (!control) return false;
    if (m_eventHover) {
        TUIEvent event = MakeEvent(EventMouseHover, m_eventHover, wParam, lParam);
        event.mousePoint = pt;
        m_eventHover->Event(event);
    }
    ShowToolTip(control);
    return true;
}

void CPaintManagerUI::OnMouseLeave() {
    if (m_tooltipWnd) ::SendMessageW(m_tooltipWnd, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_toolTip));
    if (m_mouseTracking) {
        POINT pt = {};
        RECT window = {};
        GetCursorPos(&pt);
        GetWindowRect(m_paintWnd, &window);
        LPARAM where = static_cast<LPARAM>(-1);
        if (!IsIconic(m_paintWnd) && ::GetActiveWindow() == m_paintWnd && PtInRect(&window, pt) &&
            ::SendMessageW(m_paintWnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)) == HTCLIENT) {
            ::ScreenToClient(m_paintWnd, &pt);
            where = MAKELPARAM(pt.x, pt.y);
        }
        ::SendMessageW(m_paintWnd, WM_MOUSEMOVE, 0, where);
    }
    m_mouseTracking = false;
}

void CPaintManagerUI::OnButtonDown(int eventType, WPARAM wParam, LPARAM lParam) {
    if (!m_noActivate) ::SetFocus(m_paintWnd);
    if (!m_root) return;
    m_lastMousePos = PointOf(lParam);
    CControlUI* control = FindControlOfThisManager(m_lastMousePos);
    if (!control) return;

    if (eventType == EventButtonDown) {
        if (control->IsDragEnabled()) {
            m_dragPending = true;
            m_dragBitmap.reset(CRenderEngine::GenerateBitmap2(this, control, control->GetPos()));
        }
        SetCapture();
        m_eventClick = control;
        control->SetFocus();
    } else {
        control->SetFocus();
        SetCapture();
        m_eventClick = control;
    }
    // The focus change may have destroyed the control.
    if (m_eventClick != control) return;
    TUIEvent event = MakeEvent(eventType, control, wParam, lParam);
    if (eventType == EventButtonDown) event.keyState = LOWORD(wParam);
    control->Event(event);
}

void CPaintManagerUI::OnButtonUp(int eventType, WPARAM wParam, LPARAM lParam) {
    m_lastMousePos = PointOf(lParam);
    // Like the left button: only a control of this window gets the release.
    m_eventClick = FindControlOfThisManager(m_lastMousePos);
    if (!m_eventClick) {
        // Released away from any control: the press's capture must not outlive it.
        if (m_captured) ReleaseCapture();
        return;
    }
    ReleaseCapture();
    TUIEvent event = MakeEvent(eventType, m_eventClick, wParam, lParam);
    m_eventClick->Event(event);
}

void CPaintManagerUI::ShowToolTip(CControlUI* control) {
    m_toolTipText = control->GetToolTip();
    if (m_toolTipText.IsEmpty()) return;
    m_toolTip = {};
    m_toolTip.cbSize = sizeof m_toolTip;
    m_toolTip.uFlags = TTF_IDISHWND;
    m_toolTip.hwnd = m_paintWnd;
    m_toolTip.uId = reinterpret_cast<UINT_PTR>(m_paintWnd);
    m_toolTip.hinst = GetInstance();
    m_toolTip.lpszText = const_cast<LPTSTR>(m_toolTipText.GetData());
    m_toolTip.rect = control->GetPos();
    if (!m_tooltipWnd) {
        m_tooltipWnd = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_paintWnd,
                                       nullptr, GetInstance(), nullptr);
        if (!m_tooltipWnd) return;
        ::SendMessageW(m_tooltipWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_toolTip));
        ::SendMessageW(m_tooltipWnd, TTM_SETMAXTIPWIDTH, 0, control->GetToolTipWidth());
    }
    if (!IsWindowVisible(m_tooltipWnd)) {
        ::SendMessageW(m_tooltipWnd, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m_toolTip));
        ::SendMessageW(m_tooltipWnd, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_toolTip));
    }
}

}  // namespace KvUI
