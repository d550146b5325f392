#include "engine/impl/ContextMenu.h"

#include "win/UniqueHandle.h"

namespace kvengine {

bool MenuModel::Clear() {
    m_items.clear();
    return true;
}

bool MenuModel::AddSeparator() {
    m_items.push_back({-1, {}, true});
    return true;
}

bool MenuModel::AddItem(int commandId, const CefString& label) {
    if (commandId < 0) return false;
    m_items.push_back({commandId, label.ToWString(), true});
    return true;
}

int MenuModel::GetCommandIdAt(int index) {
    return index >= 0 && index < GetCount() ? m_items[static_cast<size_t>(index)].command : -1;
}

CefString MenuModel::GetLabelAt(int index) {
    return index >= 0 && index < GetCount() ? CefString(m_items[static_cast<size_t>(index)].label) : CefString();
}

void MenuModel::AddEngineItem(int command, const wchar_t* label, bool enabled) {
    m_items.push_back({command, label, enabled});
}

int TrackMenu(HWND owner, const MenuModel& model, POINT screenPoint) {
    const kvwin::UniqueMenu owned(CreatePopupMenu());
    HMENU menu = owned.get();
    if (!menu) return 0;
    for (const MenuModel::Item& item : model.Items()) {
        if (item.command < 0) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(menu, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED),
                        static_cast<UINT_PTR>(item.command), item.label.c_str());
        }
    }
    const int chosen = static_cast<int>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                       screenPoint.x, screenPoint.y, 0, owner, nullptr));
    return chosen;
}

}  // namespace kvengine
