#include "ui/controls/TrayIcon.h"

#include <cwchar>
#include <utility>

#include "ui/core/PaintManagerUI.h"

namespace KvUI {

#if defined(__i386__) || defined(_M_IX86)
static_assert(CTrayIcon::kRecordSize == 952, "the 32-bit program hands the shell 952-byte icon records");
#endif

CTrayIcon::CTrayIcon(ShellNotify shellNotify) : m_shellNotify(std::move(shellNotify)) {}

CTrayIcon::~CTrayIcon() { Delete(); }

void CTrayIcon::Create(HWND window, UINT iconId, LPCTSTR toolTip, UINT message) {
    if (!window || iconId == 0) return;
    // One object shows one icon: a new one takes the place of the old, and
    // keeps the callback message unless it is given a new one.
    const UINT current = m_message;
    Delete();
    m_message = message != 0 ? message : current;
    m_icon = LoadIconW(CPaintManagerUI::GetInstance(), MAKEINTRESOURCEW(iconId));

    m_record = NOTIFYICONDATAW{};
    m_record.cbSize = kRecordSize;
    m_record.hWnd = window;
    m_record.uID = iconId;
    m_record.hIcon = m_icon;
    m_record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_record.uCallbackMessage = m_message;
    if (toolTip) wcsncpy_s(m_record.szTip, ARRAYSIZE(m_record.szTip), toolTip, kMaxTipLength);
    m_enabled = m_shellNotify && m_shellNotify(NIM_ADD, &m_record) != FALSE;
}

void CTrayIcon::Delete() {
    if (m_enabled && m_shellNotify) m_shellNotify(NIM_DELETE, &m_record);
    m_enabled = false;
    m_hidden = false;
    m_message = kDefaultMessage;
}

bool CTrayIcon::SetIcon(HICON icon) {
    if (icon) m_icon = icon;
    m_record.uFlags = NIF_ICON;
    m_record.hIcon = icon;
    // A deleted icon is not brought back by a change of picture.
    if (!m_enabled || !m_shellNotify) return false;
    return m_shellNotify(NIM_MODIFY, &m_record) != FALSE;
}

void CTrayIcon::Hide() {
    if (m_hidden) return;
    SetIcon(nullptr);
    m_hidden = true;
}

void CTrayIcon::RestoreIcon() {
    if (!m_hidden) return;
    SetIcon(m_icon);
    m_hidden = false;
}

}  // namespace KvUI
