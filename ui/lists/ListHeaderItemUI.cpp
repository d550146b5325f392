#include "ui/lists/ListHeaderItemUI.h"

#include <cwchar>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {
namespace {

// How far outside the separator a press still grabs it.
constexpr int kGrabMargin = 4;

bool IsMouseEvent(int type) { return type >= EventMouseFirst && type <= EventMouseLast; }

}  // namespace

CListHeaderItemUI::CListHeaderItemUI() { SetMinWidth(16); }
CListHeaderItemUI::~CListHeaderItemUI() = default;

LPCTSTR CListHeaderItemUI::GetClass() const { return L"ListHeaderItemUI"; }

LPVOID CListHeaderItemUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"ListHeaderItem")) return static_cast<CListHeaderItemUI*>(this);
    return CContainerUI::GetInterface(name);
}

UINT CListHeaderItemUI::GetControlFlags() const { return IsEnabled() && m_sepWidth != 0 ? UIFLAG_SETCURSOR : 0; }

void CListHeaderItemUI::SetEnabled(bool enabled) {
    CContainerUI::SetEnabled(enabled);
    if (!IsEnabled()) m_buttonState = 0;
}

RECT CListHeaderItemUI::GetThumbRect() const {
    const RECT& rc = m_itemRect;
    if (m_sepWidth >= 0) return RECT{rc.right - m_sepWidth, rc.top, rc.right, rc.bottom};
    return RECT{rc.left, rc.top, rc.left - m_sepWidth, rc.bottom};
}

RECT CListHeaderItemUI::GetDragRect() const {
    RECT rc = GetThumbRect();
    if (m_sepWidth >= 0) {
        rc.left -= kGrabMargin;
    } else {
        rc.right += kGrabMargin;
    }
    return rc;
}

void CListHeaderItemUI::DoEvent(TUIEvent& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_parent) {
            m_parent->DoEvent(event);
        } else {
            CContainerUI::DoEvent(event);
        }
        return;
    }
    if (event.type == EventSetFocus || event.type == EventKillFocus) Invalidate();
    const RECT grab = GetDragRect();
    const bool onSeparator = PtInRect(&grab, event.mousePoint) != FALSE;
    switch (event.type) {
    case EventButtonDown:
    case EventDblClick:
        if (!IsEnabled()) break;
        if (onSeparator) {
            if (m_dragable) {
                m_buttonState |= StateCaptured;
                m_lastMouse = event.mousePoint;
            }
            return;
        }
        m_buttonState |= StatePushed;
        if (m_manager) m_manager->SendNotify(this, L"headerclick");
        Invalidate();
        return;
    case EventButtonUp:
        if (m_buttonState & StateCaptured) {
            m_buttonState &= ~StateCaptured;
            if (m_parent) m_parent->NeedParentUpdate();
        } else if (m_buttonState & StatePushed) {
            m_buttonState &= ~StatePushed;
            Invalidate();
        }
        return;
    case EventMouseMove:
        if (m_buttonState & StateCaptured) DragTo(event.mousePoint);
        return;
    case EventSetCursor:
        if (!IsEnabled() || !m_dragable || !onSeparator) break;
        ::SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
        return;
    case EventMouseEnter:
    case EventMouseLeave:
        if (!IsEnabled()) break;
        m_buttonState = event.type == EventMouseEnter ? (m_buttonState | StateHot) : (m_buttonState & ~StateHot);
        Invalidate();
        return;
    default:
        break;
    }
    CContainerUI::DoEvent(event);
}

// The dragged edge follows the mouse while the column stays wider than its
// minimum; the list then lays its columns and rows out again.
void CListHeaderItemUI::DragTo(POINT pt) {
    RECT rc = m_itemRect;
    const int dx = pt.x - m_lastMouse.x;
    if (m_sepWidth >= 0) {
        rc.right += dx;
    } else {
        rc.left += dx;
    }
    const int width = rc.right - rc.left;
    if (width <= GetMinWidth()) return;
    m_fixedWidth = m_manager ? m_manager->GetScaler()->Unscale(width) : width;
    m_lastMouse = pt;
    // Moves may come faster than the layout: the next one starts from here.
    m_itemRect = rc;
    if (m_parent) m_parent->NeedParentUpdate();
}

SIZE CListHeaderItemUI::EstimateSize(SIZE available) {
    if (GetFixedHeight() > 0 || !m_manager) return CContainerUI::EstimateSize(available);
    return SIZE{GetFixedWidth(), m_manager->GetDefaultFontInfo()->metrics.tmHeight + 14};
}

void CListHeaderItemUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    using namespace attribute;
    if (!name || !value) return;
    if (Is(name, L"dragable")) {
        SetDragable(IsTrue(value));
    } else if (Is(name, L"sepwidth")) {
        SetSepWidth(Int(value));
    } else if (Is(name, L"align")) {
        if (wcsstr(value, L"left")) m_textStyle &= ~(DT_CENTER | DT_RIGHT);
        if (wcsstr(value, L"center")) m_textStyle = (m_textStyle & ~DT_RIGHT) | DT_CENTER;
        if (wcsstr(value, L"right")) m_textStyle = (m_textStyle & ~DT_CENTER) | DT_RIGHT;
    } else if (Is(name, L"endellipsis")) {
        m_textStyle = IsTrue(value) ? (m_textStyle | DT_END_ELLIPSIS) : (m_textStyle & ~DT_END_ELLIPSIS);
    } else if (Is(name, L"font")) {
        SetFont(Int(value));
    } else if (Is(name, L"textcolor")) {
        SetTextColor(Color(value));
    } else if (Is(name, L"textpadding")) {
        SetTextPadding(Rect(value));
    } else if (Is(name, L"showhtml")) {
        SetShowHtml(IsTrue(value));
    } else if (Is(name, L"normalimage")) {
        SetNormalImage(value);
    } else if (Is(name, L"hotimage")) {
        SetHotImage(value);
    } else if (Is(name, L"pushedimage")) {
        SetPushedImage(value);
    } else if (Is(name, L"focusedimage")) {
        SetFocusedImage(value);
    } else if (Is(name, L"sepimage")) {
        SetSepImage(value);
    } else if (Is(name, L"scale")) {
        SetScale(Int(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

void CListHeaderItemUI::SetDragable(bool dragable) {
    m_dragable = dragable;
    if (!m_dragable) m_buttonState &= ~StateCaptured;
}

void CListHeaderItemUI::SetTextPadding(RECT padding) {
    m_textPadding = padding;
    Invalidate();
}

void CListHeaderItemUI::SetShowHtml(bool showHtml) {
    if (m_showHtml == showHtml) return;
    m_showHtml = showHtml;
    Invalidate();
}

void CListHeaderItemUI::SetNormalImage(LPCTSTR image) {
    m_normalImage = image;
    Invalidate();
}

void CListHeaderItemUI::SetHotImage(LPCTSTR image) {
    m_hotImage = image;
    Invalidate();
}

void CListHeaderItemUI::SetPushedImage(LPCTSTR image) {
    m_pushedImage = image;
    Invalidate();
}

void CListHeaderItemUI::SetFocusedImage(LPCTSTR image) {
    m_focusedImage = image;
    Invalidate();
}

void CListHeaderItemUI::SetSepImage(LPCTSTR image) {
    m_sepImage = image;
    Invalidate();
}

void CListHeaderItemUI::PaintStatusImage(HDC dc) {
    m_buttonState = IsFocused() ? (m_buttonState | StateFocused) : (m_buttonState & ~StateFocused);
    // A state without its own image shows the normal one.
    const auto drawState = [&](const CUIString& image) { DrawImage(dc, image.IsEmpty() ? m_normalImage : image); };
    if (m_buttonState & StatePushed) {
        drawState(m_pushedImage);
    } else if (m_buttonState & StateHot) {
        drawState(m_hotImage);
    } else if (m_buttonState & StateFocused) {
        drawState(m_focusedImage);
    } else if (!m_normalImage.IsEmpty()) {
        DrawImage(dc, m_normalImage);
    }
    if (m_sepImage.IsEmpty()) return;
    RECT thumb = GetThumbRect();
    OffsetRect(&thumb, -m_itemRect.left, -m_itemRect.top);
    m_sepImageModify.SmallFormat(L"dest='%d,%d,%d,%d'", thumb.left, thumb.top, thumb.right, thumb.bottom);
    DrawImage(dc, m_sepImage, m_sepImageModify);
}

void CListHeaderItemUI::PaintText(HDC dc) {
    if (m_textColor == 0 && m_manager) m_textColor = m_manager->GetDefaultColor2();
    const CUIString text = GetText();
    if (text.IsEmpty()) return;
    RECT padding = m_textPadding;
    if (m_manager) m_manager->GetScaler()->ScaleRect(&padding);
    RECT rc{m_itemRect.left + padding.left, m_itemRect.top + padding.top, m_itemRect.right - padding.right,
            m_itemRect.bottom - padding.bottom};
    if (m_showHtml) {
        int links = 0;
        CRenderEngine::DrawHtmlText(dc, m_manager, rc, text, m_textColor, nullptr, nullptr, links, m_font,
                                    m_textStyle);
    } else {
        CRenderEngine::DrawText(dc, m_manager, rc, text, m_textColor, m_font, m_textStyle);
    }
}

}  // namespace KvUI
