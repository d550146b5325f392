#include "ui/lists/TabLayoutUI.h"

#include <algorithm>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"

namespace KvUI {

CTabLayoutUI::CTabLayoutUI() = default;
CTabLayoutUI::~CTabLayoutUI() = default;

LPCTSTR CTabLayoutUI::GetClass() const { return L"TabLayoutUI"; }

LPVOID CTabLayoutUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"TabLayout")) return static_cast<ITabLayoutUI*>(this);
    return CContainerUI::GetInterface(name);
}

bool CTabLayoutUI::Add(CControlUI* control) {
    // The container's own insertion, not this class's AddAt, which would pick the page a second time.
    if (!CContainerUI::AddAt(control, GetCount())) return false;
    if (m_curSel == -1 && control->IsVisible()) {
        m_curSel = GetItemIndex(control);
    } else {
        control->SetVisible(false);
    }
    return true;
}

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
    if (!CContainerUI::AddAt(control, index)) return false;
    if (m_curSel == -1 && control->IsVisible()) {
        m_curSel = GetItemIndex(control);
    } else if (m_curSel != -1 && index <= m_curSel) {
        ++m_curSel;
        control->SetVisible(false);
    } else {
        control->SetVisible(false);
    }
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* control) {
    if (!control) return false;
    const int index = GetItemIndex(control);
    if (!CContainerUI::Remove(control)) return false;
    if (index == m_curSel) {
        if (GetCount() > 0) {
            m_curSel = 0;
            GetItemAt(0)->SetVisible(true);
        } else {
            m_curSel = -1;
        }
        NeedParentUpdate();
    } else if (index < m_curSel) {
        --m_curSel;
    }
    return true;
}

void CTabLayoutUI::RemoveAll() {
    m_curSel = -1;
    CContainerUI::RemoveAll();
    NeedParentUpdate();
}

bool CTabLayoutUI::SelectItemByControl(CControlUI* control) {
    const int index = GetItemIndex(control);
    return index >= 0 && SelectItem(index);
}

bool CTabLayoutUI::SelectItem(int index) {
    if (index < 0 || index >= GetCount()) return false;
    if (index == m_curSel) return true;
    const int previous = m_curSel;
    m_curSel = index;
    ShowSelectedPage();
    SetPos(m_itemRect, true);
    NeedParentUpdate();
    AnnounceSelection(previous);
    return true;
}

CControlUI* CTabLayoutUI::ShowSelectedPage() {
    CControlUI* selected = nullptr;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* page = GetItemAt(i);
        if (i != m_curSel) {
            page->SetVisible(false);
            continue;
        }
        page->SetVisible(true);
        page->SetFocus();
        selected = page;
    }
    return selected;
}

void CTabLayoutUI::AnnounceSelection(int previous) {
    if (!m_manager) return;
    m_manager->SetNextTabControl();
    m_manager->SendNotify(this, L"tabselect", static_cast<WPARAM>(m_curSel), static_cast<LPARAM>(previous));
}

void CTabLayoutUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    const RECT inset = GetInset();
    RECT area = {m_itemRect.left + inset.left, m_itemRect.top + inset.top, m_itemRect.right - inset.right,
                 m_itemRect.bottom - inset.bottom};
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        if (i != m_curSel) continue;

        const RECT padding = child->GetPadding();
        area.left += padding.left;
        area.top += padding.top;
        area.right -= padding.right;
        area.bottom -= padding.bottom;
        const SIZE available = {area.right - area.left, area.bottom - area.top};
        SIZE size = child->EstimateSize(available);
        if (size.cx == 0) size.cx = std::max<LONG>(0, available.cx);
        size.cx = std::min<LONG>(std::max<LONG>(size.cx, child->GetMinWidth()), child->GetMaxWidth());
        if (size.cy == 0) size.cy = std::max<LONG>(0, available.cy);
        size.cy = std::min<LONG>(std::max<LONG>(size.cy, child->GetMinHeight()), child->GetMaxHeight());
        child->SetPos(RECT{area.left, area.top, area.left + size.cx, area.top + size.cy}, true);
    }
}

void CTabLayoutUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (name && value && attribute::Is(name, L"selectedid")) SelectItem(static_cast<int>(wcstol(value, nullptr, 10)));
    CContainerUI::SetAttribute(name, value);
}

}  // namespace KvUI
