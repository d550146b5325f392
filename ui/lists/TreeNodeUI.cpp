#include "ui/lists/TreeNodeUI.h"

#include <algorithm>

#include "ui/controls/CheckBoxUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/core/AttributeValue.h"
#include "ui/core/HorizontalLayoutUI.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/lists/TreeViewUI.h"

namespace KvUI {
namespace {

constexpr int kRowHeight = 18;
constexpr int kRowWidth = 250;
constexpr int kLineWidth = 2;
// Each level of depth indents the row by this much more.
constexpr int kIndent = 16;

CTreeNodeUI* AsNode(CControlUI* control) {
    return control ? static_cast<CTreeNodeUI*>(control->GetInterface(L"TreeNode")) : nullptr;
}

}  // namespace

CTreeNodeUI::CTreeNodeUI()
    : m_rowLayout(new CHorizontalLayoutUI),
      m_folderButton(new CCheckBoxUI),
      m_dottedLine(new CLabelUI),
      m_checkBox(new CCheckBoxUI),
      m_itemButton(new COptionUI) {
    SetFixedHeight(kRowHeight);
    SetFixedWidth(kRowWidth);
    m_folderButton->SetFixedWidth(kRowHeight);
    m_checkBox->SetFixedWidth(kRowHeight);
    m_dottedLine->SetFixedWidth(kLineWidth);
    m_itemButton->SetAttribute(L"align", L"left");
    m_dottedLine->SetVisible(false);
    m_checkBox->SetVisible(false);
    m_itemButton->SetMouseEnabled(false);
    m_rowLayout->SetChildVAlign(DT_VCENTER);
    m_rowLayout->Add(m_dottedLine);
    m_rowLayout->Add(m_folderButton);
    m_rowLayout->Add(m_checkBox);
    m_rowLayout->Add(m_itemButton);
    // The container's own insertion: this class's AddAt takes only nodes.
    CContainerUI::AddAt(m_rowLayout, 0);
}

// A node in a view leaves its child nodes to the view, which holds them as
// rows; outside a view nothing else holds them, so the node frees them.
CTreeNodeUI::~CTreeNodeUI() {
    if (m_treeView) return;
    for (CTreeNodeUI* child : m_children) delete child;
}

LPCTSTR CTreeNodeUI::GetClass() const { return L"TreeNodeUI"; }

LPVOID CTreeNodeUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"TreeNode")) return static_cast<CTreeNodeUI*>(this);
    if (name && attribute::Is(name, L"ITreeNode")) return static_cast<ITreeNodeUI*>(this);
    return CListContainerElementUI::GetInterface(name);
}

bool CTreeNodeUI::Add(CControlUI* control) {
    if (AsNode(control)) return AddChildNode(control);
    return CContainerUI::AddAt(control, OwnCount());
}

bool CTreeNodeUI::AddAt(CControlUI* control, int index) {
    CTreeNodeUI* node = AsNode(control);
    if (!node) return false;
    CTreeNodeUI* before = nullptr;
    if (index >= 0 && index < GetCountChild()) {
        before = m_children[static_cast<size_t>(index)];
        m_children.insert(m_children.begin() + index, node);
    } else {
        m_children.push_back(node);
        // Below this node's own row, in front of its first child's row.
        if (m_treeView) before = AsNode(m_treeView->GetItemAt(GetTreeIndex() + 1));
    }
    CalLocation(node);
    // Outside a view the node is only recorded, as AddChildNode does.
    if (!m_treeView) return true;
    return before ? m_treeView->AddAt(node, before) : m_treeView->Add(node);
}

bool CTreeNodeUI::Remove(CControlUI* control) { return RemoveChildNode(control); }

bool CTreeNodeUI::AddChildNode(CControlUI* control) {
    CTreeNodeUI* node = AsNode(control);
    if (!node) return false;
    CalLocation(node);
    bool added = true;
    if (m_treeView) {
        CTreeNodeUI* anchor = m_children.empty() ? this : m_children.back()->GetLastNode();
        added = m_treeView->AddAt(node, m_treeView->GetItemIndex(anchor) + 1) >= 0;
    }
    if (added) m_children.push_back(node);
    return added;
}

IContainerUI* CTreeNodeUI::GetRowLayout() { return m_rowLayout; }
CControlUI* CTreeNodeUI::GetTreeViewControl() const { return m_treeView; }

bool CTreeNodeUI::RemoveChildNode(CControlUI* control) {
    CTreeNodeUI* node = AsNode(control);
    const auto at = std::find(m_children.begin(), m_children.end(), node);
    if (!node || at == m_children.end()) return false;
    while (node->IsHasChild()) node->RemoveChildNode(node->m_children.front());
    m_children.erase(at);
    if (m_treeView) {
        m_treeView->Remove(node);
    } else {
        delete node;
    }
    return true;
}

void CTreeNodeUI::ForgetChildNode(CTreeNodeUI* node) {
    m_children.erase(std::remove(m_children.begin(), m_children.end(), node), m_children.end());
}

CTreeNodeUI* CTreeNodeUI::CalLocation(CTreeNodeUI* node) {
    node->m_dottedLine->SetVisible(true);
    node->m_dottedLine->SetFixedWidth(m_dottedLine->GetFixedWidth() + kIndent);
    node->SetParentNode(this);
    node->m_itemButton->SetGroup(m_itemButton->GetGroup());
    node->SetTreeView(m_treeView);
    // A subtree built before it joined this node (as a skin builds it, inner
    // nodes first) moves one level deeper with it.
    for (CTreeNodeUI* child : node->m_children) node->CalLocation(child);
    return node;
}

CTreeNodeUI* CTreeNodeUI::GetLastNode() {
    return m_children.empty() ? this : m_children.back()->GetLastNode();
}

int CTreeNodeUI::GetTreeIndex() const {
    return m_treeView ? m_treeView->GetItemIndex(const_cast<CTreeNodeUI*>(this)) : -1;
}

CTreeNodeUI* CTreeNodeUI::GetChildNode(int index) const {
    return index >= 0 && index < GetCountChild() ? m_children[static_cast<size_t>(index)] : nullptr;
}

void CTreeNodeUI::SetVisibleFolderBtn(bool visible) { m_folderButton->SetVisible(visible); }
bool CTreeNodeUI::GetVisibleFolderBtn() const { return m_folderButton->IsVisible(); }
void CTreeNodeUI::SetVisibleCheckBtn(bool visible) { m_checkBox->SetVisible(visible); }
bool CTreeNodeUI::GetVisibleCheckBtn() const { return m_checkBox->IsVisible(); }

void CTreeNodeUI::SetItemTextColor(DWORD color) {
    m_itemTextColor = color;
    m_itemButton->SetTextColor(color);
}

void CTreeNodeUI::SetItemHotTextColor(DWORD color) {
    m_itemHotTextColor = color;
    Invalidate();
}

void CTreeNodeUI::SetSelItemTextColor(DWORD color) {
    m_selItemTextColor = color;
    Invalidate();
}

void CTreeNodeUI::SetSelItemHotTextColor(DWORD color) {
    m_selItemHotTextColor = color;
    Invalidate();
}

void CTreeNodeUI::ShowSelectionColor() {
    m_itemButton->SetTextColor(IsSelected() ? m_selItemTextColor : m_itemTextColor);
}

bool CTreeNodeUI::Select(bool select) {
    const bool result = CListContainerElementUI::Select(select);
    ShowSelectionColor();
    return result;
}

bool CTreeNodeUI::SelectMulti(bool select) {
    const bool result = CListContainerElementUI::SelectMulti(select);
    ShowSelectionColor();
    return result;
}

void CTreeNodeUI::DrawItemText(HDC, const RECT&) {}

void CTreeNodeUI::DoEvent(TUIEvent& event) {
    const bool mouse = event.type >= EventMouseFirst && event.type <= EventMouseLast;
    if (mouse && !IsMouseEnabled()) {
        if (IListOwnerUI* owner = GetOwner()) {
            owner->DoEvent(event);
        } else {
            CContainerUI::DoEvent(event);
        }
        return;
    }
    CListContainerElementUI::DoEvent(event);
    if (event.type == EventDblClick) {
        if (!IsEnabled()) return;
        if (m_manager) m_manager->SendNotify(this, L"treeitemdbclick");
        Invalidate();
    } else if (event.type == EventMouseEnter) {
        if (!IsEnabled()) {
            m_itemButton->SetTextColor(m_itemButton->GetDisabledTextColor());
        } else {
            m_itemButton->SetTextColor(IsSelected() && m_selItemHotTextColor ? m_selItemHotTextColor
                                                                              : m_itemHotTextColor);
        }
    } else if (event.type == EventMouseLeave) {
        if (!IsEnabled()) {
            m_itemButton->SetTextColor(m_itemButton->GetDisabledTextColor());
        } else if (!IsSelected()) {
            m_itemButton->SetTextColor(m_itemTextColor);
        } else if (m_selItemTextColor) {
            m_itemButton->SetTextColor(m_selItemTextColor);
        }
    }
}

void CTreeNodeUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    using attribute::Is;
    if (!name || !value) return;
    if (Is(name, L"text")) {
        m_itemButton->SetText(value);
    } else if (Is(name, L"horizattr")) {
        m_rowLayout->ApplyAttributeList(value);
    } else if (Is(name, L"dotlineattr")) {
        m_dottedLine->ApplyAttributeList(value);
    } else if (Is(name, L"folderattr")) {
        m_folderButton->ApplyAttributeList(value);
    } else if (Is(name, L"checkboxattr")) {
        m_checkBox->ApplyAttributeList(value);
    } else if (Is(name, L"itemattr")) {
        m_itemButton->ApplyAttributeList(value);
    } else if (Is(name, L"itemtextcolor")) {
        SetItemTextColor(attribute::Color(value));
    } else if (Is(name, L"itemhottextcolor")) {
        SetItemHotTextColor(attribute::Color(value));
    } else if (Is(name, L"selitemtextcolor")) {
        SetSelItemTextColor(attribute::Color(value));
    } else if (Is(name, L"selitemhottextcolor")) {
        SetSelItemHotTextColor(attribute::Color(value));
    } else {
        CListContainerElementUI::SetAttribute(name, value);
    }
}

}  // namespace KvUI
