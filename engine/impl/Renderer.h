#pragma once
// The renderer side of one browser: it receives documents over its channel,
// reads their title and text, runs their scripts with the application's
// render-process handler, and carries process messages both ways. It runs
// until the browser tells it to end or the channel breaks (its browser
// process is gone).
#include <functional>
#include <string>

#include "engine/CefApp.h"

namespace kvengine {

// Serves the channel of that name on the calling thread; the exit code.
// `ownProcess`: this is a renderer sub-process, and this renderer its only one.
int RunRenderer(const std::wstring& channelName, CefRefPtr<CefApp> app, bool ownProcess);

// For CefPostTask(TID_RENDERER) and CefCurrentlyOn(TID_RENDERER): the
// renderer of the calling thread, or the only one of a renderer process.
bool PostToRenderer(std::function<void()> task);
bool OnRendererThread();

}  // namespace kvengine
