#include "ui/controls/ButtonUI.h"

#include "ui/core/AttributeValue.h"
#include "ui/controls/ITabLayoutUI.h"
#include "ui/controls/StateStrip.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {

CButtonUI::CButtonUI() { m_textStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER; }

CButtonUI::~CButtonUI() = default;

LPCTSTR CButtonUI::GetClass() const { return L"ButtonUI"; }

LPVOID CButtonUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"Button")) return static_cast<CButtonUI*>(this);
    return CLabelUI::GetInterface(name);
}

UINT CButtonUI::GetControlFlags() const {
    return (IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0) | (IsEnabled() ? UIFLAG_SETCURSOR : 0);
}

bool CButtonUI::Activate() {
    if (!CControlUI::Activate()) return false;
    if (m_manager) {
        m_manager->SendNotify(this, L"click");
        SelectBoundTab(-1);
    }
    return true;
}

void CButtonUI::SelectBoundTab(int index) {
    if (m_bindTabIndex < 0 && index < 0) return;
    if (!m_manager) return;
    CControlUI* control = m_manager->FindControl(m_bindTabLayoutName);
    auto* tab = control ? static_cast<ITabLayoutUI*>(control->GetInterface(L"TabLayout")) : nullptr;
    if (tab) tab->SelectItem(index >= 0 ? index : m_bindTabIndex);
}

void CButtonUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    m_state = enabled ? 0 : StateDisabled;
}

void CButtonUI::DoEvent(TUIEvent& event) {
    if (ForwardMouseWhileDisabled(event)) return;
    const bool inside = PtInRect(&m_itemRect, event.mousePoint) != FALSE;
    switch (event.type) {
        case EventSetFocus:
        case EventKillFocus:
            Invalidate();
            break;
        case EventKeyDown:
            if (IsKeyboardEnabled() && (event.keyChar == VK_SPACE || event.keyChar == VK_RETURN)) {
                Activate();
                return;
            }
            break;
        case EventButtonDown:
        case EventDblClick:
            if (inside && IsEnabled()) {
                m_state |= StatePushed | StateCaptured;
                Invalidate();
            }
            return;
        case EventMouseMove:
            if (m_state & StateCaptured) {
                m_state = inside ? (m_state | StatePushed) : (m_state & ~StatePushed);
                Invalidate();
            }
            return;
        case EventButtonUp:
            if (m_state & StateCaptured) {
                m_state &= ~(StatePushed | StateCaptured);
                Invalidate();
                if (inside) Activate();
            }
            return;
        case EventContextMenu:
            if (IsContextMenuUsed() && m_manager) m_manager->SendNotify(this, L"menu", event.wParam, event.lParam);
            return;
        case EventMouseEnter:
            if (IsEnabled()) {
                m_state |= StateHot;
                Invalidate();
            }
            break;
        case EventMouseLeave:
            if (IsEnabled()) {
                m_state &= ~StateHot;
                Invalidate();
            }
            break;
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

void CButtonUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    using namespace attribute;
    if (!name || !value) return;
    if (Is(name, L"normalimage")) {
        SetNormalImage(value);
    } else if (Is(name, L"hotimage")) {
        SetHotImage(value);
    } else if (Is(name, L"pushedimage")) {
        SetPushedImage(value);
    } else if (Is(name, L"focusedimage")) {
        SetFocusedImage(value);
    } else if (Is(name, L"disabledimage")) {
        SetDisabledImage(value);
    } else if (Is(name, L"hotforeimage")) {
        SetHotForeImage(value);
    } else if (Is(name, L"stateimage")) {
        SetStateImage(value);
    } else if (Is(name, L"statecount")) {
        SetStateCount(Int(value));
    } else if (Is(name, L"bindtabindex")) {
        SetBindTabIndex(Int(value));
    } else if (Is(name, L"bindtablayoutname")) {
        SetBindTabLayoutName(value);
    } else if (Is(name, L"hotbkcolor")) {
        SetHotBkColor(Color(value));
    } else if (Is(name, L"pushedbkcolor")) {
        SetPushedBkColor(Color(value));
    } else if (Is(name, L"disabledbkcolor")) {
        SetDisabledBkColor(Color(value));
    } else if (Is(name, L"hottextcolor")) {
        SetHotTextColor(Color(value));
    } else if (Is(name, L"pushedtextcolor")) {
        SetPushedTextColor(Color(value));
    } else if (Is(name, L"focusedtextcolor")) {
        SetFocusedTextColor(Color(value));
    } else if (Is(name, L"hotfont")) {
        SetHotFont(Int(value));
    } else if (Is(name, L"pushedfont")) {
        SetPushedFont(Int(value));
    } else if (Is(name, L"focuedfont")) {  // the skins' spelling
        SetFocusedFont(Int(value));
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

void CButtonUI::PaintBkColor(HDC dc) {
    DWORD color = 0;
    if (m_state & StateDisabled) {
        color = m_disabledBkColor;
    } else if (m_state & StatePushed) {
        color = m_pushedBkColor;
    } else if (m_state & StateHot) {
        color = m_hotBkColor;
    }
    if (color == 0) {
        CLabelUI::PaintBkColor(dc);
        return;
    }
    CRenderEngine::DrawColor(dc, m_paintRect, GetAdjustColor(color));
}

void CButtonUI::PaintStatusImage(HDC dc) {
    // The slices are cut once, on the first paint after the strip was set.
    CStateStrip strip;
    if (m_normalImage.IsEmpty() && strip.Load(m_manager, m_stateImage, m_stateCount)) {
        m_normalImage = strip.Slice(0);
        if (m_stateCount >= 2) m_hotImage = m_pushedImage = strip.Slice(1);
        if (m_stateCount >= 3) m_pushedImage = strip.Slice(2);
        if (m_stateCount >= 4) m_disabledImage = strip.Slice(3);
    }
    RefreshState();

    LPCTSTR chosen = nullptr;
    if ((m_state & StateDisabled) && !m_disabledImage.IsEmpty()) {
        chosen = m_disabledImage;
    } else if ((m_state & StatePushed) && !m_pushedImage.IsEmpty()) {
        chosen = m_pushedImage;
    } else if ((m_state & StateHot) && !m_hotImage.IsEmpty()) {
        chosen = m_hotImage;
    } else if ((m_state & StateFocused) && !m_focusedImage.IsEmpty()) {
        chosen = m_focusedImage;
    }
    if (chosen && DrawImage(dc, chosen)) return;
    if (!m_normalImage.IsEmpty()) DrawImage(dc, m_normalImage);
}

void CButtonUI::PaintForeImage(HDC dc) {
    if (!(m_state & StatePushed) && (m_state & StateHot) && !m_hotForeImage.IsEmpty() &&
        DrawImage(dc, m_hotForeImage)) {
        return;
    }
    CLabelUI::PaintForeImage(dc);
}

void CButtonUI::PaintText(HDC dc) {
    RefreshState();
    TakeDefaultColors();
    const CUIString text = GetText();
    if (text.IsEmpty()) return;

    DWORD color = IsEnabled() ? m_textColor : m_disabledTextColor;
    if ((m_state & StatePushed) && m_pushedTextColor != 0) {
        color = m_pushedTextColor;
    } else if ((m_state & StateHot) && m_hotTextColor != 0) {
        color = m_hotTextColor;
    } else if ((m_state & StateFocused) && m_focusedTextColor != 0) {
        color = m_focusedTextColor;
    }
    int font = m_font;
    if ((m_state & StatePushed) && m_pushedFont != -1) {
        font = m_pushedFont;
    } else if ((m_state & StateHot) && m_hotFont != -1) {
        font = m_hotFont;
    } else if ((m_state & StateFocused) && m_focusedFont != -1) {
        font = m_focusedFont;
    }
    RECT rc = TextRect();
    RenderText(dc, rc, text, color, font, m_textStyle);
}

void CButtonUI::RefreshState() {
    m_state = IsFocused() ? (m_state | StateFocused) : (m_state & ~StateFocused);
    m_state = IsEnabled() ? (m_state & ~StateDisabled) : (m_state | StateDisabled);
    if (m_manager && !IsWindowEnabled(m_manager->GetPaintWindow())) m_state &= StateDisabled;
}

RECT CButtonUI::TextRect() const {
    const RECT padding = ScaledTextPadding();
    return RECT{m_itemRect.left + padding.left, m_itemRect.top + padding.top, m_itemRect.right - padding.right,
                m_itemRect.bottom - padding.bottom};
}

LPCTSTR CButtonUI::GetNormalImage() const { return m_normalImage; }

void CButtonUI::SetNormalImage(LPCTSTR image) {
    m_normalImage = image;
    Invalidate();
}

LPCTSTR CButtonUI::GetHotImage() const { return m_hotImage; }

void CButtonUI::SetHotImage(LPCTSTR image) {
    m_hotImage = image;
    Invalidate();
}

LPCTSTR CButtonUI::GetPushedImage() const { return m_pushedImage; }

void CButtonUI::SetPushedImage(LPCTSTR image) {
    m_pushedImage = image;
    Invalidate();
}

LPCTSTR CButtonUI::GetFocusedImage() const { return m_focusedImage; }

void CButtonUI::SetFocusedImage(LPCTSTR image) {
    m_focusedImage = image;
    Invalidate();
}

LPCTSTR CButtonUI::GetDisabledImage() const { return m_disabledImage; }

void CButtonUI::SetDisabledImage(LPCTSTR image) {
    m_disabledImage = image;
    Invalidate();
}

LPCTSTR CButtonUI::GetHotForeImage() const { return m_hotForeImage; }

void CButtonUI::SetHotForeImage(LPCTSTR image) {
    m_hotForeImage = image;
    Invalidate();
}

LPCTSTR CButtonUI::GetStateImage() const { return m_stateImage; }

void CButtonUI::SetStateImage(LPCTSTR image) {
    m_normalImage.Empty();
    m_stateImage = image;
    Invalidate();
}

void CButtonUI::SetStateCount(int count) {
    m_stateCount = count;
    Invalidate();
}

void CButtonUI::SetHotFont(int index) {
    m_hotFont = index;
    Invalidate();
}

void CButtonUI::SetPushedFont(int index) {
    m_pushedFont = index;
    Invalidate();
}

void CButtonUI::SetFocusedFont(int index) {
    m_focusedFont = index;
    Invalidate();
}

void CButtonUI::SetHotBkColor(DWORD color) {
    m_hotBkColor = color;
    Invalidate();
}

void CButtonUI::SetPushedBkColor(DWORD color) {
    m_pushedBkColor = color;
    Invalidate();
}

void CButtonUI::SetDisabledBkColor(DWORD color) {
    m_disabledBkColor = color;
    Invalidate();
}

void CButtonUI::SetBindTabIndex(int index) {
    if (index >= 0) m_bindTabIndex = index;
}

void CButtonUI::SetBindTabLayoutName(LPCTSTR name) {
    if (name) m_bindTabLayoutName = name;
}

}  // namespace KvUI
