#pragma once
#include "ui/controls/RichEditUI.h"
#include "ui/lists/ComboBoxUI.h"
#include "ui/lists/ListUI.h"

namespace KvUI {

class CListContainerHeaderItemUI;
class CListTextExtElementUI;

// Fills the combo editor's items each time it opens on a cell.
class IListComboCallback {
public:
    virtual void FillComboItems(CComboBoxUI* combo, int row, int column) = 0;
    virtual ~IListComboCallback() = default;
};

// A list that works as a small grid editor. Its header's columns
// (CListContainerHeaderItemUI) say which cells a click edits in place, with
// a single-line rich edit ("ListEx_Edit") or a combo box ("ListEx_Combo"),
// and which columns show check boxes in the rows (CListTextExtElementUI).
// It learns of edits and checks through the window's notifications: the
// host registers it with CPaintManagerUI::AddNotifier.
class CListExUI : public CListUI, public INotifyUI {
public:
    CListExUI();
    ~CListExUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void DoEvent(TUIEvent& event) override;
    void Notify(TUINotify& msg) override;

    bool IsColumnEditable(int column) override;
    CRichEditUI* GetEditUI() override;
    bool IsColumnComboable(int column) override;
    CComboBoxUI* GetComboUI() override;
    virtual bool IsColumnCheckable(int column);
    virtual IListComboCallback* GetComboCallback() const;
    virtual void SetComboCallback(IListComboCallback* callback);

    // Opens the editor of `column` over `cell` (relative to the list's
    // top-left corner) with `text`; a column without one, or -1, closes them.
    void ShowCellEditor(int row, int column, const RECT& cell, LPCTSTR text);
    void HideEditAndComboCtrl();
    // The check boxes of the checkable columns' header items show whether
    // every row is checked.
    void UpdateHeaderCheck();

    // The cell being edited, -1 when none.
    int GetEditingRow() const { return m_editRow; }
    int GetEditingColumn() const { return m_editColumn; }

private:
    CListContainerHeaderItemUI* HeaderItem(int column) const;
    CListTextExtElementUI* ExtRow(int index) const;
    // Puts `editor` over `cell` of the list.
    void PlaceEditor(CControlUI& editor, const RECT& cell);
    void ShowTextEditor(const RECT& cell, LPCTSTR text);
    void ShowComboEditor(int row, int column, const RECT& cell, LPCTSTR text);
    // Writes the editor's text into the cell being edited.
    void WriteCell(const CUIString& text);
    void NotifyEditor(const TUINotify& msg);

    CRichEditUI* m_editUI = nullptr;
    CComboBoxUI* m_comboUI = nullptr;
    int m_editRow = -1;
    int m_editColumn = -1;
    IListComboCallback* m_comboCallback = nullptr;
};

}  // namespace KvUI
