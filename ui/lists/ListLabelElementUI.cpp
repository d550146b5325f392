#include "ui/lists/ListLabelElementUI.h"

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {

CListLabelElementUI::CListLabelElementUI() = default;
CListLabelElementUI::~CListLabelElementUI() = default;

LPCTSTR CListLabelElementUI::GetClass() const { return L"ListLabelElementUI"; }

LPVOID CListLabelElementUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"ListLabelElement")) return static_cast<CListLabelElementUI*>(this);
    return CListElementUI::GetInterface(name);
}

void CListLabelElementUI::DoEvent(TUIEvent& event) {
    const bool mouse = event.type >= EventMouseFirst && event.type <= EventMouseLast;
    if (mouse && !IsMouseEnabled()) {
        if (!ForwardToOwner(event)) CListElementUI::DoEvent(event);
        return;
    }
    if (HandleRowMouse(event)) return;
    CListElementUI::DoEvent(event);
}

SIZE CListLabelElementUI::EstimateSize(SIZE available) {
    if (!m_owner) return SIZE{0, 0};
    SIZE size{GetFixedWidth(), GetFixedHeight()};
    if (size.cy == 0 && m_manager) {
        const TListInfo* info = m_owner->GetListInfo();
        const RECT padding = ScaledTextPadding(*info);
        size.cy = m_manager->GetFontInfo(info->nFont)->metrics.tmHeight + 8 + padding.top + padding.bottom;
    }
    if (size.cx == 0) size.cx = available.cx;
    return size;
}

bool CListLabelElementUI::DoPaint(HDC dc, const RECT&, CControlUI*) {
    DrawItemBk(dc, m_itemRect);
    DrawItemText(dc, m_itemRect);
    return true;
}

void CListLabelElementUI::DrawItemText(HDC dc, const RECT& item) {
    if (!m_owner) return;
    const CUIString text = GetText();
    if (text.IsEmpty()) return;
    const TListInfo* info = m_owner->GetListInfo();
    const RECT padding = ScaledTextPadding(*info);
    RECT rc{item.left + padding.left, item.top + padding.top, item.right - padding.right, item.bottom - padding.bottom};
    const DWORD color = ItemTextColor(*info);
    if (info->bShowHtml) {
        int links = 0;
        CRenderEngine::DrawHtmlText(dc, m_manager, rc, text, color, nullptr, nullptr, links, info->nFont,
                                    info->uTextStyle);
    } else {
        CRenderEngine::DrawText(dc, m_manager, rc, text, color, info->nFont, info->uTextStyle);
    }
}

}  // namespace KvUI
