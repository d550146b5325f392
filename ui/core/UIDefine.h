#pragma once
// What controls, the paint manager and windows share: event numbers and the
// event, notification and timer records, the listener and filter interfaces,
// and the flag words that the manager reads from controls.
#include <windows.h>

#include "ui/core/UIGeometry.h"
#include "ui/core/UIString.h"

namespace KvUI {

class CControlUI;

// Event numbers; controls compare against them, so they never change.
enum TUIEventType {
    EventKeyDown = 3,
    EventKeyUp = 4,
    EventChar = 5,
    EventSysKey = 6,
    EventMouseMove = 9,
    EventMouseLeave = 10,
    EventMouseEnter = 11,
    EventMouseHover = 12,
    EventButtonDown = 13,
    EventButtonUp = 14,
    EventRButtonDown = 15,
    EventRButtonUp = 16,
    EventMButtonDown = 17,
    EventMButtonUp = 18,
    EventDblClick = 19,
    EventContextMenu = 20,
    EventScrollWheel = 21,
    EventKillFocus = 23,
    EventSetFocus = 24,
    EventWindowSize = 25,
    EventSetCursor = 26,
    EventTimer = 27,
};

// Controls treat this range, both ends included, as the mouse events.
constexpr int EventMouseFirst = EventMouseMove;
constexpr int EventMouseLast = EventScrollWheel;

// One control event, as the paint manager hands it to CControlUI::Event.
struct TUIEvent {
    int type = 0;
    CControlUI* sender = nullptr;
    DWORD timestamp = 0;
    POINT mousePoint = {0, 0};
    TCHAR keyChar = 0;
    WORD keyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// One named notification from a control to the application.
struct TUINotify {
    CUIString type;
    CUIString virtualWindow;
    CControlUI* sender = nullptr;
    DWORD timestamp = 0;
    POINT mousePoint = {0, 0};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// A control timer multiplexed onto a window timer of the paint window.
struct TUITimer {
    CControlUI* control = nullptr;
    UINT localId = 0;
    HWND window = nullptr;
    UINT windowTimerId = 0;
    bool killed = false;
};

// The key state word of TUIEvent (MapKeyState).
constexpr WORD UIKEY_LBUTTON = 0x01;
constexpr WORD UIKEY_RBUTTON = 0x02;
constexpr WORD UIKEY_SHIFT = 0x04;
constexpr WORD UIKEY_CONTROL = 0x08;
constexpr WORD UIKEY_ALT = 0x20;

// Bits answered by CControlUI::GetControlFlags.
constexpr UINT UIFLAG_TABSTOP = 0x01;
constexpr UINT UIFLAG_SETCURSOR = 0x02;
constexpr UINT UIFLAG_WANTRETURN = 0x04;

// Flags of the tree search (CControlUI::FindControl).
constexpr UINT UIFIND_ALL = 0x00000000;
constexpr UINT UIFIND_VISIBLE = 0x00000001;
constexpr UINT UIFIND_ENABLED = 0x00000002;
constexpr UINT UIFIND_HITTEST = 0x00000004;
constexpr UINT UIFIND_UPDATETEST = 0x00000008;
constexpr UINT UIFIND_TOP_FIRST = 0x00000010;
constexpr UINT UIFIND_ME_FIRST = 0x80000000;

// The callback of the tree search; `data` is the search's own state.
using FINDCONTROLPROC = CControlUI*(CALLBACK*)(CControlUI* control, LPVOID data);

// The button state word of stateful controls.
constexpr UINT StateFocused = 0x01;
constexpr UINT StateSelected = 0x02;
constexpr UINT StateDisabled = 0x04;
constexpr UINT StateHot = 0x08;
constexpr UINT StatePushed = 0x10;
constexpr UINT StateCaptured = 0x40;

// The asynchronous notification message of every paint window.
constexpr UINT UIMSG_ASYNC_NOTIFY = WM_APP + 1;

// Receives every notification of a window's controls.
class INotifyUI {
public:
    virtual void Notify(TUINotify& msg) = 0;
    virtual ~INotifyUI() = default;
};

// Sees window messages before the paint manager turns them into events;
// setting `handled` consumes the message.
class IMessageFilterUI {
public:
    virtual LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) = 0;
    virtual ~IMessageFilterUI() = default;
};

// A control that may keep the TAB key for its own text instead of passing the
// focus on; the paint manager finds it through GetInterface(L"WantTab").
class IWantTabUI {
public:
    virtual bool IsWantTab() const = 0;

protected:
    ~IWantTabUI() = default;
};

// Offered each queued message first; answering 0 means it was translated.
class ITranslateAccelerator {
public:
    virtual LRESULT TranslateAccelerator(MSG* msg) = 0;
    virtual ~ITranslateAccelerator() = default;
};

// Supplies the display text of controls whose text is a resource id.
class IQueryControlText {
public:
    virtual LPCTSTR QueryControlText(LPCTSTR id, int type) = 0;
    virtual ~IQueryControlText() = default;
};

// A skin colour turned into a GDI colour (alpha dropped, red and blue swapped).
constexpr COLORREF ArgbToColorRef(DWORD argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

}  // namespace KvUI
