#include "ui/lists/ListTextElementUI.h"

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/ResourceManager.h"

namespace KvUI {

CListTextElementUI::CListTextElementUI() = default;
CListTextElementUI::~CListTextElementUI() = default;

LPCTSTR CListTextElementUI::GetClass() const { return L"ListTextElementUI"; }

LPVOID CListTextElementUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"ListTextElement")) return static_cast<CListTextElementUI*>(this);
    return CListLabelElementUI::GetInterface(name);
}

// The hand over a link needs the set-cursor event, which the window gives
// only to controls that ask for it.
UINT CListTextElementUI::GetControlFlags() const {
    return CListLabelElementUI::GetControlFlags() | (m_linkCount > 0 ? UIFLAG_SETCURSOR : 0);
}

void CListTextElementUI::SetOwner(CControlUI* owner) {
    CListLabelElementUI::SetOwner(owner);
    m_ownerList = owner ? static_cast<IListUI*>(owner->GetInterface(L"IList")) : nullptr;
}

int CListTextElementUI::LinkAt(POINT pt) const {
    for (int i = 0; i < m_linkCount; ++i) {
        if (PtInRect(&m_linkRects[i], pt)) return i;
    }
    return -1;
}

void CListTextElementUI::DoEvent(TUIEvent& event) {
    const bool mouse = event.type >= EventMouseFirst && event.type <= EventMouseLast;
    if (mouse && !IsMouseEnabled()) {
        if (!ForwardToOwner(event)) CListLabelElementUI::DoEvent(event);
        return;
    }
    const int link = LinkAt(event.mousePoint);
    if (event.type == EventSetCursor && link >= 0) {
        ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return;
    }
    if (event.type == EventButtonUp && IsEnabled() && link >= 0) {
        if (m_manager) m_manager->SendNotify(this, L"link", static_cast<WPARAM>(link));
        return;
    }
    if (m_linkCount > 0 && event.type == EventMouseMove && link != m_hoverLink) {
        m_hoverLink = link;
        InvalidateRow();
    }
    if (m_linkCount > 0 && event.type == EventMouseLeave && m_hoverLink >= 0) {
        InvalidateRow();
        m_hoverLink = -1;
    }
    CListLabelElementUI::DoEvent(event);
}

SIZE CListTextElementUI::EstimateSize(SIZE) {
    SIZE size{GetFixedWidth(), GetFixedHeight()};
    if (size.cy != 0 || !m_manager) return size;
    if (!m_ownerList) {
        size.cy = m_manager->GetDefaultFontInfo()->metrics.tmHeight + 8;
        return size;
    }
    const TListInfo* info = m_ownerList->GetListInfo();
    const RECT padding = ScaledTextPadding(*info);
    size.cy = m_manager->GetFontInfo(info->nFont)->metrics.tmHeight + 8 + padding.top + padding.bottom;
    return size;
}

CUIString CListTextElementUI::GetText(int column) const {
    if (column < 0 || column >= static_cast<int>(m_columnTexts.size())) return CUIString();
    const CUIString& text = m_columnTexts[static_cast<size_t>(column)];
    if (!IsResourceText()) return text;
    return CResourceTextRegistry::GetInstance()->GetText(text);
}

void CListTextElementUI::SetText(int column, LPCTSTR text) {
    if (column < 0 || column >= TListInfo::kMaxColumns) return;
    if (static_cast<int>(m_columnTexts.size()) <= column) m_columnTexts.resize(static_cast<size_t>(column) + 1);
    m_columnTexts[static_cast<size_t>(column)] = text ? text : L"";
    InvalidateRow();
}

void CListTextElementUI::DrawItemText(HDC dc, const RECT& item) {
    if (!m_ownerList) return;
    const TListInfo* info = m_ownerList->GetListInfo();
    const DWORD color = ItemTextColor(*info);
    const RECT padding = ScaledTextPadding(*info);
    IListTextCallback* callback = m_ownerList->GetTextCallback();
    m_linkCount = 0;
    for (int i = 0; i < info->nColumns; ++i) {
        const RECT& column = info->rcColumn[i];
        RECT cell{column.left + padding.left, item.top + padding.top, column.right - padding.right,
                  item.bottom - padding.bottom};
        CUIString text;
        if (callback) {
            if (LPCTSTR given = callback->GetItemText(this, m_index, i)) text = given;
        } else {
            text = GetText(i);
        }
        if (info->bShowHtml) {
            // Links of later columns fill the slots the earlier ones left.
            int links = kMaxLinks - m_linkCount;
            CRenderEngine::DrawHtmlText(dc, m_manager, cell, text, color, &m_linkRects[m_linkCount],
                                        &m_linkTexts[m_linkCount], links, info->nFont, info->uTextStyle);
            m_linkCount += links;
        } else {
            CRenderEngine::DrawText(dc, m_manager, cell, text, color, info->nFont, info->uTextStyle);
        }
    }
    for (int i = m_linkCount; i < kMaxLinks; ++i) {
        m_linkRects[i] = RECT{};
        m_linkTexts[i].Empty();
    }
}

}  // namespace KvUI
