#pragma once
#include "ui/lists/ListTextRowBase.h"

namespace KvUI {

// A row with one text per column, drawn in the columns of its list's
// header; with the list's "itemshowhtml" the texts may hold links, which
// report "link" when clicked.
class CListTextElementUI : public CListTextRowBase {
public:
    CListTextElementUI();
    ~CListTextElementUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    UINT GetControlFlags() const override;
    void DoEvent(TUIEvent& event) override;

    using CControlUI::SetText;
    void SetText(int column, LPCTSTR text);
};

}  // namespace KvUI
