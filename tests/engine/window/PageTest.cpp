// Pages with their document model: scripts reaching the document, clicks
// reaching handlers and the application's bridge, links, the hand cursor, the
// client's error page and page mask, and hostile pages that must not stall
// the browser window.
#include <chrono>

#include "engine/window/WindowKit.h"

namespace kvtest {
namespace {

using Page = WindowTest;

struct ScriptCase {
    const char* markup;
    const char* script;  // an expression whose string value the page sends
    const char* expected;
};

class PageScripts : public WindowTest, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(PageScripts, SeeTheDocumentAsBrowsersShowIt) {
    Open(std::string(GetParam().markup) + "<script>native.send(String(" + GetParam().script + "))</script>");
    EXPECT_EQ((std::vector<std::string>{"Message send('" + std::string(GetParam().expected) + "')"}),
              client->Events("Message"));
}

INSTANTIATE_TEST_SUITE_P(
    Api, PageScripts,
    ::testing::Values(
        ScriptCase{"<p id=a>x <b>y</b></p>", "document.getElementById('a').textContent", "x y"},
        ScriptCase{"<ul><li>1<li>2<li>3</ul><br><img>", "document.getElementsByTagName('li').length + document.body.children.length", "7"},
        ScriptCase{"<div class='c d'><span>1</span><p><span>2</span></p></div>",
                   "document.querySelectorAll('div.c > span').length + ',' + document.querySelectorAll('.c span').length", "1,2"},
        ScriptCase{"<div id=a></div>",
                   "(function(){var a=document.getElementById('a'); a.innerHTML='<i>1</i><i>2</i>';"
                   "var b=document.createElement('b'); a.insertBefore(b, a.firstChild); a.removeChild(a.lastChild);"
                   "return a.innerHTML + ' ' + b.parentNode.id + ' ' + b.tagName})()",
                   "<b></b><i>1</i> a B"},
        ScriptCase{"<div id=a style='color: red'></div>",
                   "(function(){var a=document.getElementById('a'); a.style.backgroundColor='#fff'; a.style.color='';"
                   "a.setAttribute('class','k'); return a.getAttribute('style') + '|' + a.className})()",
                   "background-color: #fff;|k"},
        ScriptCase{"<title>T &amp; t</title><p id=cpp_x></p>", "document.title + (cpp_x === document.getElementById('cpp_x'))",
                   "T & ttrue"},
        ScriptCase{"", "(function(){try{document.body.appendChild(document.documentElement)}catch(e){return 'refused'}})()",
                   "refused"}));

TEST_F(Page, ScriptsRunInOrderAndAnErrorStopsOnlyItsOwnScript) {
    Open("<script>setTimeout(function(){native.send('timer')},0); native.send('first')</script>\n"
         "<script>\nmissing()</script><script>native.send('second')</script>");
    ASSERT_TRUE(PumpUntil([&] { return client->Events("Message").size() == 3; }, 5000));
    EXPECT_EQ((std::vector<std::string>{"Message send('first')", "Message send('second')", "Message send('timer')"}),
              client->Events("Message"));
    EXPECT_NE(std::string::npos, ReadLog().find("missing")) << ReadLog();
}

// Three boxes side by side, 100 pixels wide from x = 0, each with another kind of handler.
const char kButtons[] =
    "<style>div.b{position:absolute;top:0;width:100px;height:40px;cursor:pointer}</style>"
    "<div class=b style='left:0' onclick='AppExtension.Click(1)'>one</div>"
    "<div class=b style='left:100px' id=two>two</div>"
    "<div class=b style='left:200px' id=three><span>three</span></div>"
    "<a href='second.html' style='position:absolute;left:300px;top:0;width:100px;height:40px'>link</a>"
    "<p style='margin-top:100px'>text</p>"
    "<script>document.getElementById('two').onclick = function () { AppExtension.Click(2); };"
    "document.getElementById('three').addEventListener('click', function (e) { AppExtension.Click(3); e.stopPropagation(); });"
    "document.body.addEventListener('click', function (e) { AppExtension.Click(10 + e.target.id.length); });</script>";

TEST_F(Page, ClicksReachOnclickAttributesPropertiesAndListenersAndBubble) {
    CefRefPtr<CefBrowser> browser = Open(kButtons);
    for (int x : {50, 150, 250}) ClickAt(WindowOf(browser), x, 20);
    ASSERT_TRUE(PumpUntil([&] { return client->Events("Message").size() == 5; }, 5000));
    // The first two bubble to the body; the third stops its event.
    EXPECT_EQ((std::vector<std::string>{"Message Click(1)", "Message Click(10)", "Message Click(2)", "Message Click(13)",
                                        "Message Click(3)"}),
              client->Events("Message"));
}

TEST_F(Page, LinksNavigateAndClickablesShowTheHand) {
    CefRefPtr<CefBrowser> browser = Open(kButtons);
    EXPECT_TRUE(ShowsHandAt(browser, {150, 20}));
    EXPECT_TRUE(ShowsHandAt(browser, {350, 20}));
    EXPECT_FALSE(ShowsHandAt(browser, {20, 110}));
    WriteFileText(WorkDirUnix() + "/second.html", "<p>second</p>");
    client->Clear();
    ClickAt(WindowOf(browser), 350, 20);
    ASSERT_TRUE(PumpUntil([&] { return !client->Events("LoadEnd").empty(); }, 5000));
    const std::vector<std::string> starts = client->Events("LoadStart");
    ASSERT_EQ(1u, starts.size());
    EXPECT_NE(std::string::npos, starts[0].find("/second.html"));
}

// An error page made like the client's: its template's script lists the lines.
const char kErrorTemplate[] = R"(<html><head><title>error</title>
<style>.line { padding: 6px; cursor: pointer } .checked { background-color: #3c8dbc; color: #ffffff }</style></head>
<body><h3 id="code">$errorcode$</h3><div id="lines"></div>
<script>
var lines = JSON.parse('$linesjosn$');
var box = document.getElementById('lines');
for (var i = 0; i < lines.length; i++) {
    var row = document.createElement('div');
    row.className = lines[i].check ? 'line checked' : 'line';
    row.textContent = lines[i].name;
    (function (index) { row.onclick = function () { AppExtension.ChangeLine(index); }; })(i);
    box.appendChild(row);
}
</script></body></html>)";

std::string Filled(std::string page, const std::string& placeholder, const std::string& value) {
    for (size_t at = 0; (at = page.find(placeholder, at)) != std::string::npos; at += value.size()) {
        page.replace(at, placeholder.size(), value);
    }
    return page;
}

TEST_F(Page, ErrorPageListsTheLinesMarksTheSelectedOneAndSwitchesOnAClick) {
    CefRefPtr<CefBrowser> browser = Open("<p>before</p>");
    std::string page = Filled(kErrorTemplate, "$errorcode$", "-105 : ERR_NAME_NOT_RESOLVED");
    page = Filled(page, "$linesjosn$",
                  "[{\"check\":false,\"name\":\"line one\",\"url\":\"http://a/\"},"
                  "{\"check\":true,\"name\":\"line two\",\"url\":\"http://b/\"},"
                  "{\"check\":false,\"name\":\"line three\",\"url\":\"http://c/\"}]");
    browser->GetMainFrame()->LoadString(page, "http://failed.invalid/");
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(L"-105 : ERR_NAME_NOT_RESOLVED\nline one\nline two\nline three",
              GetShown(browser).text);
    // The selected line is the one painted in the marking colour; the line below it is the third.
    const Pixels pixels = Capture(WindowOf(browser));
    const int top = pixels.FindRow(300, 0x3C8DBC);
    ASSERT_GT(top, 0);
    int bottom = top;
    while (pixels.At(300, bottom) == 0x3C8DBC) ++bottom;
    EXPECT_EQ(0xFFFFFFu, pixels.At(300, top - 2));
    ClickAt(WindowOf(browser), 300, bottom + (bottom - top) / 2);
    ClickAt(WindowOf(browser), 300, top - (bottom - top) / 2);
    ASSERT_TRUE(PumpUntil([&] { return client->Events("Message").size() == 2; }, 5000));
    EXPECT_EQ((std::vector<std::string>{"Message ChangeLine(2)", "Message ChangeLine(0)"}), client->Events("Message"));
}

// The client's page mask script, piece by piece.
std::string MaskScript(bool show) {
    return std::string("function BG_Show(show) {") + "\tvar bgdiv = document.getElementById('cpp_bg');" +
           "\tif (bgdiv == undefined || cpp_bg == null) {" + "\t\tvar bg_div = document.createElement('div');" +
           "\t\tbg_div.id = 'cpp_bg';" +
           "\t\tbg_div.style = 'top: 0;left: 0;background-color: #000000;width: 100%;position: fixed;height: 100%;"
           "opacity: 0.45;z-index: 10000;';" +
           "\t\tdocument.body.appendChild(bg_div);" + "\t\tbgdiv = document.getElementById('cpp_bg');" + "\t}" +
           "\tbgdiv.style.display = show == true ? '' : 'none';" + "}" + (show ? "BG_Show(true);" : "BG_Show(false);");
}

TEST_F(Page, MaskDarkensTheWholeWindowAndHoldsClicksUntilHidden) {
    CefRefPtr<CefBrowser> browser = Open(kButtons);
    HWND window = WindowOf(browser);
    EXPECT_EQ(0xFFFFFFu, Capture(window).At(500, 300));
    for (bool show : {true, false, true}) {
        browser->GetMainFrame()->ExecuteJavaScript(MaskScript(show), browser->GetMainFrame()->GetURL(), 0);
        ASSERT_TRUE(WaitForIdle());
        const Pixels pixels = Capture(window);
        // 0.45 of black over white leaves 0x8C in each channel.
        EXPECT_EQ(show ? 0x8C8C8Cu : 0xFFFFFFu, pixels.At(500, 300)) << show;
        EXPECT_EQ(show ? 0x8C8C8Cu : 0xFFFFFFu, pixels.At(599, 399)) << show;
    }
    ClickAt(window, 150, 20);  // under the mask: the mask takes the click, and it bubbles to the body
    browser->GetMainFrame()->ExecuteJavaScript(MaskScript(false), "", 0);
    ClickAt(window, 150, 20);
    ASSERT_TRUE(PumpUntil([&] { return client->Events("Message").size() == 3; }, 5000));
    EXPECT_EQ((std::vector<std::string>{"Message Click(16)", "Message Click(2)", "Message Click(13)"}),
              client->Events("Message"));
}

// While a huge page loads and after, the window answers within this time.
constexpr DWORD kResponsiveMs = 500;

DWORD AnswerTime(HWND window) {
    const DWORD start = GetTickCount();
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &result)) return 10000;
    return GetTickCount() - start;
}

TEST_F(Page, HugePagesLeaveTheWindowResponsive) {
    const std::string words(1 << 20, 'w');
    std::string text;
    text.reserve(1 << 20);
    for (size_t i = 0; i < (1u << 20) / 8; ++i) text += "lorem " + std::to_string(i % 10) + " ";
    std::string nested;
    for (int i = 0; i < 1000000; ++i) nested += "<div>";
    nested += "deep";
    for (const std::string& page : {"<title>" + words + "</title><p>" + text + "</p>", nested}) {
        CefRefPtr<CefBrowser> browser = MakeBrowser(client, parent.Get(), "about:blank");
        ASSERT_TRUE(WaitForIdle());
        client->Clear();
        WriteFileText(WorkDirUnix() + "/huge.html", page);
        browser->GetMainFrame()->LoadURL(FileUrl(WorkDirUnix() + "/huge.html"));
        HWND window = WindowOf(browser);
        while (client->Events("LoadEnd").empty()) {
            ASSERT_LT(AnswerTime(window), kResponsiveMs);
            PumpUntil([] { return false; }, 20);
        }
        ASSERT_TRUE(WaitForIdle(60000));
        for (int i = 0; i < 3; ++i) {
            SendMessageW(window, WM_KEYDOWN, VK_END, 0);
            const DWORD start = GetTickCount();
            Capture(window);
            EXPECT_LT(GetTickCount() - start, kResponsiveMs);
            SendMessageW(window, WM_KEYDOWN, VK_HOME, 0);
        }
        EXPECT_FALSE(GetShown(browser).text.empty());
        browser->GetHost()->CloseBrowser(true);
    }
}

}  // namespace
}  // namespace kvtest
