#include "ui/controls/IPAddressExUI.h"

#include <algorithm>
#include <cwchar>

#include "ui/controls/IPAddressUI.h"
#include "ui/core/PaintManagerUI.h"
#include "win/GdiOwners.h"

namespace KvUI {
namespace {

constexpr int kDigitsPerField = 3;

bool IsDigitKey(WPARAM key) { return (key >= '0' && key <= '9') || (key >= VK_NUMPAD0 && key <= VK_NUMPAD9); }

wchar_t DigitOf(WPARAM key) {
    return static_cast<wchar_t>(key >= VK_NUMPAD0 ? L'0' + (key - VK_NUMPAD0) : key);
}

}  // namespace

CIPAddressExUI::CIPAddressExUI() {
    SetReadOnly(true);
    SetIP(GetLocalIpAddress());
}

LPCTSTR CIPAddressExUI::GetClass() const { return L"IPAddressExUI"; }

LPVOID CIPAddressExUI::GetInterface(LPCTSTR name) {
    if (name && wcscmp(name, L"IPAddress") == 0) return static_cast<CIPAddressExUI*>(this);
    return CEditUI::GetInterface(name);
}

void CIPAddressExUI::DoEvent(TUIEvent& event) {
    if (IsEnabled()) {
        switch (event.type) {
        case EventButtonDown:
        case EventDblClick:
        case EventRButtonDown: {
            m_typed.Empty();
            const LONG quarter = (m_itemRect.right - m_itemRect.left) / 4;
            const LONG x = event.mousePoint.x - m_itemRect.left;
            m_field = x <= quarter ? 1 : x <= 2 * quarter ? 2 : x <= 3 * quarter ? 3 : 4;
            UpdateText();
            break;
        }
        case EventKillFocus:
            m_field = 0;
            Invalidate();
            break;
        case EventScrollWheel:
            if (event.wParam != 0) {
                Decrement();
            } else {
                Increment();
            }
            break;
        case EventKeyDown:
            OnKeyDown(event.wParam);
            break;
        default:
            break;
        }
    }
    // The edit's own handling would open a native window: the label's is enough.
    CLabelUI::DoEvent(event);
}

void CIPAddressExUI::PaintText(HDC dc) {
    TakeDefaultColors();
    if (GetText().IsEmpty() || !m_manager) return;
    const RECT& padding = m_textPadding;
    const RECT rc = {m_itemRect.left + padding.left, m_itemRect.top + padding.top,
                     m_itemRect.right - padding.right, m_itemRect.bottom - padding.bottom};
    const bool enabled = IsEnabled();
    const kvwin::ScopedSelect font(dc, m_manager->GetFont(m_font));
    SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ArgbToColorRef(enabled ? m_textColor : m_disabledTextColor));
    // The dots keep the control's alignment within what is left of the line;
    // the octets always start at their place.
    const UINT dotStyle = m_textStyle | DT_SINGLELINE | DT_NOPREFIX;
    const UINT style = (m_textStyle & ~(DT_CENTER | DT_RIGHT)) | DT_SINGLELINE | DT_NOPREFIX;
    const LONG quarter = (rc.right - rc.left) / 4;
    for (int i = 1; i <= 3; ++i) {
        RECT dot = {rc.left + i * quarter, rc.top, rc.right, rc.bottom};
        DrawTextW(dc, L".", 1, &dot, dotStyle);
    }
    const bool anySet = std::any_of(std::begin(m_octets), std::end(m_octets), [](int v) { return v != 0; });
    if (!anySet && m_field == 0) return;
    for (int i = 0; i < 4; ++i) {
        wchar_t digits[8];
        swprintf(digits, 8, L"%d", m_octets[i]);
        RECT box = {rc.left + i * quarter + quarter / 2, rc.top, rc.right, rc.bottom};
        const bool current = enabled && m_field == i + 1;
        if (current) {
            SetBkMode(dc, OPAQUE);
            ::SetBkColor(dc, RGB(0x33, 0x99, 0xFF));
            ::SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
        }
        DrawTextW(dc, digits, -1, &box, style);
        if (current) {
            SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, ArgbToColorRef(m_textColor));
        }
    }
}

void CIPAddressExUI::UpdateText() {
    wchar_t text[16];
    swprintf(text, 16, L"%d.%d.%d.%d", m_octets[0], m_octets[1], m_octets[2], m_octets[3]);
    SetText(text);
    Invalidate();
}

DWORD CIPAddressExUI::GetIP() const {
    DWORD address = 0;
    for (int octet : m_octets) address = (address << 8) | static_cast<DWORD>(octet);
    return address;
}

void CIPAddressExUI::SetIP(DWORD address) {
    for (int i = 0; i < 4; ++i) m_octets[i] = static_cast<int>((address >> (24 - 8 * i)) & 0xFF);
    UpdateText();
}

void CIPAddressExUI::OnKeyDown(WPARAM key) {
    if (key == VK_DELETE || key == VK_BACK) {
        if (m_field >= 1) m_octets[m_field - 1] = 0;
        m_typed.Empty();
        UpdateText();
    } else if (IsDigitKey(key)) {
        if (m_field >= 1) AddDigit(key);
    } else if (key == VK_UP) {
        Increment();
    } else if (key == VK_DOWN) {
        Decrement();
    } else if (key == VK_LEFT) {
        if (m_field > 1) MoveToField(m_field - 1);
    } else if (key == VK_RIGHT || key == VK_OEM_PERIOD || key == VK_DECIMAL) {
        if (m_field < 4) MoveToField(m_field + 1);
    }
}

void CIPAddressExUI::AddDigit(WPARAM key) {
    const wchar_t digit[2] = {DigitOf(key), 0};
    m_typed += digit;
    const long value = _wtol(m_typed);
    m_octets[m_field - 1] = value < 1 ? 0 : value > 255 ? 255 : static_cast<int>(value);
    UpdateText();
    if (m_typed.GetLength() < kDigitsPerField) return;
    // Three digits fill a field: the next digit starts the next field, or the
    // last field over again, so no field takes more than three.
    m_typed.Empty();
    if (m_field < 4) ++m_field;
}

void CIPAddressExUI::Increment() {
    if (m_field >= 1) m_octets[m_field - 1] = std::min(m_octets[m_field - 1] + 1, 255);
    UpdateText();
}

void CIPAddressExUI::Decrement() {
    if (m_field >= 1) m_octets[m_field - 1] = std::max(m_octets[m_field - 1] - 1, 0);
    UpdateText();
}

void CIPAddressExUI::MoveToField(int field) {
    m_typed.Empty();
    UpdateText();
    m_field = field;
    Invalidate();
}

}  // namespace KvUI
