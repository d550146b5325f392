#pragma once
#include <vector>

#include "ui/core/VerticalLayoutUI.h"
#include "ui/lists/ListInterfaces.h"

namespace KvUI {

class CListBodyUI;
class CListHeaderUI;

// The list control: a header whose items are the columns, above a body of
// rows that draw from the list's item settings. It keeps a single or
// multiple selection of rows, moves it with the keyboard, and scrolls the
// selected row into view. Its child-list and scrolling operations act on
// the rows in the body.
class CListUI : public CVerticalLayoutUI, public IListUI {
public:
    CListUI();
    ~CListUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    UINT GetControlFlags() const override;

    // Owner of the rows.
    int GetListType() const override;
    TListInfo* GetListInfo() override;
    int GetCurSel() const override;
    bool SelectItem(int index, bool takeFocus = false) override;
    bool SelectMultiItem(int index, bool takeFocus = false) override;
    bool UnSelectItem(int index, bool others = false) override;
    void DoEvent(TUIEvent& event) override;

    CListHeaderUI* GetHeader() const override;
    CContainerUI* GetList() const override;
    IListTextCallback* GetTextCallback() const override;
    void SetTextCallback(IListTextCallback* callback) override;
    bool ExpandItem(int index, bool expand = true) override;
    int GetExpandedItem() const override;
    void SetMultiSelect(bool multiSelect) override;
    bool IsMultiSelect() const override;
    void SelectAllItems() override;
    void UnSelectAllItems() override;
    int GetSelectItemCount() const override;
    int GetNextSelItem(int after) const override;

    // Rows; a header joins the list, header items join the header.
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int newIndex) override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    // Scrolling and the rows' disposal belong to the body.
    SIZE GetScrollPos() const override;
    SIZE GetScrollRange() const override;
    void SetScrollPos(SIZE pos, bool notify = true) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void HomeUp() override;
    void EndDown() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void HomeLeft() override;
    void EndRight() override;
    void EnableScrollBar(bool enableVertical = true, bool enableHorizontal = false) override;
    CScrollBarUI* GetVerticalScrollBar() const override;
    CScrollBarUI* GetHorizontalScrollBar() const override;
    bool IsDelayedDestroy() const override;
    void SetDelayedDestroy(bool delayed) override;
    int GetChildPadding() const override;
    void SetChildPadding(int padding) override;

    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;

    // Scrolls the body so that row `index` shows whole.
    void EnsureVisible(int index);

    // The body always keeps room for its vertical scroll bar.
    bool IsFixedScrollBar() const { return m_fixedScrollBar; }
    void SetFixedScrollBar(bool fixed);
    // The wheel moves the selection instead of scrolling.
    bool IsScrollSelect() const { return m_scrollSelect; }
    void SetScrollSelect(bool scrollSelect) { m_scrollSelect = scrollSelect; }

    // What the extended list's cell editors answer; plain lists have none.
    virtual bool IsColumnEditable(int column);
    virtual CControlUI* GetEditUI();
    virtual bool IsColumnComboable(int column);
    virtual CControlUI* GetComboUI();

private:
    bool AddHeader(CListHeaderUI* header);
    void UpdateColumnCount();
    // Gives rows from `first` to `last` (both included) their index again.
    void Renumber(int first, int last);
    // Maps every remembered row index through `map`; -1 drops it.
    template <class Map>
    void RemapSelection(Map map);
    bool HandleKey(const TUIEvent& event);
    // Moves the selection from the smallest (up) or largest (down) selected row.
    void StepSelection(bool down);

    bool m_fixedScrollBar = false;
    bool m_scrollSelect = false;
    int m_curSel = -1;
    bool m_multiSelect = false;
    // Selected row indices, in the order they were selected.
    std::vector<int> m_selected;
    int m_expandedItem = -1;
    IListTextCallback* m_textCallback = nullptr;
    CListBodyUI* m_body = nullptr;
    CListHeaderUI* m_header = nullptr;
    TListInfo m_listInfo;
    // Above 0 while the list itself changes rows' selection: what the rows
    // then report back is already being done.
    int m_rowCalls = 0;
};

}  // namespace KvUI
