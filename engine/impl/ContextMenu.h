#pragma once
// The context menu's model and parameters handed to the client.
#include <string>
#include <vector>

#include "engine/CefContextMenuHandler.h"
#include "win/RefCounted.h"

namespace kvengine {

class MenuModel : public kvwin::RefCounted<CefMenuModel> {
public:
    struct Item {
        int command = -1;  // -1: a separator
        std::wstring label;
        bool enabled = true;
    };

    bool Clear() override;
    int GetCount() override { return static_cast<int>(m_items.size()); }
    bool AddSeparator() override;
    bool AddItem(int commandId, const CefString& label) override;
    int GetCommandIdAt(int index) override;
    CefString GetLabelAt(int index) override;

    void AddEngineItem(int command, const wchar_t* label, bool enabled);
    const std::vector<Item>& Items() const { return m_items; }

private:
    std::vector<Item> m_items;
};

class MenuParams : public kvwin::RefCounted<CefContextMenuParams> {
public:
    MenuParams(int x, int y, int flags) : m_x(x), m_y(y), m_flags(flags) {}
    int GetXCoord() override { return m_x; }
    int GetYCoord() override { return m_y; }
    int GetTypeFlags() override { return m_flags; }

private:
    const int m_x;
    const int m_y;
    const int m_flags;
};

// Shows the model at the screen point and waits for the choice; 0 when dismissed.
int TrackMenu(HWND owner, const MenuModel& model, POINT screenPoint);

}  // namespace kvengine
