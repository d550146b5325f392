#pragma once
#include <vector>

#include "ui/lists/ListLabelElementUI.h"

namespace KvUI {

// What the rows with one text per column share: the texts, drawn in the
// columns of the owning list's header (or taken from the list's text
// callback), and the links those texts hold with the list's
// "itemshowhtml", which report "link" when clicked.
class CListTextRowBase : public CListLabelElementUI {
public:
    ~CListTextRowBase() override;

    void SetOwner(CControlUI* owner) override;
    SIZE EstimateSize(SIZE available) override;

    using CControlUI::GetText;
    // The text of `column`; empty when the row has none there.
    CUIString GetText(int column) const;

    void DrawItemText(HDC dc, const RECT& item) override;

protected:
    CListTextRowBase();

    // The hand over a link, "link" on a release over one, and the hovered
    // link; true when `event` was consumed.
    bool HandleLinks(const TUIEvent& event);
    int LinkCount() const { return m_linkCount; }

    // What a kind of row adds to a cell: a background under the whole cell,
    // room at the left of its text, and text style flags.
    virtual void DrawCellBk(HDC dc, int column, const RECT& cell);
    virtual int CellIndent(int column);
    virtual UINT CellStyle() const;

    IListUI* m_ownerList = nullptr;
    std::vector<CUIString> m_columnTexts;

private:
    static constexpr int kMaxLinks = 8;

    // The link under `pt`, or -1.
    int LinkAt(POINT pt) const;

    int m_linkCount = 0;
    RECT m_linkRects[kMaxLinks] = {};
    CUIString m_linkTexts[kMaxLinks];
    int m_hoverLink = -1;
};

}  // namespace KvUI
