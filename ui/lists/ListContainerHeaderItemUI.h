#pragma once
#include "ui/lists/ListCheckBox.h"
#include "ui/lists/ListHeaderItemBase.h"

namespace KvUI {

// A column of the extended list's header: a header item laid out as a
// horizontal layout that also marks its column editable (a text editor),
// comboable (a combo box) or checkable (rows show a check box), and then
// carries a check box of its own that checks every row. A press off the
// separator sends "listheaderclick"; a click on the box sends
// "listheaditemchecked" with the item's index and the new check.
class CListContainerHeaderItemUI : public CListHeaderItemBase<CHorizontalLayoutUI> {
public:
    CListContainerHeaderItemUI();
    ~CListContainerHeaderItemUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    void PaintStatusImage(HDC dc) override;
    void PaintText(HDC dc) override;

    bool IsColumnEditable() const { return m_editable; }
    void SetColumnEditable(bool editable) { m_editable = editable; }
    bool IsColumnComboable() const { return m_comboable; }
    void SetColumnComboable(bool comboable) { m_comboable = comboable; }
    bool IsColumnCheckable() const { return m_checkable; }
    void SetColumnCheckable(bool checkable);

    bool GetCheck() const { return m_checkBox.GetCheck(); }
    void SetCheck(bool checked);
    RECT GetCheckBoxRect() const;

private:
    void DoCheckBoxEvent(const TUIEvent& event);
    void DrawCheckBoxImage(HDC dc);

    bool m_editable = false;
    bool m_comboable = false;
    bool m_checkable = false;
    CListCheckBox m_checkBox;
};

}  // namespace KvUI
