#include "ui/lists/TreeViewUI.h"

#include "ui/controls/CheckBoxUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/core/AttributeValue.h"
#include "ui/lists/ListHeaderUI.h"
#include "ui/lists/TreeNodeUI.h"

namespace KvUI {
namespace {

CTreeNodeUI* AsNode(CControlUI* control) {
    return control ? static_cast<CTreeNodeUI*>(control->GetInterface(L"TreeNode")) : nullptr;
}

// The node whose row holds `control` (a button of its row layout).
CTreeNodeUI* NodeOfRowControl(CControlUI* control) {
    CControlUI* row = control ? control->GetParent() : nullptr;
    return AsNode(row ? row->GetParent() : nullptr);
}

TUINotify* AsNotify(void* param) { return static_cast<TUINotify*>(param); }

}  // namespace

CTreeViewUI::CTreeViewUI() {
    if (CListHeaderUI* header = GetHeader()) header->SetVisible(false);
}

CTreeViewUI::~CTreeViewUI() = default;

LPCTSTR CTreeViewUI::GetClass() const { return L"TreeViewUI"; }

LPVOID CTreeViewUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"TreeView")) return static_cast<CTreeViewUI*>(this);
    if (name && attribute::Is(name, L"ITreeView")) return static_cast<ITreeViewUI*>(this);
    return CListUI::GetInterface(name);
}

int CTreeViewUI::GetListType() const { return kListTypeTree; }

void CTreeViewUI::Notify(TUINotify&) {}

template <class F>
void CTreeViewUI::ForEachNodeRow(F f) {
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* node = AsNode(GetItemAt(i))) f(node);
    }
}

void CTreeViewUI::Wire(CTreeNodeUI* node) {
    // An equal delegate is not added twice: a node added again keeps one of each.
    node->OnNotify += MakeDelegate(this, &CTreeViewUI::OnDBClickItem);
    node->GetFolderButton()->OnNotify += MakeDelegate(this, &CTreeViewUI::OnFolderChanged);
    node->GetCheckBox()->OnNotify += MakeDelegate(this, &CTreeViewUI::OnCheckBoxChanged);
    node->SetVisibleFolderBtn(m_visibleFolderBtn);
    node->SetVisibleCheckBtn(m_visibleCheckBtn);
    if (m_itemMinWidth > 0) node->SetMinWidth(static_cast<int>(m_itemMinWidth));
}

bool CTreeViewUI::AddNode(CControlUI* node) { return Add(AsNode(node)); }

bool CTreeViewUI::Add(CTreeNodeUI* node) {
    if (!node) return false;
    Wire(node);
    if (!CListUI::Add(node)) return false;
    for (int i = 0; i < node->GetCountChild(); ++i) Add(node->GetChildNode(i));
    node->SetTreeView(this);
    return true;
}

int CTreeViewUI::AddAt(CTreeNodeUI* node, int index) {
    if (!node) return -1;
    Wire(node);
    if (!CListUI::AddAt(node, index)) return -1;
    // The subtree follows the node's row, child after child, depth first.
    int next = index + 1;
    for (int i = 0; i < node->GetCountChild() && next >= 0; ++i) next = AddAt(node->GetChildNode(i), next);
    node->SetTreeView(this);
    return next;
}

bool CTreeViewUI::AddAt(CTreeNodeUI* node, CTreeNodeUI* before) {
    if (!node && !before) return false;
    const int index = GetItemIndex(before);
    return index >= 0 && AddAt(node, index) >= 0;
}

bool CTreeViewUI::Remove(CTreeNodeUI* node) {
    if (!node) return false;
    while (node->IsHasChild()) node->Remove(node->GetChildNode(node->GetCountChild() - 1));
    // The parent must not keep a child whose row, and so the node, goes now.
    if (CTreeNodeUI* parent = node->GetParentNode()) parent->ForgetChildNode(node);
    return CListUI::Remove(node);
}

bool CTreeViewUI::Remove(CControlUI* control) {
    if (CTreeNodeUI* node = AsNode(control)) return GetItemIndex(node) >= 0 && Remove(node);
    return CListUI::Remove(control);
}

bool CTreeViewUI::RemoveAt(int index) {
    if (CTreeNodeUI* node = AsNode(GetItemAt(index))) return Remove(node);
    return CListUI::RemoveAt(index);
}

bool CTreeViewUI::OnCheckBoxChanged(void* param) {
    const TUINotify* msg = AsNotify(param);
    if (msg->type != L"selectchanged") return true;
    auto* checkBox = static_cast<CCheckBoxUI*>(msg->sender);
    if (CTreeNodeUI* node = NodeOfRowControl(checkBox)) SetItemCheckBox(checkBox->IsSelected(), node);
    return true;
}

bool CTreeViewUI::OnFolderChanged(void* param) {
    const TUINotify* msg = AsNotify(param);
    if (msg->type != L"selectchanged") return true;
    auto* folder = static_cast<CCheckBoxUI*>(msg->sender);
    CTreeNodeUI* node = NodeOfRowControl(folder);
    if (!node) return true;
    node->SetVisibleTag(!folder->IsSelected());
    SetItemExpand(!folder->IsSelected(), node);
    return true;
}

bool CTreeViewUI::OnDBClickItem(void* param) {
    const TUINotify* msg = AsNotify(param);
    if (msg->type != L"treeitemdbclick") return false;
    CTreeNodeUI* node = AsNode(msg->sender);
    if (!node) return false;
    CCheckBoxUI* folder = node->GetFolderButton();
    folder->Selected(!folder->IsSelected(), true);
    node->SetVisibleTag(!folder->IsSelected());
    SetItemExpand(!folder->IsSelected(), node);
    return true;
}

void CTreeViewUI::SetItemCheckBox(bool check, CTreeNodeUI* node) {
    const auto apply = [&](CTreeNodeUI* child) {
        child->GetCheckBox()->Selected(check, true);
        if (child->IsHasChild()) SetItemCheckBox(check, child);
    };
    if (!node) {
        ForEachNodeRow(apply);
        return;
    }
    for (int i = 0; i < node->GetCountChild(); ++i) apply(node->GetChildNode(i));
}

void CTreeViewUI::SetItemExpand(bool expand, CTreeNodeUI* node) {
    // A collapsed child keeps its own subtree hidden.
    const auto apply = [&](CTreeNodeUI* child) {
        child->SetVisible(expand);
        if (child->IsHasChild() && !child->GetFolderButton()->IsSelected()) SetItemExpand(expand, child);
    };
    if (!node) {
        ForEachNodeRow(apply);
        return;
    }
    for (int i = 0; i < node->GetCountChild(); ++i) apply(node->GetChildNode(i));
}

void CTreeViewUI::SetVisibleFolderBtn(bool visible) {
    m_visibleFolderBtn = visible;
    ForEachNodeRow([&](CTreeNodeUI* node) { node->SetVisibleFolderBtn(visible); });
}

bool CTreeViewUI::GetVisibleFolderBtn() const { return m_visibleFolderBtn; }

void CTreeViewUI::SetVisibleCheckBtn(bool visible) {
    m_visibleCheckBtn = visible;
    ForEachNodeRow([&](CTreeNodeUI* node) { node->SetVisibleCheckBtn(visible); });
}

bool CTreeViewUI::GetVisibleCheckBtn() const { return m_visibleCheckBtn; }

void CTreeViewUI::SetItemMinWidth(UINT width) {
    m_itemMinWidth = width;
    ForEachNodeRow([&](CTreeNodeUI* node) { node->SetMinWidth(static_cast<int>(width)); });
    NeedUpdate();
}

UINT CTreeViewUI::GetItemMinWidth() const { return m_itemMinWidth; }

void CTreeViewUI::SetItemTextColor(DWORD color) {
    ForEachNodeRow([&](CTreeNodeUI* node) { node->SetItemTextColor(color); });
}

void CTreeViewUI::SetItemHotTextColor(DWORD color) {
    ForEachNodeRow([&](CTreeNodeUI* node) { node->SetItemHotTextColor(color); });
}

void CTreeViewUI::SetSelItemTextColor(DWORD color) {
    ForEachNodeRow([&](CTreeNodeUI* node) { node->SetSelItemTextColor(color); });
}

void CTreeViewUI::SetSelItemHotTextColor(DWORD color) {
    ForEachNodeRow([&](CTreeNodeUI* node) { node->SetSelItemHotTextColor(color); });
}

void CTreeViewUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    using attribute::Is;
    if (!name || !value) return;
    if (Is(name, L"visiblefolderbtn")) {
        SetVisibleFolderBtn(attribute::IsTrue(value));
    } else if (Is(name, L"visiblecheckbtn")) {
        SetVisibleCheckBtn(attribute::IsTrue(value));
    } else if (Is(name, L"itemminwidth")) {
        SetItemMinWidth(static_cast<UINT>(attribute::Int(value)));
    } else if (Is(name, L"itemtextcolor")) {
        SetItemTextColor(attribute::Color(value));
    } else if (Is(name, L"itemhottextcolor")) {
        SetItemHotTextColor(attribute::Color(value));
    } else if (Is(name, L"selitemtextcolor")) {
        SetSelItemTextColor(attribute::Color(value));
    } else if (Is(name, L"selitemhottextcolor")) {
        SetSelItemHotTextColor(attribute::Color(value));
    } else {
        CListUI::SetAttribute(name, value);
    }
}

}  // namespace KvUI
