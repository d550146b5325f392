#pragma once
#include "ui/lists/ListCheckBox.h"
#include "ui/lists/ListTextRowBase.h"

namespace KvUI {

class CListExUI;
class CListUI;

// A text row of the extended list: a click on a cell of a focused list
// opens that column's editor over it, a check box at the row's left edge
// shows when a column is checkable ("listitemchecked" with the row's index
// and the new check when clicked), and cells may have colours of their own.
class CListTextExtElementUI : public CListTextRowBase {
public:
    CListTextExtElementUI();
    ~CListTextExtElementUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    UINT GetControlFlags() const override;
    void SetOwner(CControlUI* owner) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;

    // Only for a column of the owning list.
    void SetColumnText(int column, LPCTSTR text);

    bool GetCheck() const { return m_checkBox.GetCheck(); }
    void SetCheck(bool checked);
    // The row's one check box, whichever checkable column asks.
    RECT GetCheckBoxRect(int column) const;

    // The column whose cell, less the item text padding, holds `pt`; -1 for none.
    int HitTestColumn(POINT pt) const;
    // The cell of `column` inside the row's grid lines, relative to the
    // list's top-left corner.
    RECT GetColumnRect(int column) const;

    // A colour filling the cell of `column` under its text.
    void SetCellColor(int column, DWORD color);

protected:
    void DrawCellBk(HDC dc, int column, const RECT& cell) override;
    int CellIndent(int column) override;
    UINT CellStyle() const override;

private:
    struct CellColor {
        bool set = false;
        DWORD color = 0;
    };

    bool IsCheckable(int column) const;
    bool HasCheckBox() const;
    void DoCheckBoxEvent(const TUIEvent& event);

    CListUI* m_list = nullptr;
    // The same list when it is an extended one, which edits and checks.
    CListExUI* m_listEx = nullptr;
    CListCheckBox m_checkBox;
    CellColor m_cellColors[TListInfo::kMaxColumns];
};

}  // namespace KvUI
