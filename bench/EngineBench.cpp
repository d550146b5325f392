// The embedded engine: how long a local page takes to load, and a message's
// round trip from the browser's UI thread to its renderer and back.
#include "bench/EngineBenchKit.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kvbench {
namespace {

// Answers every message from the browser at once, from the renderer.
class BenchApp : public kvwin::RefCounted<CefApp, CefRenderProcessHandler> {
public:
    CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override { return this; }
    bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId,
                                  CefRefPtr<CefProcessMessage> message) override {
        return browser->SendProcessMessage(PID_BROWSER, message);
    }
};

std::string WorkFolder() {
    const char* dir = std::getenv("KV_BENCH_WORK");
    std::string path = dir && *dir ? dir : ".";
    // The benchmark runs under Wine: a Unix folder is drive Z:.
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

std::string WritePage(size_t bytes) {
    std::string html = "<html><head><title>Bench page</title></head><body>";
    int n = 0;
    while (html.size() < bytes) {
        html += "<p>Paragraph " + std::to_string(n++) + " of the page, with some words to wrap.</p>\n";
        if (n % 50 == 0) html += "<script>var counter = (window.counter || 0) + 1;</script>\n";
    }
    html += "</body></html>";
    const std::string path = WorkFolder() + "\\engine-page.html";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return {};
    std::fwrite(html.data(), 1, html.size(), f);
    std::fclose(f);
    std::string url = "file:///" + path;
    for (char& c : url) {
        if (c == '\\') c = '/';
    }
    return url;
}

}  // namespace

void RunEngineBench() {
    std::printf("Embedded engine (renderer on a thread: the benchmark cannot serve as its own sub-process)\n");
    const std::string url = WritePage(100 * 1024);
    CefSettings settings;
    settings.single_process = 1;
    settings.no_sandbox = 1;
    settings.multi_threaded_message_loop = 1;
    settings.log_severity = LOGSEVERITY_DISABLE;
    CefRefPtr<CefApp> app = new BenchApp();
    if (url.empty() || !CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, app)) {
        std::printf("  engine did not start\n\n");
        return;
    }
    CefRefPtr<BenchClient> client = new BenchClient();
    CefWindowInfo info;
    info.SetAsPopup(nullptr, L"bench");
    info.style &= ~static_cast<DWORD>(WS_VISIBLE);
    CefBrowserHost::CreateBrowser(info, client, "about:blank", CefBrowserSettings());
    if (!WaitFor([&] { return client->created.load() && client->loadEnds.load() == 1; })) {
        std::printf("  no browser\n\n");
        CefShutdown();
        return;
    }
    CefRefPtr<CefBrowser> browser = client->browser;

    const double load = MedianSeconds(30, [&] {
        const int before = client->loadEnds;
        browser->GetMainFrame()->LoadURL(url);
        WaitFor([&] { return client->loadEnds > before; });
    });
    std::printf("  100 KiB local page to load end:   %8.2f ms (median of 30; target < 50 ms)\n", load * 1000);

    std::vector<double> trips;
    const int calls = 10000;
    trips.reserve(calls);
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create("trip");
    message->GetArgumentList()->SetInt(0, 1);
    for (int i = 0; i < calls; ++i) {
        const int before = client->messages;
        const double start = Now();
        browser->SendProcessMessage(PID_RENDERER, message);
        if (!WaitFor([&] { return client->messages > before; }, 5)) break;
        trips.push_back(Now() - start);
    }
    std::printf("  message round trip to the renderer: ");
    PrintTrips(std::move(trips));
    browser->GetHost()->CloseBrowser(true);
    WaitFor([&] { return client->closed.load(); });
    browser = nullptr;
    CefShutdown();
    std::printf("\n");
}

}  // namespace kvbench
