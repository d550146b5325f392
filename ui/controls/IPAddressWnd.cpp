#include "ui/controls/IPAddressWnd.h"

#include <commctrl.h>

#include <memory>

#include "ui/controls/IPAddressUI.h"
#include "ui/core/PaintManagerUI.h"

namespace KvUI {
namespace {

constexpr UINT kReflectedCommand = WM_COMMAND + 0x2000;

}  // namespace

CIPAddressWnd* CIPAddressWnd::Create(CIPAddressUI* owner) {
    CPaintManagerUI* manager = owner->GetManager();
    if (!manager) return nullptr;
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&classes);
    auto wnd = std::make_unique<CIPAddressWnd>(owner);
    if (!wnd->CreateOwned(manager->GetPaintWindow(), WS_CHILD | WS_GROUP | WS_TABSTOP, owner->GetPos())) {
        return nullptr;
    }
    CIPAddressWnd* created = wnd.release();  // from here on the window frees it
    created->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(*owner)), TRUE);
    // The keys are typed into the control's own edit fields, which keep them
    // from the control: the fields pass the ones that end the editing on.
    for (HWND field = GetWindow(created->m_hWnd, GW_CHILD); field; field = GetWindow(field, GW_HWNDNEXT)) {
        SetWindowSubclass(field, FieldProc, 0, 0);
    }
    return created;
}

void CIPAddressWnd::Init() {
    if (!m_owner) return;
    m_owner->m_updateMode = CIPAddressUI::UpdateNone;
    const RECT& pos = m_owner->GetPos();
    SetWindowPos(m_hWnd, nullptr, pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_owner->GetText().IsEmpty()) m_owner->m_address = GetLocalIpAddress();
    SendMessage(IPM_SETADDRESS, 0, static_cast<LPARAM>(m_owner->m_address));
    ShowWindow(true, true);
    ::SetFocus(m_hWnd);
    m_initialised = true;
}

LPCTSTR CIPAddressWnd::GetWindowClassName() const { return L"IPAddressWnd"; }
LPCTSTR CIPAddressWnd::GetSuperClassName() const { return WC_IPADDRESSW; }

LRESULT CIPAddressWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_KILLFOCUS:
        // The field's own kill-focus notification ends the editing.
        return 0;
    case WM_KEYUP: {
        const LRESULT result = CNativeEditorWnd::HandleMessage(msg, wParam, lParam);
        OnKeyUp(wParam);
        return result;
    }
    case kReflectedCommand:
        if (HIWORD(wParam) != EN_KILLFOCUS) break;
        return OnEditorKillFocus(msg, wParam, lParam);
    default:
        break;
    }
    return CNativeEditorWnd::HandleMessage(msg, wParam, lParam);
}

void CIPAddressWnd::OnClosed() {
    if (m_owner) m_owner->m_window = nullptr;
}

void CIPAddressWnd::OnKeyUp(WPARAM key) {
    if (!m_owner) return;
    if (key == VK_DELETE || key == VK_BACK) {
        m_owner->m_updateMode = CIPAddressUI::UpdateEmpty;
        m_owner->UpdateText();
        PostMessage(WM_CLOSE);
    } else if (key == VK_ESCAPE) {
        m_owner->m_updateMode = CIPAddressUI::UpdateCancelled;
        PostMessage(WM_CLOSE);
    }
}

LRESULT CIPAddressWnd::OnEditorKillFocus(UINT msg, WPARAM wParam, LPARAM lParam) {
    const HWND focus = GetFocus();
    if (focus == m_hWnd || IsChild(m_hWnd, focus)) return 0;
    // The system control takes the notification first; its address is read after.
    const LRESULT result = CNativeEditorWnd::HandleMessage(msg, wParam, lParam);
    if (m_owner && m_owner->m_updateMode == CIPAddressUI::UpdateNone) {
        DWORD address = 0;
        SendMessage(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
        m_owner->m_address = address;
        m_owner->m_updateMode = CIPAddressUI::UpdateShow;
        m_owner->UpdateText();
    }
    ::ShowWindow(m_hWnd, SW_HIDE);
    return result;
}

LRESULT CALLBACK CIPAddressWnd::FieldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR data) {
    (void)data;
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, FieldProc, id);
    const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
    if (msg != WM_KEYUP) return result;
    if (wParam != VK_DELETE && wParam != VK_BACK && wParam != VK_ESCAPE) return result;
    const HWND control = GetParent(hwnd);
    if (control) ::SendMessageW(control, WM_KEYUP, wParam, lParam);
    return result;
}

}  // namespace KvUI
