// The browser client's decisions, driven directly with the objects the
// engine would hand it: the bridge dispatch, the browser list and the main
// browser, F5, pop-ups, the context menu and downloads.
#include "client/common/ClientKit.h"

#include "BrowserClientKit.h"
#include "client/LineZoomTables.h"
#include "client/common/BrowserKit.h"

namespace kvclient::clienttest {
namespace {

using kvengine::CM_TYPEFLAG_NONE;
using kvengine::PID_RENDERER;

struct Arg {
    bool isInt;
    int number;
    std::string text;
};
Arg I(int n) { return {true, n, {}}; }
Arg S(const std::string& s) { return {false, 0, s}; }

struct BridgeCase {
    const char* name;
    std::vector<Arg> args;
    bool handled;
    std::vector<std::string> calls;  // on the window
    int lineChanges;                 // WM_APP_CHANGE_LINE posted
};

std::ostream& operator<<(std::ostream& out, const BridgeCase& c) {
    out << c.name << "(";
    for (size_t i = 0; i < c.args.size(); ++i) {
        out << (i ? "," : "") << (c.args[i].isInt ? std::to_string(c.args[i].number) : "'" + c.args[i].text + "'");
    }
    return out << ")";
}

class BridgeDispatch : public ::testing::TestWithParam<BridgeCase> {
protected:
    void SetUp() override {
        g_selectedLine = 0;
        client->SetMainWindow(messages.Get());
    }
    void TearDown() override { g_selectedLine = 0; }

    RecordingWindow window;
    MessageWindow messages;
    CefRefPtr<CBrowserClient> client = new CBrowserClient(&window);
};

TEST_P(BridgeDispatch, TakesOnlyCallsThatFitTheirFunction) {
    const BridgeCase& c = GetParam();
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(c.name);
    CefRefPtr<CefListValue> list = message->GetArgumentList();
    for (size_t i = 0; i < c.args.size(); ++i) {
        if (c.args[i].isInt) list->SetInt(i, c.args[i].number);
        else list->SetString(i, c.args[i].text);
    }
    EXPECT_EQ(c.handled, client->OnProcessMessageReceived(nullptr, PID_RENDERER, message));
    DispatchQueued();
    EXPECT_EQ(c.calls, window.Texts());
    EXPECT_EQ(static_cast<size_t>(c.lineChanges), messages.Count(WM_APP_CHANGE_LINE));
    EXPECT_EQ(static_cast<size_t>(c.lineChanges), messages.Messages().size());
}

using V = std::vector<std::string>;
INSTANTIATE_TEST_SUITE_P(
    Calls, BridgeDispatch,
    ::testing::Values(
        BridgeCase{"ResizeWindow", {I(800), I(600)}, true, V{"ResizeWindow(800,600)"}, 0},
        BridgeCase{"ResizeWindow", {I(800)}, false, V{}, 0},
        BridgeCase{"ResizeWindow", {I(800), I(600), I(1)}, false, V{}, 0},
        BridgeCase{"ResizeWindow", {S("800"), I(600)}, false, V{}, 0},
        BridgeCase{"SetWinTitle", {S("宠物店")}, true, V{"SetWinTitle('宠物店')"}, 0},
        BridgeCase{"SetWinTitle", {I(5)}, false, V{}, 0},
        BridgeCase{"SetWinTitle", {}, false, V{}, 0},
        BridgeCase{"WindowCenter", {}, true, V{"WindowCenter()"}, 0},
        BridgeCase{"WindowCenter", {I(1), S("x")}, true, V{"WindowCenter()"}, 0},
        BridgeCase{"SetThemeColor", {I(-1)}, true, V{"SetThemeColor(FFFFFFFF)"}, 0},
        BridgeCase{"SetThemeColor", {S("")}, false, V{}, 0},
        BridgeCase{"SetBorder", {I(11)}, true, V{"SetBorder(11)"}, 0},
        BridgeCase{"SetBorder", {I(1), I(2)}, false, V{}, 0},
        BridgeCase{"WindowFlash", {I(1)}, true, V{"WindowFlash()"}, 0},
        BridgeCase{"WindowVisible", {I(2)}, true, V{"WindowVisible(1)"}, 0},
        BridgeCase{"WindowVisible", {I(0)}, true, V{"WindowVisible(0)"}, 0},
        BridgeCase{"WindowVisible", {I(-1)}, true, V{"WindowVisible(0)"}, 0},
        BridgeCase{"WindowVisible", {S("1")}, false, V{}, 0},
        BridgeCase{"SendMenuMessage", {I(999)}, true, V{"SendMenuMessage(999)"}, 0},
        BridgeCase{"SendMenuMessage", {}, false, V{}, 0},
        BridgeCase{"SetTitleColor", {I(0x00FF00)}, true, V{"SetTitleColor(0000FF00)"}, 0},
        BridgeCase{"SetTitleColor", {S("red")}, false, V{}, 0},
        BridgeCase{"ChangeLine", {}, true, V{}, 0},
        BridgeCase{"ChangeLine", {I(1)}, true, V{}, 1},
        BridgeCase{"ChangeLine", {I(3)}, true, V{}, 1},
        BridgeCase{"ChangeLine", {I(2), S("extra")}, true, V{}, 1},
        BridgeCase{"ChangeLine", {S("1")}, false, V{}, 0},
        BridgeCase{"ShowDevTools", {}, true, V{}, 0},
        BridgeCase{"PlayMp3", {}, false, V{}, 0},
        BridgeCase{"PlayMp3", {I(1)}, false, V{}, 0},
        BridgeCase{"GetVersion", {}, false, V{}, 0},
        BridgeCase{"resizewindow", {I(800), I(600)}, false, V{}, 0},
        BridgeCase{"Unknown", {I(1)}, false, V{}, 0},
        BridgeCase{"", {}, false, V{}, 0}));

TEST(BridgeCalls, ChangeLineSelectsOnlyALineThatExists) {
    RecordingWindow window;
    CefRefPtr<CBrowserClient> client = new CBrowserClient(&window);
    g_selectedLine = 0;
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create("ChangeLine");
    for (const int index : {2, 3, -1, 1}) {
        message->GetArgumentList()->SetInt(0, index);
        client->OnProcessMessageReceived(nullptr, PID_RENDERER, message);
        EXPECT_EQ(index == 3 || index == -1 ? 2 : index, g_selectedLine) << index;
    }
    g_selectedLine = 0;
}

TEST(BridgeCalls, PlayMp3HandsTheUrlToThePlayer) {
    DataFolder data("play");
    RecordingWindow window;
    CefRefPtr<CBrowserClient> client = new CBrowserClient(&window);
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create("PlayMp3");
    message->GetArgumentList()->SetString(0, "http://127.0.0.1:9/音乐.mp3");
    EXPECT_TRUE(client->OnProcessMessageReceived(nullptr, PID_RENDERER, message));
    const std::vector<std::string> lines = data.LogLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("PlayMP3::NewThreadPlayUrl http://127.0.0.1:9/音乐.mp3 ", LogMessage(lines[0]));
    EXPECT_TRUE(window.Texts().empty());
}

TEST(BridgeCalls, ShowDevToolsOpensThemForTheCallingBrowser) {
    RecordingWindow window;
    CefRefPtr<CBrowserClient> client = new CBrowserClient(&window);
    CefRefPtr<FakeBrowser> browser = new FakeBrowser(4, false, true);
    EXPECT_TRUE(client->OnProcessMessageReceived(browser, PID_RENDERER, CefProcessMessage::Create("ShowDevTools")));
    EXPECT_EQ((std::vector<std::string>{"ShowDevTools"}), browser->HostCalls());
}

class BrowserList : public ::testing::Test {
protected:
    void SetUp() override { client->SetMainWindow(messages.Get()); }
    std::vector<UINT> Posted() {
        DispatchQueued();
        return messages.Messages();
    }

    RecordingWindow window;
    MessageWindow messages;
    CefRefPtr<CBrowserClient> client = new CBrowserClient(&window);
    CefRefPtr<FakeBrowser> first = new FakeBrowser(1, false, true);
    CefRefPtr<FakeBrowser> tools = new FakeBrowser(2, true, true);
};

TEST_F(BrowserList, TheFirstBrowserIsTheMainOneAndLaterOnesAreOnlyListed) {
    EXPECT_EQ(nullptr, client->GetMainBrowser());
    client->OnAfterCreated(first);
    client->OnAfterCreated(tools);
    EXPECT_EQ(first.get(), client->GetMainBrowser().get());
    EXPECT_EQ(1, client->GetMainBrowserId());
    EXPECT_EQ((std::vector<UINT>{WM_APP_BROWSER_CREATED}), Posted());

    // Closing the developer tools leaves the main browser alone.
    client->OnBeforeClose(tools);
    EXPECT_EQ(first.get(), client->GetMainBrowser().get());
}

TEST_F(BrowserList, AfterTheMainBrowserClosesItsIdentifierStays) {
    client->OnAfterCreated(first);
    client->OnAfterCreated(tools);
    client->OnBeforeClose(first);
    EXPECT_EQ(nullptr, client->GetMainBrowser());
    EXPECT_EQ(1, client->GetMainBrowserId());
    // A browser that was never listed changes nothing.
    client->OnBeforeClose(new FakeBrowser(9, false, true));
    client->OnBeforeClose(tools);
    EXPECT_EQ(1, client->GetMainBrowserId());
}

TEST_F(BrowserList, WithoutAMainWindowNothingIsPosted) {
    client->SetMainWindow(nullptr);
    client->OnAfterCreated(first);
    EXPECT_TRUE(Posted().empty());
}

TEST_F(BrowserList, OnlyTheReleaseOfF5IsTakenAndReportsTheRefit) {
    auto key = [&](UINT message, WPARAM key, bool withMessage) {
        MSG msg{nullptr, message, key, 0, 0, {0, 0}};
        CefKeyEvent event;
        event.windows_key_code = static_cast<int>(key);
        return client->OnPreKeyEvent(first, event, withMessage ? &msg : nullptr, nullptr);
    };
    EXPECT_FALSE(key(WM_KEYDOWN, VK_F5, true));
    EXPECT_FALSE(key(WM_KEYUP, VK_F4, true));
    EXPECT_FALSE(key(WM_KEYUP, VK_F5, false));
    EXPECT_TRUE(Posted().empty());
    EXPECT_TRUE(key(WM_KEYUP, VK_F5, true));
    EXPECT_EQ((std::vector<UINT>{WM_APP_BROWSER_CREATED}), Posted());
    EXPECT_FALSE(client->OnKeyEvent(first, CefKeyEvent(), nullptr));
}

TEST_F(BrowserList, PopupsAreAlwaysRefused) {
    CefWindowInfo info;
    CefRefPtr<CefClient> target = client.get();
    CefBrowserSettings settings;
    EXPECT_TRUE(client->OnBeforePopup(first, nullptr, "http://shop/other", "side", info, target, settings));
    EXPECT_FALSE(client->DoClose(first));
}

TEST(Downloads, TheSaveDialogProposesTheSuggestedNameNeverTheUrl) {
    RecordingWindow window;
    CefRefPtr<CBrowserClient> client = new CBrowserClient(&window);
    CefRefPtr<FakeBeforeDownloadCallback> callback = new FakeBeforeDownloadCallback();
    client->OnBeforeDownload(new FakeBrowser(1, false, true),
                             new FakeDownloadItem("http://127.0.0.1:8080/files/get?id=3&x=..\\..\\a", L"报表.pdf", false),
                             L"报表.pdf", callback);
    EXPECT_EQ((std::vector<std::string>{"报表.pdf with dialog"}), callback->calls);
}

struct FinishedCase {
    bool popup;
    bool hasDocument;
    bool complete;
    bool closed;
};

class FinishedDownload : public ::testing::TestWithParam<FinishedCase> {};

TEST_P(FinishedDownload, ClosesOnlyAPopupThatHasNothingToShow) {
    RecordingWindow window;
    CefRefPtr<CBrowserClient> client = new CBrowserClient(&window);
    const FinishedCase& c = GetParam();
    CefRefPtr<FakeBrowser> browser = new FakeBrowser(2, c.popup, c.hasDocument);
    client->OnDownloadUpdated(browser, new FakeDownloadItem("http://shop/f.bin", L"f.bin", c.complete), nullptr);
    EXPECT_EQ(c.closed ? std::vector<std::string>{"Close(force)"} : std::vector<std::string>{}, browser->HostCalls());
}

INSTANTIATE_TEST_SUITE_P(States, FinishedDownload,
                         ::testing::Values(FinishedCase{true, false, true, true}, FinishedCase{true, false, false, false},
                                           FinishedCase{true, true, true, false},
                                           FinishedCase{false, false, true, false}));

class ContextMenu : public ::testing::Test {
protected:
    void Build(int flags, int items) {
        for (int i = 0; i < items; ++i) model->AddItem(100 + i, L"engine");
        client->OnBeforeContextMenu(nullptr, nullptr, new FakeMenuParams(flags), model);
    }

    RecordingWindow window;
    CefRefPtr<CBrowserClient> client = new CBrowserClient(&window);
    CefRefPtr<FakeMenuModel> model = new FakeMenuModel();
};

const std::vector<std::string> kClientMenu = {"113 复制", "114 粘贴", "102 重新加载", "100 返回上一页",
                                              "131 打印此网页"};

TEST_F(ContextMenu, APageOrFrameMenuIsReplacedByTheFiveCommands) {
    Build(CM_TYPEFLAG_PAGE, 3);
    EXPECT_EQ(kClientMenu, model->items);
    model->Clear();
    Build(CM_TYPEFLAG_FRAME, 1);
    EXPECT_EQ(kClientMenu, model->items);
}

TEST_F(ContextMenu, OtherMenusAndAnEmptyMenuStayAsTheEngineBuiltThem) {
    Build(CM_TYPEFLAG_NONE, 2);
    EXPECT_EQ((std::vector<std::string>{"100 engine", "101 engine"}), model->items);
    model->Clear();
    Build(CM_TYPEFLAG_PAGE, 0);
    EXPECT_TRUE(model->items.empty());
    EXPECT_FALSE(client->OnContextMenuCommand(nullptr, nullptr, nullptr, MENU_ID_COPY, 0));
}

}  // namespace
}  // namespace kvclient::clienttest
