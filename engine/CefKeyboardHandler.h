#pragma once
// Keys pressed in a browser window; called on the UI thread.
#include <windows.h>

#include <cstdint>

#include "engine/CefBrowser.h"

namespace kvengine {

enum cef_key_event_type_t {
    KEYEVENT_RAWKEYDOWN = 0,  // WM_KEYDOWN, WM_SYSKEYDOWN
    KEYEVENT_KEYUP,           // WM_KEYUP, WM_SYSKEYUP
    KEYEVENT_CHAR,            // WM_CHAR, WM_SYSCHAR
};

enum cef_event_flags_t {
    EVENTFLAG_NONE = 0,
    EVENTFLAG_CAPS_LOCK_ON = 1 << 0,
    EVENTFLAG_SHIFT_DOWN = 1 << 1,
    EVENTFLAG_CONTROL_DOWN = 1 << 2,
    EVENTFLAG_ALT_DOWN = 1 << 3,
};

struct CefKeyEvent {
    cef_key_event_type_t type = KEYEVENT_RAWKEYDOWN;
    uint32_t modifiers = EVENTFLAG_NONE;
    int windows_key_code = 0;  // the virtual key, or the character for KEYEVENT_CHAR
    int native_key_code = 0;   // the message's lParam
    bool is_system_key = false;
};

// The window message the event came from.
typedef MSG* CefEventHandle;

class CefKeyboardHandler : public virtual CefBase {
public:
    // Before the page sees the key; true consumes it.
    virtual bool OnPreKeyEvent(CefRefPtr<CefBrowser> browser, const CefKeyEvent& event, CefEventHandle osEvent,
                               bool* isKeyboardShortcut) {
        (void)browser; (void)event; (void)osEvent; (void)isKeyboardShortcut;
        return false;
    }
    // A key the page did not use; true consumes it.
    virtual bool OnKeyEvent(CefRefPtr<CefBrowser> browser, const CefKeyEvent& event, CefEventHandle osEvent) {
        (void)browser; (void)event; (void)osEvent;
        return false;
    }
};

}  // namespace kvengine
