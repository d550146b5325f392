#pragma once
#include <windows.h>

#include <shellapi.h>

#include <functional>

namespace KvUI {

// One icon with a tool tip in the notification area for a window: its mouse
// messages reach the window as the callback message, and it can be blanked
// (for flashing) and brought back. A plain object, not a control.
class CTrayIcon {
public:
    // The one platform call; tests put a recorder in its place.
    using ShellNotify = std::function<BOOL(DWORD message, NOTIFYICONDATAW* record)>;

    static constexpr UINT kDefaultMessage = WM_USER + 1;
    // The record as far as the version-3 fields (952 bytes in the 32-bit program).
    static constexpr DWORD kRecordSize = NOTIFYICONDATAW_V3_SIZE;
    // The record's tip holds 127 characters and a terminator.
    static constexpr int kMaxTipLength = 127;

    explicit CTrayIcon(ShellNotify shellNotify = &Shell_NotifyIconW);
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;
    ~CTrayIcon();

    // Adds the icon of resource `iconId` for `window`; a second call replaces
    // the first icon. A `message` of 0 keeps the current callback message.
    void Create(HWND window, UINT iconId, LPCTSTR toolTip = nullptr, UINT message = 0);
    void Delete();
    // Shows `icon`, or a blank for null; true only when the shell took it.
    bool SetIcon(HICON icon);
    void Hide();
    void RestoreIcon();

    bool IsEnabled() const { return m_enabled; }
    bool IsHidden() const { return m_hidden; }
    UINT GetCallbackMessage() const { return m_message; }

private:
    bool m_enabled = false;
    bool m_hidden = false;
    UINT m_message = kDefaultMessage;
    HICON m_icon = nullptr;
    NOTIFYICONDATAW m_record = {};
    ShellNotify m_shellNotify;
};

}  // namespace KvUI
