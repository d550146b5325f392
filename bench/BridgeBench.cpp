// The page-to-window road: how long a bridge call takes from the browser
// process asking the page to call "AppExtension.SetBorder" until the main
// window's operation runs, through the client's own application object in
// the renderer and its browser client.
#include "bench/EngineBenchKit.h"

#include <atomic>
#include <cstdio>
#include <string>

#include "client/BrowserClient.h"
#include "client/SimpleApp.h"
#include "engine/CefApp.h"

namespace kvbench {
namespace {

using kvclient::CBrowserClient;
using kvclient::IWindowConformityl;
using kvclient::SimpleApp;

CefRefPtr<CefApp>& ClientApp() {
    static CefRefPtr<CefApp> app = new SimpleApp();
    return app;
}

// The main window's operations; only the border is counted.
class CountingWindow : public IWindowConformityl {
public:
    void ResizeWindow(int, int) override {}
    void WindowCenter() override {}
    void SetThemeColor(DWORD) override {}
    void SetBorder(int width) override {
        last = width;
        ++calls;
    }
    void WindowFlash() override {}
    void WindowVisible(int) override {}
    void SendMenuMessage(int) override {}
    void SetWinTitle(const std::wstring&) override {}
    void SetTitleColor(DWORD) override {}

    std::atomic<int> last{-1};
    std::atomic<int> calls{0};
};

void MeasureRoundTrip(bool singleProcess) {
    std::printf("  renderer %-11s ", singleProcess ? "on a thread" : "process");
    CefSettings settings;
    settings.single_process = singleProcess ? 1 : 0;
    settings.no_sandbox = 1;
    settings.multi_threaded_message_loop = 1;
    settings.log_severity = LOGSEVERITY_DISABLE;
    if (!CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, ClientApp())) {
        std::printf("engine did not start\n");
        return;
    }
    CountingWindow window;
    {
        CefRefPtr<CBrowserClient> client = new CBrowserClient(&window);
        CefWindowInfo info;
        info.SetAsPopup(nullptr, L"bridge bench");
        info.style &= ~static_cast<DWORD>(WS_VISIBLE);
        // A page of its own, so the blank page is not replaced by the (unreachable) server line.
        CefBrowserHost::CreateBrowser(info, client, "data:text/html,<title>bridge</title>", CefBrowserSettings());
        CefRefPtr<CefBrowser> browser;
        if (WaitFor([&] { return (browser = client->GetMainBrowser()) != nullptr; }) &&
            WaitFor([&] {
                browser->GetMainFrame()->ExecuteJavaScript("AppExtension.SetBorder(0)", "", 1);
                return WaitFor([&] { return window.calls > 0; }, 0.5);
            })) {
            std::vector<double> trips;
            const int calls = 10000;
            trips.reserve(calls);
            for (int i = 1; i <= calls; ++i) {
                const std::string script = "AppExtension.SetBorder(" + std::to_string(i) + ")";
                const double start = Now();
                browser->GetMainFrame()->ExecuteJavaScript(script, "", 1);
                if (!WaitFor([&] { return window.last == i; }, 5)) break;
                trips.push_back(Now() - start);
            }
            PrintTrips(std::move(trips));
        } else {
            std::printf("no page\n");
        }
        client->CloseAllBrowsers(true);
        WaitFor([&] { return client->GetMainBrowser() == nullptr; });
    }
    CefShutdown();
}

}  // namespace

int RunAsEngineSubProcess() { return CefExecuteProcess(CefMainArgs(GetModuleHandleW(nullptr)), ClientApp()); }

void RunBridgeBench() {
    std::printf("Script bridge round trip: browser asks the page to call AppExtension.SetBorder,\n"
                "the window's SetBorder runs (target < 1 ms median)\n");
    MeasureRoundTrip(false);
    MeasureRoundTrip(true);
    std::printf("\n");
}

}  // namespace kvbench
