#include "ui/lists/ListUI.h"

#include <algorithm>
#include <cwchar>
#include <memory>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/lists/ListBodyUI.h"
#include "ui/lists/ListHeaderUI.h"

namespace KvUI {
namespace {

IListItemUI* ListItemOf(CControlUI* control) {
    return control ? static_cast<IListItemUI*>(control->GetInterface(L"ListItem")) : nullptr;
}

bool IsHeaderItem(CControlUI* control) { return wcsstr(control->GetClass(), L"ListHeaderItemUI") != nullptr; }

bool IsMouseEvent(int type) { return type >= EventMouseFirst && type <= EventMouseLast; }

// Counts the list's own calls into its rows while they run.
class RowCallScope {
public:
    explicit RowCallScope(int& depth) : m_depth(depth) { ++m_depth; }
    RowCallScope(const RowCallScope&) = delete;
    RowCallScope& operator=(const RowCallScope&) = delete;
    ~RowCallScope() { --m_depth; }

private:
    int& m_depth;
};

}  // namespace

CListUI::CListUI() {
    auto body = std::make_unique<CListBodyUI>(this);
    auto header = std::make_unique<CListHeaderUI>();
    if (Add(header.get())) header.release();
    if (CContainerUI::AddAt(body.get(), OwnCount())) m_body = body.release();
}

CListUI::~CListUI() = default;

LPCTSTR CListUI::GetClass() const { return L"ListUI"; }

LPVOID CListUI::GetInterface(LPCTSTR name) {
    if (!name) return nullptr;
    if (attribute::Is(name, L"List")) return static_cast<CListUI*>(this);
    if (attribute::Is(name, L"IList")) return static_cast<IListUI*>(this);
    if (attribute::Is(name, L"IListOwner")) return static_cast<IListOwnerUI*>(this);
    return CVerticalLayoutUI::GetInterface(name);
}

UINT CListUI::GetControlFlags() const { return UIFLAG_TABSTOP; }

// ---- Selection ----

int CListUI::GetListType() const { return kListTypeList; }
TListInfo* CListUI::GetListInfo() { return &m_listInfo; }
int CListUI::GetCurSel() const { return m_selected.empty() ? -1 : m_selected.front(); }

bool CListUI::SelectItem(int index, bool takeFocus) {
    if (m_rowCalls > 0) return true;
    UnSelectAllItems();
    if (index < 0) return false;
    CControlUI* row = GetItemAt(index);
    IListItemUI* item = ListItemOf(row);
    if (!item) return false;
    {
        const RowCallScope scope(m_rowCalls);
        if (!item->Select(true)) return false;
    }
    m_curSel = index;
    m_selected.push_back(index);
    EnsureVisible(index);
    if (takeFocus) row->SetFocus();
    if (m_manager) m_manager->SendNotify(this, L"itemselect", static_cast<WPARAM>(index), 0);
    return true;
}

bool CListUI::SelectMultiItem(int index, bool takeFocus) {
    if (m_rowCalls > 0) return true;
    if (!m_multiSelect) return SelectItem(index, takeFocus);
    if (index < 0) return false;
    CControlUI* row = GetItemAt(index);
    IListItemUI* item = ListItemOf(row);
    if (!item) return false;
    if (std::find(m_selected.begin(), m_selected.end(), index) != m_selected.end()) return false;
    {
        const RowCallScope scope(m_rowCalls);
        if (!item->SelectMulti(true)) return false;
    }
    m_curSel = index;
    m_selected.push_back(index);
    EnsureVisible(index);
    if (takeFocus) row->SetFocus();
    if (m_manager) m_manager->SendNotify(this, L"itemselect", static_cast<WPARAM>(index), 0);
    return true;
}

// Removing one index works in both selection modes, so that a row that
// deselects itself (a Ctrl-click) leaves the selected set as well.
bool CListUI::UnSelectItem(int index, bool others) {
    if (m_rowCalls > 0) return true;
    const RowCallScope scope(m_rowCalls);
    if (others) {
        if (!m_multiSelect) return false;
        for (size_t k = m_selected.size(); k-- > 0;) {
            const int selected = m_selected[k];
            if (selected == index) continue;
            CControlUI* row = GetItemAt(selected);
            IListItemUI* item = ListItemOf(row);
            if (!item || !row->IsEnabled() || !item->SelectMulti(false)) continue;
            m_selected.erase(m_selected.begin() + static_cast<std::ptrdiff_t>(k));
        }
        // The index last selected may have gone: the one kept takes its place.
        if (std::find(m_selected.begin(), m_selected.end(), m_curSel) == m_selected.end()) {
            m_curSel = std::find(m_selected.begin(), m_selected.end(), index) != m_selected.end() ? index : -1;
        }
        return true;
    }
    if (index < 0) return false;
    CControlUI* row = GetItemAt(index);
    IListItemUI* item = ListItemOf(row);
    if (!item || !row->IsEnabled()) return false;
    const auto it = std::find(m_selected.begin(), m_selected.end(), index);
    if (it == m_selected.end() || !item->SelectMulti(false)) return false;
    if (m_curSel == index) m_curSel = -1;
    m_selected.erase(it);
    return true;
}

void CListUI::SelectAllItems() {
    const RowCallScope scope(m_rowCalls);
    const int count = GetCount();
    std::vector<bool> inSet(static_cast<size_t>(count), false);
    for (const int index : m_selected) {
        if (index >= 0 && index < count) inSet[static_cast<size_t>(index)] = true;
    }
    for (int i = 0; i < count; ++i) {
        CControlUI* row = GetItemAt(i);
        IListItemUI* item = ListItemOf(row);
        if (!item || !row->IsVisible() || !row->IsEnabled() || !item->SelectMulti(true)) continue;
        if (!inSet[static_cast<size_t>(i)]) m_selected.push_back(i);
        m_curSel = i;
    }
}

void CListUI::UnSelectAllItems() {
    {
        const RowCallScope scope(m_rowCalls);
        for (const int index : m_selected) {
            CControlUI* row = GetItemAt(index);
            IListItemUI* item = ListItemOf(row);
            if (item && row->IsEnabled()) item->SelectMulti(false);
        }
    }
    m_selected.clear();
    m_curSel = -1;
}

int CListUI::GetSelectItemCount() const { return static_cast<int>(m_selected.size()); }

int CListUI::GetNextSelItem(int after) const {
    if (m_selected.empty()) return -1;
    if (after < 0) return m_selected.front();
    const auto it = std::find(m_selected.begin(), m_selected.end(), after);
    if (it == m_selected.end() || it + 1 == m_selected.end()) return -1;
    return *(it + 1);
}

void CListUI::SetMultiSelect(bool multiSelect) {
    m_multiSelect = multiSelect;
    if (!multiSelect) UnSelectAllItems();
}

bool CListUI::IsMultiSelect() const { return m_multiSelect; }

// ---- Header, body, callback and expansion ----

CListHeaderUI* CListUI::GetHeader() const { return m_header; }
CContainerUI* CListUI::GetList() const { return m_body; }
IListTextCallback* CListUI::GetTextCallback() const { return m_textCallback; }
void CListUI::SetTextCallback(IListTextCallback* callback) { m_textCallback = callback; }

bool CListUI::ExpandItem(int index, bool expand) {
    if (!m_listInfo.bMultiExpandable && m_expandedItem >= 0) {
        if (IListItemUI* item = ListItemOf(GetItemAt(m_expandedItem))) item->Expand(false);
        m_expandedItem = -1;
    }
    if (expand) {
        CControlUI* row = GetItemAt(index);
        IListItemUI* item = ListItemOf(row);
        if (!item || !row->IsVisible()) return false;
        m_expandedItem = index;
        if (!item->Expand(true)) {
            m_expandedItem = -1;
            return false;
        }
    }
    NeedUpdate();
    return true;
}

int CListUI::GetExpandedItem() const { return m_expandedItem; }

// ---- Rows, header and header items ----

CControlUI* CListUI::GetItemAt(int index) const { return m_body->GetItemAt(index); }

int CListUI::GetItemIndex(CControlUI* control) const {
    if (!control) return -1;
    if (control->GetInterface(L"ListHeader")) return OwnIndex(control);
    if (IsHeaderItem(control)) return m_header ? m_header->GetItemIndex(control) : -1;
    return m_body->GetItemIndex(control);
}

int CListUI::GetCount() const { return m_body->GetCount(); }

bool CListUI::SetItemIndex(CControlUI* control, int newIndex) {
    if (!control) return false;
    if (control->GetInterface(L"ListHeader")) return CContainerUI::SetItemIndex(control, newIndex);
    if (IsHeaderItem(control)) return m_header && m_header->SetItemIndex(control, newIndex);
    const int oldIndex = m_body->GetItemIndex(control);
    if (!m_body->SetItemIndex(control, newIndex)) return false;
    Renumber(std::min(oldIndex, newIndex), std::max(oldIndex, newIndex));
    RemapSelection([&](int index) {
        if (index == oldIndex) return newIndex;
        if (oldIndex < newIndex && index > oldIndex && index <= newIndex) return index - 1;
        if (newIndex < oldIndex && index >= newIndex && index < oldIndex) return index + 1;
        return index;
    });
    return true;
}

bool CListUI::Add(CControlUI* control) {
    if (!control) return false;
    if (auto* header = static_cast<CListHeaderUI*>(control->GetInterface(L"ListHeader"))) return AddHeader(header);
    if (IsHeaderItem(control)) {
        if (!m_header || !m_header->Add(control)) return false;
        UpdateColumnCount();
        return true;
    }
    if (IListItemUI* item = ListItemOf(control)) {
        item->SetOwner(this);
        item->SetIndex(GetCount());
        return m_body->Add(control);
    }
    return CContainerUI::AddAt(control, OwnCount());
}

bool CListUI::AddAt(CControlUI* control, int index) {
    if (!control) return false;
    if (auto* header = static_cast<CListHeaderUI*>(control->GetInterface(L"ListHeader"))) return AddHeader(header);
    if (IsHeaderItem(control)) {
        if (!m_header || !m_header->AddAt(control, index)) return false;
        UpdateColumnCount();
        return true;
    }
    if (!m_body->AddAt(control, index)) return false;
    if (IListItemUI* item = ListItemOf(control)) {
        item->SetOwner(this);
        item->SetIndex(index);
    }
    // Whatever went in takes a place: the rows after it move down by one.
    Renumber(index + 1, GetCount() - 1);
    RemapSelection([&](int selected) { return selected >= index ? selected + 1 : selected; });
    return true;
}

bool CListUI::Remove(CControlUI* control) {
    if (!control || control == m_body) return false;
    if (control->GetInterface(L"ListHeader")) {
        if (!CContainerUI::Remove(control)) return false;
        if (control == m_header) m_header = nullptr;
        UpdateColumnCount();
        return true;
    }
    if (IsHeaderItem(control)) {
        if (!m_header || !m_header->Remove(control)) return false;
        UpdateColumnCount();
        return true;
    }
    const int index = m_body->GetItemIndex(control);
    if (index < 0) return CContainerUI::Remove(control);
    if (!m_body->RemoveAt(index)) return false;
    Renumber(index, GetCount() - 1);
    // The selected set keeps naming the rows it named: the removed row's
    // index goes, later ones move down with their rows.
    const bool removedCurrent = m_curSel == index;
    m_selected.erase(std::remove(m_selected.begin(), m_selected.end(), index), m_selected.end());
    RemapSelection([&](int selected) { return selected > index ? selected - 1 : selected; });
    if (removedCurrent) {
        m_curSel = -1;
        SelectItem(FindSelectable(index, false));
    }
    return true;
}

bool CListUI::RemoveAt(int index) {
    CControlUI* row = GetItemAt(index);
    return row && Remove(row);
}

void CListUI::RemoveAll() {
    m_curSel = -1;
    m_expandedItem = -1;
    m_selected.clear();
    m_body->RemoveAll();
}

// A header replaces the list's header while that one has no items; a second
// header added after that stays a plain child.
bool CListUI::AddHeader(CListHeaderUI* header) {
    const bool replaces = header != m_header && (!m_header || m_header->GetCount() == 0);
    if (!CContainerUI::AddAt(header, 0)) return false;
    if (replaces) {
        if (m_header) CContainerUI::Remove(m_header);
        m_header = header;
    }
    UpdateColumnCount();
    return true;
}

void CListUI::UpdateColumnCount() {
    m_listInfo.nColumns = m_header ? std::min(m_header->GetCount(), TListInfo::kMaxColumns) : 0;
}

void CListUI::Renumber(int first, int last) {
    for (int i = std::max(first, 0); i <= last; ++i) {
        if (IListItemUI* item = ListItemOf(GetItemAt(i))) item->SetIndex(i);
    }
}

template <class Map>
void CListUI::RemapSelection(Map map) {
    for (int& index : m_selected) index = map(index);
    if (m_curSel >= 0) m_curSel = map(m_curSel);
}

// ---- Scrolling, forwarded to the body ----

SIZE CListUI::GetScrollPos() const { return m_body->GetScrollPos(); }
SIZE CListUI::GetScrollRange() const { return m_body->GetScrollRange(); }
void CListUI::SetScrollPos(SIZE pos, bool notify) { m_body->SetScrollPos(pos, notify); }
void CListUI::LineUp() { m_body->LineUp(); }
void CListUI::LineDown() { m_body->LineDown(); }
void CListUI::PageUp() { m_body->PageUp(); }
void CListUI::PageDown() { m_body->PageDown(); }
void CListUI::HomeUp() { m_body->HomeUp(); }
void CListUI::EndDown() { m_body->EndDown(); }
void CListUI::LineLeft() { m_body->LineLeft(); }
void CListUI::LineRight() { m_body->LineRight(); }
void CListUI::PageLeft() { m_body->PageLeft(); }
void CListUI::PageRight() { m_body->PageRight(); }
void CListUI::HomeLeft() { m_body->HomeLeft(); }
void CListUI::EndRight() { m_body->EndRight(); }
void CListUI::EnableScrollBar(bool enableVertical, bool enableHorizontal) {
    m_body->EnableScrollBar(enableVertical, enableHorizontal);
}
CScrollBarUI* CListUI::GetVerticalScrollBar() const { return m_body->GetVerticalScrollBar(); }
CScrollBarUI* CListUI::GetHorizontalScrollBar() const { return m_body->GetHorizontalScrollBar(); }
bool CListUI::IsDelayedDestroy() const { return m_body->IsDelayedDestroy(); }
void CListUI::SetDelayedDestroy(bool delayed) { m_body->SetDelayedDestroy(delayed); }
int CListUI::GetChildPadding() const { return m_body->GetChildPadding(); }
void CListUI::SetChildPadding(int padding) { m_body->SetChildPadding(padding); }

void CListUI::EnsureVisible(int index) {
    if (m_curSel < 0) return;
    CControlUI* row = GetItemAt(index);
    if (!row) return;
    RECT view = m_body->GetPos();
    const RECT inset = m_body->GetInset();
    view.left += inset.left;
    view.top += inset.top;
    view.right -= inset.right;
    view.bottom -= inset.bottom;
    if (const CScrollBarUI* bar = m_body->GetHorizontalScrollBar(); bar && bar->IsVisible()) {
        view.bottom -= bar->GetFixedHeight();
    }
    const RECT& pos = row->GetPos();
    if (pos.top >= view.top && pos.bottom < view.bottom) return;
    int dy = 0;
    if (pos.top < view.top) dy = pos.top - view.top;
    if (pos.bottom > view.bottom) dy = pos.bottom - view.bottom;
    const SIZE scroll = m_body->GetScrollPos();
    m_body->SetScrollPos(SIZE{scroll.cx, scroll.cy + dy});
}

void CListUI::SetFixedScrollBar(bool fixed) {
    m_fixedScrollBar = fixed;
    Invalidate();
}

bool CListUI::IsColumnEditable(int) { return false; }
CControlUI* CListUI::GetEditUI() { return nullptr; }
bool CListUI::IsColumnComboable(int) { return false; }
CControlUI* CListUI::GetComboUI() { return nullptr; }

// ---- Layout ----

void CListUI::SetPos(RECT rc, bool needInvalidate) {
    CVerticalLayoutUI::SetPos(rc, needInvalidate);
    if (!m_header) return;
    UpdateColumnCount();
    // A hidden header still gives the columns, laid out with no height.
    const bool hidden = !m_header->IsVisible();
    const auto showItems = [this](bool visible) {
        for (int i = 0; i < m_header->GetCount(); ++i) m_header->GetItemAt(i)->SetInternVisible(visible);
    };
    if (hidden) {
        showItems(true);
        m_header->SetPos(RECT{m_itemRect.left, 0, m_itemRect.right, 0}, false);
    }
    for (int i = 0; i < m_listInfo.nColumns; ++i) {
        const CControlUI* column = m_header->GetItemAt(i);
        if (column->IsVisible() && !column->IsFloat()) m_listInfo.rcColumn[i] = column->GetPos();
    }
    if (hidden) showItems(false);
    m_body->SetPos(m_body->GetPos(), false);
}

void CListUI::Move(int dx, int dy, bool needInvalidate) {
    CVerticalLayoutUI::Move(dx, dy, needInvalidate);
    if (m_header && !m_header->IsVisible()) m_header->Move(dx, dy, false);
}

// ---- Events ----

void CListUI::DoEvent(TUIEvent& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_parent) {
            m_parent->DoEvent(event);
        } else {
            CVerticalLayoutUI::DoEvent(event);
        }
        return;
    }
    if (event.type == EventSetFocus || event.type == EventKillFocus) {
        m_focused = event.type == EventSetFocus;
        return;
    }
    if (event.type == EventKeyDown && HandleKey(event)) return;
    if (event.type == EventScrollWheel) {
        const WORD code = LOWORD(event.wParam);
        const bool moveSelection = m_scrollSelect && !m_multiSelect;
        if (code == SB_LINEUP) {
            if (moveSelection) {
                SelectItem(FindSelectable(m_curSel - 1, false), true);
            } else {
                LineUp();
            }
            return;
        }
        if (code == SB_LINEDOWN) {
            if (moveSelection) {
                SelectItem(FindSelectable(m_curSel + 1, true), true);
            } else {
                LineDown();
            }
            return;
        }
    }
    CVerticalLayoutUI::DoEvent(event);
}

bool CListUI::HandleKey(const TUIEvent& event) {
    switch (event.keyChar) {
    case VK_RETURN:
        if (m_curSel != -1) {
            if (CControlUI* row = GetItemAt(m_curSel)) row->Activate();
        }
        return true;
    case VK_PRIOR:
        PageUp();
        return true;
    case VK_NEXT:
        PageDown();
        return true;
    case VK_HOME:
        SelectItem(FindSelectable(0, false), true);
        return true;
    case VK_END:
        // Searching back from the last row: a disabled last row must not
        // leave the list without a selection.
        SelectItem(FindSelectable(GetCount() - 1, false), true);
        return true;
    case VK_UP:
        StepSelection(false);
        return true;
    case VK_DOWN:
        StepSelection(true);
        return true;
    case 'A':
        if (!m_multiSelect || !(event.keyState & UIKEY_CONTROL)) return false;
        SelectAllItems();
        return true;
    default:
        return false;
    }
}

void CListUI::StepSelection(bool down) {
    if (m_selected.empty()) return;
    const auto [smallest, largest] = std::minmax_element(m_selected.begin(), m_selected.end());
    const int from = down ? *largest : *smallest;
    // Disabled and hidden rows are stepped over; at the end of the rows the
    // selection stays where it was.
    int to = down ? FindSelectable(std::min(from + 1, GetCount() - 1), true)
                  : FindSelectable(std::max(from - 1, 0), false);
    if (to < 0) to = from;
    UnSelectAllItems();
    SelectItem(to, true);
}

// ---- Attributes ----

void CListUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    using namespace attribute;
    if (!name || !value) return;
    switch (SetListInfoAttribute(m_listInfo, name, value)) {
    case ListInfoChange::Stored:
        return;
    case ListInfoChange::Layout:
        NeedUpdate();
        return;
    case ListInfoChange::Repaint:
        Invalidate();
        return;
    case ListInfoChange::None:
        break;
    }
    // Matched exactly, names and values alike.
    if (wcscmp(name, L"multiselect") == 0) {
        SetMultiSelect(wcscmp(value, L"true") == 0);
    } else if (wcscmp(name, L"itemrselected") == 0) {
        const bool rSelected = wcscmp(value, L"true") == 0;
        if (rSelected == m_listInfo.bRSelected) return;
        m_listInfo.bRSelected = rSelected;
        NeedUpdate();
    } else if (Is(name, L"header")) {
        if (m_header) m_header->SetVisible(!Is(value, L"hidden"));
    } else if (Is(name, L"headerbkimage")) {
        if (m_header) m_header->SetBkImage(value);
    } else if (Is(name, L"scrollselect")) {
        SetScrollSelect(IsTrue(value));
    } else if (Is(name, L"fixedscrollbar")) {
        SetFixedScrollBar(IsTrue(value));
    } else if (Is(name, L"multiexpanding")) {
        m_listInfo.bMultiExpandable = IsTrue(value);
    } else if (Is(name, L"itemshowrowline")) {
        m_listInfo.bShowRowLine = IsTrue(value);
        Invalidate();
    } else if (Is(name, L"itemshowcolumnline")) {
        m_listInfo.bShowColumnLine = IsTrue(value);
        Invalidate();
    } else {
        CVerticalLayoutUI::SetAttribute(name, value);
    }
}

}  // namespace KvUI
