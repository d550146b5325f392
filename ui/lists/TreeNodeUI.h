#pragma once
#include <vector>

#include "ui/core/ITreeUI.h"
#include "ui/lists/ListContainerElementUI.h"

namespace KvUI {

class CCheckBoxUI;
class CHorizontalLayoutUI;
class CLabelUI;
class COptionUI;
class CTreeViewUI;

// One row of a tree view that also keeps its place in the tree: its parent
// node and its child nodes. The row shows an indentation line, a folder
// button (selected: collapsed), a check box and the item button with the text.
class CTreeNodeUI : public CListContainerElementUI, public ITreeNodeUI {
public:
    CTreeNodeUI();
    ~CTreeNodeUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void DoEvent(TUIEvent& event) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;

    // A node goes to the child nodes; any other control becomes a plain child.
    bool Add(CControlUI* control) override;
    // Only nodes, at `index` among the child nodes.
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;

    bool Select(bool select = true) override;
    bool SelectMulti(bool select = true) override;
    // The item button shows the text.
    void DrawItemText(HDC dc, const RECT& item) override;

    bool AddChildNode(CControlUI* node) override;
    IContainerUI* GetRowLayout() override;
    CControlUI* GetTreeViewControl() const override;
    bool RemoveChildNode(CControlUI* node);
    // Prepares `node` as a child of this one: indentation, parent, item
    // group and tree view.
    CTreeNodeUI* CalLocation(CTreeNodeUI* node);
    // The last node of this node's subtree (this node when it has none).
    CTreeNodeUI* GetLastNode();
    int GetTreeIndex() const;

    bool IsHasChild() const { return !m_children.empty(); }
    int GetCountChild() const { return static_cast<int>(m_children.size()); }
    CTreeNodeUI* GetChildNode(int index) const;
    std::vector<CTreeNodeUI*> GetTreeNodes() const { return m_children; }
    CTreeNodeUI* GetParentNode() const { return m_parentNode; }
    void SetParentNode(CTreeNodeUI* parent) { m_parentNode = parent; }
    CTreeViewUI* GetTreeView() const { return m_treeView; }
    void SetTreeView(CTreeViewUI* view) { m_treeView = view; }
    bool GetVisibleTag() const { return m_visibleTag; }
    void SetVisibleTag(bool visible) { m_visibleTag = visible; }

    void SetVisibleFolderBtn(bool visible);
    bool GetVisibleFolderBtn() const;
    void SetVisibleCheckBtn(bool visible);
    bool GetVisibleCheckBtn() const;
    void SetItemTextColor(DWORD color);
    DWORD GetItemTextColor() const { return m_itemTextColor; }
    void SetItemHotTextColor(DWORD color);
    DWORD GetItemHotTextColor() const { return m_itemHotTextColor; }
    void SetSelItemTextColor(DWORD color);
    DWORD GetSelItemTextColor() const { return m_selItemTextColor; }
    void SetSelItemHotTextColor(DWORD color);
    DWORD GetSelItemHotTextColor() const { return m_selItemHotTextColor; }

    CCheckBoxUI* GetFolderButton() const { return m_folderButton; }
    CLabelUI* GetDottedLine() const { return m_dottedLine; }
    CCheckBoxUI* GetCheckBox() const { return m_checkBox; }
    COptionUI* GetItemButton() const { return m_itemButton; }

private:
    friend class CTreeViewUI;
    // Takes `node` out of the child nodes, if it is there.
    void ForgetChildNode(CTreeNodeUI* node);
    void ShowSelectionColor();

    bool m_visibleTag = true;
    DWORD m_itemTextColor = 0;
    DWORD m_itemHotTextColor = 0;
    DWORD m_selItemTextColor = 0;
    DWORD m_selItemHotTextColor = 0;
    CTreeViewUI* m_treeView = nullptr;
    // The row and its four controls belong to the node as children.
    CHorizontalLayoutUI* m_rowLayout = nullptr;
    CCheckBoxUI* m_folderButton = nullptr;
    CLabelUI* m_dottedLine = nullptr;
    CCheckBoxUI* m_checkBox = nullptr;
    COptionUI* m_itemButton = nullptr;
    CTreeNodeUI* m_parentNode = nullptr;
    std::vector<CTreeNodeUI*> m_children;
};

}  // namespace KvUI
