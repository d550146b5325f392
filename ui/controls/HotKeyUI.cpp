#include "ui/controls/HotKeyUI.h"

#include <commctrl.h>

#include <cwchar>

#include "ui/controls/HotKeyWnd.h"
#include "ui/controls/InputStateImage.h"
#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"

namespace KvUI {
namespace {

// The keyboard layout's name of a key. The navigation block shares its scan
// codes with the numeric keypad: only the extended bit tells them apart.
CUIString KeyName(UINT virtualKey, bool extended) {
    const UINT scanCode = MapVirtualKeyExW(virtualKey, MAPVK_VK_TO_VSC, GetKeyboardLayout(0));
    LONG key = static_cast<LONG>(scanCode << 16);
    const bool navigation = (virtualKey >= VK_PRIOR && virtualKey <= VK_DOWN) || virtualKey == VK_INSERT ||
                            virtualKey == VK_DELETE;
    if (navigation || extended) key |= 1L << 24;
    wchar_t name[260] = {};
    GetKeyNameTextW(key, name, 260);
    return CUIString(name);
}

}  // namespace

CHotKeyUI::CHotKeyUI() {
    SetTextPadding(RECT{4, 3, 4, 3});
    SetBkColor(0xFFFFFFFF);
}

CHotKeyUI::~CHotKeyUI() {
    if (m_window) m_window->Abandon();
}

LPCTSTR CHotKeyUI::GetClass() const { return L"HotKeyUI"; }

LPVOID CHotKeyUI::GetInterface(LPCTSTR name) {
    if (name && wcscmp(name, L"HotKey") == 0) return static_cast<CHotKeyUI*>(this);
    return CLabelUI::GetInterface(name);
}

UINT CHotKeyUI::GetControlFlags() const { return IsEnabled() ? (UIFLAG_TABSTOP | UIFLAG_SETCURSOR) : 0; }

void CHotKeyUI::SetText(LPCTSTR text) {
    m_text = text ? text : L"";
    if (m_window) SetWindowTextW(m_window->GetHWND(), GetText());
    Invalidate();
}

void CHotKeyUI::SetVisible(bool visible) {
    CLabelUI::SetVisible(visible);
    if (!IsVisible() && m_window && m_manager) m_manager->SetFocus(nullptr);
}

void CHotKeyUI::SetInternVisible(bool visible) {
    if (!visible && m_window && m_manager) m_manager->SetFocus(nullptr);
}

void CHotKeyUI::SetEnabled(bool enabled) {
    CLabelUI::SetEnabled(enabled);
    if (!IsEnabled()) m_state = 0;
}

void CHotKeyUI::DoEvent(TUIEvent& event) {
    if (ForwardMouseWhileDisabled(event)) return;
    if (HandleNativeEditorEvent(*this, m_window != nullptr, event)) return;
    switch (event.type) {
    case EventSetFocus:
        if (!IsEnabled()) break;
        if (!m_window) m_window = CHotKeyWnd::Open(this);
        Invalidate();
        return;
    case EventKillFocus:
        if (!IsEnabled()) break;
        Invalidate();
        return;
    case EventButtonDown:
    case EventDblClick:
    case EventRButtonDown:
        if (!IsEnabled()) return;
        if (m_manager) m_manager->ReleaseCapture();
        if (IsFocused() && !m_window) m_window = CHotKeyWnd::Open(this);
        return;
    case EventMouseMove:
    case EventButtonUp:
    case EventContextMenu:
        return;
    case EventMouseEnter:
        if (!IsEnabled()) break;
        m_state |= StateHot;
        Invalidate();
        return;
    case EventMouseLeave:
        if (!IsEnabled()) break;
        m_state &= ~StateHot;
        Invalidate();
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CHotKeyUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (!name || !value) return;
    if (wcscmp(name, L"normalimage") == 0) {
        SetNormalImage(value);
    } else if (wcscmp(name, L"hotimage") == 0) {
        SetHotImage(value);
    } else if (wcscmp(name, L"focusedimage") == 0) {
        SetFocusedImage(value);
    } else if (wcscmp(name, L"disabledimage") == 0) {
        SetDisabledImage(value);
    } else if (wcscmp(name, L"nativebkcolor") == 0) {
        SetNativeBkColor(attribute::Color(value));
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

SIZE CHotKeyUI::EstimateSize(SIZE available) {
    if (m_fixedHeight != 0 || !m_manager) return CLabelUI::EstimateSize(available);
    return SIZE{GetFixedWidth(), m_manager->GetFontInfo(m_font)->metrics.tmHeight + 6};
}

void CHotKeyUI::PaintStatusImage(HDC dc) {
    PaintInputStateImage(*this, dc, m_state, {m_normalImage, m_hotImage, m_focusedImage, m_disabledImage});
}

void CHotKeyUI::PaintText(HDC dc) {
    TakeDefaultColors();
    const CUIString text = GetText();
    if (text.IsEmpty()) return;
    RECT rc = {m_itemRect.left + m_textPadding.left, m_itemRect.top + m_textPadding.top,
               m_itemRect.right - m_textPadding.right, m_itemRect.bottom - m_textPadding.bottom};
    CRenderEngine::DrawText(dc, m_manager, rc, text, IsEnabled() ? m_textColor : m_disabledTextColor, m_font,
                            m_textStyle | DT_SINGLELINE);
}

void CHotKeyUI::SetNormalImage(LPCTSTR image) {
    m_normalImage = image;
    Invalidate();
}

void CHotKeyUI::SetHotImage(LPCTSTR image) {
    m_hotImage = image;
    Invalidate();
}

void CHotKeyUI::SetFocusedImage(LPCTSTR image) {
    m_focusedImage = image;
    Invalidate();
}

void CHotKeyUI::SetDisabledImage(LPCTSTR image) {
    m_disabledImage = image;
    Invalidate();
}

void CHotKeyUI::GetHotKey(WORD& virtualKey, WORD& modifiers) const {
    virtualKey = m_virtualKey;
    modifiers = m_modifiers;
}

void CHotKeyUI::SetHotKey(WORD virtualKey, WORD modifiers) {
    m_virtualKey = virtualKey;
    m_modifiers = modifiers;
    if (m_window) ::SendMessageW(m_window->GetHWND(), HKM_SETHOTKEY, MAKEWORD(virtualKey, modifiers), 0);
    m_text = NameOf(virtualKey, modifiers);
    Invalidate();
}

CUIString CHotKeyUI::NameOf(WORD virtualKey, WORD modifiers) {
    CUIString name;
    if (virtualKey == 0 && modifiers == 0) return name;
    const auto part = [&name](UINT key, bool extended) {
        name += KeyName(key, extended);
        name += L" + ";
    };
    if (modifiers & HOTKEYF_CONTROL) part(VK_CONTROL, false);
    if (modifiers & HOTKEYF_SHIFT) part(VK_SHIFT, false);
    if (modifiers & HOTKEYF_ALT) part(VK_MENU, false);
    name += KeyName(virtualKey, (modifiers & HOTKEYF_EXT) != 0);
    return name;
}

}  // namespace KvUI
