#pragma once
// How item-owning controls (list, combo box, tree, menu) and their items
// talk to each other, and the drawing record an owner shares with its items.
// Controls find these parts through CControlUI::GetInterface: "IListOwner",
// "IList" and "ListItem".
#include <windows.h>

#include "ui/core/UIDefine.h"
#include "ui/core/UIString.h"

namespace KvUI {

class CControlUI;
class CContainerUI;
class CListHeaderUI;

// The owner's drawing settings for its items; items read it at every paint,
// so a change on the owner shows at the items' next repaint.
struct TListInfo {
    // The header never yields more columns than this.
    static constexpr int kMaxColumns = 32;

    int nColumns = 0;
    RECT rcColumn[kMaxColumns] = {};
    int nFont = -1;
    UINT uTextStyle = DT_VCENTER | DT_SINGLELINE;
    RECT rcTextPadding = {};
    DWORD dwTextColor = 0xFF000000;
    DWORD dwBkColor = 0;
    CUIString sBkImage;
    bool bAlternateBk = false;
    DWORD dwSelectedTextColor = 0xFF000000;
    DWORD dwSelectedBkColor = 0xFFC1E3FF;
    CUIString sSelectedImage;
    DWORD dwHotTextColor = 0xFF000000;
    DWORD dwHotBkColor = 0xFFE9F5FF;
    CUIString sHotImage;
    DWORD dwDisabledTextColor = 0xFFCCCCCC;
    DWORD dwDisabledBkColor = 0xFFFFFFFF;
    CUIString sDisabledImage;
    DWORD dwLineColor = 0;
    bool bShowRowLine = false;
    bool bShowColumnLine = false;
    bool bShowHtml = false;
    bool bMultiExpandable = false;
    bool bRSelected = false;
};

// Owner list types, as GetListType answers them.
constexpr int kListTypeList = 0;
constexpr int kListTypeCombo = 1;
constexpr int kListTypeTree = 2;
constexpr int kListTypeMenu = 3;

// What every owner of list items offers its items.
class IListOwnerUI {
public:
    virtual int GetListType() const = 0;
    virtual TListInfo* GetListInfo() = 0;
    // The current selection, -1 for none.
    virtual int GetCurSel() const = 0;
    virtual bool SelectItem(int index, bool takeFocus = false) = 0;
    virtual bool SelectMultiItem(int index, bool takeFocus = false) = 0;
    // Removes `index` from the selection, or with `others` every index but it.
    virtual bool UnSelectItem(int index, bool others = false) = 0;
    // Items hand the events they do not consume to their owner.
    virtual void DoEvent(TUIEvent& event) = 0;

protected:
    ~IListOwnerUI() = default;
};

// Supplies the texts of a list's cells instead of the rows' own texts.
class IListTextCallback {
public:
    virtual LPCTSTR GetItemText(CControlUI* item, int row, int column) = 0;
    virtual ~IListTextCallback() = default;
};

// A list: an owner with a header, a body of rows, a text callback, expansion
// and multiple selection.
class IListUI : public IListOwnerUI {
public:
    virtual CListHeaderUI* GetHeader() const = 0;
    virtual CContainerUI* GetList() const = 0;
    virtual IListTextCallback* GetTextCallback() const = 0;
    virtual void SetTextCallback(IListTextCallback* callback) = 0;
    virtual bool ExpandItem(int index, bool expand = true) = 0;
    virtual int GetExpandedItem() const = 0;
    virtual void SetMultiSelect(bool multiSelect) = 0;
    virtual bool IsMultiSelect() const = 0;
    virtual void SelectAllItems() = 0;
    virtual void UnSelectAllItems() = 0;
    virtual int GetSelectItemCount() const = 0;
    // The selected index after `after` in selection order; the first for a
    // negative `after`; -1 when there is none.
    virtual int GetNextSelItem(int after) const = 0;

protected:
    ~IListUI() = default;
};

// One item of a list, combo box, tree or menu.
class IListItemUI {
public:
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int index) = 0;
    virtual IListOwnerUI* GetOwner() const = 0;
    // Takes the owner's "IListOwner" part.
    virtual void SetOwner(CControlUI* owner) = 0;
    virtual bool IsSelected() const = 0;
    virtual bool Select(bool select = true) = 0;
    virtual bool SelectMulti(bool select = true) = 0;
    virtual bool IsExpanded() const = 0;
    virtual bool Expand(bool expand = true) = 0;
    virtual void DrawItemText(HDC dc, const RECT& item) = 0;

protected:
    ~IListItemUI() = default;
};

// What an item attribute changed in the list info: None when the name is
// not one of the item attributes.
enum class ListInfoChange { None, Stored, Layout, Repaint };

// Reads one of the item attributes that lists and combo boxes share
// ("itemfont", "itemalign", "itemtextcolor", ...) into `info`.
ListInfoChange SetListInfoAttribute(TListInfo& info, LPCTSTR name, LPCTSTR value);

}  // namespace KvUI
