// The client's dialogs built from its own skin folder (this program's ZIPRES
// 131): the message box's colours, the close question's answers, the
// settings' combos and messages to the main window, and the update download
// against a local server with a stand-in installer.
#include "client/common/ClientKit.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "client/AppMessages.h"
#include "client/DownloadUpdateFrame.h"
#include "client/LineZoomTables.h"
#include "client/MessageBoxFrame.h"
#include "client/SettingFrame.h"
#include "support/HttpTestServer.h"
#include "ui/controls/ProgressUI.h"
#include "ui/core/ControlUI.h"
#include "ui/core/WindowImplBase.h"
#include "ui/lists/ComboUI.h"

namespace kvclient {
namespace {

using kvtest::PumpUntil;
using kvtest::Widen;

constexpr DWORD kDialogStyle = 0xCF0000;

void AttachClientSkin() {
    static const bool attached = [] {
        const HMODULE module = GetModuleHandleW(nullptr);
        KvUI::CPaintManagerUI::SetInstance(module);
        const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(131), L"ZIPRES");
        KvUI::CPaintManagerUI::SetResourceZip(LockResource(LoadResource(module, found)),
                                              static_cast<int>(SizeofResource(module, found)));
        return found != nullptr;
    }();
    ASSERT_TRUE(attached);
}

// The manager of a skinned window of this process, found from its handle.
struct ManagerAccess : KvUI::WindowImplBase {
    static KvUI::CPaintManagerUI& Of(HWND window) {
        auto* object = reinterpret_cast<KvUI::CWindowWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        return static_cast<KvUI::WindowImplBase*>(object)->*(&ManagerAccess::m_pm);
    }
};

KvUI::CControlUI* Control(HWND window, LPCTSTR name) { return ManagerAccess::Of(window).FindControl(name); }

KvUI::CComboUI* Combo(HWND window, LPCTSTR name) {
    return static_cast<KvUI::CComboUI*>(Control(window, name)->GetInterface(L"Combo"));
}

void ClickOn(HWND window, LPCTSTR name) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const RECT pos = Control(window, name)->GetPos();
    const LPARAM at = MAKELPARAM((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
    SendMessageW(window, WM_MOUSEMOVE, 0, at);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
}

void PressEscape(HWND window) { SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 1); }

// Runs `step` on this thread, from within whatever modal loop runs, until it
// answers true. After `timeoutMs` it gives up and closes the dialogs, so that
// a failing test still ends.
class Driver {
public:
    explicit Driver(std::function<bool()> step, DWORD timeoutMs = 20000) : m_deadline(GetTickCount() + timeoutMs) {
        s_driver = this;
        m_step = std::move(step);
        m_timer = SetTimer(nullptr, 0, 20, Tick);
    }
    ~Driver() {
        KillTimer(nullptr, m_timer);
        s_driver = nullptr;
    }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    bool TimedOut() const { return m_timedOut; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        Driver* self = s_driver;
        if (!self || !self->m_step) return;
        if (static_cast<LONG>(GetTickCount() - self->m_deadline) > 0) {
            self->m_timedOut = true;
            self->m_step = nullptr;
            for (LPCTSTR name : {L"MessageBoxFrame", L"MessagePanleFrame", L"SettingFrame", L"DownloadUpdateFrame"}) {
                if (HWND window = FindWindowW(name, nullptr)) PostMessageW(window, WM_CLOSE, 1, 0);
            }
            return;
        }
        // Cleared before it runs: a step may run a nested loop that ticks again.
        std::function<bool()> step = std::move(self->m_step);
        if (!step() && s_driver == self) self->m_step = std::move(step);
    }

    inline static Driver* s_driver = nullptr;
    std::function<bool()> m_step;
    DWORD m_deadline;
    UINT_PTR m_timer = 0;
    bool m_timedOut = false;
};

// Stands in for the main window: records the private messages posted to it.
class MainStandIn {
public:
    MainStandIn() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Record;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KvTestMainStandIn";
        RegisterClassW(&wc);
        m_window = CreateWindowExW(0, wc.lpszClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                   nullptr);
        s_received.clear();
        g_mainWnd = m_window;
    }
    ~MainStandIn() {
        g_mainWnd = nullptr;
        DestroyWindow(m_window);
    }
    MainStandIn(const MainStandIn&) = delete;
    MainStandIn& operator=(const MainStandIn&) = delete;

    // Everything posted before this call, in order of arrival.
    std::vector<UINT> Received() {
        PostMessageW(m_window, kMarker, 0, 0);
        EXPECT_TRUE(PumpUntil([] { return !s_received.empty() && s_received.back() == kMarker; }));
        std::vector<UINT> received = s_received;
        s_received.clear();
        received.pop_back();
        return received;
    }
    bool Await(UINT msg) {
        return PumpUntil([msg] { return std::count(s_received.begin(), s_received.end(), msg) > 0; }, 20000);
    }

private:
    static constexpr UINT kMarker = WM_USER + 0x7FF;

    static LRESULT CALLBACK Record(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg >= WM_USER) s_received.push_back(msg);
        return DefWindowProcW(window, msg, wParam, lParam);
    }

    inline static std::vector<UINT> s_received;
    HWND m_window;
};

// ---- Message box and close question ----

struct KindCase {
    int kind;
    bool okVisible;
    DWORD frame;  // border of "root_hlayout"
    DWORD strip;  // background of "left_vlayout"
};

class MessageBoxKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(MessageBoxKinds, ColourTheFrameAndStripAndShowOkOnlyWhenAsked) {
    AttachClientSkin();
    const KindCase c = GetParam();
    MessageBoxFrame frame(L"更新失败", c.kind, c.okVisible);
    ASSERT_TRUE(frame.CreateEx(nullptr, L"消息", kDialogStyle, 0));
    const HWND box = frame.GetHWND();
    EXPECT_EQ(c.frame, Control(box, L"root_hlayout")->GetBorderColor());
    EXPECT_EQ(c.strip, Control(box, L"left_vlayout")->GetBkColor());
    EXPECT_EQ(c.okVisible, Control(box, L"btn_ok")->IsVisible());
    EXPECT_STREQ(L"更新失败", Control(box, L"lab_text")->GetText().GetData());
}

// Kind 3 is no scheme: the skin's own blues stay.
INSTANTIATE_TEST_SUITE_P(Kinds, MessageBoxKinds,
                         ::testing::Values(KindCase{0, false, 0xFFC74417, 0xFFC74417},
                                           KindCase{1, true, 0xFFA9AA13, 0xFFA9AA13},
                                           KindCase{2, false, 0xFF2686C6, 0xFF2686C6},
                                           KindCase{3, true, 0xFF2361AE, 0xFF2F7BD8}));

struct AnswerCase {
    LPCTSTR button;  // none: Escape
    bool confirmed;
};

class ClosePanelAnswers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(ClosePanelAnswers, ConfirmOnlyWithOk) {
    AttachClientSkin();
    const AnswerCase c = GetParam();
    std::wstring asked;
    Driver driver([&] {
        const HWND panel = FindWindowW(L"MessagePanleFrame", nullptr);
        if (!panel) return false;
        asked = Control(panel, L"lab_text")->GetText().GetData();
        c.button ? ClickOn(panel, c.button) : PressEscape(panel);
        return true;
    });
    EXPECT_EQ(c.confirmed, ShowClosePanel(L"是否确认退出系统？", nullptr));
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_EQ(L"是否确认退出系统？", asked);
    EXPECT_FALSE(FindWindowW(L"MessagePanleFrame", nullptr));
}

INSTANTIATE_TEST_SUITE_P(Answers, ClosePanelAnswers,
                         ::testing::Values(AnswerCase{L"btn_ok", true}, AnswerCase{L"btn_close", false},
                                           AnswerCase{L"closebtn", false}, AnswerCase{nullptr, false}));

// ---- Settings ----

std::vector<std::wstring> ItemTexts(KvUI::CComboUI* combo) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < combo->GetCount(); ++i) texts.push_back(combo->GetItemAt(i)->GetText().GetData());
    return texts;
}

TEST(SettingsWindow, ShowsBothTablesWithTheCurrentChoicesAndTheVersion) {
    AttachClientSkin();
    g_selectedLine = 2;
    g_selectedZoom = 4;
    SettingFrame frame;
    ASSERT_TRUE(frame.CreateEx(nullptr, L"设置", kDialogStyle, 0));
    const HWND window = frame.GetHWND();
    KvUI::CComboUI* lines = Combo(window, L"combo_lines");
    KvUI::CComboUI* zooms = Combo(window, L"combo_linesZoom");
    EXPECT_EQ((std::vector<std::wstring>{L"v7.0最新版", L"v6.0线路一", L"v6.0线路二"}), ItemTexts(lines));
    EXPECT_EQ((std::vector<std::wstring>{L"小2级", L"小1级", L"正常", L"大1级", L"大2级", L"大3级"}), ItemTexts(zooms));
    EXPECT_EQ(2, lines->GetCurSel());
    EXPECT_EQ(4, zooms->GetCurSel());
    EXPECT_STREQ(L" v4.1", Control(window, L"lab_version")->GetText().GetData());
}

TEST(SettingsWindow, TellsTheMainWindowOfEachNewChoiceOnly) {
    AttachClientSkin();
    MainStandIn main;
    g_selectedLine = 0;
    g_selectedZoom = 2;
    SettingFrame frame;
    ASSERT_TRUE(frame.CreateEx(nullptr, L"设置", kDialogStyle, 0));
    KvUI::CComboUI* lines = Combo(frame.GetHWND(), L"combo_lines");
    KvUI::CComboUI* zooms = Combo(frame.GetHWND(), L"combo_linesZoom");

    lines->SelectItem(1);
    EXPECT_EQ(1, g_selectedLine);
    // The page chose line 2 meanwhile: choosing it here again changes nothing.
    g_selectedLine = 2;
    lines->SelectItem(2);
    zooms->SelectItem(5);
    EXPECT_EQ(5, g_selectedZoom);
    EXPECT_EQ((std::vector<UINT>{WM_APP_CHANGE_LINE, WM_APP_CHANGE_ZOOM}), main.Received());
}

// ---- Update download ----

class UpdateDownload : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::string root = kvtest::FreshDirUnix("served");
        const std::vector<char> installer = kvtest::ReadFileBytes(KV_FAKE_INSTALLER);
        kvtest::WriteFileBytes(root + "/setup.exe", installer.data(), installer.size());
        s_server = new kvtest::HttpTestServer(root);
    }
    static void TearDownTestSuite() {
        delete s_server;
        s_server = nullptr;
    }
    void SetUp() override { AttachClientSkin(); }

    // Runs the window modally; true when it asked the client to quit (code 1).
    static bool RunAskingToQuit(DownloadUpdateFrame& frame) {
        RunDialog(frame, nullptr, L"更新");
        MSG msg;
        return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 1;
    }

    inline static kvtest::HttpTestServer* s_server = nullptr;
    clienttest::DataFolder m_data{"data"};
    MainStandIn m_main;
};

TEST_F(UpdateDownload, StartsTheInstallerWithTheClientFolderAsOneArgumentAndQuits) {
    for (const std::string folder : {"C:\\korvanthel\\", "C:\\Program Files\\korvanthel\\"}) {
        g_exeDir = folder;
        const std::string reported = m_data.Unix() + "/update/args.txt";
        DeleteFileW(kvtest::ToWindowsPath(reported).c_str());
        DownloadUpdateFrame frame("4.2", s_server->Url("/setup.exe"));
        EXPECT_TRUE(RunAskingToQuit(frame)) << folder;
        ASSERT_TRUE(PumpUntil([&] { return clienttest::FileExists(reported); }, 20000)) << folder;
        EXPECT_EQ(folder + "\n", clienttest::FileText(reported));
        EXPECT_EQ(std::vector<UINT>{}, m_main.Received());
    }
}

TEST_F(UpdateDownload, FailureIsShownByTheWindowsOwnThreadAndBringsTheMainWindowBack) {
    std::wstring shown;
    DWORD boxThread = 0;
    bool okShown = true;
    Driver driver([&] {
        const HWND box = FindWindowW(L"MessageBoxFrame", nullptr);
        if (!box) return false;
        shown = Control(box, L"lab_text")->GetText().GetData();
        boxThread = GetWindowThreadProcessId(box, nullptr);
        okShown = Control(box, L"btn_ok")->IsVisible();
        PressEscape(box);
        return true;
    });
    DownloadUpdateFrame frame("4.2", s_server->Url("/missing.exe"));
    EXPECT_FALSE(RunAskingToQuit(frame));
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_EQ(L"下载更新包失败！", shown);
    EXPECT_EQ(GetCurrentThreadId(), boxThread);
    EXPECT_FALSE(okShown);
    EXPECT_TRUE(m_main.Await(WM_APP_SHOW_MAIN));
    EXPECT_NE(std::string::npos, m_data.Log().find(kvtest::Gbk("HttpDownloadPogress 下载更新包失败！")));
}

// A transfer that flows is closed once it shows progress, a stalled one once
// the server holds the request: either way the window goes at once.
class UpdateCancel : public UpdateDownload, public ::testing::WithParamInterface<bool> {};

TEST_P(UpdateCancel, ClosingTheWindowEndsTheTransferAtOnceWithoutABox) {
    const bool stalled = GetParam();
    const std::string path = stalled ? "/bytes/1000?delay=60000" : "/bytes/20000000?rate=200000";
    s_server->ClearRequests();
    bool boxShown = false;
    DWORD closedAt = 0;
    Driver driver([&] {
        if (const HWND box = FindWindowW(L"MessageBoxFrame", nullptr)) {
            boxShown = true;
            PressEscape(box);
        }
        const HWND window = FindWindowW(L"DownloadUpdateFrame", nullptr);
        if (closedAt || !window) return false;
        const auto* progress =
            static_cast<KvUI::CProgressUI*>(Control(window, L"download_progress")->GetInterface(L"Progress"));
        if (stalled ? s_server->Requests().empty() : progress->GetValue() == 0) return false;
        if (!stalled) {
            const std::wstring text = Control(window, L"download_progress_text")->GetText().GetData();
            EXPECT_EQ(0u, text.find(L"正在下载新程序(")) << kvtest::Narrow(text);
        }
        closedAt = GetTickCount();
        ClickOn(window, L"closebtn");
        return false;
    });
    DownloadUpdateFrame frame("4.2", s_server->Url(path));
    EXPECT_FALSE(RunAskingToQuit(frame));
    ASSERT_NE(0u, closedAt);
    EXPECT_LT(GetTickCount() - closedAt, 5000u);
    EXPECT_FALSE(boxShown);
    EXPECT_TRUE(m_main.Await(WM_APP_SHOW_MAIN));
    EXPECT_NE(std::string::npos, m_data.Log().find(kvtest::Gbk("[用户取消] 下载更新包失败！")));
    EXPECT_FALSE(clienttest::FileExists(m_data.Unix() + "/update/update.exe"));
}

INSTANTIATE_TEST_SUITE_P(Transfers, UpdateCancel, ::testing::Values(false, true));

}  // namespace
}  // namespace kvclient
