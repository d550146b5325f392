#pragma once
// What engine and client tests use to reach the running engine: wait until it
// has nothing left to do, and read what a browser shows. Calls pump the
// calling thread's messages while they wait, so a test thread that owns
// parent windows keeps answering.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>

#include "engine/CefBrowser.h"
#include "engine/impl/ShownPage.h"

namespace kvtest {

using Shown = kvengine::ShownPage;

// True once no browser loads or downloads, every renderer has answered
// everything sent to it, and the UI thread has run what it was given.
bool WaitForIdle(DWORD timeoutMs = 10000);
Shown GetShown(kvengine::CefRefPtr<kvengine::CefBrowser> browser);
// The renderer sub-process's id; 0 for a renderer thread or none.
DWORD RendererProcessId(kvengine::CefRefPtr<kvengine::CefBrowser> browser);
void SetNetworkTimeouts(DWORD connectMs, DWORD idleSeconds);
// From now on a crash of this process (a test program or its renderer) ends
// it with a line on stderr saying where, instead of a debugger dialog that
// would hold the run until its time-out.
void ReportCrashes();

// Runs `work` on the engine's UI thread; true once it has run. The task owns
// `work`, so whatever `work` holds must outlive a time-out: capture by value.
bool PostAndWaitOnUiThread(std::function<void()> work, DWORD timeoutMs);

// Runs `work` on the engine's UI thread and returns its result; nothing when
// the engine does not run or the wait times out. The result lives in state the
// task shares with the caller, so a task that ends after a time-out writes
// into that state, never into the caller's returned stack frame.
template <class R>
std::optional<R> CallOnUiThread(std::function<R()> work, DWORD timeoutMs = 10000) {
    auto result = std::make_shared<std::optional<R>>();
    if (!PostAndWaitOnUiThread([work = std::move(work), result] { *result = work(); }, timeoutMs)) return std::nullopt;
    return *result;
}

// A hidden top-level window on the calling thread to parent browsers, like the client's main window.
class ParentWindow {
public:
    explicit ParentWindow(int width = 640, int height = 480);
    ~ParentWindow();
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;
    HWND Get() const { return m_window; }

private:
    HWND m_window = nullptr;
};

}  // namespace kvtest
