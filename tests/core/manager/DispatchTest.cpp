// Window messages become control events: who gets which event, in which order.
#include <gtest/gtest.h>

#include "core/manager/ManagerTestKit.h"

namespace kvtest {
namespace {

TEST(EventNumbers, MatchTheTableControlsCompareAgainst) {
    const int expected[][2] = {
        {EventKeyDown, 3},      {EventKeyUp, 4},        {EventChar, 5},          {EventSysKey, 6},
        {EventMouseMove, 9},    {EventMouseLeave, 10},  {EventMouseEnter, 11},   {EventMouseHover, 12},
        {EventButtonDown, 13},  {EventButtonUp, 14},    {EventRButtonDown, 15},  {EventRButtonUp, 16},
        {EventMButtonDown, 17}, {EventMButtonUp, 18},   {EventDblClick, 19},     {EventContextMenu, 20},
        {EventScrollWheel, 21}, {EventKillFocus, 23},   {EventSetFocus, 24},     {EventWindowSize, 25},
        {EventSetCursor, 26},   {EventTimer, 27},
    };
    for (const auto& pair : expected) EXPECT_EQ(pair[1], pair[0]);
    EXPECT_EQ(9, EventMouseFirst);
    EXPECT_EQ(21, EventMouseLast);
}

// A window with two controls side by side: a at (10,10)-(60,40), b at (100,10)-(150,40).
class Dispatch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Open());
        root = new TestContainer();
        a = root->Add(Place(new RecordingControl(&log, L"a"), 10, 10, 50, 30));
        b = root->Add(Place(new RecordingControl(&log, L"b"), 100, 10, 50, 30));
        ASSERT_TRUE(host.manager.AttachDialog(root));
        root->SetPos(RECT{0, 0, 300, 200}, false);
        host.manager.AddNotifier(&notes);
        log.clear();
    }
    void TearDown() override { host.manager.RemoveNotifier(&notes); }

    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return SendMessageW(host, msg, wParam, lParam); }

    Log log;
    HostWindow host;
    NotifyRecorder notes{&log};
    TestContainer* root = nullptr;
    RecordingControl* a = nullptr;
    RecordingControl* b = nullptr;
};

TEST_F(Dispatch, MouseMovesEnterLeaveAndFollowTheControlUnderTheMouse) {
    Send(WM_MOUSEMOVE, 0, At(20, 20));
    Send(WM_MOUSEMOVE, 0, At(21, 20));
    Send(WM_MOUSEMOVE, 0, At(110, 20));
    Send(WM_MOUSEMOVE, 0, static_cast<LPARAM>(-1));
    EXPECT_EQ((Log{"a:11", "a:9", "a:9", "a:10", "b:11", "b:9", "b:10"}), log);
    EXPECT_EQ(21, a->events[2].mousePoint.x);
}

TEST_F(Dispatch, LeavingTheWindowEndsTheHover) {
    Send(WM_MOUSEMOVE, 0, At(20, 20));
    // The hidden window is not active: the mouse counts as outside.
    Send(WM_MOUSELEAVE);
    EXPECT_EQ((Log{"a:11", "a:9", "a:10"}), log);
}

TEST_F(Dispatch, HoverReachesTheHoveredControlAndShowsItsToolTip) {
    a->SetToolTip(L"first<n>second");
    Send(WM_MOUSEMOVE, 0, At(20, 20));
    log.clear();
    EXPECT_EQ(nullptr, host.manager.GetTooltipWindow());
    Send(WM_MOUSEHOVER, 0, At(20, 20));
    EXPECT_EQ((Log{"a:12"}), log);
    EXPECT_NE(nullptr, host.manager.GetTooltipWindow());
    log.clear();
    Send(WM_MOUSEHOVER, 0, At(400, 300));
    EXPECT_TRUE(log.empty()) << "no control there: nothing happens";
}

TEST_F(Dispatch, LeftButtonFocusesCapturesAndReleasesToThePressedControl) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
    EXPECT_TRUE(host.manager.IsCaptured());
    EXPECT_EQ(a, host.manager.GetFocus());
    // Moving while pressed reports to the pressed control, not the hovered one.
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(110, 20));
    Send(WM_LBUTTONUP, 0, At(110, 20));
    EXPECT_FALSE(host.manager.IsCaptured());
    EXPECT_EQ((Log{"a:24", "setfocus:a", "a:13", "a:9", "a:14"}), log);
    EXPECT_EQ(MK_LBUTTON, a->events[1].keyState);
}

TEST_F(Dispatch, RightButtonUpGoesToTheControlUnderTheMouse) {
    Send(WM_RBUTTONDOWN, MK_RBUTTON, At(20, 20));
    Send(WM_RBUTTONUP, 0, At(110, 20));
    // The default window procedure follows with WM_CONTEXTMENU, for the released-on control.
    EXPECT_EQ((Log{"a:24", "setfocus:a", "a:15", "b:16", "b:20"}), log);
    EXPECT_FALSE(host.manager.IsCaptured());
}

TEST_F(Dispatch, MiddleButtonWorksLikeTheRightOne) {
    Send(WM_MBUTTONDOWN, MK_MBUTTON, At(110, 20));
    Send(WM_MBUTTONUP, 0, At(110, 20));
    EXPECT_EQ((Log{"b:24", "setfocus:b", "b:17", "b:18"}), log);
}

TEST_F(Dispatch, ButtonUpsSkipControlsOfAnotherManagerAndReleaseTheCapture) {
    CPaintManagerUI other;
    Send(WM_RBUTTONDOWN, MK_RBUTTON, At(20, 20));
    b->SetManager(&other, root, false);  // as a pop-up's control lying under the point
    Send(WM_RBUTTONUP, 0, At(110, 20));
    Send(WM_MBUTTONDOWN, MK_MBUTTON, At(20, 20));
    Send(WM_MBUTTONUP, 0, At(110, 20));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(110, 20));
    b->SetManager(&host.manager, root, false);
    EXPECT_TRUE(b->events.empty());
    EXPECT_FALSE(host.manager.IsCaptured());
}

TEST_F(Dispatch, DoubleClickCapturesAndTheReleaseFollows) {
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, At(110, 20));
    EXPECT_TRUE(host.manager.IsCaptured());
    Send(WM_LBUTTONUP, 0, At(110, 20));
    EXPECT_EQ((Log{"b:19", "b:14"}), log);
}

TEST_F(Dispatch, WheelTowardsTheUserGivesOneAwayGivesZero) {
    POINT screen = {20, 20};
    ClientToScreen(host, &screen);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), At(screen.x, screen.y));
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), At(screen.x, screen.y));
    std::vector<WPARAM> wheel;
    for (const TUIEvent& e : a->events) {
        if (e.type == EventScrollWheel) wheel.push_back(e.wParam);
    }
    EXPECT_EQ((std::vector<WPARAM>{1, 0}), wheel);
    // Hover follows the content under the cursor.
    EXPECT_EQ(EventMouseEnter, a->events[1].type);
}

TEST_F(Dispatch, ContextMenuGoesToThePressedControlWithItselfAsLParam) {
    Send(WM_RBUTTONDOWN, MK_RBUTTON, At(20, 20));
    POINT screen = {20, 20};
    ClientToScreen(host, &screen);
    Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(static_cast<HWND>(host)), At(screen.x, screen.y));
    ASSERT_EQ(EventContextMenu, a->events.back().type);
    EXPECT_EQ(reinterpret_cast<LPARAM>(a), a->events.back().lParam);
    EXPECT_EQ(20, host.manager.GetMousePos().x);
}

TEST_F(Dispatch, KeyUpGoesToTheControlThatHadTheKeyDown) {
    a->SetFocus();
    Send(WM_KEYDOWN, 'K');
    b->SetFocus();
    Send(WM_CHAR, 'k');
    Send(WM_KEYUP, 'K');
    EXPECT_EQ((Log{"a:24", "setfocus:a", "a:3", "a:23", "killfocus:a", "b:24", "setfocus:b", "b:5", "a:4"}), log);
    EXPECT_EQ(static_cast<TCHAR>('K'), a->events.back().keyChar);
}

TEST_F(Dispatch, AConsumingFilterStillMovesTheLastMousePosition) {
    struct Eater : IMessageFilterUI {
        LRESULT MessageHandler(UINT msg, WPARAM, LPARAM, bool& handled) override {
            handled = msg == WM_MOUSEMOVE;
            return 7;
        }
    } eater;
    host.manager.AddMessageFilter(&eater);
    LRESULT lRes = 0;
    EXPECT_TRUE(host.manager.MessageHandler(WM_MOUSEMOVE, 0, At(42, 24), lRes));
    EXPECT_EQ(7, lRes);
    EXPECT_EQ(42, host.manager.GetMousePos().x);
    EXPECT_EQ(24, host.manager.GetMousePos().y);
    EXPECT_TRUE(a->events.empty());
    EXPECT_TRUE(host.manager.RemoveMessageFilter(&eater));
    EXPECT_FALSE(host.manager.RemoveMessageFilter(&eater));
}

// A filter that looks once and then leaves, as a closing menu does.
struct LeavingFilter : IMessageFilterUI {
    LeavingFilter(Log* log, const char* name, CPaintManagerUI* manager, bool pre)
        : log(log), name(name), manager(manager), pre(pre) {}
    LRESULT MessageHandler(UINT, WPARAM, LPARAM, bool&) override {
        log->push_back(name);
        if (pre) {
            manager->RemovePreMessageFilter(this);
        } else {
            manager->RemoveMessageFilter(this);
        }
        return 0;
    }
    Log* log;
    const char* name;
    CPaintManagerUI* manager;
    bool pre;
};

TEST_F(Dispatch, AFilterRemovingItselfDoesNotHideTheMessageFromTheNextFilter) {
    LeavingFilter first{&log, "first", &host.manager, false};
    LeavingFilter second{&log, "second", &host.manager, false};
    LeavingFilter preFirst{&log, "pre-first", &host.manager, true};
    LeavingFilter preSecond{&log, "pre-second", &host.manager, true};
    host.manager.AddMessageFilter(&first);
    host.manager.AddMessageFilter(&second);
    host.manager.AddPreMessageFilter(&preFirst);
    host.manager.AddPreMessageFilter(&preSecond);
    LRESULT lRes = 0;
    host.manager.PreMessageHandler(WM_KEYUP, 'A', 0, lRes);
    host.manager.MessageHandler(WM_KEYUP, 'A', 0, lRes);
    host.manager.MessageHandler(WM_KEYUP, 'A', 0, lRes);
    EXPECT_EQ((Log{"pre-first", "pre-second", "first", "second"}), log);
    EXPECT_FALSE(host.manager.RemoveMessageFilter(&second));
}

TEST_F(Dispatch, CaptureTakenByAnotherWindowEndsTheCapturedState) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
    ASSERT_TRUE(host.manager.IsCaptured());
    Send(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(static_cast<HWND>(host)));
    EXPECT_TRUE(host.manager.IsCaptured()) << "the window itself took it again";
    HostWindow other;
    ASSERT_TRUE(other.Open());
    Send(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(other.GetHWND()));
    EXPECT_FALSE(host.manager.IsCaptured());
    // The cursor is no longer held: a set-cursor request is answered by the control again.
    LRESULT lRes = 0;
    EXPECT_FALSE(host.manager.MessageHandler(WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, 0), lRes));
}

TEST_F(Dispatch, ChildNotificationsAreReflectedToTheChild) {
    static UINT reflected = 0;
    struct Child : CWindowWnd {
        LPCTSTR GetWindowClassName() const override { return L"KvTestChild"; }
        LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override {
            if (msg >= 0x2000) reflected = msg;
            return msg == WM_COMMAND + 0x2000 ? 5 : CWindowWnd::HandleMessage(msg, w, l);
        }
    } child;
    ASSERT_TRUE(child.CreateEx(host, L"", WS_CHILD, 0, 0, 0, 10, 10));
    LRESULT lRes = 0;
    EXPECT_TRUE(host.manager.MessageHandler(WM_COMMAND, 1, reinterpret_cast<LPARAM>(child.GetHWND()), lRes));
    EXPECT_EQ(5, lRes);
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND + 0x2000), reflected);
    EXPECT_FALSE(host.manager.MessageHandler(WM_CTLCOLOREDIT, 0, reinterpret_cast<LPARAM>(child.GetHWND()), lRes));
    DestroyWindow(child);
}

TEST_F(Dispatch, WindowSizeRelaysOutAndTellsTheFocusedControl) {
    a->SetFocus();
    log.clear();
    LRESULT lRes = 0;
    EXPECT_TRUE(host.manager.MessageHandler(WM_SIZE, SIZE_RESTORED, At(300, 200), lRes));
    EXPECT_EQ((Log{"a:25"}), log);
    EXPECT_TRUE(root->IsUpdateNeeded());
}

TEST_F(Dispatch, CloseEndsHoverAndPressAndDropsTheFocus) {
    Send(WM_MOUSEMOVE, 0, At(110, 20));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
    log.clear();
    LRESULT lRes = 0;
    EXPECT_FALSE(host.manager.MessageHandler(WM_CLOSE, 0, 0, lRes));
    EXPECT_EQ((Log{"b:10", "a:14", "a:23", "killfocus:a"}), log);
    EXPECT_EQ(nullptr, host.manager.GetFocus());
}

TEST_F(Dispatch, TimerMessagesReachTheTimersControlWithItsOwnId) {
    ASSERT_TRUE(host.manager.SetTimer(b, 7, 10));
    EXPECT_TRUE(PumpUntil([&] { return !b->events.empty() && b->events.back().type == EventTimer; }));
    EXPECT_EQ(7u, b->events.back().wParam);
    EXPECT_TRUE(host.manager.KillTimer(b, 7));
}

TEST_F(Dispatch, SetCursorAsksOnlyControlsThatWantIt) {
    auto* c = root->Add(Place(new RecordingControl(&log, L"c", UIFLAG_SETCURSOR), 0, 0, 300, 200));
    root->SetPos(RECT{0, 0, 300, 200}, false);
    LRESULT lRes = 0;
    // The control covers the whole client area: it is asked whenever the cursor is inside.
    POINT cursor = {};
    GetCursorPos(&cursor);
    ScreenToClient(host, &cursor);
    const bool inside = cursor.x >= 0 && cursor.y >= 0 && cursor.x < 300 && cursor.y < 200;
    EXPECT_EQ(inside, host.manager.MessageHandler(WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, 0), lRes));
    EXPECT_FALSE(host.manager.MessageHandler(WM_SETCURSOR, 0, MAKELPARAM(HTCAPTION, 0), lRes));
    host.manager.SetCapture();
    EXPECT_TRUE(host.manager.MessageHandler(WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, 0), lRes));
    host.manager.ReleaseCapture();
    EXPECT_EQ(inside, !c->events.empty());
}

// No root: every message is answered without looking for controls.
TEST(DispatchWithoutTree, EveryMessageIsSafeWithoutARoot) {
    HostWindow host;
    ASSERT_TRUE(host.Open());
    const UINT messages[] = {WM_MOUSEMOVE,   WM_LBUTTONDOWN, WM_LBUTTONUP,   WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
                             WM_RBUTTONUP,   WM_MBUTTONDOWN, WM_MBUTTONUP,   WM_CONTEXTMENU,   WM_MOUSEWHEEL,
                             WM_MOUSEHOVER,  WM_MOUSELEAVE,  WM_SETCURSOR,   WM_KEYDOWN,       WM_KEYUP,
                             WM_CHAR,        WM_SYSKEYDOWN,  WM_SYSCHAR,     WM_SIZE,          WM_SETFOCUS,
                             WM_KILLFOCUS,   WM_TIMER,       WM_CLOSE,       WM_PRINTCLIENT};
    for (UINT msg : messages) {
        LRESULT lRes = 0;
        host.manager.MessageHandler(msg, 0, At(5, 5), lRes);
        host.manager.PreMessageHandler(msg, VK_TAB, At(5, 5), lRes);
    }
    EXPECT_EQ(nullptr, host.manager.FindControlAt(POINT{5, 5}));
    EXPECT_TRUE(host.manager.SetNextTabControl(true));
}

TEST(DispatchWithoutTree, AManagerWithoutAWindowHandlesNothing) {
    CPaintManagerUI manager;
    LRESULT lRes = 0;
    EXPECT_FALSE(manager.MessageHandler(WM_ERASEBKGND, 0, 0, lRes));
}

}  // namespace
}  // namespace kvtest
