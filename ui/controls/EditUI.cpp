#include "ui/controls/EditUI.h"

#include <cwchar>

#include "ui/controls/EditWnd.h"
#include "ui/controls/InputStateImage.h"
#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/ResourceManager.h"

namespace KvUI {
namespace {

// The characters of `text` (a surrogate pair counts once), each shown as `mask`.
CUIString Masked(LPCTSTR text, TCHAR mask) {
    CUIString masked;
    const TCHAR one[2] = {mask, 0};
    for (LPCTSTR p = text; *p; p = CharNextW(p)) masked += one;
    return masked;
}

}  // namespace

CEditUI::CEditUI() {
    SetTextPadding(RECT{4, 3, 4, 3});
    SetBkColor(0xFFFFFFFF);
}

CEditUI::~CEditUI() {
    if (m_window) m_window->Abandon();
}

LPCTSTR CEditUI::GetClass() const { return L"EditUI"; }

LPVOID CEditUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"Edit")) return static_cast<CEditUI*>(this);
    return CLabelUI::GetInterface(name);
}

UINT CEditUI::GetControlFlags() const { return IsEnabled() ? (UIFLAG_TABSTOP | UIFLAG_SETCURSOR) : 0; }

void CEditUI::SetText(LPCTSTR text) {
    m_text = text ? text : L"";
    if (m_window) SetWindowTextW(m_window->GetHWND(), GetText());
    Invalidate();
}

void CEditUI::SetVisible(bool visible) {
    CLabelUI::SetVisible(visible);
    // Taking the focus away closes the native window.
    if (!IsVisible() && m_window && m_manager) m_manager->SetFocus(nullptr);
}

void CEditUI::SetInternVisible(bool visible) {
    if (!visible && m_window && m_manager) m_manager->SetFocus(nullptr);
}

void CEditUI::SetEnabled(bool enabled) {
    CLabelUI::SetEnabled(enabled);
    if (!IsEnabled()) m_state = 0;
}

void CEditUI::SetPos(RECT rc, bool needInvalidate) {
    CLabelUI::SetPos(rc, needInvalidate);
    PlaceNativeWindow(SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEditUI::Move(int dx, int dy, bool needInvalidate) {
    CLabelUI::Move(dx, dy, needInvalidate);
    PlaceNativeWindow(SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}

void CEditUI::DoEvent(TUIEvent& event) {
    if (ForwardMouseWhileDisabled(event)) return;
    if (HandleNativeEditorEvent(*this, m_window != nullptr, event)) return;
    switch (event.type) {
    case EventSetFocus:
        if (!IsEnabled()) break;
        if (!m_window) OpenNativeWindow();
        Invalidate();
        return;
    case EventKillFocus:
        if (!IsEnabled()) break;
        Invalidate();
        return;
    case EventButtonDown:
    case EventDblClick:
    case EventRButtonDown: {
        if (!IsEnabled()) return;
        if (m_manager) m_manager->ReleaseCapture();
        if (IsFocused() && !m_window) {
            OpenNativeWindow();
            if (m_window && PtInRect(&m_itemRect, event.mousePoint)) {
                const int length = GetWindowTextLengthW(m_window->GetHWND());
                SendToNativeWindow(EM_SETSEL, 0, length > 0 ? length : 1);
            }
        } else if (m_window && !m_autoSelAll) {
            SendToNativeWindow(EM_SETSEL, 0, 0);
            const POINT pt = {event.mousePoint.x - m_itemRect.left - m_textPadding.left,
                              event.mousePoint.y - m_itemRect.top - m_textPadding.top};
            SendToNativeWindow(WM_LBUTTONDOWN, event.wParam, MAKELPARAM(pt.x, pt.y));
        }
        return;
    }
    case EventMouseMove:
    case EventButtonUp:
    case EventContextMenu:
        return;
    case EventMouseEnter:
        if (PtInRect(&m_itemRect, event.mousePoint) && IsEnabled() && (m_state & StateHot) == 0) {
            m_state |= StateHot;
            Invalidate();
        }
        return;
    case EventMouseLeave:
        if (IsEnabled()) {
            m_state &= ~StateHot;
            Invalidate();
        }
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CEditUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    using namespace attribute;
    if (!name || !value) return;
    if (Is(name, L"readonly")) {
        SetReadOnly(IsTrue(value));
    } else if (Is(name, L"numberonly")) {
        SetNumberOnly(IsTrue(value));
    } else if (wcscmp(name, L"autoselall") == 0) {
        SetAutoSelAll(wcscmp(value, L"true") == 0);
    } else if (Is(name, L"password")) {
        SetPasswordMode(IsTrue(value));
    } else if (Is(name, L"passwordchar")) {
        SetPasswordChar(*value);
    } else if (Is(name, L"maxchar")) {
        SetMaxChar(static_cast<UINT>(Int(value)));
    } else if (Is(name, L"normalimage")) {
        SetNormalImage(value);
    } else if (Is(name, L"hotimage")) {
        SetHotImage(value);
    } else if (Is(name, L"focusedimage")) {
        SetFocusedImage(value);
    } else if (Is(name, L"disabledimage")) {
        SetDisabledImage(value);
    } else if (Is(name, L"tipvalue")) {
        SetTipValue(value);
    } else if (Is(name, L"tipvaluecolor")) {
        SetTipValueColor(Color(value));
    } else if (Is(name, L"nativebkcolor")) {
        SetNativeEditBkColor(Color(value));
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

SIZE CEditUI::EstimateSize(SIZE available) {
    if (m_fixedHeight != 0 || !m_manager) return CLabelUI::EstimateSize(available);
    return SIZE{GetFixedWidth(), m_manager->GetFontInfo(m_font)->metrics.tmHeight + 6};
}

void CEditUI::PaintStatusImage(HDC dc) {
    PaintInputStateImage(*this, dc, m_state, {m_normalImage, m_hotImage, m_focusedImage, m_disabledImage});
}

void CEditUI::PaintText(HDC dc) {
    TakeDefaultColors();
    const CUIString text = GetText();
    const CUIString tip = GetTipValue();
    CUIString shown = text;
    DWORD color = IsEnabled() ? m_textColor : m_disabledTextColor;
    // A password that happens to equal the tip text is still a password.
    if (text.IsEmpty() || (!m_password && text == tip)) {
        shown = tip;
        color = m_tipValueColor;
    } else if (m_password) {
        shown = Masked(text, m_passwordChar);
    }
    if (shown.IsEmpty()) return;
    RECT rc = {m_itemRect.left + m_textPadding.left, m_itemRect.top + m_textPadding.top,
               m_itemRect.right - m_textPadding.right, m_itemRect.bottom - m_textPadding.bottom};
    CRenderEngine::DrawText(dc, m_manager, rc, shown, color, m_font, m_textStyle | DT_SINGLELINE);
}

void CEditUI::SetMaxChar(UINT maxChar) {
    m_maxChar = maxChar;
    SendToNativeWindow(EM_LIMITTEXT, m_maxChar, 0);
}

void CEditUI::SetReadOnly(bool readOnly) {
    if (m_readOnly == readOnly) return;
    m_readOnly = readOnly;
    SendToNativeWindow(EM_SETREADONLY, m_readOnly, 0);
    Invalidate();
}

void CEditUI::SetNumberOnly(bool numberOnly) {
    m_windowStyles = numberOnly ? (m_windowStyles | ES_NUMBER) : (m_windowStyles & ~ES_NUMBER);
}

void CEditUI::SetPasswordMode(bool password) {
    if (m_password == password) return;
    m_password = password;
    Invalidate();
    if (!m_window) return;
    const HWND hwnd = m_window->GetHWND();
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    SetWindowLongPtrW(hwnd, GWL_STYLE, m_password ? (style | ES_PASSWORD) : (style & ~ES_PASSWORD));
    // The edit reads the style only when made: the mask character switches masking on an open window.
    SendToNativeWindow(EM_SETPASSWORDCHAR, m_password ? m_passwordChar : 0, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void CEditUI::SetPasswordChar(TCHAR ch) {
    if (ch == 0 || m_passwordChar == ch) return;
    m_passwordChar = ch;
    // Outside password mode the character would switch masking on in the native window.
    if (m_password) SendToNativeWindow(EM_SETPASSWORDCHAR, m_passwordChar, 0);
    Invalidate();
}

void CEditUI::SetNormalImage(LPCTSTR image) {
    m_normalImage = image;
    Invalidate();
}

void CEditUI::SetHotImage(LPCTSTR image) {
    m_hotImage = image;
    Invalidate();
}

void CEditUI::SetFocusedImage(LPCTSTR image) {
    m_focusedImage = image;
    Invalidate();
}

void CEditUI::SetDisabledImage(LPCTSTR image) {
    m_disabledImage = image;
    Invalidate();
}

CUIString CEditUI::GetTipValue() const {
    if (!IsResourceText()) return m_tipValue;
    return CResourceTextRegistry::GetInstance()->GetText(m_tipValue);
}

void CEditUI::SetTipValue(LPCTSTR tip) {
    m_tipValue = tip;
    Invalidate();
}

void CEditUI::SetTipValueColor(DWORD color) {
    m_tipValueColor = color;
    Invalidate();
}

void CEditUI::OpenNativeWindow() { m_window = CEditWnd::Open(this); }

void CEditUI::PlaceNativeWindow(UINT flags) {
    if (!m_window) return;
    const RECT rc = m_window->Placement();
    SetWindowPos(m_window->GetHWND(), nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, flags);
}

void CEditUI::SendToNativeWindow(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_window) ::SendMessageW(m_window->GetHWND(), msg, wParam, lParam);
}

}  // namespace KvUI
