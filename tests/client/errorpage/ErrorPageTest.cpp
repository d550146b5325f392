// The error page: the names of the engine's error codes, the lines JSON, the
// template filled from the static pages, and a refused connection showing it.
#include "client/common/BrowserKit.h"

#include "client/AppGlobals.h"
#include "client/ErrorPage.h"
#include "client/LineZoomTables.h"
#include "client/WebStaticPages.h"
#include "support/HttpTestServer.h"
#include "ui/core/PaintManagerUI.h"
#include "win/RefCounted.h"

namespace kvclient::clienttest {
namespace {

struct CodeCase {
    int code;
    const char* name;
};

class ErrorNames : public ::testing::TestWithParam<CodeCase> {};

TEST_P(ErrorNames, NameEveryCodeOfTheTableAndNothingElse) {
    EXPECT_STREQ(GetParam().name, ErrorCodeName(GetParam().code));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ErrorNames,
    ::testing::Values(CodeCase{0, "ERR_NONE"}, CodeCase{-1, "ERR_NONE"}, CodeCase{-2, "ERR_FAILED"},
                      CodeCase{-3, "ERR_ABORTED"}, CodeCase{-11, "ERR_NOT_IMPLEMENTED"}, CodeCase{-12, "ERR_NONE"},
                      CodeCase{-100, "ERR_CONNECTION_CLOSED"}, CodeCase{-102, "ERR_CONNECTION_REFUSED"},
                      CodeCase{-105, "ERR_NAME_NOT_RESOLVED"}, CodeCase{-114, "ERR_SSL_RENEGOTIATION_REQUESTED"},
                      CodeCase{-118, "ERR_NONE"}, CodeCase{-200, "ERR_CERT_COMMON_NAME_INVALID"},
                      CodeCase{-208, "ERR_CERT_WEAK_SIGNATURE_ALGORITHM"}, CodeCase{-209, "ERR_NONE"},
                      CodeCase{-210, "ERR_CERT_NON_UNIQUE_NAME"}, CodeCase{-213, "ERR_CERT_VALIDITY_TOO_LONG"},
                      CodeCase{-300, "ERR_INVALID_URL"}, CodeCase{-312, "ERR_UNSAFE_PORT"},
                      CodeCase{-324, "ERR_EMPTY_RESPONSE"}, CodeCase{-325, "ERR_RESPONSE_HEADERS_TOO_BIG"},
                      CodeCase{-400, "ERR_CACHE_MISS"}, CodeCase{-501, "ERR_INSECURE_RESPONSE"},
                      CodeCase{-502, "ERR_NONE"}, CodeCase{102, "ERR_NONE"}));

TEST(ErrorNameTable, NamesExactly52Codes) {
    int named = 0;
    for (int code = -1000; code <= 1000; ++code) named += std::string(ErrorCodeName(code)) != "ERR_NONE";
    EXPECT_EQ(52, named);
}

TEST(ErrorCodeText, IsTheSignedCodeAColonAndTheName) {
    EXPECT_EQ("-105 : ERR_NAME_NOT_RESOLVED", ErrorCodeText(-105));
    EXPECT_EQ("-209 : ERR_NONE", ErrorCodeText(-209));
}

std::string ExpectedLines(int selected) {
    std::string json = "[";
    const char* names[] = {"v7.0最新版", "v6.0线路一", "v6.0线路二"};
    for (int i = 0; i < 3; ++i) {
        if (i) json += ",";
        json += std::string("{\"check\":") + (i == selected ? "true" : "false") + ",\"name\":\"" + names[i] +
                "\",\"url\":\"" + g_serverLines[static_cast<size_t>(i)].url + "\"}";
    }
    return json + "]";
}

TEST(LinesJson, MarksExactlyTheSelectedLine) {
    EXPECT_EQ(ExpectedLines(0), BuildLinesJson(g_serverLines, 0));
    EXPECT_EQ(ExpectedLines(1), BuildLinesJson(g_serverLines, 1));
}

TEST(ErrorPageText, FillsEveryPlaceholderWhereverItStands) {
    const std::string page = BuildErrorPage("$errorcode$<p>$errorcode$</p><script>var l='$linesjosn$';</script>$linesjosn$",
                                            -102, g_serverLines, 2);
    const std::string code = "-102 : ERR_CONNECTION_REFUSED";
    EXPECT_EQ(code + "<p>" + code + "</p><script>var l='" + ExpectedLines(2) + "';</script>" + ExpectedLines(2), page);
}

TEST(ErrorPageText, LeavesATemplateWithoutPlaceholdersAsItIs) {
    EXPECT_EQ("<p>$errorcode</p>", BuildErrorPage("<p>$errorcode</p>", -7, g_serverLines, 0));
}

// The frame the page would be shown in.
class RecordingFrame : public kvwin::RefCounted<CefFrame> {
public:
    bool IsMain() override { return true; }
    int64_t GetIdentifier() override { return 1; }
    CefRefPtr<CefBrowser> GetBrowser() override { return nullptr; }
    CefString GetURL() override { return "http://failed/"; }
    void LoadURL(const CefString& url) override { loads.push_back("url " + url.ToString()); }
    void LoadString(const CefString& html, const CefString& url) override {
        loads.push_back("string " + url.ToString() + " " + html.ToString());
    }
    void ExecuteJavaScript(const CefString&, const CefString&, int) override {}

    std::vector<std::string> loads;
};

class ErrorPageTemplate : public ::testing::Test {
protected:
    void SetUp() override {
        g_selectedLine = 0;
        dir = kvtest::FreshDirUnix("resources");
        kvtest::RunUnix({"mkdir", "-p", dir + "/webstatic"});
        KvUI::CPaintManagerUI::SetResourceType(1);
        KvUI::CPaintManagerUI::SetResourcePath(kvtest::ToWindowsPath(dir).c_str());
    }
    void TearDown() override { g_selectedLine = 0; }
    void Template(const std::string& text) {
        kvtest::WriteFileText(dir + "/webstatic/error.html", text);
        LoadWebStaticPages();
    }

    std::string dir;
    CefRefPtr<RecordingFrame> frame = new RecordingFrame();
};

TEST_F(ErrorPageTemplate, IsShownUnderTheFailedAddressWithTheCurrentSelection) {
    Template("<p>$errorcode$</p>'$linesjosn$'");
    g_selectedLine = 1;
    EXPECT_TRUE(ShowErrorPage(frame, -105, "http://shop.invalid/a?b=1"));
    EXPECT_EQ((std::vector<std::string>{"string http://shop.invalid/a?b=1 <p>-105 : ERR_NAME_NOT_RESOLVED</p>'" +
                                        ExpectedLines(1) + "'"}),
              frame->loads);
}

TEST_F(ErrorPageTemplate, AnAbortedLoadShowsNothing) {
    Template("<p>$errorcode$</p>");
    EXPECT_FALSE(ShowErrorPage(frame, -3, "http://shop.invalid/"));
    EXPECT_TRUE(frame->loads.empty());
}

TEST_F(ErrorPageTemplate, AMissingOrEmptyTemplateShowsNothing) {
    LoadWebStaticPages();
    EXPECT_FALSE(ShowErrorPage(frame, -102, "http://shop.invalid/"));
    Template("");
    EXPECT_FALSE(ShowErrorPage(frame, -102, "http://shop.invalid/"));
    EXPECT_TRUE(frame->loads.empty());
}

// The page's own script, as the shipped template has it: it parses the
// lines from the string literal and reports them through the bridge.
constexpr char kReportingTemplate[] =
    "<html><head><meta charset=\"utf-8\"><title>$errorcode$</title></head><body><p>加载失败 $errorcode$</p>"
    "<script>var lines = JSON.parse('$linesjosn$'); var text = '';"
    "for (var i = 0; i < lines.length; i++) text += lines[i].name + '|' + lines[i].url + '|' + lines[i].check + ';';"
    "AppExtension.SetWinTitle(text);</script></body></html>";

class ErrorPageShown : public ErrorPageTemplate {
protected:
    void SetUp() override {
        ErrorPageTemplate::SetUp();
        ASSERT_TRUE(engine.ok);
    }

    EngineScope engine;
    ClientBrowser browser;
};

TEST_F(ErrorPageShown, ARefusedConnectionShowsTheCodeTheNameAndTheLines) {
    Template(kReportingTemplate);
    g_selectedLine = 2;
    const std::string www = kvtest::FreshDirUnix("www");
    kvtest::HttpTestServer server(www);
    const std::string url = server.RefusedUrl("/shop/index.html");
    CefRefPtr<CefBrowser> page = browser.Open(url);
    ASSERT_TRUE(page);

    const kvtest::Shown shown = kvtest::GetShown(page);
    EXPECT_EQ(L"-102 : ERR_CONNECTION_REFUSED", shown.title);
    EXPECT_NE(std::wstring::npos, shown.text.find(L"加载失败 -102 : ERR_CONNECTION_REFUSED")) << kvtest::Narrow(shown.text);
    EXPECT_EQ(url, page->GetMainFrame()->GetURL().ToString());
    std::string lines;
    const char* names[] = {"v7.0最新版", "v6.0线路一", "v6.0线路二"};
    for (size_t i = 0; i < g_serverLines.size(); ++i) {
        lines += std::string(names[i]) + "|" + g_serverLines[i].url + "|" + (i == 2 ? "true" : "false") + ";";
    }
    EXPECT_EQ((std::vector<std::string>{"SetWinTitle('" + lines + "')"}), browser.window.Texts());
    // The page loaded: the main window hears of it.
    EXPECT_EQ(1u, browser.messages.Count(WM_APP_LOAD_END));
}

// A line holding what would end the page's string literal or its script
// block still reaches the page's script intact.
TEST_F(ErrorPageShown, LinesThatHoldQuotesBackslashesOrScriptEndsReachThePageIntact) {
    const std::vector<ServerLine> lines = {
        {"O'Brien \\ \"main\" </script><script>AppExtension.WindowFlash()</script>", "http://a/?q='x'&p=\\"},
        {"second", "http://b/"},
    };
    const std::string page = BuildErrorPage(kReportingTemplate, -7, lines, 0);
    const std::string file = kvtest::FreshDirUnix("pages") + "/error.html";
    kvtest::WriteFileText(file, page);
    std::wstring path = kvtest::ToWindowsPath(file);
    for (wchar_t& c : path) c = c == L'\\' ? L'/' : c;
    ASSERT_TRUE(browser.Open("file:///" + kvtest::Narrow(path)));
    EXPECT_EQ((std::vector<std::string>{"SetWinTitle('O'Brien \\ \"main\" </script><script>AppExtension.WindowFlash()"
                                        "</script>|http://a/?q='x'&p=\\|true;second|http://b/|false;')"}),
              browser.window.Texts());
}

}  // namespace
}  // namespace kvclient::clienttest
