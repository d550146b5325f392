#include "ui/core/NotifyPump.h"

#include <cwchar>

#include "ui/core/ControlUI.h"

namespace KvUI {

const TNotifyMap* CNotifyPump::GetThisNotifyMap() {
    static const TNotifyMapEntry entries[] = {{L"", L"", NotifySigEnd, nullptr, nullptr}};
    static const TNotifyMap map = {nullptr, entries};
    return &map;
}

const TNotifyMap* CNotifyPump::GetMessageMap() const { return GetThisNotifyMap(); }

bool CNotifyPump::NotifyPump(TUINotify& msg) {
    if (!msg.virtualWindow.IsEmpty()) {
        bool handled = false;
        m_virtualWnds.ForEach([&](const CUIString& name, CNotifyPump* pump) {
            if (msg.virtualWindow.CompareNoCase(name) != 0) return false;
            handled = pump && pump->LoopDispatch(msg);
            return handled;
        });
        if (handled) return true;
    }
    return LoopDispatch(msg);
}

bool CNotifyPump::LoopDispatch(TUINotify& msg) {
    for (const TNotifyMap* map = GetMessageMap(); map; map = map->base) {
        const TNotifyMapEntry* entry = FindMessageEntry(map->entries, msg);
        if (!entry) continue;
        switch (entry->signature) {
        case NotifySigParams:
            (this->*entry->onParams)(msg.wParam, msg.lParam);
            return true;
        case NotifySigRecord:
            (this->*entry->onRecord)(msg);
            return true;
        default:
            return false;
        }
    }
    return false;
}

const TNotifyMapEntry* CNotifyPump::FindMessageEntry(const TNotifyMapEntry* table, const TUINotify& msg) {
    if (!table) return nullptr;
    const TNotifyMapEntry* anyControl = nullptr;
    for (; table->signature != NotifySigEnd; ++table) {
        if (msg.type != table->type) continue;
        if (!table->controlName || !*table->controlName) {
            anyControl = table;
            continue;
        }
        // A notification whose sender died has no name to match.
        if (msg.sender && msg.sender->GetName() == table->controlName) return table;
    }
    return anyControl;
}

}  // namespace KvUI
