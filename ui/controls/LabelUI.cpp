#include "ui/controls/LabelUI.h"

#include <cwchar>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {

CLabelUI::CLabelUI() = default;
CLabelUI::~CLabelUI() = default;

LPCTSTR CLabelUI::GetClass() const { return L"LabelUI"; }

LPVOID CLabelUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"Label")) return static_cast<CLabelUI*>(this);
    return CControlUI::GetInterface(name);
}

UINT CLabelUI::GetControlFlags() const { return IsEnabled() ? UIFLAG_SETCURSOR : 0; }

void CLabelUI::SetText(LPCTSTR text) {
    CControlUI::SetText(text);
    if (!m_autoCalcWidth && !m_autoCalcHeight) return;
    // A label sized to its text must measure the new text, not reuse the old size.
    m_needEstimate = true;
    NeedParentUpdate();
}

void CLabelUI::DoEvent(TUIEvent& event) {
    // A label shows no focus, so gaining or losing it repaints nothing.
    if (event.type == EventSetFocus) {
        m_focused = true;
        return;
    }
    if (event.type == EventKillFocus) {
        m_focused = false;
        return;
    }
    CControlUI::DoEvent(event);
}

void CLabelUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    using namespace attribute;
    if (!name || !value) return;
    if (Is(name, L"align")) {
        if (wcsstr(value, L"left")) m_textStyle &= ~(DT_CENTER | DT_RIGHT);
        if (wcsstr(value, L"center")) m_textStyle = (m_textStyle & ~DT_RIGHT) | DT_CENTER;
        if (wcsstr(value, L"right")) m_textStyle = (m_textStyle & ~DT_CENTER) | DT_RIGHT;
    } else if (Is(name, L"valign")) {
        if (wcsstr(value, L"top"))
            m_textStyle = (m_textStyle & ~(DT_VCENTER | DT_BOTTOM | DT_WORDBREAK)) | DT_SINGLELINE;
        if (wcsstr(value, L"vcenter"))
            m_textStyle = (m_textStyle & ~(DT_BOTTOM | DT_WORDBREAK)) | DT_VCENTER | DT_SINGLELINE;
        if (wcsstr(value, L"bottom"))
            m_textStyle = (m_textStyle & ~(DT_VCENTER | DT_WORDBREAK)) | DT_BOTTOM | DT_SINGLELINE;
    } else if (Is(name, L"endellipsis")) {
        m_textStyle = IsTrue(value) ? (m_textStyle | DT_END_ELLIPSIS) : (m_textStyle & ~DT_END_ELLIPSIS);
    } else if (Is(name, L"wordbreak")) {
        m_textStyle &= ~(DT_EDITCONTROL | DT_WORDBREAK | DT_SINGLELINE);
        m_textStyle |= IsTrue(value) ? (DT_WORDBREAK | DT_EDITCONTROL) : DT_SINGLELINE;
    } else if (Is(name, L"noprefix")) {
        m_textStyle = IsTrue(value) ? (m_textStyle | DT_NOPREFIX) : (m_textStyle & ~DT_NOPREFIX);
    } else if (Is(name, L"font")) {
        SetFont(Int(value));
    } else if (Is(name, L"textcolor")) {
        SetTextColor(Color(value));
    } else if (Is(name, L"disabledtextcolor")) {
        SetDisabledTextColor(Color(value));
    } else if (Is(name, L"textpadding")) {
        SetTextPadding(Rect(value));
    } else if (Is(name, L"showhtml")) {
        SetShowHtml(IsTrue(value));
    } else if (Is(name, L"autocalcwidth")) {
        SetAutoCalcWidth(IsTrue(value));
    } else if (Is(name, L"autocalcheight")) {
        SetAutoCalcHeight(IsTrue(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

SIZE CLabelUI::EstimateSize(SIZE available) {
    if (m_fixedWidth > 0 && m_fixedHeight > 0) return SIZE{GetFixedWidth(), GetFixedHeight()};
    if (available.cx != m_lastAvailable.cx || available.cy != m_lastAvailable.cy) m_needEstimate = true;
    if (!m_needEstimate) return m_estimated;

    const CUIString text = GetText();
    m_needEstimate = false;
    m_lastAvailable = available;
    m_estimated = SIZE{m_fixedWidth, m_fixedHeight};
    // Fonts and text measuring belong to a window.
    if (!m_manager) return m_estimated;

    const RECT padding = ScaledTextPadding();
    const HDC dc = m_manager->GetPaintDC();
    if (m_textStyle & DT_SINGLELINE) {
        if (m_estimated.cy == 0) {
            m_estimated.cy = m_manager->GetFontInfo(m_font)->metrics.tmHeight + 8 + padding.top + padding.bottom;
        }
        if (m_estimated.cx == 0 && m_autoCalcWidth) {
            RECT rc = {0, 0, kMeasureExtent, m_estimated.cy};
            RenderText(dc, rc, text, 0, m_font, (m_textStyle & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
            m_estimated.cx = rc.right - rc.left + padding.left + padding.right;
        }
    } else if (m_estimated.cy == 0 && m_autoCalcHeight) {
        RECT rc = {padding.left, 0, m_estimated.cx - padding.right, kMeasureExtent};
        RenderText(dc, rc, text, 0, m_font, m_textStyle | DT_CALCRECT);
        m_estimated.cy = rc.bottom - rc.top + padding.top + padding.bottom;
    }
    return m_estimated;
}

void CLabelUI::PaintText(HDC dc) {
    TakeDefaultColors();
    const RECT padding = ScaledTextPadding();
    RECT rc = {m_itemRect.left + padding.left, m_itemRect.top + padding.top, m_itemRect.right - padding.right,
               m_itemRect.bottom - padding.bottom};
    const CUIString text = GetText();
    if (text.IsEmpty()) return;
    RenderText(dc, rc, text, IsEnabled() ? m_textColor : m_disabledTextColor, m_font, m_textStyle);
}

bool CLabelUI::GetAutoCalcWidth() const { return m_autoCalcWidth; }
void CLabelUI::SetAutoCalcWidth(bool autoCalc) { m_autoCalcWidth = autoCalc; }
bool CLabelUI::GetAutoCalcHeight() const { return m_autoCalcHeight; }
void CLabelUI::SetAutoCalcHeight(bool autoCalc) { m_autoCalcHeight = autoCalc; }

void CLabelUI::SetTextColor(DWORD color) {
    m_textColor = color;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD color) {
    m_disabledTextColor = color;
    Invalidate();
}

void CLabelUI::SetFont(int index) {
    m_font = index;
    m_needEstimate = true;
    Invalidate();
}

void CLabelUI::SetTextPadding(RECT padding) {
    m_textPadding = padding;
    m_needEstimate = true;
    Invalidate();
}

void CLabelUI::SetShowHtml(bool showHtml) {
    if (m_showHtml == showHtml) return;
    m_showHtml = showHtml;
    m_needEstimate = true;
    Invalidate();
}

void CLabelUI::TakeDefaultColors() {
    if (!m_manager) return;
    if (m_textColor == 0) m_textColor = m_manager->GetDefaultColor2();
    if (m_disabledTextColor == 0) m_disabledTextColor = m_manager->GetDefaultColor1();
}

RECT CLabelUI::ScaledTextPadding() const {
    RECT padding = m_textPadding;
    if (m_manager) m_manager->GetScaler()->ScaleRect(&padding);
    return padding;
}

bool CLabelUI::ForwardMouseWhileDisabled(TUIEvent& event) {
    if (IsMouseEnabled() || event.type < EventMouseFirst || event.type > EventMouseLast) return false;
    if (m_parent) {
        m_parent->DoEvent(event);
    } else {
        CLabelUI::DoEvent(event);
    }
    return true;
}

void CLabelUI::RenderText(HDC dc, RECT& rc, LPCTSTR text, DWORD color, int font, UINT style) {
    if (!m_showHtml) {
        CRenderEngine::DrawText(dc, m_manager, rc, text, color, font, style);
        return;
    }
    int links = 0;
    CRenderEngine::DrawHtmlText(dc, m_manager, rc, text, color, nullptr, nullptr, links, font, style);
}

}  // namespace KvUI
