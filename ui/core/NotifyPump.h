#pragma once
// Routes a notification to a member handler of the window class through a
// static table (the class's notification map), keyed by notification type
// and control name, optionally through named virtual windows first.
#include <windows.h>

#include "ui/core/UIDefine.h"
#include "ui/core/StringHashMap.h"

namespace KvUI {

class CNotifyPump;

// How a map entry's handler takes the notification.
enum TNotifySignature {
    NotifySigEnd = 0,     // ends the table
    NotifySigParams = 1,  // handler(wParam, lParam)
    NotifySigRecord = 2,  // handler(TUINotify&)
};

using NotifyParamsHandler = void (CNotifyPump::*)(WPARAM, LPARAM);
using NotifyRecordHandler = void (CNotifyPump::*)(TUINotify&);

struct TNotifyMapEntry {
    LPCTSTR type;         // notification type, compared case-sensitively
    LPCTSTR controlName;  // empty: any control
    int signature;
    NotifyParamsHandler onParams;
    NotifyRecordHandler onRecord;
};

struct TNotifyMap {
    const TNotifyMap* base;  // the base class's map; null for the base pump
    const TNotifyMapEntry* entries;
};

class CNotifyPump {
public:
    CNotifyPump() = default;
    CNotifyPump(const CNotifyPump&) = delete;
    CNotifyPump& operator=(const CNotifyPump&) = delete;
    virtual ~CNotifyPump() = default;

    virtual const TNotifyMap* GetMessageMap() const;
    static const TNotifyMap* GetThisNotifyMap();

    // True when a handler ran.
    bool NotifyPump(TUINotify& msg);
    bool LoopDispatch(TUINotify& msg);
    static const TNotifyMapEntry* FindMessageEntry(const TNotifyMapEntry* table, const TUINotify& msg);

protected:
    // Virtual-window name to the pump that handles that window's notifications.
    StringHashMap<CNotifyPump*> m_virtualWnds{83};
};

}  // namespace KvUI

// Declares a class's notification map; its handlers are member functions
// `void OnX(TUINotify&)` or `void OnX(WPARAM, LPARAM)`.
#define KVUI_DECLARE_NOTIFY_MAP()                            \
public:                                                      \
    const ::KvUI::TNotifyMap* GetMessageMap() const override; \
    static const ::KvUI::TNotifyMap* GetThisNotifyMap();

#define KVUI_BEGIN_NOTIFY_MAP(theClass, baseClass)                                  \
    const ::KvUI::TNotifyMap* theClass::GetMessageMap() const {                     \
        return GetThisNotifyMap();                                                  \
    }                                                                               \
    const ::KvUI::TNotifyMap* theClass::GetThisNotifyMap() {                        \
        using ThisClass = theClass;                                                 \
        using BaseClass = baseClass;                                                \
        static const ::KvUI::TNotifyMapEntry entries[] = {
#define KVUI_ON_NOTIFY(type, name, handler)                                  \
    {type, name, ::KvUI::NotifySigRecord, nullptr,                          \
     static_cast<::KvUI::NotifyRecordHandler>(&ThisClass::handler)},
#define KVUI_ON_NOTIFY_PARAMS(type, name, handler)                          \
    {type, name, ::KvUI::NotifySigParams,                                    \
     static_cast<::KvUI::NotifyParamsHandler>(&ThisClass::handler), nullptr},
#define KVUI_END_NOTIFY_MAP()                                                \
    {L"", L"", ::KvUI::NotifySigEnd, nullptr, nullptr}                       \
    };                                                                       \
    static const ::KvUI::TNotifyMap map = {BaseClass::GetThisNotifyMap(), entries}; \
    return &map;                                                             \
    }
