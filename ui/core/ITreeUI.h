#pragma once
// How the dialog builder places tree nodes: the tree classes are built above
// the core, which reaches them only through these parts, answered by
// GetInterface("ITreeNode") and GetInterface("ITreeView").
#include <windows.h>

namespace KvUI {

class CControlUI;
class IContainerUI;

class ITreeNodeUI {
public:
    // Adds a tree node as the last child node; false for any other control.
    virtual bool AddChildNode(CControlUI* node) = 0;
    // The row's own layout, which holds the controls a skin puts inside a node.
    virtual IContainerUI* GetRowLayout() = 0;
    // The tree view that shows this node, or null while it is in none.
    virtual CControlUI* GetTreeViewControl() const = 0;

protected:
    ~ITreeNodeUI() = default;
};

class ITreeViewUI {
public:
    // Adds a tree node with its subtree as rows; false for any other control.
    virtual bool AddNode(CControlUI* node) = 0;

protected:
    ~ITreeViewUI() = default;
};

}  // namespace KvUI
