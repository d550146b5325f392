#include "ui/core/ContainerUI.h"

#include <cwchar>
#include <vector>

#include "core/container/ContainerTestKit.h"

namespace kvtest {
namespace {

constexpr DWORD kRed = 0xFFFF0000;
constexpr DWORD kBlue = 0xFF0000FF;
constexpr DWORD kGreen = 0xFF00FF00;

// Removes itself from its parent when pressed, as a "close" button in a list row might.
class SelfRemover : public Mortal {
public:
    using Mortal::Mortal;
    void DoEvent(TUIEvent& event) override {
        if (event.type == EventButtonDown) static_cast<CContainerUI*>(GetParent())->Remove(this);
    }
};

// A container that notes the events its children hand up to it.
class RecordingContainer : public CContainerUI {
public:
    void DoEvent(TUIEvent& event) override {
        received.push_back(event.type);
        CContainerUI::DoEvent(event);
    }
    std::vector<int> received;
};

CControlUI* CALLBACK Everything(CControlUI* control, LPVOID data) {
    static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
    return nullptr;
}

// The layout pass's search: a control that needs layout is collected, and its
// subtree is left to its own relayout.
CControlUI* CALLBACK CollectNeedingUpdate(CControlUI* control, LPVOID data) {
    if (!control->IsUpdateNeeded()) return nullptr;
    static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
    return control;
}

}  // namespace

// ---- The child list and who deletes children ----

TEST(ContainerChildren, AddAtAndSetItemIndexKeepTheOrder) {
    CContainerUI container;
    CControlUI* a = Box(L"a");
    CControlUI* b = Box(L"b");
    CControlUI* c = Box(L"c");
    EXPECT_TRUE(container.Add(a));
    EXPECT_TRUE(container.Add(c));
    EXPECT_TRUE(container.AddAt(b, 1));
    EXPECT_EQ(3, container.GetCount());
    EXPECT_EQ(b, container.GetItemAt(1));
    EXPECT_TRUE(container.SetItemIndex(a, 2));
    EXPECT_EQ(b, container.GetItemAt(0));
    EXPECT_EQ(2, container.GetItemIndex(a));
    EXPECT_EQ(static_cast<IContainerUI*>(&container), container.GetInterface(L"IContainer"));
    EXPECT_EQ(&container, container.GetInterface(L"container"));
}

TEST(ContainerChildren, NullAndMissingChildrenAreRefused) {
    CContainerUI container;
    CControlUI stranger;
    EXPECT_FALSE(container.Add(nullptr));
    EXPECT_FALSE(container.AddAt(nullptr, 0));
    EXPECT_FALSE(container.Remove(&stranger));
    EXPECT_FALSE(container.RemoveAt(0));
    EXPECT_FALSE(container.SetItemIndex(&stranger, 0));
    EXPECT_EQ(nullptr, container.GetItemAt(-1));
    EXPECT_EQ(-1, container.GetItemIndex(nullptr));
}

TEST(ContainerChildren, AnIndexOutOfRangeLosesNoChild) {
    Host host;
    auto* root = host.Attach(new CVerticalLayoutUI());
    CControlUI* a = Box(L"a");
    CControlUI* b = Box(L"b");
    root->Add(a);
    root->Add(b);

    EXPECT_FALSE(root->SetItemIndex(a, 2)) << "past the last place";
    EXPECT_FALSE(root->SetItemIndex(a, -1));
    EXPECT_EQ(2, root->GetCount());
    EXPECT_EQ(a, root->GetItemAt(0));

    CControlUI stray;
    EXPECT_FALSE(root->AddAt(&stray, 3));
    EXPECT_FALSE(root->AddAt(&stray, -1));
    EXPECT_EQ(nullptr, stray.GetManager()) << "a refused control stays the caller's";
    EXPECT_EQ(nullptr, stray.GetParent());
    EXPECT_EQ(2, root->GetCount());
}

TEST(ContainerChildren, RemovingAChildDuringItsOwnEventDefersItsDeletion) {
    Host host;
    auto* root = new CVerticalLayoutUI();
    bool dead = false;
    root->Add(new SelfRemover(&dead));
    host.Attach(root);

    host.Press(10, 10);
    EXPECT_EQ(0, root->GetCount());
    EXPECT_FALSE(dead) << "the window is still dispatching to it";
    EXPECT_TRUE(PumpUntil([&] { return dead; }));
    host.Release(10, 10);
}

TEST(ContainerChildren, DestroyingAContainerDeletesItsChildrenAtOnce) {
    Host host;
    auto* root = new CVerticalLayoutUI();
    root->SetAutoDestroy(false);
    auto* inner = new CContainerUI();
    bool dead = false;
    inner->Add(new Mortal(&dead));
    root->Add(inner);
    host.Attach(root);
    ASSERT_TRUE(inner->IsDelayedDestroy());

    ASSERT_TRUE(root->Remove(inner));
    EXPECT_FALSE(dead);
    delete inner;
    EXPECT_TRUE(dead);
}

TEST(ContainerChildren, RemoveAllGoesThroughTheCleanupMessageUnlessToldOtherwise) {
    Host host;
    auto* root = new CVerticalLayoutUI();
    bool first = false;
    bool second = false;
    root->Add(new Mortal(&first));
    root->Add(new Mortal(&second));
    host.Attach(root);

    root->RemoveAll();
    EXPECT_EQ(0, root->GetCount());
    EXPECT_FALSE(first);
    EXPECT_TRUE(PumpUntil([&] { return first && second; }));

    bool third = false;
    root->Add(new Mortal(&third));
    root->SetDelayedDestroy(false);
    root->RemoveAt(0);
    EXPECT_TRUE(third);
}

TEST(ContainerChildren, WithoutAutoDestroyRemovedChildrenLiveOn) {
    CContainerUI container;
    container.SetAutoDestroy(false);
    bool dead = false;
    Mortal child(&dead);
    container.Add(&child);
    container.RemoveAll();
    EXPECT_FALSE(dead);
    container.Add(&child);
}

namespace {

// A row of a list: selectable when visible and enabled.
class ListRow : public CControlUI {
public:
    LPVOID GetInterface(LPCTSTR name) override {
        if (_wcsicmp(name, L"ListItem") == 0) return this;
        return CControlUI::GetInterface(name);
    }
};

}  // namespace

TEST(ContainerChildren, FindSelectableSkipsWhatIsNoListRowOrCannotBeChosen) {
    CContainerUI container;
    EXPECT_EQ(-1, container.FindSelectable(0));
    auto* hidden = new ListRow();
    auto* disabled = new ListRow();
    container.Add(Box(L"plain"));
    container.Add(hidden);
    container.Add(new ListRow());
    container.Add(disabled);
    container.Add(Box(L"plain"));
    hidden->SetVisible(false);
    disabled->SetEnabled(false);

    EXPECT_EQ(2, container.FindSelectable(0, true));
    EXPECT_EQ(2, container.FindSelectable(-7, true)) << "the start is clamped";
    EXPECT_EQ(-1, container.FindSelectable(3, true));
    EXPECT_EQ(2, container.FindSelectable(99, false)) << "the start is clamped";
    EXPECT_EQ(2, container.FindSelectable(1, false)) << "nothing behind: forward from the first";
}

// ---- Placing children ----

TEST(ContainerLayout, ChildrenShareTheInnerRectangleWithinTheirLimits) {
    Host host(200, 100);
    auto* root = new CContainerUI();
    root->SetAttribute(L"inset", L"10,5,20,15");
    CControlUI* narrow = Box(L"narrow");
    narrow->SetMaxWidth(50);
    CControlUI* tall = Box(L"tall");
    tall->SetMinHeight(500);
    root->Add(narrow);
    root->Add(tall);
    host.Attach(root);
    EXPECT_EQ(Rect(10, 5, 180, 85), root->GetClientPos());
    EXPECT_EQ(Rect(10, 5, 60, 85), narrow->GetPos());
    EXPECT_EQ(Rect(10, 5, 180, 505), tall->GetPos());
}

TEST(ContainerLayout, FloatingChildrenArePlacedByAlignmentOrPercentages) {
    Host host(200, 100);
    auto* root = new CContainerUI();
    CControlUI* centred = Box(L"centred", 40, 20);
    centred->ApplyAttributeList(L"float=\"true\" floatalign=\"center,vcenter\"");
    CControlUI* corner = Box(L"corner", 30, 10);
    corner->ApplyAttributeList(L"float=\"true\" floatalign=\"right,bottom\"");
    CControlUI* fixed = Box(L"fixed");
    fixed->ApplyAttributeList(L"float=\"true\" pos=\"5,6,25,16\"");
    CControlUI* share = Box(L"share", 10, 10);
    share->ApplyAttributeList(L"float=\"0.5,0,1,0.5\"");
    for (CControlUI* child : {centred, corner, fixed, share}) root->Add(child);
    host.Attach(root);

    EXPECT_EQ(Rect(80, 40, 120, 60), centred->GetPos());
    EXPECT_EQ(Rect(170, 90, 200, 100), corner->GetPos());
    EXPECT_EQ(Rect(5, 6, 25, 16), fixed->GetPos());
    EXPECT_EQ(Rect(100, 0, 210, 60), share->GetPos());
}

TEST(ContainerLayout, VisibilityAndEnablingReachTheChildren) {
    Host host;
    auto* root = new CVerticalLayoutUI();
    auto* inner = new CContainerUI();
    CControlUI* child = Box(L"child");
    inner->Add(child);
    root->Add(inner);
    host.Attach(root);

    inner->SetVisible(false);
    EXPECT_FALSE(child->IsVisible());
    inner->SetVisible(true);
    EXPECT_TRUE(child->IsVisible());
    inner->SetEnabled(false);
    EXPECT_FALSE(child->IsEnabled());

    // A child added to a hidden container starts hidden with it.
    inner->SetVisible(false);
    CControlUI* late = Box(L"late");
    inner->Add(late);
    EXPECT_FALSE(late->IsVisible());
}

// ---- Finding controls ----

class ContainerFind : public ::testing::Test {
protected:
    void SetUp() override {
        root = new CVerticalLayoutUI();
        root->SetName(L"root");
        panel = new CContainerUI();
        panel->SetName(L"panel");
        panel->SetInset(RECT{10, 10, 10, 10});
        under = Box(L"under");
        over = Box(L"over");
        panel->Add(under);
        panel->Add(over);
        root->Add(panel);
        host.Attach(root);
        ASSERT_EQ(Rect(0, 0, 200, 150), panel->GetPos());
        ASSERT_EQ(Rect(10, 10, 190, 140), over->GetPos());
    }
    CControlUI* At(int x, int y) { return host.manager.FindControlAt(POINT{x, y}); }

    Host host;
    CVerticalLayoutUI* root = nullptr;
    CContainerUI* panel = nullptr;
    CControlUI* under = nullptr;
    CControlUI* over = nullptr;
};

TEST_F(ContainerFind, TheTopmostChildWinsAndTheInsetBelongsToTheContainer) {
    EXPECT_EQ(over, At(50, 50));
    EXPECT_EQ(panel, At(5, 50));
    over->SetVisible(false);
    EXPECT_EQ(under, At(50, 50));
}

TEST_F(ContainerFind, AContainerWithoutMouseIsNeverTheHitButItsChildrenAre) {
    panel->SetMouseEnabled(false);
    EXPECT_EQ(over, At(50, 50));
    EXPECT_EQ(root, At(5, 50));
}

TEST_F(ContainerFind, MouseChildOffKeepsChildrenOutOfHitTestsOnly) {
    panel->SetAttribute(L"mousechild", L"false");
    EXPECT_EQ(panel, At(50, 50));
    std::vector<CControlUI*> all;
    root->FindControl(Everything, &all, UIFIND_ALL);
    EXPECT_EQ((std::vector<CControlUI*>{under, over, panel, root}), all);
}

TEST_F(ContainerFind, MeFirstAndTopFirstSetTheVisitingOrder) {
    std::vector<CControlUI*> order;
    root->FindControl(Everything, &order, UIFIND_ME_FIRST | UIFIND_TOP_FIRST);
    EXPECT_EQ((std::vector<CControlUI*>{root, panel, over, under}), order);
}

TEST_F(ContainerFind, UpdateTestStopsAtAControlThatNeedsLayout) {
    panel->NeedUpdate();
    over->NeedUpdate();
    std::vector<CControlUI*> found;
    root->FindControl(CollectNeedingUpdate, &found, UIFIND_VISIBLE | UIFIND_UPDATETEST | UIFIND_ME_FIRST);
    EXPECT_EQ((std::vector<CControlUI*>{panel}), found);
}

TEST(ContainerEvents, AContainerWithoutMouseHandsMouseEventsToItsParent) {
    Host host;
    auto* root = new RecordingContainer();
    auto* inner = new CContainerUI();
    root->Add(inner);
    host.Attach(root);
    inner->SetMouseEnabled(false);

    TUIEvent press;
    press.type = EventButtonDown;
    press.sender = inner;
    inner->DoEvent(press);
    TUIEvent focus;
    focus.type = EventSetFocus;
    inner->DoEvent(focus);
    EXPECT_EQ((std::vector<int>{EventButtonDown}), root->received);
    EXPECT_TRUE(inner->IsFocused());
}

// ---- Scrolling ----

// Ten rows of 40 in a 100-pixel window: a range of 300.
class ContainerScroll : public ::testing::Test {
protected:
    void SetUp() override {
        list = new CVerticalLayoutUI();
        list->EnableScrollBar();
        for (int i = 0; i < 10; ++i) list->Add(Box(L"row", 0, 40));
        host.manager.AddNotifier(&notes);
        host.Attach(list);
        ASSERT_TRUE(list->GetVerticalScrollBar()->IsVisible());
        ASSERT_EQ(300, list->GetScrollRange().cy);
        host.manager.SetFocus(list);
    }
    int Top(int row) const { return list->GetItemAt(row)->GetPos().top; }
    int Pos() const { return list->GetScrollPos().cy; }

    Host host{200, 100};
    Notes notes;
    CVerticalLayoutUI* list = nullptr;
};

TEST_F(ContainerScroll, OneWheelNotchScrollsTheFontHeightPlusEight) {
    const int step = host.manager.GetDefaultFontInfo()->metrics.tmHeight + 8;
    ASSERT_GT(step, 8);
    host.Wheel(50, 50, -WHEEL_DELTA);
    EXPECT_EQ(step, Pos());
    EXPECT_EQ(40 - step, Top(1)) << "the rows move with the content";
    host.Wheel(50, 50, WHEEL_DELTA);
    EXPECT_EQ(0, Pos());
}

TEST_F(ContainerScroll, KeysScrollByLinesPagesAndToTheEnds) {
    list->SetScrollStepSize(10);
    host.Key(VK_DOWN);
    EXPECT_EQ(10, Pos());
    host.Key(VK_NEXT);
    EXPECT_EQ(110, Pos());
    host.Key(VK_END);
    EXPECT_EQ(300, Pos());
    EXPECT_EQ(60, Top(9));
    host.Key(VK_PRIOR);
    EXPECT_EQ(200, Pos());
    host.Key(VK_UP);
    EXPECT_EQ(190, Pos());
    host.Key(VK_HOME);
    EXPECT_EQ(0, Pos());
    EXPECT_EQ(0, Top(0));
}

TEST_F(ContainerScroll, TheScrollNotificationCountsLines) {
    list->GetVerticalScrollBar()->SetLineSize(40);
    list->SetScrollPos(SIZE{0, 95});
    ASSERT_EQ(1, notes.Count(L"scroll"));
    EXPECT_EQ(list, notes.notes.back().sender);
    EXPECT_EQ(3u, notes.notes.back().wParam);
}

TEST_F(ContainerScroll, ALineSizeOfZeroCountsPixels) {
    list->GetVerticalScrollBar()->SetAttribute(L"linesize", L"0");
    list->SetScrollPos(SIZE{0, 25});
    ASSERT_EQ(1, notes.Count(L"scroll"));
    EXPECT_EQ(26u, notes.notes.back().wParam);
}

TEST_F(ContainerScroll, SettingTheCurrentPositionDoesNothing) {
    list->SetScrollPos(SIZE{0, 50});
    notes.notes.clear();
    list->SetScrollPos(SIZE{0, 50});
    list->SetScrollPos(SIZE{0, 900});
    EXPECT_EQ(1, notes.Count(L"scroll")) << "only the move to the end";
    list->SetScrollPos(SIZE{0, 300});
    EXPECT_EQ(1, notes.Count(L"scroll"));
    EXPECT_EQ(-300, Top(0));
}

TEST_F(ContainerScroll, TheStepSizeIgnoresZeroAndBelow) {
    list->SetAttribute(L"scrollstepsize", L"25");
    list->SetScrollStepSize(0);
    list->SetScrollStepSize(-4);
    EXPECT_EQ(25, list->GetScrollStepSize());
    list->LineDown();
    EXPECT_EQ(25, Pos());
}

TEST_F(ContainerScroll, TheBarGoesAwayWhenTheContentFits) {
    list->SetScrollPos(SIZE{0, 120});
    while (list->GetCount() > 2) list->RemoveAt(0);
    host.LayOut();
    EXPECT_FALSE(list->GetVerticalScrollBar()->IsVisible());
    EXPECT_EQ(0, list->GetVerticalScrollBar()->GetScrollPos());
    EXPECT_EQ(0, Top(0));
}

TEST_F(ContainerScroll, AHiddenOrDisabledBarLeavesKeysAlone) {
    list->GetVerticalScrollBar()->SetEnabled(false);
    host.Key(VK_DOWN);
    EXPECT_EQ(0, Pos());
}

// ---- Attributes ----

TEST(ContainerAttributes, ChildAlignmentIsMatchedExactly) {
    CContainerUI container;
    container.SetAttribute(L"childalign", L"center");
    container.SetAttribute(L"childvalign", L"bottom");
    EXPECT_EQ(static_cast<UINT>(DT_CENTER), container.GetChildAlign());
    EXPECT_EQ(static_cast<UINT>(DT_BOTTOM), container.GetChildVAlign());
    container.SetAttribute(L"childalign", L"Right");
    EXPECT_EQ(static_cast<UINT>(DT_CENTER), container.GetChildAlign());
    container.SetAttribute(L"CHILDALIGN", L"right");
    EXPECT_EQ(static_cast<UINT>(DT_CENTER), container.GetChildAlign());
    EXPECT_STREQ(L"right", container.GetCustomAttribute(L"CHILDALIGN"));
}

TEST(ContainerAttributes, ScrollBarsTakeTheWindowDefaultsAndStyles) {
    Host host;
    host.manager.AddDefaultAttributeList(L"VScrollBar", L"linesize=\"13\" width=\"12\"");
    host.manager.AddStyle(L"thin", L"height=\"9\" showbutton1=\"false\"");
    auto* root = new CVerticalLayoutUI();
    host.Attach(root);

    root->SetAttribute(L"VScrollBar", L"true");
    ASSERT_NE(nullptr, root->GetVerticalScrollBar());
    EXPECT_EQ(13, root->GetVerticalScrollBar()->GetLineSize());
    EXPECT_EQ(12, root->GetVerticalScrollBar()->GetFixedWidth());
    EXPECT_EQ(root, root->GetVerticalScrollBar()->GetOwner());

    root->SetAttribute(L"hscrollbarstyle", L"thin");
    ASSERT_NE(nullptr, root->GetHorizontalScrollBar());
    EXPECT_TRUE(root->GetHorizontalScrollBar()->IsHorizontal());
    EXPECT_EQ(9, root->GetHorizontalScrollBar()->GetFixedHeight());
    EXPECT_FALSE(root->GetHorizontalScrollBar()->GetShowButton1());
    EXPECT_NE(nullptr, root->GetVerticalScrollBar()) << "the other bar stays";

    root->SetAttribute(L"vscrollbarstyle", L"linesize=&quot;21&quot;");
    EXPECT_EQ(21, root->GetVerticalScrollBar()->GetLineSize());
    root->SetAttribute(L"vscrollbar", L"false");
    EXPECT_EQ(nullptr, root->GetVerticalScrollBar());
    EXPECT_NE(nullptr, root->GetHorizontalScrollBar());
}

TEST(ContainerAttributes, AShortInsetListStopsAtItsEnd) {
    CContainerUI container;
    container.SetAttribute(L"inset", L"5,6");
    EXPECT_EQ(Rect(5, 6, 0, 0), container.GetInset()) << "a short list stops at its end";
}

// ---- One scaling rule for the inset ----

// At 150 % an inset of 2 is 3 pixels in every use: the client area, hit
// testing, painting and paging all agree with the layout.
TEST(ContainerScaling, TheInsetScalesTheSameWayEverywhere) {
    Host host(200, 100);
    host.manager.GetScaler()->SetDPI(144);
    auto* root = new CVerticalLayoutUI();
    root->SetBkColor(kBlue);
    root->SetInset(RECT{2, 2, 2, 2});
    CControlUI* wide = Box(L"wide", 0, 60);
    wide->SetMinWidth(400);  // wider than the layout: painting clips it at the inset
    wide->SetBkColor(kRed);
    root->Add(wide);
    root->Add(Box(L"second", 0, 60));
    root->Add(Box(L"third", 0, 60));
    host.Attach(root);

    EXPECT_EQ(Rect(3, 3, 3, 3), root->GetInset());
    EXPECT_EQ(Rect(3, 3, 197, 97), root->GetClientPos());
    EXPECT_EQ(Rect(3, 3, 603, 93), wide->GetPos());

    EXPECT_EQ(root, host.manager.FindControlAt(POINT{2, 50}));
    EXPECT_EQ(wide, host.manager.FindControlAt(POINT{3, 50}));
    EXPECT_EQ(wide, host.manager.FindControlAt(POINT{196, 50}));
    EXPECT_EQ(root, host.manager.FindControlAt(POINT{197, 50})) << "inside the scaled inset";

    const std::vector<DWORD> pixels = host.Pixels();
    EXPECT_EQ(0x0000FFu, host.PixelAt(pixels, 2, 50));
    EXPECT_EQ(0xFF0000u, host.PixelAt(pixels, 3, 50));
    EXPECT_EQ(0xFF0000u, host.PixelAt(pixels, 196, 50));
    EXPECT_EQ(0x0000FFu, host.PixelAt(pixels, 197, 50));

    // Three rows of 90 in 94 pixels: a page is those 94 pixels.
    root->EnableScrollBar();
    host.LayOut();
    ASSERT_EQ(270 - 94, root->GetScrollRange().cy);
    root->PageDown();
    EXPECT_EQ(94, root->GetScrollPos().cy);
}

// ---- Painting ----

TEST(ContainerPaint, ChildrenAreClippedToTheInnerRectFloatingOnesToTheContainer) {
    Host host(200, 100);
    auto* root = new CContainerUI();
    root->SetBkColor(kBlue);
    root->SetInset(RECT{20, 20, 20, 20});
    CControlUI* child = Box(L"child");
    child->SetMinWidth(300);
    child->SetBkColor(kRed);
    CControlUI* floating = Box(L"floating", 30, 10);
    floating->ApplyAttributeList(L"float=\"true\" pos=\"0,0,30,10\"");
    floating->SetBkColor(kGreen);
    root->Add(child);
    root->Add(floating);
    host.Attach(root);

    const std::vector<DWORD> pixels = host.Pixels();
    EXPECT_EQ(0xFF0000u, host.PixelAt(pixels, 100, 50));
    EXPECT_EQ(0x0000FFu, host.PixelAt(pixels, 185, 50)) << "the inset on the right stays the container's";
    EXPECT_EQ(0x00FF00u, host.PixelAt(pixels, 5, 5)) << "a floating child paints over the inset";
}

}  // namespace kvtest
