#pragma once
#include "ui/controls/OptionUI.h"

namespace KvUI {

// An option that reports its new state with "selectchanged" and, with auto
// check on, toggles itself on the mouse press.
class CCheckBoxUI : public COptionUI {
public:
    CCheckBoxUI();
    ~CCheckBoxUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    // "selectchanged" carries the new state: 1 selected, 0 not.
    void Selected(bool selected, bool notify = true) override;

private:
    bool m_autoCheck = false;
};

}  // namespace KvUI
