// Loading documents: the callbacks in their order, what the page shows, and
// the script context the page's scripts run in.
#include "engine/EngineProgramKit.h"

namespace kvtest {
namespace {

class Loading : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(engine.ok); }
    void TearDown() override {
        if (browser) {
            browser->GetHost()->CloseBrowser(true);
            PumpUntil([&] { return client->closed > 0; }, 10000);
        }
    }
    CefRefPtr<CefBrowser> Open(const std::string& url) {
        browser = MakeBrowser(client, parent.Get(), url);
        EXPECT_TRUE(browser);
        EXPECT_TRUE(WaitForIdle());
        return browser;
    }
    std::string Page(const std::string& name, const std::string& html) {
        const std::string path = WorkDirUnix() + "/" + name;
        WriteFileText(path, html);
        return FileUrl(path);
    }

    EngineScope engine{true};
    ParentWindow parent;
    CefRefPtr<RecordingClient> client = new RecordingClient();
    CefRefPtr<CefBrowser> browser;
};

TEST_F(Loading, FilePageReportsItsEventsInOrderOnTheUiThread) {
    const std::string url = Page("order.html", "<html><head><title>Order</title></head><body>Hi</body></html>");
    Open(url);
    const std::vector<std::string> expected = {
        "AfterCreated " + std::to_string(browser->GetIdentifier()), "Loading 1", "Response 200 text/html",
        "LoadStart " + url, "Title Order", "LoadEnd 200", "Loading 0"};
    EXPECT_EQ(expected, client->Events());
    EXPECT_EQ(0, client->offUiThread.load());
    EXPECT_EQ(url, browser->GetMainFrame()->GetURL().ToString());
}

TEST_F(Loading, PageShowsItsTitleAndTextWithoutTags) {
    Open(Page("text.html", "<title> A &amp; B </title><body><p>one\n   two</p><script>var x = '<p>hidden';</script>"
                           "<div>three&nbsp;four &#x4E2D;</div></body>"));
    const auto shown = GetShown(browser);
    EXPECT_EQ(L"A & B", shown.title);
    EXPECT_EQ(L"one two\nthree\u00A0four \u4E2D", shown.text);
}

TEST_F(Loading, ScriptsRunInOrderAfterTheContextWasCreated) {
    Open(Page("scripts.html", "<script>native.send('first', typeof contextReady, window === this);</script>"
                              "<p>text</p><script type='text/template'>native.send('never');</script>"
                              "<SCRIPT>native.send('second', 7, 2147483648, 1.5, true, null)</SCRIPT>"));
    EXPECT_EQ((std::vector<std::string>{"Message send('first','boolean','')", "Message send('second',7,'','','','')"}),
              client->Events("Message"));
}

}  // namespace
}  // namespace kvtest
