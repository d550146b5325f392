#include "ui/controls/TextUI.h"

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {

CTextUI::CTextUI() {
    m_textStyle = DT_WORDBREAK;
    m_textPadding = RECT{2, 0, 2, 0};
}

CTextUI::~CTextUI() = default;

LPCTSTR CTextUI::GetClass() const { return L"TextUI"; }

LPVOID CTextUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"Text")) return static_cast<CTextUI*>(this);
    return CLabelUI::GetInterface(name);
}

UINT CTextUI::GetControlFlags() const { return (IsEnabled() && m_linkCount > 0) ? UIFLAG_SETCURSOR : 0; }

int CTextUI::LinkAt(POINT pt) const {
    for (int i = 0; i < m_linkCount; ++i) {
        if (PtInRect(&m_links[i], pt)) return i;
    }
    return -1;
}

void CTextUI::DoEvent(TUIEvent& event) {
    if (ForwardMouseWhileDisabled(event)) return;
    const int link = LinkAt(event.mousePoint);
    switch (event.type) {
        case EventSetCursor:
            if (link >= 0) {
                ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return;
            }
            break;
        case EventButtonDown:
        case EventDblClick:
            if ((event.type == EventButtonDown || IsEnabled()) && link >= 0) {
                Invalidate();
                return;
            }
            break;
        case EventButtonUp:
            if (IsEnabled() && link >= 0) {
                if (m_manager) m_manager->SendNotify(this, L"link", static_cast<WPARAM>(link), 0);
                return;
            }
            break;
        case EventContextMenu:
            return;
        case EventMouseMove:
            if (m_linkCount > 0 && IsEnabled()) {
                if (link != m_hoverLink) {
                    m_hoverLink = link;
                    Invalidate();
                }
                return;
            }
            break;
        case EventMouseLeave:
            if (m_linkCount > 0 && IsEnabled() && m_hoverLink != -1) {
                m_hoverLink = -1;
                Invalidate();
                return;
            }
            break;
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

SIZE CTextUI::EstimateSize(SIZE available) {
    if (m_manager) {
        const CUIString text = GetText();
        const RECT padding = m_textPadding;
        const int width = m_autoCalcWidth ? kMeasureExtent : GetFixedWidth();
        RECT rc = {padding.left, 0, width - padding.right, kMeasureExtent};
        RenderText(m_manager->GetPaintDC(), rc, text, 0, m_font, m_textStyle | DT_CALCRECT);
        if (m_autoCalcWidth) {
            const int measured = rc.right - rc.left + padding.left + padding.right;
            // Kept in skin units: the fixed width is scaled again when read.
            const int percent = m_manager->GetScaler()->GetScale();
            m_fixedWidth = percent > 0 ? measured * 100 / percent : measured;
        }
    }
    return CControlUI::EstimateSize(available);
}

void CTextUI::PaintText(HDC dc) {
    const CUIString text = GetText();
    if (text.IsEmpty()) {
        m_linkCount = 0;
        return;
    }
    TakeDefaultColors();
    RECT rc = {m_itemRect.left + m_textPadding.left, m_itemRect.top + m_textPadding.top,
               m_itemRect.right - m_textPadding.right, m_itemRect.bottom - m_textPadding.bottom};
    const DWORD color = IsEnabled() ? m_textColor : m_disabledTextColor;
    if (!m_showHtml) {
        m_linkCount = 0;
        CRenderEngine::DrawText(dc, m_manager, rc, text, color, m_font, m_textStyle);
        return;
    }
    m_linkCount = kMaxLinks;
    CRenderEngine::DrawHtmlText(dc, m_manager, rc, text, color, m_links, m_linkTexts, m_linkCount, m_font, m_textStyle);
}

}  // namespace KvUI
