#pragma once
#include "ui/core/ControlUI.h"
#include "ui/lists/ListItemCore.h"

namespace KvUI {

// The base of the rows that are single controls: selects itself for its
// owner, activates on double-click and Enter, and hands every other event to
// its owner so that keys and the wheel reach the list or combo box.
class CListElementUI : public CControlUI, public CListItemCore {
public:
    CListElementUI();
    ~CListElementUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    UINT GetControlFlags() const override;
    bool Activate() override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;

    void DrawItemText(HDC dc, const RECT& item) override;
};

}  // namespace KvUI
