// Loading over HTTP from a local server: network failures as error numbers,
// HTTP error statuses as completed loads, redirects, downloads and cookies.
#include "engine/EngineProgramKit.h"

#include "support/HttpTestServer.h"

namespace kvtest {
namespace {

class Network : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root = new std::string(FreshDirUnix("www"));
        server = new HttpTestServer(*root);
    }
    static void TearDownTestSuite() {
        delete server;
        delete root;
    }
    void SetUp() override { ASSERT_TRUE(engine.ok); }
    void TearDown() override {
        SetNetworkTimeouts(20000, 60);
        for (size_t i = 0; i < client->Count(); ++i) client->Browser(i)->GetHost()->CloseBrowser(true);
        PumpUntil([&] { return static_cast<size_t>(client->closed.load()) == client->Count(); }, 10000);
    }
    CefRefPtr<CefBrowser> Open(const std::string& url) {
        CefRefPtr<CefBrowser> browser = MakeBrowser(client, parent.Get(), url);
        EXPECT_TRUE(browser);
        EXPECT_TRUE(WaitForIdle(30000));
        return browser;
    }

    static std::string* root;
    static HttpTestServer* server;
    std::string cache = FreshDirUnix("cache");
    EngineScope engine{true, ToWindowsPath(cache)};
    ParentWindow parent;
    CefRefPtr<RecordingClient> client = new RecordingClient();
};

std::string* Network::root = nullptr;
HttpTestServer* Network::server = nullptr;

TEST_F(Network, RefusedConnectionIsAnErrorWithoutADocument) {
    const std::string url = server->RefusedUrl("/page");
    Open(url);
    EXPECT_EQ((std::vector<std::string>{"Loading 1", "LoadError -102 net::ERR_CONNECTION_REFUSED " + url, "Loading 0"}),
              client->Events("Load"));
}

TEST_F(Network, NameThatDoesNotResolveIsNameNotResolved) {
    Open("http://kvengine-test.invalid/");
    EXPECT_EQ((std::vector<std::string>{"LoadError -105 net::ERR_NAME_NOT_RESOLVED http://kvengine-test.invalid/"}),
              client->Events("LoadError"));
}

TEST_F(Network, HttpErrorStatusIsACompletedLoadShowingTheServersAnswer) {
    CefRefPtr<CefBrowser> browser = Open(server->Url("/missing.html"));
    EXPECT_EQ((std::vector<std::string>{"LoadEnd 404"}), client->Events("LoadEnd"));
    EXPECT_TRUE(client->Events("LoadError").empty());
    EXPECT_EQ(L"not found: /missing.html", GetShown(browser).text);
}

TEST_F(Network, ServerThatStaysSilentTimesOut) {
    SetNetworkTimeouts(20000, 1);
    Open(server->Url("/bytes/10?delay=4000"));
    ASSERT_EQ(1u, client->Events("LoadError").size());
    EXPECT_EQ(0u, client->Events("LoadError")[0].find("LoadError -7 net::ERR_TIMED_OUT"));
}

TEST_F(Network, TransferCutShortIsConnectionClosed) {
    Open(server->Url("/bytes/100000?status=500&cut=10"));
    ASSERT_EQ(1u, client->Events("LoadError").size());
    EXPECT_EQ(0u, client->Events("LoadError")[0].find("LoadError -100 "));
}

TEST_F(Network, RedirectsAreFollowedAndTheFrameHasTheFinalAddress) {
    CefRefPtr<CefBrowser> browser = Open(server->Url("/redirect/3/gone.html"));
    EXPECT_EQ((std::vector<std::string>{"LoadEnd 404"}), client->Events("LoadEnd"));
    EXPECT_EQ(server->Url("/gone.html"), browser->GetMainFrame()->GetURL().ToString());
}

TEST_F(Network, EndlessRedirectsStopWithTooManyRedirects) {
    Open(server->Url("/redirect/30/gone.html"));
    ASSERT_EQ(1u, client->Events("LoadError").size());
    EXPECT_EQ(0u, client->Events("LoadError")[0].find("LoadError -310 "));
}

TEST_F(Network, ResponseHandlerCanRequestAnotherAddress) {
    client->restartTo = Widen(server->Url("/second.html"));
    CefRefPtr<CefBrowser> browser = Open(server->Url("/first.html"));
    EXPECT_EQ(2u, client->Events("Response").size());
    EXPECT_EQ(L"not found: /second.html", GetShown(browser).text);
}

TEST_F(Network, NewNavigationAbortsThePendingOne) {
    CefRefPtr<CefBrowser> browser = MakeBrowser(client, parent.Get(), server->Url("/slow?delay=3000&status=404"));
    ASSERT_TRUE(browser);
    PumpUntil([&] { return !client->Events("Loading 1").empty(); }, 5000);
    browser->GetMainFrame()->LoadURL(server->Url("/after.html"));
    ASSERT_TRUE(WaitForIdle(30000));
    EXPECT_EQ((std::vector<std::string>{"LoadError -3 net::ERR_ABORTED " + server->Url("/slow?delay=3000&status=404")}),
              client->Events("LoadError"));
    EXPECT_EQ((std::vector<std::string>{"LoadEnd 404"}), client->Events("LoadEnd"));
    EXPECT_EQ(L"not found: /after.html", GetShown(browser).text);
}

TEST_F(Network, ContentThatIsNoPageIsDownloadedWhereTheClientSays) {
    const std::string target = FreshDirUnix("downloads") + "/saved.bin";
    client->downloadPath = ToWindowsPath(target);
    Open(server->Url("/bytes/300000"));
    EXPECT_EQ((std::vector<std::string>{"BeforeDownload 300000 " + server->Url("/bytes/300000")}),
              client->Events("BeforeDownload"));
    EXPECT_EQ((std::vector<std::string>{"DownloadComplete " + Narrow(ToWindowsPath(target)) + " 300000"}),
              client->Events("DownloadComplete"));
    const std::vector<char> bytes = ReadFileBytes(target);
    ASSERT_EQ(300000u, bytes.size());
    for (size_t i = 0; i < bytes.size(); i += 997) EXPECT_EQ(static_cast<char>(i % 251), bytes[i]) << i;
    EXPECT_TRUE(client->Events("LoadEnd").empty());
}

TEST_F(Network, DownloadTheClientDoesNotContinueIsCancelled) {
    Open(server->Url("/bytes/1000"));
    EXPECT_EQ(1u, client->Events("BeforeDownload").size());
    EXPECT_EQ(1u, client->Events("DownloadCanceled").size());
    EXPECT_TRUE(client->Events("DownloadComplete").empty());
    EXPECT_TRUE(PartFilesOf(GetCurrentProcessId()).empty());
}

BOOL CALLBACK FindShownDialog(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (!IsWindowVisible(window) || wcscmp(name, L"#32770") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The save dialog that the engine's UI thread shows; null when it does not come.
HWND WaitForSaveDialog() {
    const DWORD uiThread = CallOnUiThread<DWORD>(GetCurrentThreadId).value_or(0);
    HWND dialog = nullptr;
    PumpUntil([&] { return !EnumThreadWindows(uiThread, FindShownDialog, reinterpret_cast<LPARAM>(&dialog)); }, 30000);
    return dialog;
}

// How a download from a server that never stops sending ends while its save dialog is open.
enum class Ending { DialogCancelled, BrowserClosed, EngineStopped };

class EndlessDownload : public Network, public ::testing::WithParamInterface<Ending> {};

TEST_P(EndlessDownload, StopsReceivingAndLeavesNoFileWhenNotSaved) {
    client->downloadPath = L"endless.bin";
    client->downloadDialog = true;
    CefRefPtr<CefBrowser> browser = MakeBrowser(client, parent.Get(), server->Url("/endless/60?rate=2000000"));
    ASSERT_TRUE(browser);
    const HWND dialog = WaitForSaveDialog();
    ASSERT_TRUE(dialog);
    // The content goes on arriving while the user chooses.
    ASSERT_TRUE(PumpUntil([&] {
        const std::vector<std::wstring> parts = PartFilesOf(GetCurrentProcessId());
        return parts.size() == 1 && FileSize(parts[0]) > 200000;
    }, 10000));

    switch (GetParam()) {
    case Ending::DialogCancelled: PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); break;
    case Ending::BrowserClosed: browser->GetHost()->CloseBrowser(true); break;
    case Ending::EngineStopped: CefShutdown(); break;
    }
    EXPECT_TRUE(PumpUntil([&] { return server->Answering() == 0; }, 10000)) << "the server still sends";
    EXPECT_TRUE(PumpUntil([&] { return PartFilesOf(GetCurrentProcessId()).empty(); }, 10000));
    EXPECT_TRUE(PumpUntil([&] { return client->Events("DownloadCanceled").size() == 1; }, 10000));
    // A closed browser leaves its dialog to the user.
    if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }, 10000));
    EXPECT_TRUE(client->Events("DownloadComplete").empty());
}

INSTANTIATE_TEST_SUITE_P(Endings, EndlessDownload,
                         ::testing::Values(Ending::DialogCancelled, Ending::BrowserClosed, Ending::EngineStopped));

TEST_F(Network, DownloadCancelledWhileItsSaveDialogIsOpenIsNotSavedByTheDialog) {
    const std::string target = FreshDirUnix("downloads") + "/cancelled.bin";
    client->downloadPath = ToWindowsPath(target);
    client->downloadDialog = true;
    client->cancelAt = 300000;
    ASSERT_TRUE(MakeBrowser(client, parent.Get(), server->Url("/bytes/300000")));
    const HWND dialog = WaitForSaveDialog();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(PumpUntil([&] { return !client->Events("DownloadCanceled").empty(); }, 10000));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }, 10000));
    ASSERT_TRUE(WaitForIdle(10000));
    EXPECT_EQ(1u, client->Events("DownloadCanceled").size());
    EXPECT_TRUE(client->Events("DownloadComplete").empty());
    EXPECT_TRUE(ReadFileBytes(target).empty());
    EXPECT_TRUE(PartFilesOf(GetCurrentProcessId()).empty());
}

TEST_F(Network, HtmlPageOverHttpRunsItsScripts) {
    WriteFileText(*root + "/page.html", "<title>Served</title><script>native.send('served')</script>");
    CefRefPtr<CefBrowser> browser = Open(server->Url("/page.html"));
    if (!client->Events("Response 200 application/octet-stream").empty()) {
        GTEST_SKIP() << "the test server labels every file application/octet-stream";
    }
    EXPECT_EQ(L"Served", GetShown(browser).title);
    EXPECT_EQ((std::vector<std::string>{"Message send('served')"}), client->Events("Message"));
}

class FlushDone : public kvwin::RefCounted<CefCompletionCallback> {
public:
    void OnComplete() override { onUi = CefCurrentlyOn(TID_UI) ? 1 : 2; }
    std::atomic<int> onUi{0};
};

TEST_F(Network, CookieStoreIsWrittenUnderTheCachePath) {
    CefRefPtr<FlushDone> done = new FlushDone();
    ASSERT_TRUE(CefCookieManager::GetGlobalManager(nullptr)->FlushStore(done));
    ASSERT_TRUE(PumpUntil([&] { return done->onUi != 0; }, 10000));
    EXPECT_EQ(1, done->onUi.load());
    const std::vector<char> file = ReadFileBytes(cache + "/Cookies");
    EXPECT_FALSE(file.empty());
}

}  // namespace
}  // namespace kvtest
