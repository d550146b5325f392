#include "ui/lists/ListExUI.h"

#include <memory>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"
#include "ui/lists/ListContainerHeaderItemUI.h"
#include "ui/lists/ListHeaderUI.h"
#include "ui/lists/ListTextExtElementUI.h"

namespace KvUI {
namespace {

// An editor out of use: no room and nothing shown, so that no later layout
// brings it back over a cell.
void PutAway(CControlUI* editor) {
    if (!editor) return;
    editor->SetPos(RECT{}, false);
    editor->SetVisible(false);
}

void ApplyDefaults(CControlUI& control, CPaintManagerUI* manager, LPCTSTR tag) {
    if (!manager) return;
    if (LPCTSTR defaults = manager->GetDefaultAttributeList(tag)) control.ApplyAttributeList(defaults);
}

}  // namespace

CListExUI::CListExUI() = default;

// The host may have left the list among its window's listeners.
CListExUI::~CListExUI() {
    if (m_manager) m_manager->RemoveNotifier(this);
}

LPCTSTR CListExUI::GetClass() const { return L"XListUI"; }

LPVOID CListExUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"ListEx")) return static_cast<IListUI*>(this);
    return CListUI::GetInterface(name);
}

CListContainerHeaderItemUI* CListExUI::HeaderItem(int column) const {
    CListHeaderUI* header = GetHeader();
    CControlUI* item = header && column >= 0 ? header->GetItemAt(column) : nullptr;
    return item ? static_cast<CListContainerHeaderItemUI*>(item->GetInterface(L"ListContainerHeaderItem")) : nullptr;
}

CListTextExtElementUI* CListExUI::ExtRow(int index) const {
    CControlUI* row = index >= 0 ? GetItemAt(index) : nullptr;
    return row ? static_cast<CListTextExtElementUI*>(row->GetInterface(L"ListTextExElement")) : nullptr;
}

bool CListExUI::IsColumnEditable(int column) {
    const CListContainerHeaderItemUI* item = HeaderItem(column);
    return item && item->IsColumnEditable();
}

bool CListExUI::IsColumnComboable(int column) {
    const CListContainerHeaderItemUI* item = HeaderItem(column);
    return item && item->IsColumnComboable();
}

bool CListExUI::IsColumnCheckable(int column) {
    const CListContainerHeaderItemUI* item = HeaderItem(column);
    return item && item->IsColumnCheckable();
}

IListComboCallback* CListExUI::GetComboCallback() const { return m_comboCallback; }
void CListExUI::SetComboCallback(IListComboCallback* callback) { m_comboCallback = callback; }

CRichEditUI* CListExUI::GetEditUI() {
    PutAway(m_comboUI);
    if (m_editUI) return m_editUI;
    auto edit = std::make_unique<CRichEditUI>();
    edit->SetName(L"ListEx_Edit");
    ApplyDefaults(*edit, m_manager, L"RichEdit");
    edit->SetBkColor(0xFFFFFFFF);
    edit->SetRich(false);
    edit->SetMultiLine(false);
    edit->SetWantReturn(true);
    edit->SetFloat(true);
    edit->SetAttribute(L"autohscroll", L"true");
    if (!Add(edit.get())) return nullptr;
    m_editUI = edit.release();
    return m_editUI;
}

CComboBoxUI* CListExUI::GetComboUI() {
    PutAway(m_editUI);
    if (m_comboUI) return m_comboUI;
    auto combo = std::make_unique<CComboBoxUI>();
    combo->SetName(L"ListEx_Combo");
    ApplyDefaults(*combo, m_manager, L"Combo");
    // Over a cell, not a row of the list's own layout.
    combo->SetFloat(true);
    combo->SetVisible(false);
    if (!Add(combo.get())) return nullptr;
    m_comboUI = combo.release();
    return m_comboUI;
}

void CListExUI::ShowCellEditor(int row, int column, const RECT& cell, LPCTSTR text) {
    if (column >= 0 && IsColumnEditable(column) && GetEditUI()) {
        m_editRow = row;
        m_editColumn = column;
        ShowTextEditor(cell, text);
    } else if (column >= 0 && IsColumnComboable(column) && GetComboUI()) {
        ShowComboEditor(row, column, cell, text);
    } else {
        HideEditAndComboCtrl();
    }
}

void CListExUI::PlaceEditor(CControlUI& editor, const RECT& cell) {
    const CDpiScaler* scaler = m_manager ? m_manager->GetScaler() : nullptr;
    const auto unscaled = [scaler](LONG n) { return scaler ? scaler->Unscale(n) : static_cast<int>(n); };
    editor.SetVisible(true);
    editor.SetFixedWidth(unscaled(cell.right - cell.left));
    editor.SetFixedHeight(unscaled(cell.bottom - cell.top));
    editor.SetFixedXY(SIZE{unscaled(cell.left), unscaled(cell.top)});
    // At once, not at the next layout: the editor takes the focus now.
    RECT onScreen = cell;
    OffsetRect(&onScreen, m_itemRect.left, m_itemRect.top);
    editor.SetPos(onScreen, true);
}

void CListExUI::ShowTextEditor(const RECT& cell, LPCTSTR text) {
    PlaceEditor(*m_editUI, cell);
    int textHeight = 0;
    if (m_manager) {
        RECT measure{0, 0, 9999, 9999};
        CRenderEngine::DrawText(m_manager->GetPaintDC(), m_manager, measure, L"TTT", 0, GetListInfo()->nFont,
                                DT_CALCRECT | DT_SINGLELINE);
        textHeight = measure.bottom - measure.top;
    }
    m_editUI->SetTextPadding(RECT{2, (cell.bottom - cell.top - textHeight) / 2, 2, 0});
    m_editUI->SetText(text);
    m_editUI->SetFocus();
}

void CListExUI::ShowComboEditor(int row, int column, const RECT& cell, LPCTSTR text) {
    m_comboUI->RemoveAll();
    m_editRow = row;
    m_editColumn = column;
    m_comboUI->SetText(text);
    if (m_comboCallback) m_comboCallback->FillComboItems(m_comboUI, row, column);
    PlaceEditor(*m_comboUI, cell);
}

void CListExUI::HideEditAndComboCtrl() {
    PutAway(m_editUI);
    PutAway(m_comboUI);
}

void CListExUI::DoEvent(TUIEvent& event) {
    if (event.type == EventButtonDown || event.type == EventScrollWheel) HideEditAndComboCtrl();
    CListUI::DoEvent(event);
}

// ---- Check boxes and edits, as the window reports them ----

void CListExUI::Notify(TUINotify& msg) {
    if (msg.type == L"listheaditemchecked") {
        CListHeaderUI* header = GetHeader();
        if (!header || header->GetItemIndex(msg.sender) < 0) return;
        for (int i = 0; i < GetCount(); ++i) {
            if (CListTextExtElementUI* row = ExtRow(i)) row->SetCheck(msg.lParam != 0);
        }
        UpdateHeaderCheck();
        return;
    }
    if (msg.type == L"listitemchecked") {
        if (GetItemIndex(msg.sender) >= 0) UpdateHeaderCheck();
        return;
    }
    if (m_editRow >= 0 && m_editColumn >= 0) NotifyEditor(msg);
}

void CListExUI::NotifyEditor(const TUINotify& msg) {
    if (m_editUI && msg.sender == m_editUI) {
        if (msg.type != L"killfocus") return;
        WriteCell(m_editUI->GetText());
        m_editRow = -1;
        m_editColumn = -1;
        PutAway(m_editUI);
        return;
    }
    if (m_comboUI && msg.sender == m_comboUI) {
        // Also the library's own combo box notification of a choice.
        const bool chosen = (msg.type == L"listitemselect" && msg.lParam >= 0) ||
                            (msg.type == L"itemselect" && static_cast<int>(msg.wParam) >= 0);
        if (!chosen) return;
        WriteCell(m_comboUI->GetText());
        PutAway(m_comboUI);
        return;
    }
    if (msg.type == L"scroll" && (m_editUI || m_comboUI)) HideEditAndComboCtrl();
}

void CListExUI::WriteCell(const CUIString& text) {
    if (CListTextExtElementUI* row = ExtRow(m_editRow)) row->SetColumnText(m_editColumn, text);
}

void CListExUI::UpdateHeaderCheck() {
    bool all = true;
    for (int i = 0; i < GetCount() && all; ++i) {
        if (const CListTextExtElementUI* row = ExtRow(i)) all = row->GetCheck();
    }
    CListHeaderUI* header = GetHeader();
    const int columns = header ? header->GetCount() : 0;
    for (int i = 0; i < columns; ++i) {
        CListContainerHeaderItemUI* item = HeaderItem(i);
        if (item && item->IsColumnCheckable()) item->SetCheck(all);
    }
}

}  // namespace KvUI
