// The tab layout: which page is selected as pages come and go, "tabselect",
// and the page's place in the layout.
#include <gtest/gtest.h>

#include "controls/ControlsKit.h"

namespace kvtest {
namespace {

CControlUI* Page(LPCTSTR name, bool visible = true) {
    auto* page = new CControlUI();
    page->SetName(name);
    page->SetVisible(visible);
    return page;
}

TEST(TabPages, TheFirstVisiblePageIsSelectedAndLaterOnesHidden) {
    CTabLayoutUI tabs;
    CControlUI* hidden = Page(L"hidden", false);
    CControlUI* first = Page(L"first");
    CControlUI* second = Page(L"second");
    tabs.Add(hidden);
    EXPECT_EQ(-1, tabs.GetCurSel()) << "an invisible page is not selected";
    tabs.Add(first);
    tabs.Add(second);
    EXPECT_EQ(1, tabs.GetCurSel());
    EXPECT_TRUE(first->IsVisible());
    EXPECT_FALSE(second->IsVisible());
    EXPECT_FALSE(hidden->IsVisible());
}

TEST(TabPages, APageInsertedAtOrBeforeTheSelectionShiftsIt) {
    CTabLayoutUI tabs;
    CControlUI* a = Page(L"a");
    tabs.Add(a);
    tabs.Add(Page(L"b"));
    CControlUI* before = Page(L"before");
    tabs.AddAt(before, 0);
    EXPECT_EQ(1, tabs.GetCurSel());
    EXPECT_EQ(a, tabs.GetItemAt(tabs.GetCurSel()));
    EXPECT_FALSE(before->IsVisible());
    CControlUI* after = Page(L"after");
    tabs.AddAt(after, 3);
    EXPECT_EQ(1, tabs.GetCurSel());
    EXPECT_FALSE(after->IsVisible());
}

TEST(TabPages, RemovingPagesKeepsASensibleSelection) {
    CTabLayoutUI tabs;
    tabs.SetDelayedDestroy(false);
    CControlUI* a = Page(L"a");
    CControlUI* b = Page(L"b");
    CControlUI* c = Page(L"c");
    tabs.Add(a);
    tabs.Add(b);
    tabs.Add(c);
    ASSERT_TRUE(tabs.SelectItem(2));
    EXPECT_TRUE(tabs.Remove(a));
    EXPECT_EQ(1, tabs.GetCurSel()) << "a page before the selection: the same page stays selected";
    EXPECT_EQ(c, tabs.GetItemAt(1));
    EXPECT_TRUE(tabs.Remove(c));
    EXPECT_EQ(0, tabs.GetCurSel()) << "the selected page: page 0 is selected";
    EXPECT_TRUE(b->IsVisible());
    EXPECT_TRUE(tabs.Remove(b));
    EXPECT_EQ(-1, tabs.GetCurSel()) << "the only page";
    EXPECT_FALSE(tabs.Remove(nullptr));
}

TEST(TabPages, RemoveAllSelectsNothing) {
    CTabLayoutUI tabs;
    tabs.SetDelayedDestroy(false);
    tabs.Add(Page(L"a"));
    tabs.RemoveAll();
    EXPECT_EQ(-1, tabs.GetCurSel());
    CControlUI* next = Page(L"next");
    tabs.Add(next);
    EXPECT_EQ(0, tabs.GetCurSel());
}

class Tabs : public ::testing::Test {
protected:
    void Open(const std::wstring& attributes = L"") {
        host.Build(Skin(L"<TabLayout name=\"tabs\" inset=\"10,20,10,10\" " + attributes +
                        L"><Control name=\"p0\" bkcolor=\"#FFFF0000\"/><Control name=\"p1\" bkcolor=\"#FF00FF00\" "
                        L"padding=\"5,5,5,5\"/><Control name=\"p2\" bkcolor=\"#FF0000FF\" width=\"50\" height=\"40\"/>"
                        L"</TabLayout>"));
        tabs = host.Find<CTabLayoutUI>(L"tabs");
        ASSERT_NE(nullptr, tabs);
        host.notes.Clear();
    }
    CControlUI* Page(int n) const { return tabs->GetItemAt(n); }

    Host host{200, 150};
    CTabLayoutUI* tabs = nullptr;
};

TEST_F(Tabs, TheSelectedPageFillsTheAreaInsideTheInset) {
    Open();
    EXPECT_TRUE(SameRect(RECT{10, 20, 190, 140}, Page(0)->GetPos())) << Show(Page(0)->GetPos());
    EXPECT_EQ(0xFF0000u, host.Pixel(100, 80));
    EXPECT_EQ(0xFFFFFFu, host.Pixel(5, 5)) << "the inset";
}

TEST_F(Tabs, SelectingAPageShowsItAndSaysSo) {
    Open();
    ASSERT_TRUE(tabs->SelectItem(1));
    ASSERT_TRUE(host.Paint());
    EXPECT_TRUE(SameRect(RECT{15, 25, 185, 135}, Page(1)->GetPos())) << "less its padding: " << Show(Page(1)->GetPos());
    EXPECT_EQ(0x00FF00u, host.Pixel(100, 80));
    EXPECT_FALSE(Page(0)->IsVisible());
    const Notes::Note* note = host.notes.Last(L"tabselect");
    ASSERT_NE(nullptr, note);
    EXPECT_EQ(tabs, note->sender);
    EXPECT_EQ(1u, note->wParam);
    EXPECT_EQ(0, note->lParam);
}

TEST_F(Tabs, AFixedSizePageKeepsItsSizeAtTheTopLeft) {
    Open();
    ASSERT_TRUE(tabs->SelectItemByControl(Page(2)));
    ASSERT_TRUE(host.Paint());
    EXPECT_TRUE(SameRect(RECT{10, 20, 60, 60}, Page(2)->GetPos())) << Show(Page(2)->GetPos());
}

TEST_F(Tabs, TheCurrentPageOrAPageOutOfRangeChangesNothing) {
    Open();
    EXPECT_TRUE(tabs->SelectItem(0));
    EXPECT_FALSE(tabs->SelectItem(3));
    EXPECT_FALSE(tabs->SelectItem(-1));
    CControlUI stranger;
    EXPECT_FALSE(tabs->SelectItemByControl(&stranger));
    EXPECT_EQ(0, tabs->GetCurSel());
    EXPECT_EQ(0, host.notes.Count(L"tabselect"));
}

TEST_F(Tabs, SelectedIdPicksThePageOfTheSkin) {
    Open(L"selectedid=\"2\"");
    EXPECT_EQ(2, tabs->GetCurSel());
    EXPECT_TRUE(Page(2)->IsVisible());
    EXPECT_FALSE(Page(0)->IsVisible());
}

TEST_F(Tabs, SelectedIdBeyondThePagesDoesNothing) {
    Open(L"selectedid=\"5\"");
    EXPECT_EQ(0, tabs->GetCurSel());
}

TEST_F(Tabs, ClickingABoundButtonSelectsItsPage) {
    host.Build(
        Skin(L"<Button name=\"b\" height=\"20\" bindtabindex=\"2\" bindtablayoutname=\"tabs\"/>"
             L"<Button name=\"none\" height=\"20\" bindtabindex=\"-1\" bindtablayoutname=\"tabs\"/>"
             L"<Button name=\"lost\" height=\"20\" bindtabindex=\"1\" bindtablayoutname=\"nosuch\"/>"
             L"<TabLayout name=\"tabs\"><Control/><Control/><Control/></TabLayout>"));
    tabs = host.Find<CTabLayoutUI>(L"tabs");
    host.Click(10, 30);
    EXPECT_EQ(0, tabs->GetCurSel()) << "bindtabindex -1 with no index: no page";
    host.Click(10, 50);
    EXPECT_EQ(0, tabs->GetCurSel()) << "a name of no control";
    EXPECT_EQ(2, host.notes.Count(L"click"));
    host.Click(10, 10);
    EXPECT_EQ(2, tabs->GetCurSel());
    EXPECT_EQ(3, host.notes.Count(L"click"));
    host.Find<CButtonUI>(L"b")->SelectBoundTab(1);
    EXPECT_EQ(1, tabs->GetCurSel()) << "an index given wins over the bound one";
}

}  // namespace
}  // namespace kvtest
