#include "ui/lists/ComboWnd.h"

#include <windowsx.h>

#include <algorithm>
#include <memory>

#include "ui/core/ScrollBarUI.h"
#include "ui/core/ShadowUI.h"
#include "ui/core/VerticalLayoutUI.h"
#include "ui/lists/ComboUI.h"

namespace KvUI {
namespace {

// "Microsoft YaHei", the drop-down's own default font.
constexpr wchar_t kDropDownFont[] = L"\u5FAE\u8F6F\u96C5\u9ED1";

HWND TopLevelAncestor(HWND window) {
    HWND top = window;
    while (HWND parent = GetParent(top)) top = parent;
    return top;
}

RECT WorkAreaAt(const RECT& rc) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromRect(&rc, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcWork;
}

}  // namespace

CComboWnd::~CComboWnd() = default;

LPCTSTR CComboWnd::GetWindowClassName() const { return L"ComboWnd"; }
UINT CComboWnd::GetClassStyle() const { return 0; }

bool CComboWnd::Init(CComboUI* owner) {
    CPaintManagerUI* ownerManager = owner ? owner->GetManager() : nullptr;
    if (!ownerManager) return false;
    m_owner = owner;
    m_oldSel = owner->GetCurSel();
    const SIZE box = owner->GetDropBoxSize();
    const RECT inset = owner->GetDropBoxInset();

    const RECT ownerPos = owner->GetPos();
    RECT rc = ownerPos;
    rc.top = ownerPos.bottom + 3;
    rc.bottom = rc.top + box.cy;
    if (box.cx > 0) rc.right = rc.left + box.cx;
    const SIZE available{rc.right - rc.left, box.cy};
    int needed = inset.top + 4;
    for (int i = 0; i < owner->GetCount(); ++i) {
        CControlUI* item = owner->GetItemAt(i);
        if (item->IsVisible()) needed += item->EstimateSize(available).cy;
    }
    const int height = std::min(needed, static_cast<int>(box.cy));
    rc.bottom = rc.top + height;

    const HWND ownerWindow = ownerManager->GetPaintWindow();
    MapWindowPoints(ownerWindow, HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);
    if (rc.bottom > WorkAreaAt(rc).bottom) {
        // No room below: the drop-down opens upwards, flush with the combo's top.
        rc.left = ownerPos.left;
        rc.right = box.cx > 0 ? rc.left + box.cx : ownerPos.right;
        rc.bottom = ownerPos.top;
        rc.top = rc.bottom - height;
        MapWindowPoints(ownerWindow, HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);
    }

    if (!Create(ownerWindow, nullptr, WS_POPUP, WS_EX_TOOLWINDOW, rc)) return false;
    m_selfOwned = true;
    ::ShowWindow(m_hWnd, SW_SHOW);
    // The owner's frame keeps its active look while the pop-up has the focus.
    ::SendMessageW(TopLevelAncestor(m_hWnd), WM_NCACTIVATE, TRUE, 0);

    // The drop-down's own manager only: the font every window shares stays as it is.
    m_pm.SetUseSharedResources(false);
    m_pm.SetDefaultFont(kDropDownFont, 14, false, false, false, false);
    m_pm.SetUseSharedResources(true);
    return true;
}

LRESULT CComboWnd::OnCreate() {
    m_pm.SetUseSharedResources(true);
    m_pm.Init(m_hWnd);
    m_pm.SetLayered(true);

    auto layout = std::make_unique<CVerticalLayoutUI>();
    layout->SetManager(&m_pm, nullptr, true);
    CPaintManagerUI* ownerManager = m_owner->GetManager();
    if (LPCTSTR defaults = ownerManager->GetDefaultAttributeList(L"VerticalLayout")) {
        layout->ApplyAttributeList(defaults);
    }
    layout->SetInset(RECT{1, 1, 1, 1});
    layout->SetBkColor(0xFFFFFFFF);
    layout->SetBorderColor(0xFFC6C7D2);
    layout->SetBorderSize(1);
    // Closing never frees the items: they are the combo's.
    layout->SetAutoDestroy(false);
    layout->EnableScrollBar(true, false);
    layout->ApplyAttributeList(m_owner->GetDropBoxAttributeList());
    for (int i = 0; i < m_owner->GetCount(); ++i) layout->Add(m_owner->GetItemAt(i));

    ownerManager->GetShadow()->CopyShadow(m_pm.GetShadow());
    m_pm.GetShadow()->ShowShadow(m_owner->IsShowShadow());
    m_layout = layout.release();
    m_pm.AttachDialog(m_layout);
    m_pm.AddNotifier(this);
    return 0;
}

void CComboWnd::Notify(TUINotify& msg) {
    if (msg.type == L"windowinit") EnsureVisible(m_oldSel);
}

void CComboWnd::EnsureVisible(int index) {
    if (!m_owner || !m_layout || m_owner->GetCurSel() < 0) return;
    const CControlUI* item = m_owner->GetItemAt(index);
    if (!item) return;
    const RECT& itemPos = item->GetPos();
    RECT list = m_layout->GetPos();
    if (const CScrollBarUI* bar = m_layout->GetHorizontalScrollBar(); bar && bar->IsVisible()) {
        list.bottom -= bar->GetFixedHeight();
    }
    if (itemPos.top >= list.top && itemPos.bottom < list.bottom) return;
    int dy = 0;
    if (itemPos.top < list.top) dy = itemPos.top - list.top;
    if (itemPos.bottom > list.bottom) dy = itemPos.bottom - list.bottom;
    const SIZE pos = m_layout->GetScrollPos();
    m_layout->SetScrollPos(SIZE{pos.cx, pos.cy + dy});
}

bool CComboWnd::IsHitItem(POINT pt) const {
    CControlUI* control = m_pm.FindControlAt(pt);
    if (!control || control->GetInterface(L"ScrollBar")) return false;
    for (; control; control = control->GetParent()) {
        if (control->GetInterface(L"ListItem")) return true;
    }
    return false;
}

void CComboWnd::ReturnItems() {
    if (m_itemsReturned || !m_owner) return;
    m_itemsReturned = true;
    if (m_layout) m_layout->RemoveAll();
    m_owner->SetManager(m_owner->GetManager(), m_owner->GetParent(), false);
    for (int i = 0; i < m_owner->GetCount(); ++i) m_owner->GetItemAt(i)->SetPos(RECT{}, false);
}

LRESULT CComboWnd::OnKeyDown(WPARAM key) {
    switch (key) {
    case VK_RETURN:
        PostMessage(WM_KILLFOCUS);
        break;
    case VK_ESCAPE:
        m_owner->SelectItem(m_oldSel, true);
        EnsureVisible(m_oldSel);
        PostMessage(WM_KILLFOCUS);
        break;
    default: {
        TUIEvent event;
        event.type = EventKeyDown;
        event.sender = m_owner;
        event.timestamp = GetTickCount();
        event.keyChar = static_cast<TCHAR>(key);
        m_owner->DoEvent(event);
        EnsureVisible(m_owner->GetCurSel());
        break;
    }
    }
    return 0;
}

LRESULT CComboWnd::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    TUIEvent event;
    event.type = EventScrollWheel;
    event.wParam = static_cast<short>(HIWORD(wParam)) < 0 ? SB_LINEDOWN : SB_LINEUP;
    event.lParam = lParam;
    event.timestamp = GetTickCount();
    if (m_owner->IsScrollSelect()) {
        event.sender = m_owner;
        m_owner->DoEvent(event);
        EnsureVisible(m_owner->GetCurSel());
    } else {
        event.sender = m_layout;
        m_layout->DoEvent(event);
    }
    return 0;
}

LRESULT CComboWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The items are back with the combo: this window has nothing left to show.
    if (m_itemsReturned) return CWindowWnd::HandleMessage(msg, wParam, lParam);
    switch (msg) {
    case WM_CREATE:
        return OnCreate();
    case WM_KILLFOCUS:
        if (reinterpret_cast<HWND>(wParam) != m_hWnd) PostMessage(WM_CLOSE);
        break;
    case WM_CLOSE:
        ReturnItems();
        m_owner->SetFocus();
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    case WM_DESTROY:
        ReturnItems();
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    case WM_KEYDOWN:
        return OnKeyDown(wParam);
    case WM_LBUTTONDOWN:
        m_hitItem = IsHitItem(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        break;
    case WM_LBUTTONUP:
        if (m_hitItem && IsHitItem(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) PostMessage(WM_KILLFOCUS);
        m_hitItem = false;
        break;
    case WM_MOUSEWHEEL:
        return OnMouseWheel(wParam, lParam);
    default:
        break;
    }
    LRESULT result = 0;
    if (m_pm.MessageHandler(msg, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

void CComboWnd::OnFinalMessage(HWND) {
    if (m_owner) {
        ReturnItems();
        m_owner->m_window = nullptr;
        m_owner->m_buttonState &= ~StatePushed;
        m_owner->Invalidate();
    }
    if (m_selfOwned) delete this;
}

}  // namespace KvUI
