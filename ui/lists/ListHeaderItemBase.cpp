#include "ui/lists/ListHeaderItemBase.h"

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

template <class Base>
CListHeaderItemBase<Base>::CListHeaderItemBase(LPCTSTR clickNotification) : m_clickNotification(clickNotification) {
    this->SetMinWidth(16);
}

template <class Base>
CListHeaderItemBase<Base>::~CListHeaderItemBase() = default;

template <class Base>
UINT CListHeaderItemBase<Base>::GetControlFlags() const {
    return this->IsEnabled() && m_sepWidth != 0 ? UIFLAG_SETCURSOR : 0;
}

template <class Base>
void CListHeaderItemBase<Base>::SetEnabled(bool enabled) {
    Base::SetEnabled(enabled);
    if (!this->IsEnabled()) m_buttonState = 0;
}

template <class Base>
RECT CListHeaderItemBase<Base>::GetThumbRect() const {
    const RECT& rc = this->m_itemRect;
    if (m_sepWidth >= 0) return RECT{rc.right - m_sepWidth, rc.top, rc.right, rc.bottom};
    return RECT{rc.left, rc.top, rc.left - m_sepWidth, rc.bottom};
}

template <class Base>
RECT CListHeaderItemBase<Base>::GetDragRect() const {
    RECT rc = GetThumbRect();
    if (m_sepWidth >= 0) {
        rc.left -= kGrabMargin;
    } else {
        rc.right += kGrabMargin;
    }
    return rc;
}

template <class Base>
void CListHeaderItemBase<Base>::DoEvent(TUIEvent& event) {
    if (!this->IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (this->m_parent) {
            this->m_parent->DoEvent(event);
        } else {
            Base::DoEvent(event);
        }
        return;
    }
    if (event.type == EventSetFocus || event.type == EventKillFocus) this->Invalidate();
    const RECT grab = GetDragRect();
    const bool onSeparator = PtInRect(&grab, event.mousePoint) != FALSE;
    const bool enabled = this->IsEnabled();
    switch (event.type) {
    case EventButtonDown:
    case EventDblClick:
        if (!enabled) break;
        if (onSeparator) {
            if (m_dragable) {
                m_buttonState |= StateCaptured;
                m_lastMouse = event.mousePoint;
                m_dragRect = this->m_itemRect;
            }
            return;
        }
        m_buttonState |= StatePushed;
        if (this->m_manager) this->m_manager->SendNotify(this, m_clickNotification);
        this->Invalidate();
        return;
    case EventButtonUp:
        if (m_buttonState & StateCaptured) {
            m_buttonState &= ~StateCaptured;
            if (this->m_parent) this->m_parent->NeedParentUpdate();
        } else if (m_buttonState & StatePushed) {
            m_buttonState &= ~StatePushed;
            this->Invalidate();
        }
        return;
    case EventMouseMove:
        if (m_buttonState & StateCaptured) DragTo(event.mousePoint);
        return;
    case EventSetCursor:
        if (!enabled || !m_dragable || !onSeparator) break;
        ::SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
        return;
    case EventMouseEnter:
    case EventMouseLeave:
        if (!enabled) break;
        m_buttonState = event.type == EventMouseEnter ? (m_buttonState | StateHot) : (m_buttonState & ~StateHot);
        this->Invalidate();
        return;
    default:
        break;
    }
    Base::DoEvent(event);
}

// The dragged edge follows the mouse while the column stays wider than its
// minimum; the list then lays its columns and rows out again.
template <class Base>
void CListHeaderItemBase<Base>::DragTo(POINT pt) {
    RECT rc = m_dragRect;
    const int dx = pt.x - m_lastMouse.x;
    if (m_sepWidth >= 0) {
        rc.right += dx;
    } else {
        rc.left += dx;
    }
    const int width = rc.right - rc.left;
    if (width <= this->GetMinWidth()) return;
    this->m_fixedWidth = this->m_manager ? this->m_manager->GetScaler()->Unscale(width) : width;
    m_lastMouse = pt;
    m_dragRect = rc;
    if (this->m_parent) this->m_parent->NeedParentUpdate();
}

template <class Base>
SIZE CListHeaderItemBase<Base>::EstimateSize(SIZE available) {
    if (this->GetFixedHeight() > 0 || !this->m_manager) return Base::EstimateSize(available);
    return SIZE{this->GetFixedWidth(), this->m_manager->GetDefaultFontInfo()->metrics.tmHeight + 14};
}

template <class Base>
void CListHeaderItemBase<Base>::SetAttribute(LPCTSTR name, LPCTSTR value) {
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
    } else {
        Base::SetAttribute(name, value);
    }
}

template <class Base>
void CListHeaderItemBase<Base>::SetDragable(bool dragable) {
    m_dragable = dragable;
    if (!m_dragable) m_buttonState &= ~StateCaptured;
}

template <class Base>
void CListHeaderItemBase<Base>::SetTextPadding(RECT padding) {
    m_textPadding = padding;
    this->Invalidate();
}

template <class Base>
void CListHeaderItemBase<Base>::SetShowHtml(bool showHtml) {
    if (m_showHtml == showHtml) return;
    m_showHtml = showHtml;
    this->Invalidate();
}

template <class Base>
void CListHeaderItemBase<Base>::SetNormalImage(LPCTSTR image) {
    m_normalImage = image;
    this->Invalidate();
}

template <class Base>
void CListHeaderItemBase<Base>::SetHotImage(LPCTSTR image) {
    m_hotImage = image;
    this->Invalidate();
}

template <class Base>
void CListHeaderItemBase<Base>::SetPushedImage(LPCTSTR image) {
    m_pushedImage = image;
    this->Invalidate();
}

template <class Base>
void CListHeaderItemBase<Base>::SetFocusedImage(LPCTSTR image) {
    m_focusedImage = image;
    this->Invalidate();
}

template <class Base>
void CListHeaderItemBase<Base>::SetSepImage(LPCTSTR image) {
    m_sepImage = image;
    this->Invalidate();
}

template <class Base>
void CListHeaderItemBase<Base>::PaintStatusImage(HDC dc) {
    m_buttonState = this->IsFocused() ? (m_buttonState | StateFocused) : (m_buttonState & ~StateFocused);
    // A state without its own image shows the normal one.
    const auto drawState = [&](const CUIString& image) {
        this->DrawImage(dc, image.IsEmpty() ? m_normalImage : image);
    };
    if (m_buttonState & StatePushed) {
        drawState(m_pushedImage);
    } else if (m_buttonState & StateHot) {
        drawState(m_hotImage);
    } else if (m_buttonState & StateFocused) {
        drawState(m_focusedImage);
    } else if (!m_normalImage.IsEmpty()) {
        this->DrawImage(dc, m_normalImage);
    }
    if (m_sepImage.IsEmpty()) return;
    RECT thumb = GetThumbRect();
    OffsetRect(&thumb, -this->m_itemRect.left, -this->m_itemRect.top);
    m_sepImageModify.SmallFormat(L"dest='%d,%d,%d,%d'", thumb.left, thumb.top, thumb.right, thumb.bottom);
    this->DrawImage(dc, m_sepImage, m_sepImageModify);
}

template <class Base>
void CListHeaderItemBase<Base>::PaintText(HDC dc) {
    PaintCaption(dc, 0, 0);
}

template <class Base>
void CListHeaderItemBase<Base>::PaintCaption(HDC dc, UINT extraStyle, int indent) {
    CPaintManagerUI* manager = this->m_manager;
    if (m_textColor == 0 && manager) m_textColor = manager->GetDefaultColor2();
    const CUIString text = this->GetText();
    if (text.IsEmpty()) return;
    RECT padding = m_textPadding;
    if (manager) manager->GetScaler()->ScaleRect(&padding);
    const RECT& item = this->m_itemRect;
    RECT rc{item.left + padding.left + indent, item.top + padding.top, item.right - padding.right,
            item.bottom - padding.bottom};
    const UINT style = m_textStyle | extraStyle;
    if (m_showHtml) {
        int links = 0;
        CRenderEngine::DrawHtmlText(dc, manager, rc, text, m_textColor, nullptr, nullptr, links, m_font, style);
    } else {
        CRenderEngine::DrawText(dc, manager, rc, text, m_textColor, m_font, style);
    }
}

template class CListHeaderItemBase<CContainerUI>;
template class CListHeaderItemBase<CHorizontalLayoutUI>;

}  // namespace KvUI
