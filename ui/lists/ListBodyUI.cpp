#include "ui/lists/ListBodyUI.h"

#include <algorithm>

#include "ui/lists/ListHeaderUI.h"
#include "ui/lists/ListUI.h"

namespace KvUI {
namespace {

int Clamp(int value, int min, int max) { return std::min(std::max(value, min), max); }

}  // namespace

CListBodyUI::CListBodyUI(CListUI* owner) : m_owner(owner) {}
CListBodyUI::~CListBodyUI() = default;

int CListBodyUI::GetScrollStepSize() const {
    return m_owner ? m_owner->CContainerUI::GetScrollStepSize() : CVerticalLayoutUI::GetScrollStepSize();
}

void CListBodyUI::SetScrollPos(SIZE pos, bool) {
    int dx = 0;
    int dy = 0;
    if (CScrollBarUI* bar = VisibleVerticalBar()) {
        const int old = bar->GetScrollPos();
        bar->SetScrollPos(pos.cy);
        dy = bar->GetScrollPos() - old;
    }
    if (CScrollBarUI* bar = VisibleHorizontalBar()) {
        const int old = bar->GetScrollPos();
        bar->SetScrollPos(pos.cx);
        dx = bar->GetScrollPos() - old;
    }
    if (dx == 0 && dy == 0) return;
    for (int i = 0; i < OwnCount(); ++i) {
        CControlUI* row = ChildAt(i);
        if (!row->IsVisible() || row->IsFloat()) continue;
        RECT rc = row->GetPos();
        OffsetRect(&rc, -dx, -dy);
        row->SetPos(rc, false);
    }
    Invalidate();
    ScrollColumns(dx);
}

void CListBodyUI::ScrollColumns(int dx) {
    CListHeaderUI* header = m_owner ? m_owner->GetHeader() : nullptr;
    if (!header) return;
    TListInfo* info = m_owner->GetListInfo();
    info->nColumns = std::min(header->GetCount(), TListInfo::kMaxColumns);
    const bool hidden = !header->IsVisible();
    const auto showItems = [header](bool visible) {
        for (int i = 0; i < header->GetCount(); ++i) header->GetItemAt(i)->SetInternVisible(visible);
    };
    if (hidden) showItems(true);
    for (int i = 0; i < info->nColumns; ++i) {
        CControlUI* column = header->GetItemAt(i);
        if (!column->IsVisible() || column->IsFloat()) continue;
        RECT rc = column->GetPos();
        OffsetRect(&rc, -dx, 0);
        column->SetPos(rc, false);
        info->rcColumn[i] = column->GetPos();
    }
    if (hidden) showItems(false);
    if (dx != 0) header->Invalidate();
}

void CListBodyUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    rc = m_itemRect;
    const RECT inset = GetInset();
    RECT inner{rc.left + inset.left, rc.top + inset.top, rc.right - inset.right, rc.bottom - inset.bottom};
    CScrollBarUI* vbar = m_verticalScrollBar.get();
    CScrollBarUI* hbar = VisibleHorizontalBar();
    if ((m_owner && m_owner->IsFixedScrollBar() && vbar) || VisibleVerticalBar()) inner.right -= vbar->GetFixedWidth();
    if (hbar) inner.bottom -= hbar->GetFixedHeight();
    const int count = OwnCount();
    if (count == 0) {
        ProcessScrollBar(inner, 0, 0);
        return;
    }

    SIZE available{inner.right - inner.left, inner.bottom - inner.top};
    if (hbar) available.cx += hbar->GetScrollRange();
    const int childPadding = GetChildPadding();

    // First pass: what the rows of a fixed height take, and how many share the rest.
    m_heights.assign(static_cast<size_t>(count), 0);
    int adjustables = 0;
    int fixedHeight = 0;
    int neededWidth = 0;
    int placed = 0;
    for (int i = 0; i < count; ++i) {
        CControlUI* row = ChildAt(i);
        if (!row->IsVisible() || row->IsFloat()) continue;
        const SIZE est = row->EstimateSize(available);
        const RECT pad = row->GetPadding();
        int height = est.cy;
        if (height == 0) {
            ++adjustables;
        } else {
            height = Clamp(height, row->GetMinHeight(), row->GetMaxHeight());
        }
        m_heights[static_cast<size_t>(i)] = height;
        fixedHeight += height + pad.top + pad.bottom;
        neededWidth = std::max(neededWidth, Clamp(std::max<int>(est.cx, 0), row->GetMinWidth(), row->GetMaxWidth()));
        ++placed;
    }
    fixedHeight += std::max(placed - 1, 0) * childPadding;

    // The header's columns decide how wide the rows are.
    CListHeaderUI* header = m_owner ? m_owner->GetHeader() : nullptr;
    if (header && header->GetCount() > 0) {
        neededWidth = std::max<int>(0, header->EstimateSize(SIZE{inner.right - inner.left, inner.bottom - inner.top}).cx);
        if (hbar) {
            RECT headerPos = header->GetPos();
            headerPos.left = inner.left - hbar->GetScrollPos();
            header->SetPos(headerPos, false);
        }
    }

    const int shared = adjustables > 0 ? std::max<int>(0, (available.cy - fixedHeight) / adjustables) : 0;
    int remainder = adjustables > 0 ? std::max<int>(0, available.cy - fixedHeight - shared * (adjustables - 1)) : 0;
    int y = inner.top - (VisibleVerticalBar() ? VisibleVerticalBar()->GetScrollPos() : 0);
    const int x = inner.left - (hbar ? hbar->GetScrollPos() : 0);
    int neededHeight = 0;
    int adjusted = 0;
    for (int i = 0; i < count; ++i) {
        CControlUI* row = ChildAt(i);
        if (!row->IsVisible()) continue;
        if (row->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const RECT pad = row->GetPadding();
        int height = m_heights[static_cast<size_t>(i)];
        if (height == 0) {
            height = ++adjusted == adjustables ? remainder : shared;
            height = Clamp(height, row->GetMinHeight(), row->GetMaxHeight());
        }
        const int width = Clamp(std::max<int>(neededWidth, available.cx - pad.left - pad.right), row->GetMinWidth(),
                                row->GetMaxWidth());
        const int left = x + pad.left;
        const int top = y + pad.top;
        row->SetPos(RECT{left, top, left + width, top + height}, false);
        y += height + pad.top + pad.bottom + childPadding;
        neededHeight += height + pad.top + pad.bottom;
    }
    neededHeight += std::max(placed - 1, 0) * childPadding;

    if (m_horizontalScrollBar) {
        const int excess = neededWidth - (inner.right - inner.left);
        if (excess > 0) {
            if (!m_horizontalScrollBar->IsVisible()) {
                m_horizontalScrollBar->SetVisible(true);
                m_horizontalScrollBar->SetScrollPos(0);
                inner.bottom -= m_horizontalScrollBar->GetFixedHeight();
            }
            m_horizontalScrollBar->SetScrollRange(excess);
        } else if (m_horizontalScrollBar->IsVisible()) {
            m_horizontalScrollBar->SetVisible(false);
            m_horizontalScrollBar->SetScrollRange(0);
            m_horizontalScrollBar->SetScrollPos(0);
            inner.bottom += m_horizontalScrollBar->GetFixedHeight();
        }
    }

    // Rows of a fixed width tile a plain list: the rows of tiles are what scrolls.
    CControlUI* first = ChildAt(0);
    if (m_owner && m_owner->GetListType() == kListTypeList && first->GetFixedWidth() > 0) {
        const int perRow = (inner.right - inner.left) / first->GetFixedWidth();
        if (perRow > 0) neededHeight = ((count - 1) / perRow + 1) * first->GetFixedHeight();
    }
    ProcessScrollBar(inner, neededWidth, neededHeight);
}

void CListBodyUI::DoEvent(TUIEvent& event) {
    const bool mouse = event.type >= EventMouseFirst && event.type <= EventMouseLast;
    if (mouse && !IsMouseEnabled() && m_owner) {
        m_owner->DoEvent(event);
        return;
    }
    CVerticalLayoutUI::DoEvent(event);
}

}  // namespace KvUI
