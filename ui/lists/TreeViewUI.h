#pragma once
#include "ui/core/ITreeUI.h"
#include "ui/lists/ListUI.h"

namespace KvUI {

class CTreeNodeUI;

// A list whose rows are the nodes of a tree, parent before children. It
// wires each node's folder button, check box and double click to its own
// handlers: collapsing hides a subtree, checking a node checks its subtree.
class CTreeViewUI : public CListUI, public INotifyUI, public ITreeViewUI {
public:
    CTreeViewUI();
    ~CTreeViewUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    int GetListType() const override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    void Notify(TUINotify& msg) override;

    using CListUI::Add;
    using CListUI::AddAt;
    // A node taken away through the child list leaves its parent node too.
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;

    bool AddNode(CControlUI* node) override;

    virtual bool Add(CTreeNodeUI* node);
    // The row index after the node's subtree, or -1.
    virtual int AddAt(CTreeNodeUI* node, int index);
    // In front of the row of `before`.
    virtual bool AddAt(CTreeNodeUI* node, CTreeNodeUI* before);
    virtual bool Remove(CTreeNodeUI* node);
    virtual bool OnCheckBoxChanged(void* param);
    virtual bool OnFolderChanged(void* param);
    virtual bool OnDBClickItem(void* param);
    virtual void SetItemCheckBox(bool check, CTreeNodeUI* node = nullptr);
    virtual void SetItemExpand(bool expand, CTreeNodeUI* node = nullptr);
    virtual void SetVisibleFolderBtn(bool visible);
    virtual bool GetVisibleFolderBtn() const;
    virtual void SetVisibleCheckBtn(bool visible);
    virtual bool GetVisibleCheckBtn() const;
    virtual void SetItemMinWidth(UINT width);
    virtual UINT GetItemMinWidth() const;
    virtual void SetItemTextColor(DWORD color);
    virtual void SetItemHotTextColor(DWORD color);
    virtual void SetSelItemTextColor(DWORD color);
    virtual void SetSelItemHotTextColor(DWORD color);

private:
    void Wire(CTreeNodeUI* node);
    template <class F>
    void ForEachNodeRow(F f);

    UINT m_itemMinWidth = 0;
    bool m_visibleFolderBtn = true;
    bool m_visibleCheckBtn = false;
};

}  // namespace KvUI
