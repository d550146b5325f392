#pragma once
#include "ui/lists/ListUI.h"

namespace KvUI {

class CMenuWnd;

// A context menu: a list of menu elements without a header, shown in a
// CMenuWnd. Only menu elements join it; their own sub-items stay hidden in it.
class CMenuUI : public CListUI {
public:
    CMenuUI();
    ~CMenuUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    // Every row as wide as the widest; the height of all rows.
    SIZE EstimateSize(SIZE available) override;

    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int newIndex) override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;

    int GetListType() const override;

    // The pop-up that shows this menu (not owned).
    CMenuWnd* GetMenuWnd() const { return m_menuWnd; }
    void SetMenuWnd(CMenuWnd* window) { m_menuWnd = window; }

private:
    CMenuWnd* m_menuWnd = nullptr;
};

}  // namespace KvUI
