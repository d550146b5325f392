// The engine's pages: a styled page of 1,000 elements parsed, styled, laid out
// and painted, and a click on a button to its bridge call on the browser side.
#include "bench/EngineBenchKit.h"

#include <atomic>
#include <string>

#include "engine/impl/Css.h"
#include "engine/impl/HtmlParser.h"
#include "engine/impl/Layout.h"
#include "engine/impl/PagePainter.h"
#include "engine/impl/TextMetrics.h"
#include "win/GdiOwners.h"

namespace kvbench {
namespace {

std::wstring StyledPage() {
    std::wstring html =
        L"<html><head><title>Styled</title><style>body{font-size:14px} .row{padding:4px;border-bottom:1px solid #ddd}"
        L" .row b{color:#c0392b} .odd{background-color:#f4f6f8} #head{position:fixed;top:0;left:0;width:100%;"
        L"height:30px;background:rgba(0,0,0,0.5);z-index:10} ul li{margin-left:10px}</style></head><body>"
        L"<div id=head>Head</div><ul>";
    // 1,000 elements: 250 rows of a list item, a bold word, a span and a link.
    for (int i = 0; i < 250; ++i) {
        html += L"<li class='row" + std::wstring(i % 2 ? L" odd" : L"") + L"'><b>Pet " + std::to_wstring(i) +
                L"</b> <span>sold at the shop with a few more words to wrap</span> <a href='#'>open</a></li>";
    }
    return html + L"</ul></body></html>";
}

// Calls of AppExtension.Click become process messages, as the client's bridge makes them.
class Bridge : public kvwin::RefCounted<CefV8Handler> {
public:
    bool Execute(const CefString& name, CefRefPtr<CefV8Value>, const CefV8ValueList&, CefRefPtr<CefV8Value>&,
                 CefString&) override {
        CefV8Context::GetCurrentContext()->GetBrowser()->SendProcessMessage(PID_BROWSER,
                                                                            CefProcessMessage::Create(name));
        return true;
    }
};

class ClickApp : public kvwin::RefCounted<CefApp, CefRenderProcessHandler> {
public:
    CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override { return this; }
    void OnContextCreated(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefV8Context> context) override {
        CefRefPtr<CefV8Value> bridge = CefV8Value::CreateObject();
        context->GetGlobal()->SetValue("AppExtension", bridge, V8_PROPERTY_ATTRIBUTE_NONE);
        bridge->SetValue("Click", CefV8Value::CreateFunction("Click", new Bridge()), V8_PROPERTY_ATTRIBUTE_NONE);
    }
};

void BenchFirstPaint() {
    const std::wstring html = StyledPage();
    kvwin::MemoryDib target(nullptr, 800, 600);
    kvengine::TextMeasurer measurer;  // fonts and widths stay cached between pages, as in a renderer
    const double seconds = MedianSeconds(30, [&] {
        const auto document = kvengine::ParseDocument(html);
        kvengine::StyleEngine styles;
        styles.Compute(*document);
        kvengine::PageLayout layout;
        layout.Run(*document, {800, 600, 1}, measurer);
        kvengine::DisplayList display = layout.Display();
        kvengine::PagePainter painter;
        const RECT all{0, 0, 800, 600};
        painter.Paint(target.dc(), all, display, 0);
        GdiFlush();
    });
    std::printf("  1,000 styled elements, parse to first paint: %6.2f ms (median of 30; target < 30 ms)\n",
                seconds * 1000);
}

void BenchClicks() {
    CefSettings settings;
    settings.single_process = 1;
    settings.no_sandbox = 1;
    settings.multi_threaded_message_loop = 1;
    settings.log_severity = LOGSEVERITY_DISABLE;
    if (!CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, new ClickApp())) {
        std::printf("  engine did not start\n");
        return;
    }
    CefRefPtr<BenchClient> client = new BenchClient();
    CefWindowInfo info;
    info.SetAsPopup(nullptr, L"clicks");
    info.style &= ~static_cast<DWORD>(WS_VISIBLE);
    info.width = 800;
    info.height = 600;
    CefBrowserHost::CreateBrowser(info, client, "about:blank", CefBrowserSettings());
    if (WaitFor([&] { return client->browser && client->loadEnds == 1; })) {
        std::wstring page = StyledPage();
        page.replace(page.find(L"<div id=head>"), 13,
                     L"<div id=button style='position:fixed;left:0;top:0;width:100px;height:100px;z-index:20'"
                     L" onclick='AppExtension.Click()'></div><div id=head>");
        client->browser->GetMainFrame()->LoadString(page, "http://bench/");
        WaitFor([&] { return client->loadEnds == 2; });
        HWND window = client->browser->GetHost()->GetWindowHandle();
        std::vector<double> trips;
        for (int i = 0; i < 500; ++i) {
            const int before = client->messages;
            const double start = Now();
            PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
            PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(50, 50));
            if (!WaitFor([&] { return client->messages > before; }, 5)) break;
            trips.push_back(Now() - start);
        }
        std::printf("  click to the AppExtension call (target < 5 ms): ");
        PrintTrips(std::move(trips));
        client->browser->GetHost()->CloseBrowser(true);
        WaitFor([&] { return client->closed.load(); });
    }
    client->browser = nullptr;
    CefShutdown();
}

}  // namespace

void RunPageBench() {
    std::printf("Engine pages\n");
    BenchFirstPaint();
    BenchClicks();
    std::printf("\n");
}

}  // namespace kvbench
