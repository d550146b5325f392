#include "ui/core/HorizontalLayoutUI.h"
#include "ui/core/VerticalLayoutUI.h"

#include <tuple>

#include "core/container/ContainerTestKit.h"

namespace kvtest {
namespace {

int Height(const CControlUI* c) { return c->GetPos().bottom - c->GetPos().top; }
int Width(const CControlUI* c) { return c->GetPos().right - c->GetPos().left; }

// One whole drag with the left button, then the relayout it asks for.
void DragAndRelease(Host& host, int x0, int y0, int x1, int y1) {
    host.Press(x0, y0);
    host.Drag(x1, y1);
    host.Release(x1, y1);
    host.LayOut();
}

// Lays a layout out on its own, as its parent would.
void Lay(CContainerUI& layout, int width, int height) { layout.SetPos(RECT{0, 0, width, height}, false); }

// A vertical layout that says when it dies.
class MortalLayout : public CVerticalLayoutUI {
public:
    explicit MortalLayout(bool* dead) : m_dead(dead) {}
    ~MortalLayout() override { *m_dead = true; }

private:
    bool* m_dead;
};

}  // namespace

// ---- Sharing out the height of a vertical layout ----

TEST(VerticalLayout, FixedChildrenKeepTheirHeightAndTheRestIsShared) {
    CVerticalLayoutUI layout;
    layout.SetChildPadding(5);
    CControlUI* a = Box(L"a", 0, 20);
    CControlUI* b = Box(L"b", 0, 30);
    CControlUI* c = Box(L"c");
    for (CControlUI* child : {a, b, c}) layout.Add(child);
    Lay(layout, 80, 100);
    EXPECT_EQ(Rect(0, 0, 80, 20), a->GetPos());
    EXPECT_EQ(Rect(0, 25, 80, 55), b->GetPos());
    EXPECT_EQ(Rect(0, 60, 80, 100), c->GetPos()) << "100 - 50 - 10 = 40";
}

TEST(VerticalLayout, TheLastAdjustableChildTakesTheRoundingLeftOver) {
    CVerticalLayoutUI layout;
    CControlUI* first = Box(L"first");
    CControlUI* last = Box(L"last");
    layout.Add(first);
    layout.Add(last);
    Lay(layout, 10, 101);
    EXPECT_EQ(50, Height(first));
    EXPECT_EQ(51, Height(last));
    EXPECT_EQ(101, last->GetPos().bottom);
}

class ExactDivision : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(ExactDivision, AdjustableChildrenFillTheHeightExactly) {
    const int count = std::get<0>(GetParam());
    const int height = std::get<1>(GetParam());
    CVerticalLayoutUI layout;
    layout.Add(Box(L"fixed", 0, 7));
    for (int i = 0; i < count; ++i) layout.Add(Box(L"share"));
    Lay(layout, 10, height);
    const int share = (height - 7) / count;
    int bottom = 7;
    for (int i = 1; i <= count; ++i) {
        const CControlUI* child = layout.GetItemAt(i);
        EXPECT_EQ(bottom, child->GetPos().top);
        if (i < count) {
            EXPECT_EQ(share, Height(child)) << "child " << i;
        }
        bottom = child->GetPos().bottom;
    }
    EXPECT_EQ(height, bottom);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ExactDivision,
                         ::testing::Values(std::make_tuple(2, 101), std::make_tuple(3, 100), std::make_tuple(7, 100),
                                           std::make_tuple(6, 1000), std::make_tuple(4, 10)));

TEST(VerticalLayout, MinimumAndMaximumHeightsBoundTheShare) {
    CVerticalLayoutUI layout;
    CControlUI* atLeast = Box(L"atLeast");
    atLeast->SetMinHeight(70);
    CControlUI* rest = Box(L"rest");
    layout.Add(atLeast);
    layout.Add(rest);
    Lay(layout, 10, 100);
    EXPECT_EQ(70, Height(atLeast));
    EXPECT_EQ(30, Height(rest));

    atLeast->SetMinHeight(0);
    atLeast->SetMaxHeight(20);
    Lay(layout, 10, 100);
    EXPECT_EQ(20, Height(atLeast));
    EXPECT_EQ(80, Height(rest));

    CControlUI* fixed = Box(L"fixed", 0, 500);
    fixed->SetMaxHeight(40);
    layout.AddAt(fixed, 0);
    Lay(layout, 10, 100);
    EXPECT_EQ(40, Height(fixed)) << "the maximum wins over a fixed height";
}

TEST(VerticalLayout, OverflowGivesAdjustableChildrenNothingAndShowsTheBar) {
    CVerticalLayoutUI layout;
    layout.EnableScrollBar();
    CControlUI* shared = Box(L"shared");
    layout.Add(Box(L"a", 0, 80));
    layout.Add(shared);
    layout.Add(Box(L"b", 0, 50));
    Lay(layout, 100, 100);
    EXPECT_EQ(0, Height(shared));
    EXPECT_TRUE(layout.GetVerticalScrollBar()->IsVisible());
    EXPECT_EQ(30, layout.GetScrollRange().cy);
    EXPECT_EQ(Rect(84, 0, 100, 100), layout.GetVerticalScrollBar()->GetPos());
    EXPECT_EQ(84, layout.GetItemAt(0)->GetPos().right);
}

TEST(VerticalLayout, ChildAlignmentPlacesNarrowChildren) {
    CVerticalLayoutUI layout;
    CControlUI* child = Box(L"child", 21, 10);
    layout.Add(child);
    layout.SetAttribute(L"childalign", L"center");
    Lay(layout, 100, 50);
    EXPECT_EQ(Rect(40, 0, 61, 10), child->GetPos());
    layout.SetAttribute(L"childalign", L"right");
    child->SetPadding(RECT{0, 2, 4, 0});
    Lay(layout, 100, 50);
    EXPECT_EQ(Rect(75, 2, 96, 12), child->GetPos());
    layout.SetAttribute(L"childalign", L"left");
    child->SetPadding(RECT{3, 0, 0, 0});
    Lay(layout, 100, 50);
    EXPECT_EQ(Rect(3, 0, 24, 10), child->GetPos());
}

TEST(VerticalLayout, PaddingAndInsetTakeTheirRoom) {
    CVerticalLayoutUI layout;
    layout.ApplyAttributeList(L"inset=\"10,5,10,5\" childpadding=\"4\"");
    CControlUI* a = Box(L"a", 0, 20);
    CControlUI* b = Box(L"b");
    a->SetAttribute(L"padding", L"2,3,4,6");
    layout.Add(a);
    layout.Add(b);
    Lay(layout, 100, 100);
    EXPECT_EQ(Rect(12, 8, 86, 28), a->GetPos());
    EXPECT_EQ(Rect(10, 38, 90, 95), b->GetPos()) << "28 + 6 + 4 = 38 down to the inset";
}

TEST(VerticalLayout, AChildWiderThanTheLayoutKeepsItsMinimumWidth) {
    CVerticalLayoutUI layout;
    CControlUI* child = Box(L"child", 0, 10);
    child->SetMinWidth(300);
    layout.Add(child);
    Lay(layout, 100, 50);
    EXPECT_EQ(Rect(0, 0, 300, 10), child->GetPos());
}

TEST(VerticalLayout, FloatingAndHiddenChildrenTakeNoShare) {
    CVerticalLayoutUI layout;
    CControlUI* floating = Box(L"floating", 30, 30);
    floating->ApplyAttributeList(L"float=\"true\" pos=\"50,50,80,80\"");
    CControlUI* hidden = Box(L"hidden", 0, 40);
    hidden->SetVisible(false);
    CControlUI* share = Box(L"share");
    for (CControlUI* child : {floating, hidden, share}) layout.Add(child);
    Lay(layout, 100, 100);
    EXPECT_EQ(Rect(50, 50, 80, 80), floating->GetPos());
    EXPECT_EQ(Rect(0, 0, 100, 100), share->GetPos());
}

TEST(VerticalLayout, SizedChildrenAfterASharedOneCountInTheShare) {
    CVerticalLayoutUI layout;
    layout.SetChildPadding(4);
    CControlUI* a = Box(L"a", 0, 10);
    a->SetPadding(RECT{0, 2, 0, 0});
    CControlUI* first = Box(L"first");
    CControlUI* raised = Box(L"raised", 0, 20);
    raised->SetMinHeight(25);
    CControlUI* last = Box(L"last");
    CControlUI* e = Box(L"e", 0, 5);
    for (CControlUI* child : {a, first, raised, last, e}) layout.Add(child);
    Lay(layout, 10, 101);
    // Sized: 12 + 25 + 5 and four gaps of 4 leave 43, shared 21 and 22.
    EXPECT_EQ(Rect(0, 2, 10, 12), a->GetPos());
    EXPECT_EQ(Rect(0, 16, 10, 37), first->GetPos());
    EXPECT_EQ(Rect(0, 41, 10, 66), raised->GetPos());
    EXPECT_EQ(Rect(0, 70, 10, 92), last->GetPos());
    EXPECT_EQ(Rect(0, 96, 10, 101), e->GetPos());
}

// Asks for its height only where the room offered is tall enough.
class Collapsible : public CControlUI {
public:
    SIZE EstimateSize(SIZE available) override { return SIZE{0, available.cy >= 60 ? 20 : 0}; }
};

TEST(VerticalLayout, AChildAskingForNothingOnceShortOfRoomGetsNothing) {
    CVerticalLayoutUI layout;
    CControlUI* top = Box(L"top", 0, 50);
    auto* collapsible = new Collapsible();
    CControlUI* after = Box(L"after", 0, 10);
    for (CControlUI* child : {top, static_cast<CControlUI*>(collapsible), after}) layout.Add(child);
    Lay(layout, 10, 100);
    // Sized in the whole room, it shares nothing; in the 50 left it asks for nothing.
    EXPECT_EQ(Rect(0, 50, 10, 50), collapsible->GetPos());
    EXPECT_EQ(Rect(0, 50, 10, 60), after->GetPos());
}

TEST(VerticalLayout, ScrollingMovesTheChildren) {
    CVerticalLayoutUI layout;
    layout.EnableScrollBar();
    for (int i = 0; i < 5; ++i) layout.Add(Box(L"row", 0, 40));
    Lay(layout, 100, 100);
    layout.SetScrollPos(SIZE{0, 70});
    Lay(layout, 100, 100);
    EXPECT_EQ(Rect(0, -70, 84, -30), layout.GetItemAt(0)->GetPos());
    EXPECT_EQ(100, layout.GetScrollRange().cy);
}

// ---- The horizontal layout ----

TEST(HorizontalLayout, SharesTheWidthLikeTheVerticalOneSharesHeight) {
    CHorizontalLayoutUI layout;
    layout.SetChildPadding(5);
    CControlUI* a = Box(L"a", 20);
    CControlUI* b = Box(L"b", 30);
    CControlUI* c = Box(L"c");
    CControlUI* d = Box(L"d");
    for (CControlUI* child : {a, b, c, d}) layout.Add(child);
    Lay(layout, 116, 40);
    EXPECT_EQ(Rect(0, 0, 20, 40), a->GetPos());
    EXPECT_EQ(Rect(25, 0, 55, 40), b->GetPos());
    EXPECT_EQ(Rect(60, 0, 85, 40), c->GetPos());
    EXPECT_EQ(Rect(90, 0, 116, 40), d->GetPos()) << "116 - 50 - 15 = 51, split 25 and 26";
}

TEST(HorizontalLayout, ChildrenTakeTheirMaximumOrFixedHeightAligned) {
    CHorizontalLayoutUI layout;
    CControlUI* fixed = Box(L"fixed", 10, 20);
    CControlUI* capped = Box(L"capped", 10);
    capped->SetMaxHeight(30);
    CControlUI* full = Box(L"full", 10);
    for (CControlUI* child : {fixed, capped, full}) layout.Add(child);
    Lay(layout, 100, 60);
    EXPECT_EQ(Rect(0, 0, 10, 20), fixed->GetPos());
    EXPECT_EQ(Rect(10, 0, 20, 30), capped->GetPos());
    EXPECT_EQ(Rect(20, 0, 30, 60), full->GetPos());

    layout.SetAttribute(L"childvalign", L"vcenter");
    Lay(layout, 100, 60);
    EXPECT_EQ(Rect(0, 20, 10, 40), fixed->GetPos());
    layout.SetAttribute(L"childvalign", L"bottom");
    Lay(layout, 100, 60);
    EXPECT_EQ(Rect(10, 30, 20, 60), capped->GetPos());
}

TEST(HorizontalLayout, WideContentShowsTheHorizontalBar) {
    CHorizontalLayoutUI layout;
    layout.EnableScrollBar(false, true);
    for (int i = 0; i < 4; ++i) layout.Add(Box(L"column", 50));
    Lay(layout, 120, 60);
    ASSERT_TRUE(layout.GetHorizontalScrollBar()->IsVisible());
    EXPECT_EQ(80, layout.GetScrollRange().cx);
    EXPECT_EQ(Rect(0, 44, 120, 60), layout.GetHorizontalScrollBar()->GetPos());
    layout.SetScrollPos(SIZE{30, 0});
    EXPECT_EQ(20, layout.GetItemAt(1)->GetPos().left);
}

// ---- Separators ----

TEST(Separator, TheStripLiesOnTheEdgeItsSignNames) {
    CVerticalLayoutUI vertical;
    vertical.SetAttribute(L"sepheight", L"4");
    Lay(vertical, 100, 200);
    EXPECT_EQ(Rect(0, 196, 100, 200), vertical.GetThumbRect());
    EXPECT_EQ(UIFLAG_SETCURSOR, vertical.GetControlFlags());
    vertical.SetSepHeight(-5);
    EXPECT_EQ(Rect(0, 0, 100, 5), vertical.GetThumbRect());
    vertical.SetEnabled(false);
    EXPECT_EQ(0u, vertical.GetControlFlags());

    CHorizontalLayoutUI horizontal;
    horizontal.SetAttribute(L"sepwidth", L"-6");
    Lay(horizontal, 100, 50);
    EXPECT_EQ(Rect(0, 0, 6, 50), horizontal.GetThumbRect());
    horizontal.SetSepWidth(3);
    EXPECT_EQ(Rect(97, 0, 100, 50), horizontal.GetThumbRect());
    horizontal.SetSepWidth(0);
    EXPECT_EQ(0u, horizontal.GetControlFlags());
}

// A 200-pixel panel with a 4-pixel separator at its bottom, above a filler.
class SeparatorDrag : public ::testing::Test {
protected:
    void Build(int dpi = 96) {
        host.manager.GetScaler()->SetDPI(dpi);
        auto* root = new CVerticalLayoutUI();
        panel = new MortalLayout(&panelDead);
        panel->SetFixedHeight(200);
        panel->SetMinHeight(150);
        panel->SetAttribute(L"sepheight", L"4");
        root->Add(panel);
        root->Add(Box(L"filler"));
        host.Attach(root);
    }
    int PanelHeight() const { return Height(panel); }

    Host host{200, 400};
    MortalLayout* panel = nullptr;
    bool panelDead = false;
};

TEST_F(SeparatorDrag, ADelayedDragResizesOnlyOnRelease) {
    Build();
    host.Press(50, 198);
    host.Drag(50, 218);
    host.Drag(50, 228);
    host.LayOut();
    EXPECT_EQ(200, PanelHeight()) << "nothing moves while dragging";
    EXPECT_EQ(Rect(0, 226, 200, 230), panel->GetThumbRect(true));

    // The dark strip shows where the edge will end.
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 200, -400, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT all{0, 0, 200, 400};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    panel->DoPostPaint(dc, all);
    GdiFlush();
    const auto* pixels = static_cast<const DWORD*>(bits);
    EXPECT_LT(pixels[228 * 200 + 50] & 0xFF, 0x60u);
    EXPECT_EQ(0xFFu, pixels[150 * 200 + 50] & 0xFF);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);

    host.Release(50, 228);
    EXPECT_EQ(230, panel->GetFixedHeight());
    host.LayOut();
    EXPECT_EQ(230, PanelHeight());
    EXPECT_FALSE(host.manager.RemovePostPaint(panel)) << "the strip is gone with the drag";
}

TEST_F(SeparatorDrag, ImmediateModeResizesAtEveryMove) {
    Build();
    panel->SetAttribute(L"sepimm", L"TRUE");
    host.Press(50, 198);
    host.Drag(50, 228);
    host.LayOut();
    EXPECT_EQ(230, PanelHeight());
    EXPECT_FALSE(host.manager.RemovePostPaint(panel));
    host.Release(50, 228);
}

TEST_F(SeparatorDrag, ADragStopsAtTheMinimumAndMaximumHeights) {
    Build();
    DragAndRelease(host, 50, 198, 50, 100);
    EXPECT_EQ(150, PanelHeight());

    panel->SetMaxHeight(260);
    DragAndRelease(host, 50, 148, 50, 300);
    EXPECT_EQ(260, PanelHeight());
}

TEST_F(SeparatorDrag, SwitchingToImmediateModeMidDragDropsTheStrip) {
    Build();
    host.Press(50, 198);
    host.Drag(50, 218);
    panel->SetSepImmMode(true);
    EXPECT_FALSE(host.manager.RemovePostPaint(panel)) << "the strip goes at the switch";
    host.Drag(50, 228);
    host.LayOut();
    EXPECT_EQ(230, PanelHeight()) << "from now on every move resizes";
    host.Release(50, 228);
}

TEST_F(SeparatorDrag, APressOutsideTheStripIsNoDrag) {
    Build();
    DragAndRelease(host, 50, 190, 50, 250);
    EXPECT_EQ(200, PanelHeight());
}

TEST_F(SeparatorDrag, TheStripShowsTheSizingCursor) {
    Build();
    TUIEvent event;
    event.type = EventSetCursor;
    event.mousePoint = POINT{50, 198};
    panel->Event(event);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_SIZENS), GetCursor());
}

// At 150 % the stored height is in skin units: each drag adds what the mouse
// moved, it does not multiply the height.
TEST_F(SeparatorDrag, DraggingAt150PercentGrowsByTheMouseMoveOnly) {
    Build(144);
    ASSERT_EQ(300, PanelHeight());
    for (int drag = 0; drag < 3; ++drag) {
        const int before = PanelHeight();
        const int edge = panel->GetPos().bottom - 2;
        DragAndRelease(host, 50, edge, 50, edge + 10);
        // Whole skin pixels are 1.5 screen pixels: a height can land one off.
        EXPECT_NEAR(before + 10, PanelHeight(), 1) << "drag " << drag;
    }
}

TEST(SeparatorDragHorizontal, DraggingAt150PercentGrowsByTheMouseMoveOnly) {
    Host host(400, 100);
    host.manager.GetScaler()->SetDPI(144);
    auto* root = new CHorizontalLayoutUI();
    auto* panel = new CHorizontalLayoutUI();
    panel->SetFixedWidth(100);
    panel->SetSepWidth(4);
    root->Add(panel);
    root->Add(Box(L"filler"));
    host.Attach(root);
    ASSERT_EQ(150, Width(panel));
    for (int drag = 0; drag < 3; ++drag) {
        const int before = Width(panel);
        const int edge = panel->GetPos().right - 2;
        DragAndRelease(host, edge, 50, edge + 10, 50);
        EXPECT_NEAR(before + 10, Width(panel), 1) << "drag " << drag;
    }
}

TEST(SeparatorDragHorizontal, ANearEdgeStripDragsTheLeftEdge) {
    Host host(400, 100);
    auto* root = new CHorizontalLayoutUI();
    auto* panel = new CHorizontalLayoutUI();
    panel->SetFixedWidth(100);
    panel->SetAttribute(L"sepwidth", L"-6");
    root->Add(Box(L"left", 50));
    root->Add(panel);
    root->Add(Box(L"filler"));
    host.Attach(root);
    ASSERT_EQ(Rect(50, 0, 150, 100), panel->GetPos());
    host.Press(52, 50);
    host.Drag(32, 50);
    host.Release(32, 50);
    EXPECT_EQ(120, panel->GetFixedWidth());
}

// The window losing the capture (another window takes it, the user switches
// away) ends the drag: the strip goes, and later moves change nothing.
TEST_F(SeparatorDrag, LosingTheCaptureEndsTheDrag) {
    Build();
    host.Press(50, 198);
    host.Drag(50, 228);
    ASSERT_EQ(host.GetHWND(), GetCapture());
    ReleaseCapture();
    EXPECT_FALSE(host.manager.RemovePostPaint(panel));
    host.LayOut();
    EXPECT_EQ(230, PanelHeight());
    host.Drag(50, 300);
    host.LayOut();
    EXPECT_EQ(230, PanelHeight());
}

TEST_F(SeparatorDrag, ALayoutRemovedDuringADragLeavesNothingBehind) {
    Build();
    host.Press(50, 198);
    host.Drag(50, 228);
    static_cast<CContainerUI*>(panel->GetParent())->Remove(panel);
    ASSERT_TRUE(PumpUntil([&] { return panelDead; }));
    EXPECT_TRUE(host.LayOut());
    host.Drag(50, 250);
    host.Release(50, 250);
    ReleaseCapture();
}

}  // namespace kvtest
