// Script values and contexts of the renderer, through pages that call the
// test application's `native` object, and script errors in the engine's log.
#include "engine/EngineProgramKit.h"

#include <algorithm>

#include "win/TextConversion.h"

namespace kvtest {
namespace {

class Scripts : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(engine.ok); }
    void TearDown() override {
        for (size_t i = 0; i < client->Count(); ++i) client->Browser(i)->GetHost()->CloseBrowser(true);
        PumpUntil([&] { return static_cast<size_t>(client->closed.load()) == client->Count(); }, 10000);
    }
    // Runs `script` as the page's only script and returns the messages it sent.
    std::vector<std::string> Run(const std::string& script) {
        const std::string path = WorkDirUnix() + "/script.html";
        WriteFileText(path, "<p>page</p>\n<script>\n" + script + "\n</script>");
        url = FileUrl(path);
        browser = MakeBrowser(client, parent.Get(), url);
        EXPECT_TRUE(browser);
        EXPECT_TRUE(WaitForIdle());
        return client->Events("Message");
    }

    EngineScope engine{true};
    ParentWindow parent;
    CefRefPtr<RecordingClient> client = new RecordingClient();
    CefRefPtr<CefBrowser> browser;
    std::string url;
};

TEST_F(Scripts, OnlyThirtyTwoBitIntegersTravelAsIntegers) {
    EXPECT_EQ((std::vector<std::string>{"Message send(2147483647,-2147483648,'','','','','x','','')"}),
              Run("native.send(2147483647, -2147483648, 2147483648, 0xFFFEFAE8, 0.5, -0, 'x', {}, undefined)"));
}

TEST_F(Scripts, StringsKeepCharactersBeyondTheBasicPlane) {
    EXPECT_EQ((std::vector<std::string>{"Message send('" + Narrow(L"\u4E2D\U0001F600") + "',2)"}),
              Run("var s = '\\u4E2D\\uD83D\\uDE00'; native.send(native.echo(s), s.length - 1)"));
}

TEST_F(Scripts, NativeObjectAndFunctionsCannotBeDeleted) {
    EXPECT_EQ((std::vector<std::string>{"Message send('false','false','function','object')"}),
              Run("native.send(String(delete window.native), String(delete native.send), typeof native.send,"
                  " typeof window.native)"));
}

TEST_F(Scripts, HandlerExceptionIsThrownIntoTheScript) {
    EXPECT_EQ((std::vector<std::string>{"Message send('Error: nope')"}),
              Run("try { native.fail('nope'); } catch (e) { native.send(String(e)); }"));
}

TEST_F(Scripts, UncaughtErrorGoesToTheLogWithItsPlaceAndLaterScriptsStillRun) {
    const std::string path = WorkDirUnix() + "/error.html";
    WriteFileText(path, "<p>x</p>\n\n<script>\nvar a = 1;\nmissingFunction();\n</script><script>native.send('after')</script>");
    browser = MakeBrowser(client, parent.Get(), FileUrl(path));
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ((std::vector<std::string>{"Message send('after')"}), client->Events("Message"));
    const std::string log = ReadLog();
    EXPECT_NE(std::string::npos, log.find("ERROR")) << log;
    EXPECT_NE(std::string::npos, log.find("Uncaught ReferenceError")) << log;
    EXPECT_NE(std::string::npos, log.find(FileUrl(path) + " (5)")) << log;
    EXPECT_EQ(L"x", GetShown(browser).text);
}

TEST_F(Scripts, ConsoleBelowTheLogSeverityIsNotWritten) {
    Run("console.log('quiet-line'); console.error('loud-line');");
    const std::string log = ReadLog();
    EXPECT_EQ(std::string::npos, log.find("quiet-line"));
    EXPECT_NE(std::string::npos, log.find("loud-line"));
}

TEST_F(Scripts, ConsoleLinesNameTheirSourceCutAndOnOneLine) {
    Run("");
    const std::string source = "http://example.test/a\nforged line/" + std::string(5000, 's');
    // The log outlives a run: this run's line is the one with this marker.
    const std::string marker = "cut-source-" + std::to_string(GetTickCount64());
    browser->GetMainFrame()->ExecuteJavaScript("console.error('" + marker + "')", source, 1);
    ASSERT_TRUE(WaitForIdle());
    const std::string log = ReadLog();
    // The line break shows as %0A and the address ends well before its 5000 bytes.
    EXPECT_NE(std::string::npos, log.find(marker + "\", source: " + kvwin::LoggedAddress(source) + " (1)\n")) << log;
}

TEST_F(Scripts, RunScriptExecutesInThePagesContext) {
    Run("var fromPage = 41;");
    browser->GetMainFrame()->ExecuteJavaScript("native.send(fromPage + 1, typeof native)", url, 1);
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ((std::vector<std::string>{"Message send(42,'object')"}), client->Events("Message"));
}

TEST_F(Scripts, EachDocumentGetsAFreshGlobalObject) {
    Run("var leftOver = 1;");
    browser->GetMainFrame()->LoadString("<script>native.send(typeof leftOver, typeof native)</script>", "about:x");
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ((std::vector<std::string>{"Message send('undefined','object')"}), client->Events("Message"));
    EXPECT_EQ("about:x", browser->GetMainFrame()->GetURL().ToString());
}

TEST_F(Scripts, MessagesArriveInCallOrderBeforeTheLoadEnds) {
    Run("for (var i = 0; i < 50; ++i) native.send(i);");
    const std::vector<std::string> events = client->Events();
    std::vector<std::string> messages = client->Events("Message");
    ASSERT_EQ(50u, messages.size());
    for (int i = 0; i < 50; ++i) EXPECT_EQ("Message send(" + std::to_string(i) + ")", messages[static_cast<size_t>(i)]);
    const auto end = std::find(events.begin(), events.end(), "LoadEnd 200");
    const auto last = std::find(events.begin(), events.end(), "Message send(49)");
    EXPECT_LT(last - events.begin(), end - events.begin());
}

}  // namespace
}  // namespace kvtest
