#include "ui/controls/ActiveXWnd.h"

#include "ui/controls/ActiveXCtrl.h"
#include "ui/controls/ActiveXUI.h"
#include "ui/core/PaintManagerUI.h"

namespace KvUI {
namespace {

// Drives the caret of a windowed object in a layered window: such a window
// shows only what is printed into it, the system caret included.
constexpr UINT_PTR kCaretTimer = 6553;

}  // namespace

HWND CActiveXWnd::Init(HWND parent, const RECT& rc) {
    return Create(parent, L"UIActiveX", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, rc);
}

LPCTSTR CActiveXWnd::GetWindowClassName() const { return L"ActiveXWnd"; }

LRESULT CActiveXWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    CActiveXUI* const owner = m_site->GetOwner();
    switch (msg) {
    case WM_CREATE:
        if (owner && owner->GetManager() && owner->GetManager()->IsLayered()) {
            ::SetTimer(m_hWnd, kCaretTimer, GetCaretBlinkTime(), nullptr);
        }
        break;
    case WM_TIMER:
        if (wParam == kCaretTimer) {
            OnCaretTimer();
            return 0;
        }
        break;
    case WM_SETFOCUS:
        m_site->SetFocused(true);
        if (!m_site->IsUIActive()) DoVerb(OLEIVERB_UIACTIVATE);
        break;
    case WM_KILLFOCUS:
        m_site->SetFocused(false);
        break;
    case WM_PAINT: {
        // The object paints itself.
        PAINTSTRUCT ps;
        BeginPaint(m_hWnd, &ps);
        EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        if (m_site->GetViewObject()) return 1;
        break;
    case WM_MOUSEACTIVATE: {
        if (!owner || !owner->m_object) break;
        DWORD status = 0;
        owner->m_object->GetMiscStatus(DVASPECT_CONTENT, &status);
        if (status & OLEMISC_NOUIACTIVATE) return 0;
        if (!m_site->IsInPlaceActive()) DoVerb(OLEIVERB_INPLACEACTIVATE);
        break;
    }
    case WM_PRINT:
        return OnPrint(reinterpret_cast<HDC>(wParam));
    default:
        break;
    }
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

void CActiveXWnd::DoVerb(LONG verb) {
    CActiveXUI* const owner = m_site->GetOwner();
    if (!owner || !owner->m_object) return;
    kvwin::CComRef<IOleClientSite> clientSite;
    m_site->QueryInterface(IID_IOleClientSite, clientSite.ReceiveVoid());
    RECT rc = owner->GetPos();
    owner->m_object->DoVerb(verb, nullptr, clientSite.Get(), 0, m_hWnd, &rc);
}

LRESULT CActiveXWnd::OnPrint(HDC dc) {
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    m_site->DrawView(dc, client);

    CActiveXUI* const owner = m_site->GetOwner();
    if (!m_caretVisible || !owner || !owner->GetManager()) return 1;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(0, &info) || !info.hwndCaret) return 1;
    RECT caret = info.rcCaret;
    MapWindowPoints(info.hwndCaret, owner->GetManager()->GetPaintWindow(), reinterpret_cast<POINT*>(&caret), 2);
    RECT inside = {};
    if (!IntersectRect(&inside, &caret, &owner->GetPos())) return 1;
    // The caret in this window's own coordinates, one black pixel wide.
    MapWindowPoints(info.hwndCaret, m_hWnd, reinterpret_cast<POINT*>(&info.rcCaret), 2);
    RECT line = {info.rcCaret.left, info.rcCaret.top, info.rcCaret.left + 1, info.rcCaret.bottom};
    FillRect(dc, &line, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return 1;
}

void CActiveXWnd::OnCaretTimer() {
    CActiveXUI* const owner = m_site->GetOwner();
    if (!owner || !owner->GetManager() || !owner->GetManager()->IsLayered()) return;
    m_caretVisible = !m_caretVisible;
    owner->Invalidate();
}

}  // namespace KvUI
