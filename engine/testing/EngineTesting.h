#pragma once
// Test-only access to the running engine: wait until it has nothing left to
// do, and read what a browser shows. Calls pump the calling thread's messages
// while they wait, so a test thread that owns parent windows keeps answering.
#include <windows.h>

#include <functional>
#include <string>

#include "engine/CefBrowser.h"
#include "engine/impl/ShownPage.h"

namespace kvengine::testing {

using Shown = kvengine::ShownPage;

// True once no browser loads or downloads, every renderer has answered
// everything sent to it, and the UI thread has run what it was given.
bool WaitForIdle(DWORD timeoutMs = 10000);
Shown GetShown(CefRefPtr<CefBrowser> browser);
// Whether the browser window shows the hand over this point of its client area.
bool ShowsHandAt(CefRefPtr<CefBrowser> browser, POINT point);
// The renderer sub-process's id; 0 for a renderer thread or none.
DWORD RendererProcessId(CefRefPtr<CefBrowser> browser);
// Runs `work` on the engine's UI thread and waits for it.
bool RunOnUiThread(const std::function<void()>& work, DWORD timeoutMs = 10000);
void SetNetworkTimeouts(DWORD connectMs, DWORD idleSeconds);
// From now on a crash of this process (a test program or its renderer) ends
// it with a line on stderr saying where, instead of a debugger dialog that
// would hold the run until its time-out.
void ReportCrashes();

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

}  // namespace kvengine::testing
