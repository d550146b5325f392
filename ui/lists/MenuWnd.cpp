#include "ui/lists/MenuWnd.h"

#include <algorithm>
#include <memory>

#include "ui/core/AttributeValue.h"
#include "ui/core/ShadowUI.h"
#include "ui/lists/MenuElementUI.h"
#include "ui/lists/MenuUI.h"
#include "win/GdiOwners.h"

namespace KvUI {
namespace {

bool IsMenuElement(CControlUI* control) { return control && control->GetInterface(L"MenuElement"); }

HWND TopLevelAncestor(HWND window) {
    HWND top = window;
    while (HWND parent = GetParent(top)) top = parent;
    return top;
}

RECT WorkArea(HMONITOR monitor) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    return info.rcWork;
}

// Moves `rc` inside `area` where it fits; a menu larger than the area keeps
// its top-left corner inside it.
void MoveInside(RECT& rc, const RECT& area) {
    if (rc.right > area.right) OffsetRect(&rc, area.right - rc.right, 0);
    if (rc.left < area.left) OffsetRect(&rc, area.left - rc.left, 0);
    if (rc.bottom > area.bottom) OffsetRect(&rc, 0, area.bottom - rc.bottom);
    if (rc.top < area.top) OffsetRect(&rc, 0, area.top - rc.top);
}

RECT InsetOf(CControlUI* control) {
    const auto* container = control ? static_cast<CContainerUI*>(control->GetInterface(L"Container")) : nullptr;
    return container ? container->GetInset() : RECT{};
}

bool IsRegisteredMenu(HWND window) {
    MenuObserverImpl::Iterator it(GetMenuObserver());
    while (MenuReceiverImpl* receiver = it.next()) {
        const auto* menu = dynamic_cast<CMenuWnd*>(receiver);
        if (menu && menu->GetHWND() == window) return true;
    }
    return false;
}

}  // namespace

CMenuWnd::CMenuWnd() = default;

CMenuWnd::~CMenuWnd() {
    if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
}

LPCTSTR CMenuWnd::GetWindowClassName() const { return L"KvUIMenuWnd"; }

bool CMenuWnd::Init(CMenuElementUI* owner, LPCTSTR skin, POINT point, CPaintManagerUI* mainManager,
                    MenuCheckMap* checks, DWORD alignment) {
    m_basedPoint = point;
    m_owner = owner;
    m_skinId = skin;
    if (skin && !IS_INTRESOURCE(skin)) m_skin = skin;
    m_alignment = alignment;
    m_layout = nullptr;

    MenuObserverImpl& observer = GetMenuObserver();
    if (!owner) {
        observer.SetManager(mainManager);
        if (checks) observer.SetExtraData(checks);
    }
    observer.AddReceiver(this);

    CPaintManagerUI* parentManager = owner ? owner->GetManager() : mainManager;
    const HWND parent = parentManager ? parentManager->GetPaintWindow() : nullptr;
    if (!parent || !Create(parent, nullptr, WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, RECT{})) {
        RemoveObserver();
        return false;
    }
    m_selfOwned = owner != nullptr;
    ::ShowWindow(m_hWnd, SW_SHOW);
    // The application's frame keeps its active look while the pop-up has the focus.
    ::SendMessageW(TopLevelAncestor(m_hWnd), WM_NCACTIVATE, TRUE, 0);
    return true;
}

void CMenuWnd::Close(UINT result) {
    if (!IsWindow(m_hWnd)) return;
    PostMessage(WM_CLOSE, result);
    m_closing = true;
}

int CMenuWnd::Receive(int type, HWND window) {
    if (type == MenuMsgCloseAll) {
        Close(1);
    } else if (type == MenuMsgCloseBelow) {
        for (HWND ancestor = GetParent(m_hWnd); ancestor; ancestor = GetParent(ancestor)) {
            if (ancestor == window) {
                Close(1);
                break;
            }
        }
    }
    return 1;
}

void CMenuWnd::Notify(TUINotify& msg) {
    CPaintManagerUI* mainManager = GetMenuObserver().GetManager();
    if (!mainManager || (msg.type != L"click" && msg.type != L"valuechanged")) return;
    mainManager->SendNotifyRecord(msg, false);
}

CControlUI* CMenuWnd::CreateControl(LPCTSTR className) {
    if (attribute::Is(className, L"Menu")) return new CMenuUI();
    if (attribute::Is(className, L"MenuElement")) return new CMenuElementUI();
    return nullptr;
}

CControlUI* CMenuWnd::GetMenuRoot() const { return m_pm.GetRoot(); }

void CMenuWnd::DestroyMenu() {
    if (MenuCheckMap* checks = GetMenuObserver().GetExtraData()) checks->RemoveAll();
}

// ---- Content ----

LRESULT CMenuWnd::OnCreate() {
    if (m_owner) {
        CreateSubMenuContent();
    } else {
        CreateRootContent();
    }
    auto* menu = m_pm.GetRoot() ? static_cast<CMenuUI*>(m_pm.GetRoot()->GetInterface(L"Menu")) : nullptr;
    if (menu) menu->SetMenuWnd(this);
    return 0;
}

void CMenuWnd::CreateSubMenuContent() {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_STYLE));
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    RECT client;
    GetClientRect(m_hWnd, &client);
    SetWindowPos(m_hWnd, nullptr, client.left, client.top, client.right - client.left, client.bottom - client.top,
                 SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOACTIVATE);

    CPaintManagerUI* ownerManager = m_owner->GetManager();
    m_pm.Init(m_hWnd);
    m_pm.GetScaler()->SetDPI(ownerManager->GetScaler()->GetDPI());

    auto layout = std::make_unique<CMenuUI>();
    m_pm.SetUseSharedResources(true);
    layout->SetManager(&m_pm, nullptr, true);
    if (LPCTSTR defaults = ownerManager->GetDefaultAttributeList(L"Menu")) layout->ApplyAttributeList(defaults);
    // The sub-items stay the element's.
    layout->GetList()->SetAutoDestroy(false);
    for (int i = 0; i < m_owner->OwnCount(); ++i) {
        CControlUI* child = m_owner->ChildAt(i);
        if (!IsMenuElement(child)) continue;
        static_cast<IListItemUI*>(child->GetInterface(L"ListItem"))->SetOwner(layout.get());
        layout->Add(child);
    }

    CShadowUI* shadow = m_pm.GetShadow();
    ownerManager->GetShadow()->CopyShadow(shadow);
    const bool showShadow = shadow->IsShowShadow();
    shadow->ShowShadow(false);
    m_pm.SetLayered(ownerManager->IsLayered());
    m_layout = layout.release();
    m_pm.AttachDialog(m_layout);
    m_pm.AddNotifier(this);
    ResizeSubMenu();
    shadow->ShowShadow(showShadow);
    shadow->Create(&m_pm);
}

void CMenuWnd::CreateRootContent() {
    m_pm.Init(m_hWnd);
    if (CPaintManagerUI* mainManager = GetMenuObserver().GetManager()) {
        m_pm.GetScaler()->SetDPI(mainManager->GetScaler()->GetDPI());
    }
    CDialogBuilder builder;
    CControlUI* root = builder.Create(m_skin.IsEmpty() ? m_skinId : m_skin.GetData(), nullptr, this, &m_pm);
    CShadowUI* shadow = m_pm.GetShadow();
    const bool showShadow = shadow->IsShowShadow();
    shadow->ShowShadow(false);
    // A skin that builds nothing leaves an empty window.
    if (root) m_pm.AttachDialog(root);
    m_pm.AddNotifier(this);
    ResizeMenu();
    shadow->ShowShadow(showShadow);
    shadow->Create(&m_pm);
}

// ---- Placement ----

void CMenuWnd::ResizeMenu() {
    CControlUI* root = m_pm.GetRoot();
    if (!root) return;
    // The monitor the menu opens on: the tray menu opens near the screen's
    // right and bottom edges.
    const RECT work = WorkArea(MonitorFromPoint(m_basedPoint, MONITOR_DEFAULTTONEAREST));
    const SIZE estimated = root->EstimateSize(SIZE{work.right - work.left, work.bottom - work.top});
    m_pm.SetInitSize(estimated.cx, estimated.cy);
    const SIZE size = m_pm.GetInitSize();
    const RECT inset = InsetOf(root);
    const LONG height = size.cy + inset.top + inset.bottom;

    RECT rc{m_basedPoint.x, m_basedPoint.y, m_basedPoint.x + size.cx, m_basedPoint.y + height};
    if (m_alignment & MenuAlignRight) {
        rc.right = m_basedPoint.x;
        rc.left = rc.right - size.cx;
    }
    if (m_alignment & MenuAlignBottom) {
        rc.bottom = m_basedPoint.y;
        rc.top = rc.bottom - height;
    }
    MoveInside(rc, work);

    SetForegroundWindow(m_hWnd);
    MoveWindow(m_hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, FALSE);
    SetWindowPos(m_hWnd, HWND_TOPMOST, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_SHOWWINDOW);
}

void CMenuWnd::ResizeSubMenu() {
    const HWND parentMenu = m_owner->GetManager()->GetPaintWindow();
    RECT ownerPos = m_owner->GetPos();
    // The element's rectangle is in its window's client coordinates; every
    // other rectangle here is on the screen.
    MapWindowPoints(parentMenu, HWND_DESKTOP, reinterpret_cast<POINT*>(&ownerPos), 2);
    const RECT work = WorkArea(MonitorFromWindow(parentMenu, MONITOR_DEFAULTTONEAREST));
    const SIZE available{work.right - work.left, work.bottom - work.top};
    LONG width = 0;
    LONG height = 0;
    for (int i = 0; i < m_owner->OwnCount(); ++i) {
        CControlUI* child = m_owner->ChildAt(i);
        if (!IsMenuElement(child)) continue;
        const SIZE size = child->EstimateSize(available);
        width = std::max(width, size.cx);
        height += size.cy;
    }
    RECT parent;
    GetWindowRect(parentMenu, &parent);

    RECT rc{parent.right, ownerPos.top, parent.right + width + 2, ownerPos.top + height};
    bool reachRight = false;
    bool reachBottom = false;
    MenuObserverImpl::Iterator it(GetMenuObserver());
    while (MenuReceiverImpl* receiver = it.next()) {
        const auto* menu = dynamic_cast<CMenuWnd*>(receiver);
        if (!menu) continue;
        RECT other;
        GetWindowRect(menu->GetHWND(), &other);
        reachRight = other.left >= parent.right;
        reachBottom = other.top >= parent.bottom;
        if (menu->GetHWND() == parentMenu || reachRight || reachBottom) break;
    }
    if (reachBottom) {
        rc.bottom = parent.top;
        rc.top = rc.bottom - height;
    }
    if (reachRight) {
        rc.right = parent.left;
        rc.left = rc.right - width;
    }
    if (rc.bottom > work.bottom) {
        rc.bottom = rc.top;
        rc.top = rc.bottom - height;
    }
    if (rc.right > work.right) {
        rc.right = parent.left;
        rc.left = rc.right - width;
    }
    if (rc.top < work.top) {
        rc.top = ownerPos.top;
        rc.bottom = rc.top + height;
    }
    if (rc.left < work.left) {
        rc.left = parent.right;
        rc.right = rc.left + width;
    }
    const RECT inset = InsetOf(m_layout);
    rc.bottom += inset.top + inset.bottom;
    MoveInside(rc, work);
    MoveWindow(m_hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, FALSE);
}

// ---- Messages ----

void CMenuWnd::OnSize() {
    if (IsIconic(m_hWnd)) return;
    RECT rc;
    GetWindowRect(m_hWnd, &rc);
    const SIZE corner = m_pm.GetRoundCorner();
    kvwin::UniqueRegion region(
        CreateRoundRectRgn(0, 0, rc.right - rc.left + 1, rc.bottom - rc.top + 1, corner.cx, corner.cy));
    // The window owns the region once it is set; only an unused one is freed here.
    if (region && SetWindowRgn(m_hWnd, region.get(), TRUE)) region.release();
}

void CMenuWnd::OnKillFocus(HWND gaining) {
    if (IsRegisteredMenu(gaining)) return;
    GetMenuObserver().RBroadcast(MenuMsgCloseAll, nullptr);
}

void CMenuWnd::ReturnItems() {
    if (m_itemsReturned || !m_owner) return;
    m_itemsReturned = true;
    if (m_layout) m_layout->RemoveAll();
    m_owner->SetManager(m_owner->GetManager(), m_owner->GetParent(), false);
}

LRESULT CMenuWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    // A sub-menu whose items went back to their element has nothing left to show.
    if (m_itemsReturned) return CWindowWnd::HandleMessage(msg, wParam, lParam);
    switch (msg) {
    case WM_CREATE:
        return OnCreate();
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) OnSize();
        break;
    case WM_KILLFOCUS:
        OnKillFocus(reinterpret_cast<HWND>(wParam));
        break;
    case WM_CLOSE:
        if (m_owner) {
            ReturnItems();
            m_owner->SetPos(m_owner->GetPos(), true);
            m_owner->SetFocus();
            return CWindowWnd::HandleMessage(msg, wParam, lParam);
        }
        break;
    case WM_DESTROY:
        ReturnItems();
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE || wParam == VK_LEFT) Close(1);
        break;
    case WM_CONTEXTMENU:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        return 0;
    default:
        break;
    }
    if (m_itemsReturned) return CWindowWnd::HandleMessage(msg, wParam, lParam);
    LRESULT result = 0;
    if (m_pm.MessageHandler(msg, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

void CMenuWnd::OnFinalMessage(HWND) {
    RemoveObserver();
    if (!m_owner) return;
    ReturnItems();
    for (int i = 0; i < m_owner->OwnCount(); ++i) {
        CControlUI* child = m_owner->ChildAt(i);
        if (!IsMenuElement(child)) continue;
        static_cast<IListItemUI*>(child->GetInterface(L"ListItem"))->SetOwner(m_owner->GetParent());
        child->SetVisible(false);
        child->SetInternVisible(false);
    }
    m_owner->m_subMenu = nullptr;
    m_owner->m_buttonState &= ~StatePushed;
    m_owner->Invalidate();
    if (m_selfOwned) delete this;
}

}  // namespace KvUI
