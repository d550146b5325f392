#pragma once
// What the pop-up tests share: the pop-up windows of this thread, clicks and
// hovers sent to a pop-up at a control, and the menu commands that reach a
// host window.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "lists/ListsKit.h"
#include "ui/lists/ComboBoxUI.h"
#include "ui/lists/ComboUI.h"
#include "ui/lists/MenuElementUI.h"
#include "ui/lists/MenuUI.h"
#include "ui/lists/MenuWnd.h"

namespace kvtest {

struct WindowSearch {
    LPCTSTR className;
    std::vector<HWND> found;
};

inline BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (wcscmp(name, search->className) == 0) search->found.push_back(window);
    return TRUE;
}

// This thread's windows of a class, topmost first.
inline std::vector<HWND> ThreadWindows(LPCTSTR className) {
    WindowSearch search{className, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline HWND OnlyWindow(LPCTSTR className) {
    const std::vector<HWND> windows = ThreadWindows(className);
    return windows.size() == 1 ? windows[0] : nullptr;
}

inline bool WaitForWindowCount(LPCTSTR className, size_t count) {
    return PumpUntil([&] { return ThreadWindows(className).size() == count; });
}

inline RECT WindowRect(HWND window) {
    RECT rc{};
    GetWindowRect(window, &rc);
    return rc;
}

// Pop-ups lay their controls out when they first paint.
inline bool WaitLaidOut(const CControlUI* control) {
    return PumpUntil([control] { return !IsRectEmpty(&control->GetPos()); });
}

inline POINT Centre(const CControlUI* control) {
    const RECT& rc = control->GetPos();
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

// The control's rectangle on the screen.
inline RECT ScreenRect(const CControlUI* control) {
    RECT rc = control->GetPos();
    MapWindowPoints(control->GetManager()->GetPaintWindow(), HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

inline void HoverControl(const CControlUI* control) {
    const POINT pt = Centre(control);
    SendMessageW(control->GetManager()->GetPaintWindow(), WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
}

inline void ClickControl(const CControlUI* control) {
    const HWND window = control->GetManager()->GetPaintWindow();
    const POINT pt = Centre(control);
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    if (IsWindow(window)) SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
}

// Catches the menu commands posted to a window, as its owner reads them.
class CommandCatcher : public IMessageFilterUI {
public:
    LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool& handled) override {
        if (msg != MenuCommandMessage) return 0;
        records.push_back(*AdoptMenuCommand(wParam));
        handled = true;
        return 0;
    }
    std::vector<MenuCommandRecord> records;
};

}  // namespace kvtest
