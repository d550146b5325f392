#include "ui/lists/ListTextRowBase.h"

#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/ResourceManager.h"

namespace KvUI {

CListTextRowBase::CListTextRowBase() = default;
CListTextRowBase::~CListTextRowBase() = default;

void CListTextRowBase::SetOwner(CControlUI* owner) {
    CListLabelElementUI::SetOwner(owner);
    m_ownerList = owner ? static_cast<IListUI*>(owner->GetInterface(L"IList")) : nullptr;
}

int CListTextRowBase::LinkAt(POINT pt) const {
    for (int i = 0; i < m_linkCount; ++i) {
        if (PtInRect(&m_linkRects[i], pt)) return i;
    }
    return -1;
}

bool CListTextRowBase::HandleLinks(const TUIEvent& event) {
    const int link = LinkAt(event.mousePoint);
    if (event.type == EventSetCursor && link >= 0) {
        ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return true;
    }
    if (event.type == EventButtonUp && IsEnabled() && link >= 0) {
        if (m_manager) m_manager->SendNotify(this, L"link", static_cast<WPARAM>(link));
        return true;
    }
    if (m_linkCount > 0 && event.type == EventMouseMove && link != m_hoverLink) {
        m_hoverLink = link;
        InvalidateRow();
    }
    if (m_linkCount > 0 && event.type == EventMouseLeave && m_hoverLink >= 0) {
        InvalidateRow();
        m_hoverLink = -1;
    }
    return false;
}

SIZE CListTextRowBase::EstimateSize(SIZE) {
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

CUIString CListTextRowBase::GetText(int column) const {
    if (column < 0 || column >= static_cast<int>(m_columnTexts.size())) return CUIString();
    const CUIString& text = m_columnTexts[static_cast<size_t>(column)];
    if (!IsResourceText()) return text;
    return CResourceTextRegistry::GetInstance()->GetText(text);
}

void CListTextRowBase::DrawCellBk(HDC, int, const RECT&) {}
int CListTextRowBase::CellIndent(int) { return 0; }
UINT CListTextRowBase::CellStyle() const { return 0; }

void CListTextRowBase::DrawItemText(HDC dc, const RECT& item) {
    if (!m_ownerList) return;
    const TListInfo* info = m_ownerList->GetListInfo();
    const DWORD color = ItemTextColor(*info);
    const RECT padding = ScaledTextPadding(*info);
    const UINT style = info->uTextStyle | CellStyle();
    IListTextCallback* callback = m_ownerList->GetTextCallback();
    m_linkCount = 0;
    for (int i = 0; i < info->nColumns; ++i) {
        const RECT& column = info->rcColumn[i];
        DrawCellBk(dc, i, RECT{column.left, item.top, column.right, item.bottom});
        RECT cell{column.left + padding.left + CellIndent(i), item.top + padding.top, column.right - padding.right,
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
                                        &m_linkTexts[m_linkCount], links, info->nFont, style);
            m_linkCount += links;
        } else {
            CRenderEngine::DrawText(dc, m_manager, cell, text, color, info->nFont, style);
        }
    }
    for (int i = m_linkCount; i < kMaxLinks; ++i) {
        m_linkRects[i] = RECT{};
        m_linkTexts[i].Empty();
    }
}

}  // namespace KvUI
