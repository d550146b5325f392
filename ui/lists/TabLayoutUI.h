#pragma once
#include "ui/controls/ITabLayoutUI.h"
#include "ui/core/ContainerUI.h"

namespace KvUI {

// A container that shows one of its children, a page, at a time and gives
// that page its whole client area.
class CTabLayoutUI : public CContainerUI, public ITabLayoutUI {
public:
    CTabLayoutUI();
    ~CTabLayoutUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;

    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    void RemoveAll() override;

    virtual bool SelectItemByControl(CControlUI* control);
    // Shows page `index` and sends "tabselect" (new page, previous page).
    bool SelectItem(int index) override;

    // The selected page, -1 when none.
    int GetCurSel() const { return m_curSel; }

protected:
    // Makes the selected page visible and focused and hides the others;
    // returns the selected page.
    CControlUI* ShowSelectedPage();
    // Moves the focus on and sends "tabselect" (new page, `previous`).
    void AnnounceSelection(int previous);

    int m_curSel = -1;
};

}  // namespace KvUI
