#pragma once
#include <vector>

#include "ui/lists/ListLabelElementUI.h"

namespace KvUI {

// A row with one text per column, drawn in the columns of its list's
// header; with the list's "itemshowhtml" the texts may hold links, which
// report "link" when clicked.
class CListTextElementUI : public CListLabelElementUI {
public:
    CListTextElementUI();
    ~CListTextElementUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    UINT GetControlFlags() const override;
    void SetOwner(CControlUI* owner) override;
    void DoEvent(TUIEvent& event) override;
    SIZE EstimateSize(SIZE available) override;

    using CControlUI::GetText;
    using CControlUI::SetText;
    // The text of `column`; empty when the row has none there.
    CUIString GetText(int column) const;
    void SetText(int column, LPCTSTR text);

    void DrawItemText(HDC dc, const RECT& item) override;

private:
    static constexpr int kMaxLinks = 8;

    // The link under `pt`, or -1.
    int LinkAt(POINT pt) const;

    int m_linkCount = 0;
    RECT m_linkRects[kMaxLinks] = {};
    CUIString m_linkTexts[kMaxLinks];
    int m_hoverLink = -1;
    IListUI* m_ownerList = nullptr;
    std::vector<CUIString> m_columnTexts;
};

}  // namespace KvUI
