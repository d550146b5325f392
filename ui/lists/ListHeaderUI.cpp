#include "ui/lists/ListHeaderUI.h"

#include <algorithm>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/lists/ListHeaderItemUI.h"

namespace KvUI {
namespace {

int Clamp(int value, int min, int max) { return std::min(std::max(value, min), max); }

}  // namespace

CListHeaderUI::CListHeaderUI() = default;
CListHeaderUI::~CListHeaderUI() = default;

LPCTSTR CListHeaderUI::GetClass() const { return L"ListHeaderUI"; }

LPVOID CListHeaderUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"ListHeader")) return static_cast<CListHeaderUI*>(this);
    return CHorizontalLayoutUI::GetInterface(name);
}

SIZE CListHeaderUI::EstimateSize(SIZE available) {
    SIZE size{0, GetFixedHeight()};
    const bool measureHeight = size.cy == 0 && m_manager;
    for (int i = 0; i < OwnCount(); ++i) {
        CControlUI* item = ChildAt(i);
        if (!item->IsVisible()) continue;
        const SIZE itemSize = item->EstimateSize(available);
        size.cx += itemSize.cx;
        if (measureHeight) size.cy = std::max(size.cy, itemSize.cy);
    }
    if (measureHeight) size.cy = std::max<LONG>(size.cy, m_manager->GetDefaultFontInfo()->metrics.tmHeight + 6);
    // Rows are never narrower than the list.
    size.cx = std::max(size.cx, available.cx);
    return size;
}

void CListHeaderUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    if (m_items.empty()) return;
    const RECT inset = GetInset();
    const RECT inner{rc.left + inset.left, rc.top + inset.top, rc.right - inset.right, rc.bottom - inset.bottom};
    const SIZE room{inner.right - inner.left, inner.bottom - inner.top};
    const int childPadding = GetChildPadding();

    int adjustables = 0;
    int fixed = 0;
    int placed = 0;
    for (int i = 0; i < OwnCount(); ++i) {
        CControlUI* item = ChildAt(i);
        if (!item->IsVisible() || item->IsFloat()) continue;
        const RECT pad = item->GetPadding();
        int width = item->EstimateSize(room).cx;
        if (width == 0) {
            ++adjustables;
        } else {
            width = Clamp(width, item->GetMinWidth(), item->GetMaxWidth());
        }
        fixed += width + pad.left + pad.right;
        ++placed;
    }
    fixed += std::max(placed - 1, 0) * childPadding;
    const int shared = adjustables > 0 ? std::max<int>(0, (room.cx - fixed) / adjustables) : 0;

    int scaleBase = rc.right - rc.left;
    if (m_scaleHeader && m_parent) {
        auto* parent = static_cast<CContainerUI*>(m_parent->GetInterface(L"Container"));
        if (const CScrollBarUI* bar = parent ? parent->GetVerticalScrollBar() : nullptr) {
            scaleBase -= bar->GetFixedWidth();
        }
    }

    int x = inner.left;
    int remaining = room.cx;
    int fixedRemaining = fixed;
    int adjusted = 0;
    for (int i = 0; i < OwnCount(); ++i) {
        CControlUI* item = ChildAt(i);
        if (!item->IsVisible()) continue;
        if (item->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const RECT pad = item->GetPadding();
        remaining -= pad.left;
        fixedRemaining -= pad.left + pad.right;
        int width = 0;
        if (m_scaleHeader) {
            const auto* headerItem = static_cast<CListHeaderItemUI*>(item->GetInterface(L"ListHeaderItem"));
            width = headerItem ? headerItem->GetScale() * scaleBase / 100 : item->EstimateSize(room).cx;
        } else {
            width = item->EstimateSize(room).cx;
        }
        if (width != 0) {
            width = Clamp(width, item->GetMinWidth(), item->GetMaxWidth());
            fixedRemaining -= width;
        } else if (++adjusted == adjustables) {
            width = Clamp(std::max<int>(0, remaining - pad.right - fixedRemaining), item->GetMinWidth(),
                          item->GetMaxWidth());
        } else {
            width = Clamp(shared, item->GetMinWidth(), item->GetMaxWidth());
        }
        int height = item->GetFixedHeight();
        if (height == 0) height = std::max<int>(0, room.cy - pad.top - pad.bottom);
        height = Clamp(height, item->GetMinHeight(), item->GetMaxHeight());
        const int left = x + pad.left;
        const int top = inner.top + pad.top;
        item->SetPos(RECT{left, top, left + width, top + height}, false);
        x += width + childPadding + pad.left + pad.right;
        remaining -= width + childPadding + pad.right;
        fixedRemaining -= childPadding;
    }
}

void CListHeaderUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (!name || !value) return;
    if (attribute::Is(name, L"scaleheader")) {
        SetScaleHeader(attribute::IsTrue(value));
        return;
    }
    CHorizontalLayoutUI::SetAttribute(name, value);
}

void CListHeaderUI::SetScaleHeader(bool scale) {
    if (m_scaleHeader == scale) return;
    m_scaleHeader = scale;
    NeedUpdate();
}

}  // namespace KvUI
