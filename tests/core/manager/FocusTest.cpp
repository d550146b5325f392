// Keyboard focus: TAB order with wrap-around, shortcuts, focus rules.
#include <gtest/gtest.h>

#include "core/manager/ManagerTestKit.h"

namespace kvtest {
namespace {

// Tab stops t1, t2, t3 in tree order, with a control that is no tab stop between them.
class Focus : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Open());
        root = new TestContainer();
        t1 = root->Add(Place(new RecordingControl(&log, L"t1", UIFLAG_TABSTOP), 0, 0, 10, 10));
        plain = root->Add(Place(new RecordingControl(&log, L"plain"), 20, 0, 10, 10));
        t2 = root->Add(Place(new RecordingControl(&log, L"t2", UIFLAG_TABSTOP), 40, 0, 10, 10));
        t3 = root->Add(Place(new RecordingControl(&log, L"t3", UIFLAG_TABSTOP), 60, 0, 10, 10));
        ASSERT_TRUE(host.manager.AttachDialog(root));
        ASSERT_TRUE(ShowAndPaint(host));
        host.manager.SetFocus(nullptr);
        host.manager.AddNotifier(&notes);
        log.clear();
    }
    void TearDown() override {
        SetKeyDown(VK_SHIFT, false);
        host.manager.RemoveNotifier(&notes);
    }

    // TAB as the message loop sees it: pre-translated, never dispatched.
    bool PressTab(bool shift) {
        SetKeyDown(VK_SHIFT, shift);
        MSG msg = {host, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
        const bool translated = CPaintManagerUI::TranslateMessage(&msg);
        SetKeyDown(VK_SHIFT, false);
        return translated;
    }
    CControlUI* Focused() const { return host.manager.GetFocus(); }

    Log log;
    HostWindow host;
    NotifyRecorder notes{&log};
    TestContainer* root = nullptr;
    RecordingControl* t1 = nullptr;
    RecordingControl* plain = nullptr;
    RecordingControl* t2 = nullptr;
    RecordingControl* t3 = nullptr;
};

TEST_F(Focus, TheFirstPaintFocusesTheFirstTabStop) {
    HostWindow other;
    ASSERT_TRUE(other.Open());
    auto* tree = new TestContainer();
    auto* first = tree->Add(Place(new RecordingControl(nullptr, L"first", UIFLAG_TABSTOP), 0, 0, 10, 10));
    other.manager.AttachDialog(tree);
    ASSERT_TRUE(ShowAndPaint(other));
    EXPECT_TRUE(PumpUntil([&] { return other.manager.GetFocus() == first; }));
}

TEST_F(Focus, TabWaitsForTheLayoutBeforeMovingOn) {
    root->NeedUpdate();
    EXPECT_TRUE(PressTab(false));
    EXPECT_EQ(nullptr, Focused()) << "nothing moves before the tree is laid out";
    EXPECT_TRUE(PumpUntil([&] { return Focused() == t1; }));
}

TEST_F(Focus, TabWalksTheTabStopsAndWrapsFromTheLastToTheFirst) {
    EXPECT_TRUE(PressTab(false));
    EXPECT_EQ(t1, Focused());
    PressTab(false);
    EXPECT_EQ(t2, Focused());
    PressTab(false);
    EXPECT_EQ(t3, Focused());
    PressTab(false);
    EXPECT_EQ(t1, Focused());
}

TEST_F(Focus, TabInANativeChildWindowMovesTheFocusOfItsParentsManager) {
    struct Child : CWindowWnd {
        LPCTSTR GetWindowClassName() const override { return L"KvTestTabChild"; }
    } child;
    ASSERT_TRUE(child.CreateEx(host, L"", WS_CHILD, 0, 0, 0, 10, 10));
    MSG msg = {child.GetHWND(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_FALSE(CPaintManagerUI::TranslateMessage(&msg)) << "the child still gets its key";
    EXPECT_EQ(t1, Focused());
    DestroyWindow(child);
}

TEST_F(Focus, ShiftTabWalksBackwardsAndWrapsFromTheFirstToTheLast) {
    t2->SetFocus();
    PressTab(true);
    EXPECT_EQ(t1, Focused());
    PressTab(true);
    EXPECT_EQ(t3, Focused());
}

TEST_F(Focus, TabSkipsHiddenAndDisabledControls) {
    t2->SetEnabled(false);
    t1->SetFocus();
    PressTab(false);
    EXPECT_EQ(t3, Focused());
    t1->SetVisible(false);
    PressTab(false);
    EXPECT_EQ(t3, Focused()) << "t3 is the only tab stop left, so TAB stays on it";
}

TEST_F(Focus, MovingTheFocusSendsKillThenSetWithNotifications) {
    t1->SetFocus();
    t2->SetFocus();
    EXPECT_EQ((Log{"t1:24", "setfocus:t1", "t1:23", "killfocus:t1", "t2:24", "setfocus:t2"}), log);
    EXPECT_EQ(t2, t1->events.back().sender) << "a kill-focus event names the control gaining the focus";
    EXPECT_TRUE(t2->IsFocused());
    EXPECT_FALSE(t1->IsFocused());
}

TEST_F(Focus, FocusingADisabledOrHiddenControlOnlyClearsTheFocus) {
    t1->SetFocus();
    t2->SetEnabled(false);
    host.manager.SetFocus(t2);
    EXPECT_EQ(nullptr, Focused());
    EXPECT_EQ((Log{"t1:24", "setfocus:t1", "t1:23", "killfocus:t1"}), log);
    t3->SetVisible(false);
    host.manager.SetFocus(t3);
    EXPECT_EQ(nullptr, Focused());
}

TEST_F(Focus, HidingTheFocusedControlClearsTheWindowsFocus) {
    t2->SetFocus();
    t2->SetVisible(false);
    EXPECT_EQ(nullptr, Focused());
    EXPECT_FALSE(t2->IsFocused());
}

TEST_F(Focus, FocusNeededFocusesTheControlAtTheNextPaint) {
    host.manager.SetFocusNeeded(t3);
    EXPECT_EQ(t2, Focused()) << "the tab stop before it, silently";
    EXPECT_TRUE(log.empty());
    // The next paint moves the focus forward onto t3.
    EXPECT_TRUE(PumpUntil([&] { return Focused() == t3; }));
}

TEST_F(Focus, AShortcutOnALabelFocusesAndActivatesTheNextControl) {
    auto* label = root->Add(Place(new RecordingControl(&log, L"label", 0, L"LabelUI"), 0, 50, 10, 10));
    auto* field = root->Add(Place(new RecordingControl(&log, L"field", UIFLAG_TABSTOP), 20, 50, 10, 10));
    label->SetShortcut(L'n');
    LRESULT lRes = 0;
    EXPECT_TRUE(host.manager.PreMessageHandler(WM_SYSCHAR, 'N', 0, lRes));
    EXPECT_EQ(field, Focused());
    EXPECT_EQ((Log{"field:24", "setfocus:field", "field:activate"}), log);
    EXPECT_FALSE(host.manager.PreMessageHandler(WM_SYSCHAR, 'Q', 0, lRes));
}

TEST_F(Focus, SystemKeysGoToTheFocusedControlAndStayUnconsumed) {
    t1->SetFocus();
    log.clear();
    LRESULT lRes = 0;
    EXPECT_FALSE(host.manager.PreMessageHandler(WM_SYSKEYDOWN, VK_F10, 0, lRes));
    EXPECT_EQ((Log{"t1:6"}), log);
    EXPECT_EQ(nullptr, t1->events.back().sender);
    EXPECT_EQ(static_cast<TCHAR>(VK_F10), t1->events.back().keyChar);
}

TEST_F(Focus, AControlNamedWkeWebkitKeepsTheTabKey) {
    auto* web = root->Add(Place(new RecordingControl(&log, L"web", UIFLAG_TABSTOP, L"WkeWebkitUI"), 0, 80, 10, 10));
    web->SetFocus();
    EXPECT_FALSE(PressTab(false));
    EXPECT_EQ(web, Focused());
}

TEST_F(Focus, APreMessageFilterSeesTabFirst) {
    struct Keeper : IMessageFilterUI {
        LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool& handled) override {
            handled = msg == WM_KEYDOWN && wParam == VK_TAB;
            return 0;
        }
    } keeper;
    host.manager.AddPreMessageFilter(&keeper);
    EXPECT_TRUE(PressTab(false));
    EXPECT_EQ(nullptr, Focused());
    host.manager.RemovePreMessageFilter(&keeper);
}

TEST_F(Focus, AcceleratorsAreAskedInOrderUntilOneTranslates) {
    struct Translator : ITranslateAccelerator {
        Translator(Log* l, const char* n, LRESULT a) : log(l), name(n), answer(a) {}
        Log* log;
        const char* name;
        LRESULT answer;
        LRESULT TranslateAccelerator(MSG*) override {
            log->push_back(name);
            return answer;
        }
    } first{&log, "first", 1}, second{&log, "second", 0}, third{&log, "third", 0};
    host.manager.AddTranslateAccelerator(&first);
    host.manager.AddTranslateAccelerator(&second);
    host.manager.AddTranslateAccelerator(&third);
    MSG msg = {host, WM_KEYDOWN, 'A', 0, 0, {0, 0}};
    EXPECT_TRUE(CPaintManagerUI::TranslateMessage(&msg));
    EXPECT_EQ((Log{"first", "second"}), log);
}

}  // namespace
}  // namespace kvtest
