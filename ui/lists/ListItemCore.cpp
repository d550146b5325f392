#include "ui/lists/ListItemCore.h"

#include "ui/core/ContainerUI.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {

void CListItemCore::SetOwner(CControlUI* owner) {
    m_owner = owner ? static_cast<IListOwnerUI*>(owner->GetInterface(L"IListOwner")) : nullptr;
}

bool CListItemCore::Select(bool select) {
    if (!m_row.IsEnabled()) return false;
    if (m_owner && m_selected) m_owner->UnSelectItem(m_index, true);
    if (select == m_selected) return true;
    m_selected = select;
    if (m_owner) {
        // A row deselected on its own leaves the owner's selection too.
        if (select) {
            m_owner->SelectItem(m_index, false);
        } else {
            m_owner->UnSelectItem(m_index, false);
        }
    }
    InvalidateRow();
    return true;
}

bool CListItemCore::SelectMulti(bool select) {
    if (!m_row.IsEnabled()) return false;
    if (select == m_selected) return true;
    m_selected = select;
    if (m_owner) {
        // The owner's selected set follows the row both ways, so it never
        // names a row that no longer shows as selected.
        if (select) {
            m_owner->SelectMultiItem(m_index, false);
        } else {
            m_owner->UnSelectItem(m_index, false);
        }
    }
    InvalidateRow();
    return true;
}

void CListItemCore::InvalidateRow() {
    if (!m_row.IsVisible()) return;
    CControlUI* parent = m_row.GetParent();
    auto* container = parent ? static_cast<CContainerUI*>(parent->GetInterface(L"Container")) : nullptr;
    CPaintManagerUI* manager = m_row.GetManager();
    if (!container || !manager) {
        m_row.Invalidate();
        return;
    }
    RECT inner = container->GetPos();
    const RECT inset = container->GetInset();
    inner.left += inset.left;
    inner.top += inset.top;
    inner.right -= inset.right;
    inner.bottom -= inset.bottom;
    if (const CScrollBarUI* bar = container->GetVerticalScrollBar(); bar && bar->IsVisible()) {
        inner.right -= bar->GetFixedWidth();
    }
    if (const CScrollBarUI* bar = container->GetHorizontalScrollBar(); bar && bar->IsVisible()) {
        inner.bottom -= bar->GetFixedHeight();
    }
    RECT dirty;
    if (!IntersectRect(&dirty, &m_row.GetPos(), &inner)) return;
    for (CControlUI* ancestor = parent->GetParent(); ancestor; ancestor = ancestor->GetParent()) {
        if (!IntersectRect(&dirty, &dirty, &ancestor->GetPos())) return;
    }
    manager->InvalidateRect(dirty);
}

bool CListItemCore::HandleRowMouse(const TUIEvent& event) {
    const bool enabled = m_row.IsEnabled();
    switch (event.type) {
    case EventButtonDown:
    case EventRButtonDown:
        if (event.type == EventRButtonDown && !(m_owner && m_owner->GetListInfo()->bRSelected)) return false;
        if (!enabled) return true;
        if (event.keyState & UIKEY_CONTROL) {
            SelectMulti(!IsSelected());
        } else {
            Select(true);
        }
        return true;
    case EventButtonUp:
        if (enabled && m_row.GetManager()) m_row.GetManager()->SendNotify(&m_row, L"itemclick");
        return true;
    case EventMouseMove:
        return true;
    case EventMouseEnter:
        if (enabled) {
            m_buttonState |= StateHot;
            InvalidateRow();
        }
        return true;
    case EventMouseLeave:
        if (m_buttonState & StateHot) {
            m_buttonState &= ~StateHot;
            InvalidateRow();
        }
        return true;
    default:
        return false;
    }
}

bool CListItemCore::ForwardToOwner(TUIEvent& event) {
    if (!m_owner) return false;
    m_owner->DoEvent(event);
    return true;
}

void CListItemCore::AfterVisibilityChange() {
    if (m_row.IsVisible() || !m_selected) return;
    m_selected = false;
    if (m_owner) m_owner->SelectItem(-1, false);
}

void CListItemCore::AfterEnabledChange() {
    if (!m_row.IsEnabled()) m_buttonState = 0;
}

void CListItemCore::NotifyActivate() {
    if (CPaintManagerUI* manager = m_row.GetManager()) manager->SendNotify(&m_row, L"itemactivate");
}

DWORD CListItemCore::ItemTextColor(const TListInfo& info) const {
    DWORD color = info.dwTextColor;
    if (m_buttonState & StateHot) color = info.dwHotTextColor;
    if (m_selected) color = info.dwSelectedTextColor;
    if (!m_row.IsEnabled()) color = info.dwDisabledTextColor;
    return color;
}

RECT CListItemCore::ScaledTextPadding(const TListInfo& info) const {
    RECT padding = info.rcTextPadding;
    if (CPaintManagerUI* manager = m_row.GetManager()) manager->GetScaler()->ScaleRect(&padding);
    return padding;
}

void CListItemCore::DrawItemBk(HDC dc, const RECT& item) {
    if (!m_owner) return;
    TListInfo* info = m_owner->GetListInfo();
    const bool enabled = m_row.IsEnabled();
    const bool evenOrPlain = !info->bAlternateBk || m_index % 2 == 0;

    DWORD color = evenOrPlain ? info->dwBkColor : 0;
    if (m_buttonState & StateHot) color = info->dwHotBkColor;
    if (m_selected) color = info->dwSelectedBkColor;
    if (!enabled) color = info->dwDisabledBkColor;
    if (color != 0) CRenderEngine::DrawColor(dc, item, m_row.GetAdjustColor(color));

    const auto drawn = [&](const CUIString& image) { return !image.IsEmpty() && m_row.DrawImage(dc, image); };
    if (!enabled && drawn(info->sDisabledImage)) return;
    if (m_selected && drawn(info->sSelectedImage)) return;
    if ((m_buttonState & StateHot) && drawn(info->sHotImage)) return;

    const CUIString ownImage = m_row.GetBkImage();
    if (!ownImage.IsEmpty()) {
        if (evenOrPlain) m_row.DrawImage(dc, ownImage);
    } else if (evenOrPlain && drawn(info->sBkImage)) {
        return;
    }

    if (info->dwLineColor == 0) return;
    const DWORD line = m_row.GetAdjustColor(info->dwLineColor);
    if (info->bShowRowLine) {
        CRenderEngine::DrawLine(dc, RECT{item.left, item.bottom - 1, item.right, item.bottom - 1}, 1, line);
    }
    if (!info->bShowColumnLine) return;
    for (int i = 0; i < info->nColumns; ++i) {
        const LONG x = info->rcColumn[i].right - 1;
        CRenderEngine::DrawLine(dc, RECT{x, item.top, x, item.bottom}, 1, line);
    }
}

}  // namespace KvUI
