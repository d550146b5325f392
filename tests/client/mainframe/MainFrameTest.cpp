// The main window built from the client's skin: the page's window operations
// called from another thread take effect on the window's own thread, the tray
// icon and its menu, the loading animation, and every way of closing but the
// quiet quit command asks first.
#include "client/common/ClientKit.h"

#include <atomic>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "client/AppGlobals.h"
#include "client/AppMessages.h"
#include "client/AppStartup.h"
#include "client/MainFrame.h"
#include "support/UiTestKit.h"
#include "ui/core/ContainerUI.h"
#include "ui/lists/MenuObserver.h"
#include "ui/lists/MenuUI.h"
#include "ui/lists/MenuWnd.h"

namespace kvclient::clienttest {
namespace {

// Dispatches this thread's messages until `done` holds, noting a quit message.
bool Pump(const std::function<bool()>& done, int* quitCode = nullptr, DWORD timeoutMs = 10000) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT && quitCode) *quitCode = static_cast<int>(msg.wParam);
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// The main window with its controls in reach and the quit question answered
// by the test when `answer` is set.
class ProbedFrame : public CMainFrame {
public:
    ~ProbedFrame() override {
        if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    }
    bool Open() {
        static const bool attached = AttachSkinZip(GetModuleHandleW(nullptr));
        return attached && CreateEx(nullptr, L"main", 0x10CF0000, 0) != nullptr;
    }
    KvUI::CControlUI* Find(LPCTSTR name) { return m_pm.FindControl(name); }
    RECT BorderInset() { return static_cast<KvUI::CContainerUI*>(Find(L"BrowserLayoutInset"))->GetInset(); }
    // The shell's report of a mouse message over the tray icon.
    void TrayClick(UINT mouseMessage) { SendMessage(GetTrayIcon().GetCallbackMessage(), 0, mouseMessage); }

    std::function<bool()> answer;
    std::atomic<int> questions{0};

protected:
    bool AskToQuit() override {
        ++questions;
        return answer ? answer() : CMainFrame::AskToQuit();
    }
};

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(frame.Open()); }

    static void OnOtherThread(const std::function<void()>& work) { std::thread(work).join(); }

    const DataFolder data{"mainframe"};
    ProbedFrame frame;
};

// Asked from another process, Wine answers WM_GETICON with nothing for any
// window, so the program's icons are checked here, in the window's process.
TEST_F(MainWindow, CarriesTheProgramIconBigAndSmall) {
    for (const WPARAM which : {ICON_BIG, ICON_SMALL}) EXPECT_NE(0, frame.SendMessage(WM_GETICON, which)) << which;
}

TEST_F(MainWindow, OperationsFromAnotherThreadTakeEffectOnTheWindowThread) {
    const DWORD mainThread = GetCurrentThreadId();
    OnOtherThread([&] {
        frame.SetBorder(11);
        frame.SetBorder(-1);
        frame.SetBorder(6);
        frame.SetWinTitle(L"订单");
        frame.WindowVisible(0);
        frame.SetThemeColor(0xFF102030);
    });
    // Nothing ran on the calling thread: it waits for this thread's dispatch.
    EXPECT_EQ(2, frame.GetBorder());
    EXPECT_EQ(mainThread, GetWindowThreadProcessId(frame, nullptr));

    ASSERT_TRUE(Pump([&] { return g_themeColor == 0xFF102030; }));
    EXPECT_EQ(6, frame.GetBorder());
    EXPECT_EQ((RECT{6, 0, 6, 6}), frame.BorderInset());
    EXPECT_EQ(0xFF102030u, frame.Find(L"manlayout")->GetBorderColor());
    EXPECT_EQ(0xFF102030u, frame.Find(L"BrowserLayoutInset")->GetBkColor());
    EXPECT_STREQ(L"订单", frame.Find(L"lab_title")->GetText().GetData());
    EXPECT_FALSE(IsWindowVisible(frame));
}

TEST_F(MainWindow, FlashingBlinksTheTrayIconUntilTheWindowIsActive) {
    // The display's focus follows at its own pace: let the frame's activation
    // arrive before another window takes it.
    Pump([&] { return GetForegroundWindow() == frame.GetHWND(); }, nullptr, 3000);
    const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                       nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(Pump([&] { return GetForegroundWindow() == other; }));
    OnOtherThread([&] { frame.WindowFlash(); });
    EXPECT_TRUE(frame.IsFlashing());
    ASSERT_TRUE(Pump([&] { return frame.GetTrayIcon().IsHidden(); }));

    // The page asks again and again while it flashes: the blinking keeps its
    // pace, where a restarted period would never come to its next step.
    DWORD askedAt = 0;
    ASSERT_TRUE(Pump(
        [&] {
            if (GetTickCount() - askedAt >= 100) {
                askedAt = GetTickCount();
                OnOtherThread([&] { frame.WindowFlash(); });
            }
            return !frame.GetTrayIcon().IsHidden();
        },
        nullptr, 2500));

    SetForegroundWindow(frame);
    ASSERT_TRUE(Pump([&] { return !frame.IsFlashing(); }));
    EXPECT_FALSE(frame.GetTrayIcon().IsHidden());
    DestroyWindow(other);
}

TEST_F(MainWindow, TrayLeftClickRestoresAMinimisedWindow) {
    frame.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    ASSERT_TRUE(IsIconic(frame));
    frame.TrayClick(WM_LBUTTONUP);
    EXPECT_FALSE(IsIconic(frame));
    EXPECT_TRUE(IsWindowVisible(frame));
}

struct ToggleCase {
    const char* name;
    std::function<void(ProbedFrame&)> toggle;
};

void PostMenuCommand(ProbedFrame& frame, const wchar_t* name) {
    auto record = std::make_unique<KvUI::MenuCommandRecord>();
    wcscpy(record->name, name);
    if (frame.PostMessage(KvUI::MenuCommandMessage, reinterpret_cast<WPARAM>(record.get()))) record.release();
}

class Toggling : public MainWindow, public ::testing::WithParamInterface<ToggleCase> {};

TEST_P(Toggling, HidesTheShownWindowAndShowsTheHiddenOne) {
    for (const bool shownAfter : {false, true}) {
        GetParam().toggle(frame);
        EXPECT_TRUE(Pump([&] { return IsWindowVisible(frame) == (shownAfter ? TRUE : FALSE); })) << shownAfter;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Requests, Toggling,
    ::testing::Values(ToggleCase{"TrayLeftClick", [](ProbedFrame& f) { f.TrayClick(WM_LBUTTONUP); }},
                      ToggleCase{"TrayMenuHideShow", [](ProbedFrame& f) { PostMenuCommand(f, L"hideshowwin"); }}),
    [](const ::testing::TestParamInfo<ToggleCase>& info) { return std::string(info.param.name); });

BOOL CALLBACK CollectMenu(HWND window, LPARAM param) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (std::wcscmp(name, L"KvUIMenuWnd") == 0) reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

// The menu windows open on this thread.
std::vector<HWND> MenuWindows() {
    std::vector<HWND> menus;
    EnumThreadWindows(GetCurrentThreadId(), CollectMenu, reinterpret_cast<LPARAM>(&menus));
    return menus;
}

std::wstring FirstMenuItem(HWND menuWindow) {
    auto* window = reinterpret_cast<KvUI::CWindowWnd*>(GetWindowLongPtrW(menuWindow, GWLP_USERDATA));
    auto* menu = static_cast<KvUI::CMenuUI*>(static_cast<KvUI::CMenuWnd*>(window)->GetMenuRoot());
    return menu->GetItemAt(0)->GetText().GetData();
}

TEST_F(MainWindow, TrayRightClickOpensAFreshMenuOfferingToHideOrShowTheWindow) {
    HWND previous = nullptr;
    for (const bool shown : {true, false}) {
        frame.ShowWindow(shown, false);
        frame.TrayClick(WM_RBUTTONUP);
        const std::vector<HWND> menus = MenuWindows();
        ASSERT_EQ(1u, menus.size()) << shown;
        EXPECT_NE(previous, menus[0]);
        EXPECT_EQ(shown ? L"隐藏主窗体" : L"显示主窗体", FirstMenuItem(menus[0]));
        previous = menus[0];
    }
}

TEST_F(MainWindow, LoadingAnimationStopsWhenThePageHasLoaded) {
    KvUI::CControlUI* animation = frame.Find(L"loadgif");
    ASSERT_TRUE(animation->IsVisible());
    frame.SendMessage(WM_APP_LOAD_END);
    EXPECT_FALSE(animation->IsVisible());
}

TEST_F(MainWindow, LoadingAnimationStopsAfterThreeSecondsWithoutAPage) {
    const DWORD opened = GetTickCount();
    KvUI::CControlUI* animation = frame.Find(L"loadgif");
    ASSERT_TRUE(animation->IsVisible());
    ASSERT_TRUE(Pump([&] { return !animation->IsVisible(); }, nullptr, 8000));
    EXPECT_GE(GetTickCount() - opened, 2500u);
}

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwned(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<OwnedSearch*>(param);
    if (GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window)) search->found = window;
    return search->found ? FALSE : TRUE;
}

// The visible window that `owner` owns (a modal dialog over it), waited for from another thread.
HWND WaitForOwnedWindow(HWND owner, DWORD timeoutMs) {
    OwnedSearch search{owner, nullptr};
    const DWORD thread = GetWindowThreadProcessId(owner, nullptr);
    for (const DWORD start = GetTickCount(); !search.found && GetTickCount() - start < timeoutMs;) {
        EnumThreadWindows(thread, FindOwned, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(20);
    }
    return search.found;
}

// The real question panel, refused with Escape.
TEST_F(MainWindow, RefusingTheQuestionKeepsWindowAndTrayIcon) {
    std::atomic<bool> answered{false};
    std::thread answering([&] {
        const HWND panel = WaitForOwnedWindow(frame, 10000);
        if (panel) PostMessageW(panel, WM_KEYDOWN, VK_ESCAPE, 0);
        answered = panel != nullptr;
    });
    int quit = -1;
    frame.PostMessage(WM_CLOSE);
    // Checked between dispatches only, so once it holds the question has returned.
    const bool asked = Pump([&] { return frame.questions == 1 && answered; }, &quit);
    answering.join();
    ASSERT_TRUE(asked);

    EXPECT_TRUE(IsWindow(frame));
    EXPECT_TRUE(IsWindowEnabled(frame));
    EXPECT_TRUE(frame.GetTrayIcon().IsEnabled());
    EXPECT_EQ(-1, quit);
}

struct CloseCase {
    const char* name;
    std::function<void(ProbedFrame&)> ask;
};

class Closing : public MainWindow, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(Closing, QuitsAndRemovesTheTrayIconOnlyAfterTheUserConfirmed) {
    bool confirm = false;
    frame.answer = [&] { return confirm; };
    int quit = -1;
    GetParam().ask(frame);
    ASSERT_TRUE(Pump([&] { return frame.questions == 1; }, &quit));
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_TRUE(frame.GetTrayIcon().IsEnabled());

    confirm = true;
    GetParam().ask(frame);
    ASSERT_TRUE(Pump([&] { return !IsWindow(frame) && quit != -1; }, &quit));
    EXPECT_EQ(2, frame.questions);
    EXPECT_EQ(1, quit);
    EXPECT_FALSE(frame.GetTrayIcon().IsEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Requests, Closing,
    ::testing::Values(CloseCase{"CloseMessage", [](ProbedFrame& f) { f.PostMessage(WM_CLOSE); }},
                      CloseCase{"TrayMenuQuit", [](ProbedFrame& f) { PostMenuCommand(f, L"quit"); }},
                      CloseCase{"PageClose", [](ProbedFrame& f) { std::thread([&] { f.SendMenuMessage(-1); }).join(); }},
                      CloseCase{"PageQuit", [](ProbedFrame& f) { std::thread([&] { f.SendMenuMessage(999); }).join(); }}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

TEST_F(MainWindow, QuitCommandEndsTheProgramWithoutAsking) {
    frame.answer = [] { return false; };
    int quit = -1;
    frame.PostMessage(WM_COMMAND, 0x10401);
    ASSERT_TRUE(Pump([&] { return quit != -1; }, &quit));
    EXPECT_EQ(0, quit);
    EXPECT_EQ(0, frame.questions);
    EXPECT_FALSE(frame.GetTrayIcon().IsEnabled());
}

}  // namespace
}  // namespace kvclient::clienttest
