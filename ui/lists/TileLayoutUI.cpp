#include "ui/lists/TileLayoutUI.h"

#include <algorithm>

#include "ui/core/AttributeValue.h"

namespace KvUI {
namespace {

// Height a child may take while its row is measured.
constexpr int kMeasureHeight = 9999;

bool IsPlaced(const CControlUI* child) { return child->IsVisible() && !child->IsFloat(); }

SIZE ClampSize(const CControlUI* child, SIZE size) {
    size.cx = std::min<LONG>(std::max<LONG>(size.cx, child->GetMinWidth()), child->GetMaxWidth());
    size.cy = std::min<LONG>(std::max<LONG>(size.cy, child->GetMinHeight()), child->GetMaxHeight());
    return size;
}

}  // namespace

CTileLayoutUI::CTileLayoutUI() = default;
CTileLayoutUI::~CTileLayoutUI() = default;

LPCTSTR CTileLayoutUI::GetClass() const { return L"TileLayoutUI"; }

LPVOID CTileLayoutUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"TileLayout")) return static_cast<CTileLayoutUI*>(this);
    return CContainerUI::GetInterface(name);
}

void CTileLayoutUI::SetItemSize(SIZE size) {
    if (size.cx == m_itemSize.cx && size.cy == m_itemSize.cy) return;
    m_itemSize = size;
    NeedUpdate();
}

void CTileLayoutUI::SetColumns(int columns) {
    if (columns <= 0) return;
    m_columns = columns;
    NeedUpdate();
}

void CTileLayoutUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (!name || !value) return;
    if (attribute::Is(name, L"itemsize")) {
        // Read number by number, never past the end of the text.
        SetItemSize(attribute::Size(value));
    } else if (attribute::Is(name, L"columns")) {
        SetColumns(attribute::Int(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

// The height of the row that starts with child `first`, `placed` children
// having been placed before it.
int CTileLayoutUI::MeasureRow(int first, int placed, int cellWidth, int halfPadding) const {
    int rowHeight = 0;
    const int padding = GetChildPadding();
    for (int i = first, position = placed; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!IsPlaced(child)) continue;
        const bool firstInRow = position % m_columns == 0;
        const bool lastInRow = (position + 1) % m_columns == 0;
        const RECT childPadding = child->GetPadding();
        int available = cellWidth - childPadding.left - childPadding.right;
        available -= (firstInRow || lastInRow) ? halfPadding : padding;
        available = std::min(std::max(available, child->GetMinWidth()), child->GetMaxWidth());
        const SIZE size = ClampSize(child, child->EstimateSize(SIZE{available, kMeasureHeight}));
        rowHeight = std::max<int>(rowHeight, size.cy + childPadding.top + childPadding.bottom);
        ++position;
        if (lastInRow) break;
    }
    return rowHeight;
}

void CTileLayoutUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    const RECT inset = GetInset();
    RECT area = {m_itemRect.left + inset.left, m_itemRect.top + inset.top, m_itemRect.right - inset.right,
                 m_itemRect.bottom - inset.bottom};
    if (m_items.empty()) {
        ProcessScrollBar(area, 0, 0);
        return;
    }
    CScrollBarUI* vbar = VisibleVerticalBar();
    CScrollBarUI* hbar = VisibleHorizontalBar();
    if (vbar) area.right -= vbar->GetFixedWidth();
    if (hbar) area.bottom -= hbar->GetFixedHeight();

    const int areaWidth = area.right - area.left;
    const int itemWidth = Scaled(m_itemSize.cx);
    if (itemWidth > 0) m_columns = std::max(areaWidth / itemWidth, 1);
    const int cellWidth = (hbar ? areaWidth + hbar->GetScrollRange() : areaWidth) / m_columns;
    const int halfPadding = GetChildPadding() / 2;

    const int rowStart = area.left - (hbar ? hbar->GetScrollPos() : 0);
    POINT cursor = {rowStart, area.top - (vbar ? vbar->GetScrollPos() : 0)};
    int rowHeight = 0;
    int placed = 0;
    int needed = 0;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const bool firstInRow = placed % m_columns == 0;
        const bool lastInRow = (placed + 1) % m_columns == 0;
        if (firstInRow) rowHeight = std::max(rowHeight, MeasureRow(i, placed, cellWidth, halfPadding));

        const RECT childPadding = child->GetPadding();
        RECT cell = {cursor.x + childPadding.left + halfPadding, cursor.y + childPadding.top,
                     cursor.x + cellWidth - childPadding.right - halfPadding, cursor.y + rowHeight};
        if (firstInRow) cell.left -= halfPadding;
        if (lastInRow) cell.right += halfPadding;

        SIZE size = child->EstimateSize(SIZE{cell.right - cell.left, cell.bottom - cell.top});
        if (size.cx == 0) size.cx = cell.right - cell.left;
        if (size.cy == 0) size.cy = cell.bottom - cell.top;
        size = ClampSize(child, size);
        RECT pos = {(cell.left + cell.right - size.cx) / 2, (cell.top + cell.bottom - size.cy) / 2, 0, 0};
        pos.right = pos.left + size.cx;
        pos.bottom = pos.top + size.cy;
        child->SetPos(pos, true);

        ++placed;
        if (placed % m_columns == 0) {
            cursor.x = rowStart;
            cursor.y += rowHeight + GetChildPadding();
            rowHeight = 0;
        } else {
            cursor.x += cellWidth;
        }
        needed = cell.bottom - area.top + (vbar ? vbar->GetScrollPos() : 0);
    }
    ProcessScrollBar(area, 0, needed);
}

}  // namespace KvUI
