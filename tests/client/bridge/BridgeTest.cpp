// The page's "AppExtension" end to end: a page served over HTTP, shown by a
// browser whose renderer is a sub-process, calls the functions; each call
// reaches the main window's operations on the engine's UI thread, or is
// refused there when its arguments do not fit.
#include "client/common/ClientKit.h"

#include "client/LineZoomTables.h"
#include "client/common/BrowserKit.h"

namespace kvclient::clienttest {
namespace {

class Bridge : public ServedPagesTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine.ok);
        g_selectedLine = 0;
    }
    void TearDown() override { g_selectedLine = 0; }

    // Serves a page whose script is `script` and opens it in the main browser.
    CefRefPtr<CefBrowser> OpenScript(const std::string& script) {
        const std::string name = "page" + std::to_string(++pages) + ".html";
        kvtest::WriteFileText(root + "/" + name,
                              "<html><head><meta charset=\"utf-8\"><title>Bridge</title></head><body>"
                              "<script>" + script + "</script></body></html>");
        return browser.Open(server->Url("/" + name));
    }

    int pages = 0;
    DataFolder data{"client"};
    EngineScope engine;
    ClientBrowser browser;
};

struct OwnedSearch {
    HWND owner;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOwned(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<OwnedSearch*>(data);
    if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == search->owner) search->found.push_back(window);
    return TRUE;
}

// The visible top-level windows of `thread` that `owner` owns.
std::vector<HWND> OwnedWindows(DWORD thread, HWND owner) {
    OwnedSearch search{owner, {}};
    EnumThreadWindows(thread, CollectOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(Bridge, EveryFunctionReachesTheMainWindowOnTheEnginesUiThread) {
    const std::string mp3 = server->Url("/tone.mp3");
    CefRefPtr<CefBrowser> page = OpenScript(
        "AppExtension.ResizeWindow(1024, 700);"
        "AppExtension.WindowCenter();"
        "AppExtension.SetThemeColor(-15720400);"  // 0xFF102030 as its negative 32-bit value
        "AppExtension.SetBorder(3);"
        "AppExtension.WindowFlash();"
        "AppExtension.WindowVisible(1);"
        "AppExtension.SendMenuMessage(2);"
        "AppExtension.SetWinTitle('宠物店 ' + AppExtension.GetVersion());"
        "AppExtension.SetTitleColor(-1);"
        "AppExtension.ChangeLine(1);"
        "AppExtension.PlayMp3('" + mp3 + "');"
        "AppExtension.ShowDevTools();");
    ASSERT_TRUE(page);

    EXPECT_EQ((std::vector<std::string>{"ResizeWindow(1024,700)", "WindowCenter()", "SetThemeColor(FF102030)",
                                        "SetBorder(3)", "WindowFlash()", "WindowVisible(1)", "SendMenuMessage(2)",
                                        "SetWinTitle('宠物店 4.1')", "SetTitleColor(FFFFFFFF)"}),
              browser.window.Texts());
    for (const RecordingWindow::Call& call : browser.window.Calls()) {
        EXPECT_EQ(engine.uiThread, call.thread) << call.text;
    }
    EXPECT_EQ(0, browser.client->OffUiThread());

    // The line changes at once; the main window is told to load it.
    EXPECT_EQ(1, g_selectedLine);
    EXPECT_EQ(1u, browser.messages.Count(WM_APP_CHANGE_LINE));
    // The player was asked (it logs every request).
    EXPECT_NE(std::string::npos, data.Log().find("PlayMP3::NewThreadPlayUrl " + mp3 + " "));
    // The developer tools are a browser of their own in a 600 x 400 window
    // owned by the main window; the main browser stays the main browser.
    EXPECT_EQ(1u, browser.client->Events("ShowDevTools() taken").size());
    EXPECT_EQ(2u, browser.client->Events("AfterCreated").size());
    EXPECT_EQ(page->GetIdentifier(), browser.client->GetMainBrowser()->GetIdentifier());
    EXPECT_EQ(1u, browser.messages.Count(WM_APP_BROWSER_CREATED));
    const std::vector<HWND> owned = OwnedWindows(engine.uiThread, browser.parent.Get());
    ASSERT_EQ(1u, owned.size());
    RECT r{};
    GetWindowRect(owned[0], &r);
    EXPECT_EQ(600, r.right - r.left);
    EXPECT_EQ(400, r.bottom - r.top);
    // "GetVersion" is answered in the renderer: no message for it.
    EXPECT_TRUE(browser.client->Events("GetVersion").empty());
}

TEST_F(Bridge, AppExtensionAndItsFunctionsCannotBeDeleted) {
    OpenScript(
        "var a = delete window.AppExtension;"
        "var b = delete AppExtension.SetBorder;"
        "AppExtension.SetWinTitle(a + ',' + b + ',' + typeof AppExtension.SetBorder);");
    EXPECT_EQ((std::vector<std::string>{"SetWinTitle('false,false,function')"}), browser.window.Texts());
}

TEST_F(Bridge, GetVersionAnswersWithOrWithoutArguments) {
    OpenScript("AppExtension.SetWinTitle(AppExtension.GetVersion() + '|' + AppExtension.GetVersion(1, 'x'));");
    EXPECT_EQ((std::vector<std::string>{"SetWinTitle('4.1|4.1')"}), browser.window.Texts());
    EXPECT_TRUE(browser.client->Events("GetVersion").empty());
}

TEST_F(Bridge, OtherFunctionsReturnUndefinedAtOnce) {
    OpenScript("AppExtension.SetWinTitle(typeof AppExtension.SetBorder(1) + ',' + typeof AppExtension.WindowCenter());");
    EXPECT_EQ((std::vector<std::string>{"SetBorder(1)", "WindowCenter()", "SetWinTitle('undefined,undefined')"}),
              browser.window.Texts());
}

// Arguments travel as 32-bit ints when they fit, other numbers as doubles,
// everything else as its string value (empty for what is no string); the
// browser side takes only what fits.
TEST_F(Bridge, ArgumentsThatDoNotFitAreRefusedWithoutTouchingTheWindow) {
    OpenScript(
        "AppExtension.ResizeWindow(800);"
        "AppExtension.ResizeWindow(800, 600, 1);"
        "AppExtension.ResizeWindow('800', 600);"
        "AppExtension.SetThemeColor(true);"
        "AppExtension.SetThemeColor(4294967296);"
        "AppExtension.SetTitleColor(1.5);"
        "AppExtension.SetThemeColor(NaN);"
        "AppExtension.SetTitleColor('0xFF2686C6');"
        "AppExtension.SetBorder(2.5);"
        "AppExtension.WindowVisible(true);"
        "AppExtension.SetWinTitle(5);"
        "AppExtension.SetTitleColor(null);"
        "AppExtension.SendMenuMessage();"
        "AppExtension.ChangeLine('2');"
        "AppExtension.PlayMp3(1);"
        "AppExtension.SetBorder(9);");
    EXPECT_EQ((std::vector<std::string>{"SetBorder(9)"}), browser.window.Texts());
    EXPECT_EQ((std::vector<std::string>{
                  "ResizeWindow(800) refused", "ResizeWindow(800,600,1) refused", "ResizeWindow('800',600) refused",
                  "SetThemeColor('') refused", "SetThemeColor(4294967296) refused", "SetTitleColor(1.5) refused",
                  "SetThemeColor(NaN) refused", "SetTitleColor('0xFF2686C6') refused",
                  "SetBorder(2.5) refused", "WindowVisible('') refused",
                  "SetWinTitle(5) refused", "SetTitleColor('') refused", "SendMenuMessage() refused",
                  "ChangeLine('2') refused", "PlayMp3(1) refused", "SetBorder(9) taken"}),
              browser.client->BridgeCalls());
    EXPECT_EQ(0, g_selectedLine);
    EXPECT_EQ(0u, browser.messages.Count(WM_APP_CHANGE_LINE));
}

// Colours take every 32-bit pattern, written signed or (opaque ones) unsigned.
TEST_F(Bridge, IntegersAtTheEdgesOfTheirRangesArriveIntact) {
    OpenScript(
        "AppExtension.SetThemeColor(-2147483648);"
        "AppExtension.SetTitleColor(2147483647);"
        "AppExtension.SetThemeColor(0xFF2686C6);"
        "AppExtension.SetTitleColor(4294967295);"
        "AppExtension.SendMenuMessage(-1);"
        "AppExtension.WindowVisible(0);"
        "AppExtension.WindowVisible(-5);"
        "AppExtension.WindowVisible(7);");
    EXPECT_EQ((std::vector<std::string>{"SetThemeColor(80000000)", "SetTitleColor(7FFFFFFF)", "SetThemeColor(FF2686C6)",
                                        "SetTitleColor(FFFFFFFF)", "SendMenuMessage(-1)",
                                        "WindowVisible(0)", "WindowVisible(0)", "WindowVisible(1)"}),
              browser.window.Texts());
}

TEST_F(Bridge, CallsWithoutArgumentsTakeAnyAndChangeLineWithoutIndexDoesNothing) {
    OpenScript(
        "AppExtension.WindowCenter(1, 2);"
        "AppExtension.WindowFlash('x');"
        "AppExtension.ChangeLine();"
        "AppExtension.ChangeLine(7);");
    EXPECT_EQ((std::vector<std::string>{"WindowCenter()", "WindowFlash()"}), browser.window.Texts());
    EXPECT_EQ((std::vector<std::string>{"WindowCenter(1,2) taken", "WindowFlash('x') taken", "ChangeLine() taken",
                                        "ChangeLine(7) taken"}),
              browser.client->BridgeCalls());
    // An index naming no line keeps the selection and still has the current line loaded again.
    EXPECT_EQ(0, g_selectedLine);
    EXPECT_EQ(1u, browser.messages.Count(WM_APP_CHANGE_LINE));
}

TEST_F(Bridge, TheRendererIsASubProcessThatEndsWithItsBrowser) {
    CefRefPtr<CefBrowser> page = OpenScript("AppExtension.SetBorder(1);");
    ASSERT_TRUE(page);
    const DWORD renderer = kvtest::RendererProcessId(page);
    ASSERT_NE(0u, renderer);
    EXPECT_NE(GetCurrentProcessId(), renderer);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, renderer);
    ASSERT_NE(nullptr, process);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(process, 0));

    browser.Close();
    EXPECT_EQ(nullptr, browser.client->GetMainBrowser());
    DWORD waited = WAIT_TIMEOUT;
    kvtest::PumpUntil([&] { return (waited = WaitForSingleObject(process, 0)) == WAIT_OBJECT_0; }, 15000);
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), waited);
    CloseHandle(process);
}

TEST(Switches, EveryProcessGetsTheSameSwitchesInOrder) {
    const std::string expected =
        "korvanthel.exe --touch-events=enabled --enable-npapi --disable-web-security "
        "--ppapi-flash-version=25.0.0.127 --ppapi-flash-path=ppflash\\25_0_0_127\\pepflashplayer32_25_0_0_127.dll "
        "--autoplay-policy=no-user-gesture-required";
    for (const char* type : {"", "renderer", "gpu-process"}) {
        CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
        line->InitFromString("korvanthel.exe");
        TheApp()->OnBeforeCommandLineProcessing(type, line);
        EXPECT_EQ(expected, line->GetCommandLineString().ToString()) << type;
    }
}

TEST(Switches, TheBrowserProcessRunsWithThem) {
    EngineScope engine;
    ASSERT_TRUE(engine.ok);
    CefRefPtr<CefCommandLine> line = CefCommandLine::GetGlobalCommandLine();
    EXPECT_EQ("no-user-gesture-required", line->GetSwitchValue("autoplay-policy").ToString());
    EXPECT_TRUE(line->HasSwitch("disable-web-security"));
}

}  // namespace
}  // namespace kvclient::clienttest
