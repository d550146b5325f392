// The browser's window: painting with the zoom level, scrolling, keys to the
// keyboard handler, the context menu, the developer tools, pop-ups and closing.
#include "engine/EngineProgramKit.h"

namespace kvtest {
namespace {

// Lowest row with dark pixels in the browser window's painting.
int InkBottom(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = r.right;
    bi.bmiHeader.biHeight = -r.bottom;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    int bottom = -1;
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int y = 0; y < r.bottom; ++y) {
        for (int x = 0; x < r.right; ++x) {
            if ((pixels[y * r.right + x] & 0xFF) < 0x80) bottom = y;
        }
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bottom;
}

class BrowserWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(engine.ok); }
    void TearDown() override {
        for (size_t i = 0; i < client->Count(); ++i) client->Browser(i)->GetHost()->CloseBrowser(true);
        PumpUntil([&] { return static_cast<size_t>(client->closed.load()) == client->Count(); }, 10000);
    }
    CefRefPtr<CefBrowser> Open(const std::string& html) {
        const std::string path = WorkDirUnix() + "/window.html";
        WriteFileText(path, html);
        CefRefPtr<CefBrowser> browser = MakeBrowser(client, parent.Get(), FileUrl(path));
        EXPECT_TRUE(browser);
        EXPECT_TRUE(WaitForIdle());
        return browser;
    }

    EngineScope engine{true};
    ParentWindow parent;
    CefRefPtr<RecordingClient> client = new RecordingClient();
};

TEST_F(BrowserWindow, IsAChildOfTheGivenParentAtTheGivenPlace) {
    CefRefPtr<CefBrowser> browser = Open("<title>x</title>");
    HWND window = browser->GetHost()->GetWindowHandle();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(parent.Get(), GetParent(window));
    RECT r;
    GetClientRect(window, &r);
    EXPECT_EQ(600, r.right);
    EXPECT_EQ(400, r.bottom);
}

TEST_F(BrowserWindow, ZoomLevelScalesTheTextByOnePointTwoPerLevel) {
    CefRefPtr<CefBrowser> browser = Open("<title>Zoom</title>");
    HWND window = browser->GetHost()->GetWindowHandle();
    const int normal = InkBottom(window);
    browser->GetHost()->SetZoomLevel(2);
    ASSERT_TRUE(WaitForIdle());
    EXPECT_DOUBLE_EQ(2.0, browser->GetHost()->GetZoomLevel());
    const int zoomed = InkBottom(window);
    ASSERT_GT(normal, 0);
    EXPECT_NEAR(1.44, static_cast<double>(zoomed) / normal, 0.15);
}

TEST_F(BrowserWindow, WheelScrollsLongPagesButNotPastTheirEnd) {
    std::string html = "<title>Long</title>";
    for (int i = 0; i < 200; ++i) html += "<p>line " + std::to_string(i) + "</p>";
    CefRefPtr<CefBrowser> browser = Open(html);
    HWND window = browser->GetHost()->GetWindowHandle();
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    const int once = GetShown(browser).scroll;
    EXPECT_GT(once, 0);
    for (int i = 0; i < 1000; ++i) SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    const int end = GetShown(browser).scroll;
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(end, GetShown(browser).scroll);
    for (int i = 0; i < 1000; ++i) SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(0, GetShown(browser).scroll);
}

TEST_F(BrowserWindow, KeysGoToTheKeyboardHandlerWithTheirMessage) {
    CefRefPtr<CefBrowser> browser = Open("<p>keys</p>");
    HWND window = browser->GetHost()->GetWindowHandle();
    client->Clear();
    SendMessageW(window, WM_KEYDOWN, VK_F5, 0x003F0001);
    SendMessageW(window, WM_KEYUP, VK_F5, static_cast<LPARAM>(0xC03F0001));
    EXPECT_EQ((std::vector<std::string>{"PreKey 0 116 msg 256", "Key 0 116", "PreKey 1 116 msg 257", "Key 1 116"}),
              client->Events());
    // A key the handler consumes goes no further.
    client->consumeKeys = true;
    client->Clear();
    SendMessageW(window, WM_KEYUP, VK_F5, static_cast<LPARAM>(0xC03F0001));
    EXPECT_EQ((std::vector<std::string>{"PreKey 1 116 msg 257"}), client->Events());
}

TEST_F(BrowserWindow, ContextMenuIsBuiltThroughTheHandlerAndItsCommandOffered) {
    client->replaceMenu = true;
    CefRefPtr<CefBrowser> browser = Open("<p>menu</p>");
    HWND window = browser->GetHost()->GetWindowHandle();
    POINT p{10, 10};
    ClientToScreen(window, &p);
    PostMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(p.x, p.y));
    HWND menu = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (menu = FindWindowW(L"#32768", nullptr)) && IsWindowVisible(menu); }, 10000));
    // The second item is the client's own command: choose it with the keyboard.
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(PumpUntil([&] { return !client->Events("MenuCommand").empty(); }, 10000));
    EXPECT_EQ((std::vector<std::string>{"ContextMenu 1 100 101 -1 102 132"}), client->Events("ContextMenu"));
    EXPECT_EQ((std::vector<std::string>{"MenuCommand 26501"}), client->Events("MenuCommand"));
}

TEST_F(BrowserWindow, DeveloperToolsShowThePageSourceInABrowserOfTheirOwn) {
    CefRefPtr<CefBrowser> browser = Open("<title>Src</title><p>a  b</p>");
    CefWindowInfo info;
    info.SetAsPopup(parent.Get(), L"tools");
    info.width = 600;
    info.height = 400;
    browser->GetHost()->ShowDevTools(info, client, CefBrowserSettings(), CefPoint());
    ASSERT_TRUE(PumpUntil([&] { return client->Count() == 2; }, 10000));
    ASSERT_TRUE(WaitForIdle());
    CefRefPtr<CefBrowser> tools = client->Browser(1);
    EXPECT_TRUE(tools->IsPopup());
    EXPECT_EQ(L"<title>Src</title><p>a  b</p>", GetShown(tools).text);
    // A second request brings the same window forward.
    browser->GetHost()->ShowDevTools(info, client, CefBrowserSettings(), CefPoint());
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(2u, client->Count());
}

TEST_F(BrowserWindow, PopupsAreOfferedToTheClientAndRefusedOnesNeverOpen) {
    CefRefPtr<CefBrowser> browser = Open("<script>open('other.html', 'side')</script>");
    ASSERT_TRUE(WaitForIdle());
    const std::vector<std::string> offered = client->Events("BeforePopup");
    ASSERT_EQ(1u, offered.size());
    EXPECT_NE(std::string::npos, offered[0].find("/other.html side"));
    EXPECT_EQ(1u, client->Count());

    client->refusePopups = false;
    browser->GetMainFrame()->ExecuteJavaScript("window.open('about:blank')", "", 1);
    ASSERT_TRUE(PumpUntil([&] { return client->Count() == 2; }, 10000));
    EXPECT_TRUE(client->Browser(1)->IsPopup());
}

TEST_F(BrowserWindow, ClosingAsksDoCloseThenReportsBeforeCloseOnce) {
    CefRefPtr<CefBrowser> browser = Open("<p>bye</p>");
    HWND window = browser->GetHost()->GetWindowHandle();
    client->Clear();
    browser->GetHost()->CloseBrowser(false);
    browser->GetHost()->CloseBrowser(true);
    ASSERT_TRUE(PumpUntil([&] { return client->closed == 1; }, 10000));
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ((std::vector<std::string>{"DoClose", "BeforeClose " + std::to_string(browser->GetIdentifier())}),
              client->Events());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, browser->GetHost()->GetWindowHandle());
}

TEST_F(BrowserWindow, DestroyingTheParentClosesTheBrowser) {
    auto owner = std::make_unique<ParentWindow>();
    CefRefPtr<CefBrowser> browser = MakeBrowser(client, owner->Get(), "about:blank");
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitForIdle());
    owner.reset();
    EXPECT_TRUE(PumpUntil([&] { return client->closed == 1; }, 10000));
}

}  // namespace
}  // namespace kvtest
