#include "ui/lists/ListContainerElementUI.h"

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/lists/ListHeaderUI.h"

namespace KvUI {

CListContainerElementUI::CListContainerElementUI() : CListItemCore(static_cast<CControlUI&>(*this)) {}
CListContainerElementUI::~CListContainerElementUI() = default;

LPCTSTR CListContainerElementUI::GetClass() const { return L"ListContainerElementUI"; }

LPVOID CListContainerElementUI::GetInterface(LPCTSTR name) {
    if (!name) return nullptr;
    if (attribute::Is(name, L"ListItem")) return static_cast<IListItemUI*>(this);
    if (attribute::Is(name, L"ListContainerElement")) return static_cast<CListContainerElementUI*>(this);
    return CHorizontalLayoutUI::GetInterface(name);
}

UINT CListContainerElementUI::GetControlFlags() const { return UIFLAG_WANTRETURN; }

bool CListContainerElementUI::Activate() {
    if (!CControlUI::Activate()) return false;
    NotifyActivate();
    return true;
}

void CListContainerElementUI::SetVisible(bool visible) {
    CHorizontalLayoutUI::SetVisible(visible);
    AfterVisibilityChange();
}

// The row's own switch only: its children keep the state they have.
void CListContainerElementUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    AfterEnabledChange();
}

void CListContainerElementUI::SetPos(RECT rc, bool needInvalidate) {
    if (!m_owner) return;
    const int listType = m_owner->GetListType();
    const int width = GetFixedWidth();
    if (listType == kListTypeList && width > 0) {
        // Rows of a fixed width tile a plain list's body, row by row.
        const int perRow = (rc.right - rc.left) / width;
        if (perRow > 0) {
            const int height = rc.bottom - rc.top;
            rc.left += width * (m_index % perRow);
            rc.right = rc.left + width;
            OffsetRect(&rc, 0, -(m_index - m_index / perRow) * height);
        }
    }
    CHorizontalLayoutUI::SetPos(rc, needInvalidate);
    if (listType == kListTypeList || listType == kListTypeTree) AlignChildrenToHeader();
}

void CListContainerElementUI::AlignChildrenToHeader() {
    // Lists and trees are both list controls: their owner part is a list.
    const CListHeaderUI* header = static_cast<IListUI*>(m_owner)->GetHeader();
    if (!header || !header->IsVisible()) return;
    for (int i = 0; i < OwnCount(); ++i) {
        const CControlUI* column = header->GetItemAt(i);
        if (!column) return;
        const RECT& columnPos = column->GetPos();
        if (columnPos.left == 0 && columnPos.right == 0) continue;
        CControlUI* child = ChildAt(i);
        const RECT& pos = child->GetPos();
        child->SetPos(RECT{columnPos.left, pos.top, columnPos.right, pos.bottom}, false);
    }
}

void CListContainerElementUI::DoEvent(TUIEvent& event) {
    const bool mouse = event.type >= EventMouseFirst && event.type <= EventMouseLast;
    if (mouse && !IsMouseEnabled()) {
        if (!ForwardToOwner(event)) CHorizontalLayoutUI::DoEvent(event);
        return;
    }
    const bool enter = event.type == EventKeyDown && event.keyChar == VK_RETURN;
    if ((event.type == EventDblClick || enter) && IsEnabled()) {
        Activate();
        InvalidateRow();
        return;
    }
    if (HandleRowMouse(event)) return;
    if (event.type == EventTimer) {
        if (m_manager) m_manager->SendNotify(this, L"timer", event.wParam, event.lParam);
        return;
    }
    if (event.type == EventContextMenu && IsContextMenuUsed()) {
        if (m_manager) m_manager->SendNotify(this, L"menu", event.wParam, event.lParam);
        return;
    }
    if (!ForwardToOwner(event)) CHorizontalLayoutUI::DoEvent(event);
}

void CListContainerElementUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (!name || !value) return;
    if (attribute::Is(name, L"selected")) {
        Select(attribute::IsTrue(value));
        return;
    }
    CHorizontalLayoutUI::SetAttribute(name, value);
}

bool CListContainerElementUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    DrawItemBk(dc, m_itemRect);
    return CHorizontalLayoutUI::DoPaint(dc, paint, stopControl);
}

void CListContainerElementUI::DrawItemText(HDC, const RECT&) {}

}  // namespace KvUI
