#include "ui/lists/ListTextExtElementUI.h"

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"
#include "ui/lists/ListExUI.h"

namespace KvUI {

CListTextExtElementUI::CListTextExtElementUI() = default;
CListTextExtElementUI::~CListTextExtElementUI() = default;

LPCTSTR CListTextExtElementUI::GetClass() const { return L"ListTextExElementUI"; }

LPVOID CListTextExtElementUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"ListTextExElement")) return static_cast<CListTextExtElementUI*>(this);
    return CListTextRowBase::GetInterface(name);
}

UINT CListTextExtElementUI::GetControlFlags() const {
    return IsEnabled() && LinkCount() > 0 ? UIFLAG_SETCURSOR | UIFLAG_WANTRETURN : UIFLAG_WANTRETURN;
}

// Rows of a plain list keep their texts but neither edit nor check.
void CListTextExtElementUI::SetOwner(CControlUI* owner) {
    CListTextRowBase::SetOwner(owner);
    m_list = owner ? static_cast<CListUI*>(owner->GetInterface(L"List")) : nullptr;
    auto* extended = m_list ? static_cast<IListUI*>(m_list->GetInterface(L"ListEx")) : nullptr;
    m_listEx = static_cast<CListExUI*>(extended);
}

void CListTextExtElementUI::SetColumnText(int column, LPCTSTR text) {
    if (!m_ownerList) return;
    const int columns = m_ownerList->GetListInfo()->nColumns;
    if (column < 0 || column >= columns) return;
    if (static_cast<int>(m_columnTexts.size()) < columns) m_columnTexts.resize(static_cast<size_t>(columns));
    CUIString& stored = m_columnTexts[static_cast<size_t>(column)];
    const CUIString given = text ? text : L"";
    if (stored == given) return;
    stored = given;
    InvalidateRow();
}

void CListTextExtElementUI::SetCheck(bool checked) {
    if (m_checkBox.SetCheck(checked)) InvalidateRow();
}

RECT CListTextExtElementUI::GetCheckBoxRect(int) const { return m_checkBox.Place(m_itemRect, *this); }

int CListTextExtElementUI::HitTestColumn(POINT pt) const {
    if (!m_ownerList) return -1;
    const TListInfo* info = m_ownerList->GetListInfo();
    const RECT padding = ScaledTextPadding(*info);
    for (int i = 0; i < info->nColumns; ++i) {
        const RECT& column = info->rcColumn[i];
        const RECT cell{column.left + padding.left, m_itemRect.top + padding.top, column.right - padding.right,
                        m_itemRect.bottom - padding.bottom};
        if (PtInRect(&cell, pt)) return i;
    }
    return -1;
}

RECT CListTextExtElementUI::GetColumnRect(int column) const {
    if (!m_ownerList || !m_list) return RECT{};
    const TListInfo* info = m_ownerList->GetListInfo();
    if (column < 0 || column >= info->nColumns) return RECT{};
    const RECT& cell = info->rcColumn[column];
    RECT rc{cell.left + 1, 1, cell.right - 1, m_itemRect.bottom - m_itemRect.top - 1};
    const RECT& list = m_list->GetPos();
    OffsetRect(&rc, -list.left, m_itemRect.top - list.top);
    return rc;
}

void CListTextExtElementUI::SetCellColor(int column, DWORD color) {
    if (column < 0 || column >= TListInfo::kMaxColumns) return;
    m_cellColors[column] = CellColor{true, color};
    InvalidateRow();
}

bool CListTextExtElementUI::IsCheckable(int column) const { return m_listEx && m_listEx->IsColumnCheckable(column); }

bool CListTextExtElementUI::HasCheckBox() const {
    if (!m_ownerList) return false;
    const int columns = m_ownerList->GetListInfo()->nColumns;
    for (int i = 0; i < columns; ++i) {
        if (IsCheckable(i)) return true;
    }
    return false;
}

void CListTextExtElementUI::DoEvent(TUIEvent& event) {
    const bool mouse = event.type >= EventMouseFirst && event.type <= EventMouseLast;
    if (mouse && !IsMouseEnabled()) {
        if (m_list) {
            m_list->DoEvent(event);
        } else {
            CListTextRowBase::DoEvent(event);
        }
        return;
    }
    if (HandleLinks(event)) return;
    if (event.type == EventButtonUp && m_listEx && m_listEx->IsFocused()) {
        const int column = HitTestColumn(event.mousePoint);
        m_listEx->ShowCellEditor(m_index, column, GetColumnRect(column), GetText(column));
    }
    DoCheckBoxEvent(event);
    CListTextRowBase::DoEvent(event);
}

// Checkable columns share the row's one box: a click checks or unchecks
// the row once, however many columns show it.
void CListTextExtElementUI::DoCheckBoxEvent(const TUIEvent& event) {
    if (!HasCheckBox()) return;
    const CListCheckBox::Input input = m_checkBox.OnMouse(event, GetCheckBoxRect(0), false);
    if (input == CListCheckBox::Input::None) return;
    if (input == CListCheckBox::Input::Toggled) {
        SetCheck(!GetCheck());
        if (m_manager) m_manager->SendNotify(this, L"listitemchecked", MAKEWPARAM(m_index, 0), GetCheck());
    }
    InvalidateRow();
}

void CListTextExtElementUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (!name || !value) return;
    if (m_checkBox.SetAttribute(name, value)) {
        InvalidateRow();
        return;
    }
    CListTextRowBase::SetAttribute(name, value);
}

bool CListTextExtElementUI::DoPaint(HDC dc, const RECT& paint, CControlUI*) {
    RECT shown;
    if (!IntersectRect(&shown, &paint, &m_itemRect)) return true;
    DrawItemBk(dc, m_itemRect);
    if (HasCheckBox()) m_checkBox.Draw(dc, *this, GetCheckBoxRect(0), GetPaintRect());
    DrawItemText(dc, m_itemRect);
    return true;
}

void CListTextExtElementUI::DrawCellBk(HDC dc, int column, const RECT& cell) {
    const CellColor& colour = m_cellColors[column];
    if (colour.set) CRenderEngine::DrawColor(dc, cell, colour.color);
}

int CListTextExtElementUI::CellIndent(int column) { return IsCheckable(column) ? m_checkBox.ShownWidth(*this) : 0; }

UINT CListTextExtElementUI::CellStyle() const { return DT_SINGLELINE; }

}  // namespace KvUI
