// The tree view: rows in depth-first order with their indentation, expand
// and collapse, check propagation, double clicks, and removing nodes.
#include <gtest/gtest.h>

#include "lists/ListsKit.h"
#include "ui/lists/TreeNodeUI.h"
#include "ui/lists/TreeViewUI.h"

namespace kvtest {
namespace {

class Tree : public ::testing::Test {
protected:
    void SetUp() override {
        host.Build(Skin(L"<TreeView name=\"tree\" visiblecheckbtn=\"TRUE\">"
                        L"<TreeNode name=\"a\" text=\"A\"><TreeNode name=\"a1\" text=\"A1\">"
                        L"<TreeNode name=\"a11\" text=\"A11\"/></TreeNode><TreeNode name=\"a2\" text=\"A2\"/></TreeNode>"
                        L"<TreeNode name=\"b\" text=\"B\"/></TreeView>"));
        tree = host.Find<CTreeViewUI>(L"tree");
        ASSERT_NE(nullptr, tree);
    }
    CTreeNodeUI* Node(LPCTSTR name) { return host.Find<CTreeNodeUI>(name); }
    std::wstring Rows() {
        std::wstring rows;
        for (int i = 0; i < tree->GetCount(); ++i) rows += tree->GetItemAt(i)->GetName().GetData() + std::wstring(L" ");
        return rows;
    }
    std::wstring Shown() {
        EXPECT_TRUE(host.Paint());
        std::wstring rows;
        for (int i = 0; i < tree->GetCount(); ++i) {
            if (tree->GetItemAt(i)->IsVisible()) rows += tree->GetItemAt(i)->GetName().GetData() + std::wstring(L" ");
        }
        return rows;
    }

    Host host{300, 200};
    CTreeViewUI* tree = nullptr;
};

TEST_F(Tree, RowsFollowTheTreeDepthFirstAndIndentByDepth) {
    EXPECT_EQ(L"a a1 a11 a2 b ", Rows());
    EXPECT_FALSE(Node(L"a")->GetDottedLine()->IsVisible());
    EXPECT_EQ(18, Node(L"a1")->GetDottedLine()->GetWidth());
    EXPECT_EQ(34, Node(L"a11")->GetDottedLine()->GetWidth());
    EXPECT_EQ(Node(L"a"), Node(L"a2")->GetParentNode());
}

TEST_F(Tree, ACollapsedChildKeepsItsSubtreeHiddenWhenItsParentOpensAgain) {
    Node(L"a1")->GetFolderButton()->Selected(true);
    EXPECT_EQ(L"a a1 a2 b ", Shown());
    Node(L"a")->GetFolderButton()->Selected(true);
    EXPECT_EQ(L"a b ", Shown());
    Node(L"a")->GetFolderButton()->Selected(false);
    EXPECT_EQ(L"a a1 a2 b ", Shown());
}

TEST_F(Tree, DoubleClickingARowTogglesItsFolderUnlessTheNodeIsDisabled) {
    host.DoubleClick(150, 9);
    EXPECT_TRUE(Node(L"a")->GetFolderButton()->IsSelected());
    EXPECT_EQ(L"a b ", Shown());
    host.DoubleClick(150, 9);
    EXPECT_EQ(L"a a1 a11 a2 b ", Shown());
    Node(L"a")->SetEnabled(false);
    host.DoubleClick(150, 9);
    EXPECT_EQ(L"a a1 a11 a2 b ", Shown());
    EXPECT_EQ(2, host.notes.Count(L"treeitemdbclick"));
}

TEST_F(Tree, CheckingANodeChecksItsWholeSubtreeAndUncheckingClearsIt) {
    for (bool check : {true, false}) {
        Node(L"a")->GetCheckBox()->Selected(check);
        for (LPCTSTR name : {L"a1", L"a11", L"a2"}) EXPECT_EQ(check, Node(name)->GetCheckBox()->IsSelected()) << name;
        EXPECT_FALSE(Node(L"b")->GetCheckBox()->IsSelected());
    }
}

TEST_F(Tree, RemovingANodeTakesItsSubtreeAndLeavesItsParent) {
    CTreeNodeUI* a = Node(L"a");
    ASSERT_TRUE(tree->Remove(static_cast<CControlUI*>(Node(L"a1"))));
    EXPECT_EQ(L"a a2 b ", Rows());
    ASSERT_EQ(1, a->GetCountChild());
    EXPECT_EQ(Node(L"a2"), a->GetChildNode(0));
    EXPECT_TRUE(a->Remove(Node(L"a2")));
    EXPECT_EQ(0, a->GetCountChild());
    EXPECT_EQ(L"a b ", Shown());
}

TEST_F(Tree, AChildAddedLaterGoesBelowItsParentsSubtree) {
    auto* added = new CTreeNodeUI;
    added->SetName(L"a3");
    ASSERT_TRUE(Node(L"a")->Add(added));
    EXPECT_EQ(L"a a1 a11 a2 a3 b ", Rows());
    EXPECT_EQ(L"a a1 a11 a2 a3 b ", Shown());
}

// A fragment built later into a node of a tree that is already in a window
// stays in the window: its node answers a click like the others.
TEST_F(Tree, ANodeBuiltIntoALiveTreeAnswersClicks) {
    CDialogBuilder builder;
    CControlUI* built = builder.Create(L"<Window><TreeNode name=\"b1\" text=\"B1\"/></Window>", nullptr, nullptr,
                                       &host.manager, Node(L"b"));
    ASSERT_NE(nullptr, built);
    EXPECT_EQ(L"a a1 a11 a2 b b1 ", Rows());
    EXPECT_EQ(&host.manager, built->GetManager());
    EXPECT_EQ(tree, built->GetParent());
    ASSERT_EQ(L"a a1 a11 a2 b b1 ", Shown());

    const RECT& row = built->GetPos();
    host.Click((row.left + row.right) / 2, (row.top + row.bottom) / 2);
    const Notes::Note* click = host.notes.Last(L"itemclick");
    ASSERT_NE(nullptr, click);
    EXPECT_EQ(built, click->sender);
    EXPECT_EQ(5, tree->GetCurSel());
}

}  // namespace
}  // namespace kvtest
