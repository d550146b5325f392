#pragma once
// Test-only access to the running engine: wait until it has nothing left to
// do, and read what a browser shows. Calls pump the calling thread's messages
// while they wait, so a test thread that owns parent windows keeps answering.
#include <windows.h>

#include <functional>
#include <string>

#include "engine/CefBrowser.h"

namespace kvengine::testing {

struct Shown {
    std::wstring title;
    std::wstring text;
    int scroll = 0;
    double zoomLevel = 0;
    bool loading = false;
};

// True once no browser loads or downloads, every renderer has answered
// everything sent to it, and the UI thread has run what it was given.
bool WaitForIdle(DWORD timeoutMs = 10000);
Shown GetShown(CefRefPtr<CefBrowser> browser);
// The renderer sub-process's id; 0 for a renderer thread or none.
DWORD RendererProcessId(CefRefPtr<CefBrowser> browser);
// Runs `work` on the engine's UI thread and waits for it.
bool RunOnUiThread(const std::function<void()>& work, DWORD timeoutMs = 10000);
void SetNetworkTimeouts(DWORD connectMs, DWORD idleSeconds);

}  // namespace kvengine::testing
