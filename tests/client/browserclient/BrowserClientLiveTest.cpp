// The browser client in a running engine: the main browser and the list,
// closing from another thread, pop-ups, F5, the blank page, cookies, the
// context menu and the save dialog of a download.
#include "client/common/ClientKit.h"

#include "client/LineZoomTables.h"
#include "client/common/BrowserKit.h"

namespace kvclient::clienttest {
namespace {

struct ClassSearch {
    const wchar_t* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectShown(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ClassSearch*>(data);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (IsWindowVisible(window) && wcscmp(name, search->className) == 0) search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectEditTexts(HWND child, LPARAM data) {
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (_wcsicmp(name, L"Edit") == 0) {
        wchar_t text[260] = {};
        GetWindowTextW(child, text, 260);
        reinterpret_cast<std::vector<std::wstring>*>(data)->push_back(text);
    }
    return TRUE;
}

class LiveClient : public ServedPagesTest {
protected:
    static void SetUpTestSuite() {
        ServedPagesTest::SetUpTestSuite();
        kvtest::WriteFileText(root + "/page.html", "<html><head><title>Shop</title></head><body>shop</body></html>");
    }
    void SetUp() override {
        ASSERT_TRUE(engine.ok);
        g_selectedLine = 0;
        // The lines' addresses do not resolve here; fail them fast.
        kvtest::SetNetworkTimeouts(5000, 10);
    }
    void TearDown() override {
        browser.Close();
        g_selectedLine = 0;
    }
    // Top-level windows of the engine's UI thread with this class name that are shown.
    std::vector<HWND> ShownWindows(const wchar_t* className) {
        ClassSearch search{className, {}};
        EnumThreadWindows(engine.uiThread, CollectShown, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    // A load of `url` reported as ended or failed.
    bool Attempted(const std::string& url) {
        for (const std::string& e : browser.client->Events("LoadError")) {
            if (e.size() >= url.size() && e.compare(e.size() - url.size(), url.size(), url) == 0) return true;
        }
        return false;
    }

    EngineScope engine;
    ClientBrowser browser;
};

TEST_F(LiveClient, DeveloperToolsAreListedButTheFirstBrowserStaysTheMainOne) {
    CefRefPtr<CefBrowser> page = browser.Open(server->Url("/page.html"));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->GetIdentifier(), browser.client->GetMainBrowserId());
    browser.client->ShowDevTools(page);
    ASSERT_TRUE(kvtest::PumpUntil([&] { return browser.client->Events("AfterCreated").size() == 2; }, 10000));
    browser.Idle();
    EXPECT_EQ(page.get(), browser.client->GetMainBrowser().get());
    EXPECT_EQ(1u, browser.messages.Count(WM_APP_BROWSER_CREATED));

    // Closing from the test thread moves to the engine's UI thread and closes both.
    browser.client->CloseAllBrowsers(true);
    ASSERT_TRUE(kvtest::PumpUntil([&] { return browser.client->Events("BeforeClose").size() == 2; }, 10000));
    EXPECT_EQ(nullptr, browser.client->GetMainBrowser());
    EXPECT_EQ(page->GetIdentifier(), browser.client->GetMainBrowserId());
    EXPECT_EQ(0, browser.client->OffUiThread());
}

TEST_F(LiveClient, PagesCannotOpenWindows) {
    kvtest::WriteFileText(root + "/opener.html",
                          "<title>Opener</title><script>open('page.html', 'side'); window.open('about:blank');</script>");
    server->ClearRequests();
    ASSERT_TRUE(browser.Open(server->Url("/opener.html")));
    EXPECT_EQ(1u, browser.client->Events("AfterCreated").size());
    // The target address is not requested anywhere either.
    for (const kvtest::HttpTestServer::Request& r : server->Requests()) EXPECT_EQ("/opener.html", r.target);
}

TEST_F(LiveClient, ReleasingF5LoadsTheSelectedLineFromItsStart) {
    CefRefPtr<CefBrowser> page = browser.Open(server->Url("/page.html"));
    ASSERT_TRUE(page);
    g_selectedLine = 1;
    const std::string line = g_serverLines[1].url;
    HWND window = page->GetHost()->GetWindowHandle();
    SendMessageW(window, WM_KEYDOWN, VK_F5, 0x003F0001);
    browser.Idle();
    EXPECT_FALSE(Attempted(line));
    EXPECT_EQ(1u, browser.messages.Count(WM_APP_BROWSER_CREATED));

    SendMessageW(window, WM_KEYUP, VK_F5, static_cast<LPARAM>(0xC03F0001));
    ASSERT_TRUE(kvtest::PumpUntil([&] { return Attempted(line); }, 20000));
    browser.Idle();
    EXPECT_EQ(2u, browser.messages.Count(WM_APP_BROWSER_CREATED));
}

TEST_F(LiveClient, ABlankMainFrameIsReplacedByTheSelectedLine) {
    g_selectedLine = 2;
    ASSERT_TRUE(browser.Open("about:blank"));
    ASSERT_TRUE(kvtest::PumpUntil([&] { return Attempted(g_serverLines[2].url); }, 20000));
    EXPECT_GE(browser.messages.Count(WM_APP_LOAD_END), 1u);
}

TEST_F(LiveClient, EveryResponseWritesTheCookieStoreToDisk) {
    const std::string store = engine.dataDir + "/cefcache/Cookies";
    EXPECT_FALSE(FileExists(store));
    ASSERT_TRUE(browser.Open(server->Url("/page.html")));
    EXPECT_TRUE(kvtest::PumpUntil([&] { return FileExists(store); }, 10000));
}

TEST_F(LiveClient, TheContextMenuOffersTheClientsFiveCommands) {
    CefRefPtr<CefBrowser> page = browser.Open(server->Url("/page.html"));
    ASSERT_TRUE(page);
    HWND window = page->GetHost()->GetWindowHandle();
    POINT p{10, 10};
    ClientToScreen(window, &p);
    PostMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(p.x, p.y));
    HWND menuWindow = nullptr;
    ASSERT_TRUE(kvtest::PumpUntil(
        [&] { return (menuWindow = FindWindowW(L"#32768", nullptr)) && IsWindowVisible(menuWindow); }, 10000));
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, 0x01E1 /* MN_GETHMENU */, 0, 0));
    std::vector<std::string> items;
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        wchar_t label[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), label, 64, MF_BYPOSITION);
        items.push_back(std::to_string(GetMenuItemID(menu, i)) + " " + kvtest::Narrow(label));
    }
    PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    kvtest::PumpUntil([&] { return !IsWindowVisible(menuWindow); }, 10000);
    EXPECT_EQ((std::vector<std::string>{"113 复制", "114 粘贴", "102 重新加载", "100 返回上一页", "131 打印此网页"}), items);
}

TEST_F(LiveClient, ADownloadOffersItsSuggestedNameInTheSaveDialog) {
    CefRefPtr<CefBrowser> page = browser.Open(server->Url("/page.html"));
    ASSERT_TRUE(page);
    const std::string data(4000, 'x');
    kvtest::WriteFileBytes(root + "/report.bin", data.data(), data.size());
    page->GetMainFrame()->LoadURL(server->Url("/report.bin?id=3"));

    // The dialog runs modally on the engine's UI thread: read its name field, then cancel it.
    std::vector<HWND> dialogs;
    ASSERT_TRUE(kvtest::PumpUntil([&] { return !(dialogs = ShownWindows(L"#32770")).empty(); }, 30000));
    std::vector<std::wstring> texts;
    EnumChildWindows(dialogs[0], CollectEditTexts, reinterpret_cast<LPARAM>(&texts));
    PostMessageW(dialogs[0], WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(kvtest::PumpUntil([&] { return ShownWindows(L"#32770").empty(); }, 10000));
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), L"report.bin"));
    for (const std::wstring& text : texts) EXPECT_EQ(std::wstring::npos, text.find(L"127.0.0.1")) << kvtest::Narrow(text);
}

}  // namespace
}  // namespace kvclient::clienttest
