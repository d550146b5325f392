// winsock2.h must come before windows.h, which the header brings.
#include <winsock2.h>

#include "ui/controls/IPAddressUI.h"

#include <cwchar>

#include "ui/controls/IPAddressWnd.h"
#include "ui/core/PaintManagerUI.h"

namespace KvUI {
namespace {

// Windows Sockets for the length of one look-up.
class SocketsSession {
public:
    SocketsSession() {
        WSADATA data;
        m_started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    SocketsSession(const SocketsSession&) = delete;
    SocketsSession& operator=(const SocketsSession&) = delete;
    ~SocketsSession() {
        if (m_started) WSACleanup();
    }
    bool Started() const { return m_started; }

private:
    bool m_started = false;
};

}  // namespace

DWORD GetLocalIpAddress() {
    const SocketsSession sockets;
    if (!sockets.Started()) return 0;
    char name[256] = {};
    if (gethostname(name, sizeof name) != 0) return 0;
    const hostent* host = gethostbyname(name);
    if (!host || host->h_addrtype != AF_INET || !host->h_addr_list || !host->h_addr_list[0]) return 0;
    const auto* octets = reinterpret_cast<const unsigned char*>(host->h_addr_list[0]);
    return (static_cast<DWORD>(octets[0]) << 24) | (static_cast<DWORD>(octets[1]) << 16) |
           (static_cast<DWORD>(octets[2]) << 8) | octets[3];
}

CIPAddressUI::CIPAddressUI() : m_address(GetLocalIpAddress()) {
    m_updateMode = UpdateShow;
    UpdateText();
    m_updateMode = UpdateNone;
}

CIPAddressUI::~CIPAddressUI() {
    if (m_window) m_window->Abandon();
}

LPCTSTR CIPAddressUI::GetClass() const { return L"IPAddressUI"; }

LPVOID CIPAddressUI::GetInterface(LPCTSTR name) {
    if (name && wcscmp(name, L"IPAddress") == 0) return static_cast<CIPAddressUI*>(this);
    return CLabelUI::GetInterface(name);
}

void CIPAddressUI::DoEvent(TUIEvent& event) {
    if (ForwardMouseWhileDisabled(event)) return;
    if (HandleNativeEditorEvent(*this, m_window != nullptr, event)) return;
    switch (event.type) {
    case EventSetFocus:
        // The window taking the focus back repeats this event: an editor that
        // exists (perhaps hidden after its editing) is left alone.
        if (!IsEnabled()) break;
        if (!m_window) OpenEditor();
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
        // Only a focused field makes an editor; one that exists (hidden after
        // its editing) comes back on any click, such as a double click, which
        // moves no focus.
        if (IsFocused() || m_window) OpenEditor();
        return;
    case EventMouseMove:
    case EventButtonUp:
    case EventContextMenu:
    case EventMouseEnter:
    case EventMouseLeave:
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CIPAddressUI::UpdateText() {
    if (m_updateMode == UpdateEmpty) {
        SetText(L"");
    } else if (m_updateMode == UpdateShow) {
        wchar_t text[16];
        swprintf(text, 16, L"%d.%d.%d.%d", static_cast<int>((m_address >> 24) & 0xFF),
                 static_cast<int>((m_address >> 16) & 0xFF), static_cast<int>((m_address >> 8) & 0xFF),
                 static_cast<int>(m_address & 0xFF));
        SetText(text);
    }
}

void CIPAddressUI::SetIP(DWORD address) {
    m_address = address;
    m_updateMode = UpdateShow;
    UpdateText();
}

void CIPAddressUI::OpenEditor() {
    if (!m_window) m_window = CIPAddressWnd::Create(this);
    if (!m_window) return;
    m_window->Init();
}

}  // namespace KvUI
