// The client's dialogs built from its own skin folder (this program's ZIPRES
// 131): the message box's colours, the close question's answers, the
// settings' combos and messages to the main window, and the update download
// against a local server with a stand-in installer (and over a skin of the
// test's that offers choices of line and zoom).
#include "client/common/ClientKit.h"

#include <functional>
#include <string>
#include <vector>

#include "client/AppMessages.h"
#include "client/DownloadUpdateFrame.h"
#include "client/LineZoomTables.h"
#include "client/MessageBoxFrame.h"
#include "client/SettingFrame.h"
#include "support/HttpTestServer.h"
#include "support/UiTestKit.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/ProgressUI.h"
#include "ui/core/ContainerUI.h"
#include "ui/core/ControlUI.h"
#include "ui/core/WindowImplBase.h"
#include "ui/lists/ComboUI.h"

namespace kvclient {
namespace {

using kvtest::PumpUntil;

constexpr DWORD kDialogStyle = 0xCF0000;

void AttachClientSkin() {
    static const bool attached = kvtest::AttachSkinZip(131);
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

template <class T>
T* InterfaceOf(HWND window, LPCTSTR name, LPCTSTR interfaceName) {
    return static_cast<T*>(Control(window, name)->GetInterface(interfaceName));
}

std::wstring Text(HWND window, LPCTSTR name) { return Control(window, name)->GetText().GetData(); }

void ClickOn(HWND window, LPCTSTR name) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const RECT pos = Control(window, name)->GetPos();
    const LPARAM at = MAKELPARAM((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
    for (const auto& [msg, keys] : {std::pair{WM_MOUSEMOVE, 0}, {WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}}) {
        SendMessageW(window, msg, keys, at);
    }
}

// Posted, as key input is: it passes the modal loop and the window's key filter first.
void PressEscape(HWND window) { PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 1); }

// Runs `step` every 20 ms on this thread, from within whatever modal loop
// runs there, until it answers true. After 20 s it closes every dialog
// instead, so that a failing test still ends.
class Driver {
public:
    explicit Driver(std::function<bool()> step) : m_step(std::move(step)), m_deadline(GetTickCount() + 20000) {
        s_driver = this;
        m_timer = SetTimer(nullptr, 0, 20, Tick);
    }
    ~Driver() {
        KillTimer(nullptr, m_timer);
        s_driver = nullptr;
    }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    bool timedOut = false;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        Driver* self = s_driver;
        if (!self || !self->m_step) return;
        // Taken out while it runs: a step may run a nested loop that ticks again.
        std::function<bool()> step = std::move(self->m_step);
        if (static_cast<LONG>(GetTickCount() - self->m_deadline) > 0) {
            self->timedOut = true;
            for (LPCTSTR name : {L"MessageBoxFrame", L"MessagePanleFrame", L"SettingFrame", L"DownloadUpdateFrame"}) {
                if (const HWND window = FindWindowW(name, nullptr)) PostMessageW(window, WM_CLOSE, 1, 0);
            }
        } else if (!step()) {
            self->m_step = std::move(step);
        }
    }

    inline static Driver* s_driver = nullptr;
    std::function<bool()> m_step;
    DWORD m_deadline;
    UINT_PTR m_timer = 0;
};

// Stands in for the main window: records the messages posted to it.
class MainStandIn {
public:
    MainStandIn() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Record;
        wc.lpszClassName = L"KvTestMainStandIn";
        RegisterClassW(&wc);
        g_mainWnd = CreateWindowExW(0, wc.lpszClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        s_received.clear();
    }
    ~MainStandIn() { DestroyWindow(g_mainWnd); }
    MainStandIn(const MainStandIn&) = delete;
    MainStandIn& operator=(const MainStandIn&) = delete;

    // Everything posted to it before this call, in order.
    std::vector<UINT> Received() {
        constexpr UINT kMarker = WM_USER + 0x7FF;
        PostMessageW(g_mainWnd, kMarker, 0, 0);
        EXPECT_TRUE(PumpUntil([] { return !s_received.empty() && s_received.back() == kMarker; }));
        s_received.pop_back();
        return std::move(s_received);
    }

private:
    static LRESULT CALLBACK Record(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg >= WM_USER) s_received.push_back(msg);
        return DefWindowProcW(window, msg, wParam, lParam);
    }

    inline static std::vector<UINT> s_received;
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
    EXPECT_EQ(L"更新失败", Text(box, L"lab_text"));
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
        asked = Text(panel, L"lab_text");
        c.button ? ClickOn(panel, c.button) : PressEscape(panel);
        return true;
    });
    EXPECT_EQ(c.confirmed, ShowClosePanel(L"是否确认退出系统？", nullptr));
    EXPECT_FALSE(driver.timedOut);
    EXPECT_EQ(L"是否确认退出系统？", asked);
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

TEST(SettingsWindow, ShowsTheChoicesAndTellsTheMainWindowOfEachNewOne) {
    AttachClientSkin();
    MainStandIn main;
    g_selectedLine = 2;
    g_selectedZoom = 4;
    SettingFrame frame;
    ASSERT_TRUE(frame.CreateEx(nullptr, L"设置", kDialogStyle, 0));
    auto* lines = InterfaceOf<KvUI::CComboUI>(frame.GetHWND(), L"combo_lines", L"Combo");
    auto* zooms = InterfaceOf<KvUI::CComboUI>(frame.GetHWND(), L"combo_linesZoom", L"Combo");
    EXPECT_EQ((std::vector<std::wstring>{L"v7.0最新版", L"v6.0线路一", L"v6.0线路二"}), ItemTexts(lines));
    EXPECT_EQ((std::vector<std::wstring>{L"小2级", L"小1级", L"正常", L"大1级", L"大2级", L"大3级"}), ItemTexts(zooms));
    EXPECT_EQ(2, lines->GetCurSel());
    EXPECT_EQ(4, zooms->GetCurSel());
    EXPECT_EQ(L" v4.1", Text(frame.GetHWND(), L"lab_version"));

    lines->SelectItem(1);
    EXPECT_EQ(1, g_selectedLine);
    // The page chose line 0 meanwhile: choosing it here too changes nothing.
    g_selectedLine = 0;
    lines->SelectItem(0);
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
        kvtest::WriteFileText(root + "/broken.exe", "not a program");
        s_server = new kvtest::HttpTestServer(root);
    }
    static void TearDownTestSuite() {
        delete s_server;
        s_server = nullptr;
    }
    void SetUp() override { AttachClientSkin(); }

    // Runs the window modally; true when it asked the client to quit (code 1).
    static bool RunAskingToQuit(const std::string& path) {
        DownloadUpdateFrame frame("4.2", s_server->Url(path));
        RunDialog(frame, nullptr, L"更新");
        MSG msg;
        return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 1;
    }

    inline static kvtest::HttpTestServer* s_server = nullptr;
    clienttest::DataFolder m_data{"data"};
    MainStandIn m_main;
};

TEST_F(UpdateDownload, StartsTheInstallerWithTheClientFolderAsOneArgumentAndQuits) {
    const std::string reported = m_data.Unix() + "/update/args.txt";
    for (const std::string folder : {"C:\\korvanthel\\", "C:\\Program Files\\korvanthel\\"}) {
        g_exeDir = folder;
        DeleteFileW(kvtest::ToWindowsPath(reported).c_str());
        EXPECT_TRUE(RunAskingToQuit("/setup.exe")) << folder;
        ASSERT_TRUE(PumpUntil([&] { return clienttest::FileExists(reported); }, 20000)) << folder;
        EXPECT_EQ(folder + "\n", clienttest::FileText(reported));
        EXPECT_EQ(std::vector<UINT>{}, m_main.Received());
    }
}

// True when `upper` lies above `lower` among the top-level windows.
bool Above(HWND upper, HWND lower) {
    for (HWND window = GetWindow(lower, GW_HWNDPREV); window; window = GetWindow(window, GW_HWNDPREV)) {
        if (window == upper) return true;
    }
    return false;
}

// A failed transfer or start is reported by a box of the window's own
// thread, which stays in front of the window even when the window's own
// activation comes later; a closed window ends its transfer at once, whether
// it flows or stalls, and shows no box. Either way the main window comes back.
enum class CloseWhen { Never, Progressing, Requested };

struct EndCase {
    const char* path;
    CloseWhen close;
    const wchar_t* box;    // the box's text; none for a close
    const char* logged;
    bool keepsInstaller;
};

class UpdateEnd : public UpdateDownload, public ::testing::WithParamInterface<EndCase> {};

TEST_P(UpdateEnd, BringsTheMainWindowBack) {
    const EndCase c = GetParam();
    s_server->ClearRequests();
    std::wstring box;
    DWORD boxThread = 0;
    bool boxInFront = false;
    DWORD closedAt = 0;
    Driver driver([&] {
        const HWND window = FindWindowW(L"DownloadUpdateFrame", nullptr);
        if (const HWND shown = FindWindowW(L"MessageBoxFrame", nullptr)) {
            box = Text(shown, L"lab_text");
            boxThread = GetWindowThreadProcessId(shown, nullptr);
            EXPECT_FALSE(Control(shown, L"btn_ok")->IsVisible());
            // The window's activation arriving only now, as it may on a slow display.
            SetForegroundWindow(window);
            BringWindowToTop(window);
            boxInFront = Above(shown, window);
            PressEscape(shown);
        }
        if (c.close == CloseWhen::Never || closedAt || !window) return false;
        const bool progressed = InterfaceOf<KvUI::CProgressUI>(window, L"download_progress", L"Progress")->GetValue() > 0;
        if (c.close == CloseWhen::Progressing ? !progressed : s_server->Requests().empty()) return false;
        if (progressed) {
            EXPECT_EQ(0u, Text(window, L"download_progress_text").find(L"正在下载新程序("));
        }
        closedAt = GetTickCount();
        ClickOn(window, L"closebtn");
        return false;
    });
    EXPECT_FALSE(RunAskingToQuit(c.path));
    EXPECT_EQ(c.box ? c.box : L"", box);
    if (c.box) {
        EXPECT_EQ(GetCurrentThreadId(), boxThread);
        EXPECT_TRUE(boxInFront);
    } else {
        EXPECT_LT(GetTickCount() - closedAt, 5000u);
    }
    EXPECT_EQ(std::vector<UINT>{WM_APP_SHOW_MAIN}, m_main.Received());
    EXPECT_NE(std::string::npos, m_data.Log().find(kvtest::Gbk(c.logged)));
    EXPECT_EQ(c.keepsInstaller, clienttest::FileExists(m_data.Unix() + "/update/update.exe"));
}

INSTANTIATE_TEST_SUITE_P(
    Ends, UpdateEnd,
    ::testing::Values(
        EndCase{"/missing.exe", CloseWhen::Never, L"下载更新包失败！", "HttpDownloadPogress 下载更新包失败！", false},
        EndCase{"/broken.exe", CloseWhen::Never, L"启动更新包失败！", "ShellExecuteA 启动更新包失败！", true},
        EndCase{"/bytes/20000000?rate=200000", CloseWhen::Progressing, nullptr, "[用户取消] 下载更新包失败！", false},
        EndCase{"/bytes/1000?delay=60000", CloseWhen::Requested, nullptr, "[用户取消] 下载更新包失败！", false}));

// A skin with a version line, a progress and its text of its own, and
// choices of line (one more than there are lines) and of zoom (one more
// than there are levels).
constexpr wchar_t kChoicesSkin[] = LR"(<Window size="420,200">
  <VerticalLayout>
    <Label name="lab_version" text="版本说明" height="20" />
    <Progress name="download_progress" height="10" value="40" />
    <Label name="download_progress_text" text="皮肤的文字" height="20" />
    <HorizontalLayout name="lines" height="20">
      <Option name="line_item" group="l" width="20" /><Option name="line_item" group="l" width="20" />
      <Option name="line_item" group="l" width="20" /><Option name="line_item" group="l" width="20" />
    </HorizontalLayout>
    <HorizontalLayout name="zooms" height="20">
      <Option name="line_itemZoom" group="z" width="20" /><Option name="line_itemZoom" group="z" width="20" />
      <Option name="line_itemZoom" group="z" width="20" /><Option name="line_itemZoom" group="z" width="20" />
      <Option name="line_itemZoom" group="z" width="20" /><Option name="line_itemZoom" group="z" width="20" />
      <Option name="line_itemZoom" group="z" width="20" />
    </HorizontalLayout>
  </VerticalLayout>
</Window>)";

class ChoicesUpdateFrame : public DownloadUpdateFrame {
public:
    using DownloadUpdateFrame::DownloadUpdateFrame;

protected:
    KvUI::CUIString GetSkinFile() override { return kChoicesSkin; }
};

struct ChoiceCase {
    LPCTSTR row;
    int option;
    int line;  // the selection after the choice; both start at 1
    int zoom;
    UINT posted;
};

TEST_F(UpdateDownload, KeepsTheSkinsVersionLineAndPassesChoicesOnToTheMainWindow) {
    ChoicesUpdateFrame frame("4.2", s_server->Url("/bytes/1000?delay=60000"));
    ASSERT_TRUE(frame.CreateEx(nullptr, L"更新", kDialogStyle, 0));
    const HWND window = frame.GetHWND();
    // Nothing pumped yet, so no progress can have come.
    EXPECT_EQ(L"版本说明", Text(window, L"lab_version"));
    EXPECT_EQ(L"开始下载……", Text(window, L"download_progress_text"));
    EXPECT_EQ(0, InterfaceOf<KvUI::CProgressUI>(window, L"download_progress", L"Progress")->GetValue());

    const ChoiceCase cases[] = {
        {L"lines", 2, 2, 1, WM_APP_CHANGE_LINE},
        {L"lines", 3, 1, 1, WM_APP_CHANGE_LINE},
        {L"zooms", 5, 1, 5, WM_APP_CHANGE_ZOOM},
        {L"zooms", 6, 1, 1, WM_APP_CHANGE_ZOOM},
    };
    for (const ChoiceCase& c : cases) {
        g_selectedLine = 1;
        g_selectedZoom = 1;
        auto* row = InterfaceOf<KvUI::IContainerUI>(window, c.row, L"IContainer");
        static_cast<KvUI::COptionUI*>(row->GetItemAt(c.option)->GetInterface(L"Option"))->Selected(true);
        EXPECT_EQ(c.line, g_selectedLine) << c.row << c.option;
        EXPECT_EQ(c.zoom, g_selectedZoom) << c.row << c.option;
        EXPECT_EQ(std::vector<UINT>{c.posted}, m_main.Received()) << c.row << c.option;
    }
}

}  // namespace
}  // namespace kvclient
