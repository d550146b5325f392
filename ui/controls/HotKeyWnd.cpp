#include "ui/controls/HotKeyWnd.h"

#include <commctrl.h>

#include <memory>

#include "ui/controls/HotKeyUI.h"
#include "ui/core/PaintManagerUI.h"

namespace KvUI {

CHotKeyWnd* CHotKeyWnd::Open(CHotKeyUI* owner) {
    CPaintManagerUI* manager = owner->GetManager();
    if (!manager) return nullptr;
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&classes);
    auto wnd = std::make_unique<CHotKeyWnd>(owner);
    if (!wnd->CreateOwned(manager->GetPaintWindow(), WS_CHILD | ES_AUTOHSCROLL, TextArea(*owner))) return nullptr;
    CHotKeyWnd* opened = wnd.release();  // from here on the window frees it
    opened->Init();
    return opened;
}

LPCTSTR CHotKeyWnd::GetWindowClassName() const { return L"HotKeyClass"; }
LPCTSTR CHotKeyWnd::GetSuperClassName() const { return HOTKEY_CLASSW; }

void CHotKeyWnd::Init() {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(*m_owner)), TRUE);
    SendMessage(HKM_SETHOTKEY, MAKEWORD(m_owner->m_virtualKey, m_owner->m_modifiers));
    m_owner->m_text = CurrentName();
    EnableWindow(m_hWnd, m_owner->IsEnabled());
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hWnd);
    m_initialised = true;
}

LRESULT CHotKeyWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleEditMessage(m_owner, msg, wParam, lParam, result)) return result;
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_NCCALCSIZE:
    case WM_NCACTIVATE:
        return 0;
    default:
        break;
    }
    return CNativeEditorWnd::HandleMessage(msg, wParam, lParam);
}

void CHotKeyWnd::OnClosed() {
    if (!m_owner) return;
    m_owner->Invalidate();
    m_owner->m_window = nullptr;
}

void CHotKeyWnd::OnTextChanged() {
    if (!m_initialised || !m_owner) return;
    const auto hotKey = static_cast<WORD>(SendMessage(HKM_GETHOTKEY));
    m_owner->m_virtualKey = LOBYTE(hotKey);
    m_owner->m_modifiers = HIBYTE(hotKey);
    if (m_owner->m_virtualKey != 0) {
        m_owner->m_text = CurrentName();
    } else {
        m_owner->m_text.Empty();
        m_owner->m_modifiers = 0;
    }
    m_owner->Invalidate();
    m_owner->GetManager()->SendNotify(m_owner, L"textchanged");
}

void CHotKeyWnd::Paint() {
    PAINTSTRUCT ps = {};
    const HDC dc = BeginPaint(m_hWnd, &ps);
    if (!dc) return;
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    if (m_owner) {
        if (!m_brush) m_brush.reset(CreateSolidBrush(ArgbToColorRef(m_owner->GetNativeBkColor())));
        FillRect(dc, &client, m_brush.get());
        ::SetTextColor(dc, ArgbToColorRef(m_owner->GetTextColor()));
    }
    SetBkMode(dc, TRANSPARENT);
    const kvwin::ScopedSelect font(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    const CUIString name = CurrentName();
    DrawTextW(dc, name, -1, &client, DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE);
    SIZE extent = {};
    GetTextExtentPoint32W(dc, name, name.GetLength(), &extent);
    SetCaretPos(extent.cx, 0);
    EndPaint(m_hWnd, &ps);
}

CUIString CHotKeyWnd::CurrentName() const {
    const auto hotKey = static_cast<WORD>(::SendMessageW(m_hWnd, HKM_GETHOTKEY, 0, 0));
    return CHotKeyUI::NameOf(LOBYTE(hotKey), HIBYTE(hotKey));
}

}  // namespace KvUI
