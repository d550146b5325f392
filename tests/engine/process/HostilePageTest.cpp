// Hostile pages served on 127.0.0.1: scripts that never end, renderers stuck
// outside their scripts, header floods and pages reaching for local files
// leave the browser process responsive and its renderers bounded.
#include "engine/EngineProgramKit.h"

#include "support/HttpTestServer.h"

namespace kvtest {
namespace {

constexpr char kLocalFile[] = "file:///C:/windows/win.ini";

bool ProcessEnds(DWORD pid, DWORD timeoutMs) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process) return true;  // already gone
    const bool ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

class HostilePage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root = new std::string(FreshDirUnix("hostile"));
        server = new HttpTestServer(*root);
        WriteFileText(*root + "/after.html", "<title>After</title><p>shown</p>");
    }
    static void TearDownTestSuite() {
        delete server;
        delete root;
    }
    void SetUp() override { ASSERT_TRUE(engine.ok); }
    void TearDown() override {
        for (size_t i = 0; i < client->Count(); ++i) client->Browser(i)->GetHost()->CloseBrowser(true);
        PumpUntil([&] { return static_cast<size_t>(client->closed.load()) == client->Count(); }, 10000);
    }
    std::string Served(const std::string& name, const std::string& html) {
        WriteFileText(*root + "/" + name, html);
        return server->Url("/" + name);
    }
    // Opens a page whose script says "started" first; its renderer's process id.
    DWORD OpenStarted(const std::string& name, const std::string& script, CefRefPtr<CefBrowser>& browser) {
        browser = MakeBrowser(client, parent.Get(), Served(name, "<script>native.send('started');" + script + "</script>"));
        EXPECT_TRUE(browser);
        EXPECT_TRUE(PumpUntil([&] { return !client->Events("Message send('started')").empty(); }, 20000));
        return browser ? RendererProcessId(browser) : 0;
    }
    bool Shows(CefRefPtr<CefBrowser> browser, const std::wstring& title, DWORD timeoutMs) {
        return PumpUntil([&] { return GetShown(browser).title == title; }, timeoutMs);
    }
    void CloseAndWait(CefRefPtr<CefBrowser> browser) {
        const int before = client->closed;
        browser->GetHost()->CloseBrowser(true);
        EXPECT_TRUE(PumpUntil([&] { return client->closed > before; }, 10000));
    }

    static std::string* root;
    static HttpTestServer* server;
    EngineScope engine{false};
    ParentWindow parent;
    CefRefPtr<RecordingClient> client = new RecordingClient();
};

std::string* HostilePage::root = nullptr;
HttpTestServer* HostilePage::server = nullptr;

struct EndlessCase {
    const char* name;
    const char* script;
};

class EndlessScript : public HostilePage, public ::testing::WithParamInterface<EndlessCase> {};

TEST_P(EndlessScript, IsStoppedByTheNextPageAndByClosing) {
    CefRefPtr<CefBrowser> browser;
    const DWORD pid = OpenStarted(std::string(GetParam().name) + ".html", GetParam().script, browser);
    ASSERT_NE(0u, pid);
    browser->GetMainFrame()->LoadURL(server->Url("/after.html"));
    // Sooner than the scripts' time budget: the new document stopped the script.
    EXPECT_TRUE(Shows(browser, L"After", 4000));
    EXPECT_EQ(pid, RendererProcessId(browser));

    browser->GetMainFrame()->LoadURL(server->Url("/" + std::string(GetParam().name) + ".html"));
    ASSERT_TRUE(PumpUntil([&] { return client->Events("Message send('started')").size() == 2; }, 20000));
    CloseAndWait(browser);
    EXPECT_TRUE(ProcessEnds(pid, 4000));
}

INSTANTIATE_TEST_SUITE_P(Scripts, EndlessScript,
                         ::testing::Values(EndlessCase{"loop", "for(;;){}"},
                                           EndlessCase{"tailcall", "function f(){return f()} f()"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostilePage, AnEndlessScriptRunsOutOfTimeAndTheNextScriptRuns) {
    CefRefPtr<CefBrowser> browser = MakeBrowser(
        client, parent.Get(),
        Served("budget.html", "<title>Budget</title><script>for(;;){}</script><script>native.send('next')</script>"));
    ASSERT_TRUE(browser);
    EXPECT_TRUE(PumpUntil([&] { return !client->Events("Message send('next')").empty(); }, 30000));
    EXPECT_TRUE(Shows(browser, L"Budget", 10000));
}

TEST_F(HostilePage, DeepNestingIsRefusedWithoutEndingTheRenderer) {
    CefRefPtr<CefBrowser> browser;
    const DWORD pid = OpenStarted("deep.html",
                                  "function deep(make) { try { make(); } catch (e) { native.send(e.name); } }"
                                  "deep(function () { new RegExp('('.repeat(9900) + ')'.repeat(9900)); });"
                                  "deep(function () { JSON.parse('['.repeat(100000)); });"
                                  "native.send('done');",
                                  browser);
    ASSERT_NE(0u, pid);
    EXPECT_TRUE(PumpUntil([&] { return !client->Events("Message send('done')").empty(); }, 10000));
    EXPECT_EQ((std::vector<std::string>{"Message send('RangeError')", "Message send('RangeError')"}),
              client->Events("Message send('RangeError')"));
}

TEST_F(HostilePage, ARendererStuckOutsideItsScriptsIsReplacedForTheNextPage) {
    CefRefPtr<CefBrowser> browser;
    const DWORD pid = OpenStarted("hang.html", "native.hang()", browser);
    ASSERT_NE(0u, pid);
    browser->GetMainFrame()->LoadURL(server->Url("/after.html"));
    EXPECT_TRUE(Shows(browser, L"After", 15000));
    EXPECT_NE(pid, RendererProcessId(browser));
    EXPECT_TRUE(ProcessEnds(pid, 10000));
}

TEST_F(HostilePage, ClosingEndsARendererStuckOutsideItsScripts) {
    CefRefPtr<CefBrowser> browser;
    const DWORD pid = OpenStarted("hang.html", "native.hang()", browser);
    ASSERT_NE(0u, pid);
    CloseAndWait(browser);
    EXPECT_TRUE(ProcessEnds(pid, 8000));
}

TEST_F(HostilePage, AHeaderFloodFailsAndTheNextPageShows) {
    const std::string url = server->Url("/after.html?flood=60");
    CefRefPtr<CefBrowser> browser = MakeBrowser(client, parent.Get(), url);
    ASSERT_TRUE(browser);
    ASSERT_TRUE(PumpUntil([&] { return client->loadErrors > 0; }, 30000));
    EXPECT_EQ((std::vector<std::string>{"LoadError -325 net::ERR_RESPONSE_HEADERS_TOO_BIG " + url}),
              client->Events("LoadError"));
    browser->GetMainFrame()->LoadURL(server->Url("/after.html"));
    EXPECT_TRUE(Shows(browser, L"After", 20000));
}

TEST_F(HostilePage, AWebPageCannotReachLocalFiles) {
    const std::string file = kLocalFile;
    const std::string url = Served("reach.html", "<script>window.open('" + file + "');native.go('" + file +
                                                     "');window.open('after.html', 'last')</script>");
    CefRefPtr<CefBrowser> browser = MakeBrowser(client, parent.Get(), url);
    ASSERT_TRUE(browser);
    // The last pop-up is asked for after the others: by then they were refused.
    ASSERT_TRUE(PumpUntil([&] { return !client->Events("BeforePopup").empty(); }, 20000));
    EXPECT_TRUE(WaitForIdle(20000));
    EXPECT_EQ((std::vector<std::string>{"BeforePopup " + server->Url("/after.html") + " last"}),
              client->Events("BeforePopup"));
    EXPECT_EQ((std::vector<std::string>{"LoadStart " + url}), client->Events("LoadStart"));

    // Nor through a redirect.
    const std::string redirect = server->Url("/after.html?status=302&location=" + file);
    browser->GetMainFrame()->LoadURL(redirect);
    ASSERT_TRUE(PumpUntil([&] { return client->loadErrors > 0; }, 20000));
    EXPECT_TRUE(client->Events("LoadStart " + file).empty());
}

TEST_F(HostilePage, ALocalPageStillReachesLocalFiles) {
    const std::string dir = FreshDirUnix("local");
    WriteFileText(dir + "/other.html", "<title>Other</title>");
    const std::string other = FileUrl(dir + "/other.html");
    WriteFileText(dir + "/local.html", "<script>window.open('" + other + "', 'w');native.go('" + other + "')</script>");
    CefRefPtr<CefBrowser> browser = MakeBrowser(client, parent.Get(), FileUrl(dir + "/local.html"));
    ASSERT_TRUE(browser);
    EXPECT_TRUE(Shows(browser, L"Other", 20000));
    EXPECT_EQ((std::vector<std::string>{"BeforePopup " + other + " w"}), client->Events("BeforePopup"));
}

TEST(HostileShutdown, DoesNotWaitLongForAStuckRenderer) {
    auto engine = std::make_unique<EngineScope>(false);
    ASSERT_TRUE(engine->ok);
    CefRefPtr<RecordingClient> client = new RecordingClient();
    {
        ParentWindow parent;
        const std::string page = FreshDirUnix("stuck") + "/stuck.html";
        WriteFileText(page, "<script>native.send('started');native.hang()</script>");
        ASSERT_TRUE(MakeBrowser(client, parent.Get(), FileUrl(page)));
        ASSERT_TRUE(PumpUntil([&] { return !client->Events("Message send('started')").empty(); }, 20000));
    }
    const ULONGLONG start = GetTickCount64();
    engine.reset();
    // The renderer gets its grace to end, not the 30 s it is stuck for.
    EXPECT_LT(GetTickCount64() - start, 4000u);
}

}  // namespace
}  // namespace kvtest
