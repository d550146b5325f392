#pragma once
// What the engine's benchmarks share: the engine's names, a client that
// counts what its browser reports, waiting for the engine's threads, and the
// figures of a series of round trips.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

#include "bench/Bench.h"
#include "engine/CefApp.h"
#include "engine/CefClient.h"
#include "engine/CefV8.h"
#include "win/RefCounted.h"

namespace kvbench {

using kvengine::CefApp;
using kvengine::CefBrowser;
using kvengine::CefBrowserHost;
using kvengine::CefBrowserSettings;
using kvengine::CefClient;
using kvengine::CefExecuteProcess;
using kvengine::CefFrame;
using kvengine::CefInitialize;
using kvengine::CefLifeSpanHandler;
using kvengine::CefLoadHandler;
using kvengine::CefMainArgs;
using kvengine::CefProcessId;
using kvengine::CefProcessMessage;
using kvengine::CefRefPtr;
using kvengine::CefRenderProcessHandler;
using kvengine::CefSettings;
using kvengine::CefShutdown;
using kvengine::CefString;
using kvengine::CefV8Context;
using kvengine::CefV8Handler;
using kvengine::CefV8Value;
using kvengine::CefV8ValueList;
using kvengine::CefWindowInfo;
using kvengine::LOGSEVERITY_DISABLE;
using kvengine::PID_BROWSER;
using kvengine::PID_RENDERER;
using kvengine::V8_PROPERTY_ATTRIBUTE_NONE;

// Keeps its browser and counts creation, closing, load ends and the messages
// that arrive from the renderer.
class BenchClient : public kvwin::RefCounted<CefClient, CefLifeSpanHandler, CefLoadHandler> {
public:
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
    void OnAfterCreated(CefRefPtr<CefBrowser> b) override {
        browser = b;
        created = true;
    }
    void OnBeforeClose(CefRefPtr<CefBrowser>) override {
        browser = nullptr;
        closed = true;
    }
    void OnLoadEnd(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, int) override { ++loadEnds; }
    bool OnProcessMessageReceived(CefRefPtr<CefBrowser>, CefProcessId, CefRefPtr<CefProcessMessage>) override {
        ++messages;
        return true;
    }

    CefRefPtr<CefBrowser> browser;
    std::atomic<bool> created{false};
    std::atomic<bool> closed{false};
    std::atomic<int> loadEnds{0};
    std::atomic<int> messages{0};
};

// Spins until `done` holds, so a wake-up is seen at once; false after `seconds`.
template <class Done>
bool WaitFor(Done done, double seconds = 20) {
    const double end = Now() + seconds;
    while (!done()) {
        if (Now() > end) return false;
        Sleep(0);
    }
    return true;
}

// Prints the median and the 99th percentile of round trips given in seconds.
inline void PrintTrips(std::vector<double> trips) {
    if (trips.empty()) {
        std::printf("no round trip completed\n");
        return;
    }
    std::sort(trips.begin(), trips.end());
    std::printf("%8.3f ms median, %.3f ms 99th percentile (%zu calls)\n", trips[trips.size() / 2] * 1000,
                trips[trips.size() * 99 / 100] * 1000, trips.size());
}

}  // namespace kvbench
