#pragma once
// The engine's named threads and work posted to them.
#include <functional>

#include "engine/CefBase.h"

namespace kvengine {

enum CefThreadId {
    TID_UI,        // the browser process's UI thread: every browser-side callback runs here
    TID_RENDERER,  // the renderer thread: script contexts and their callbacks run here
};

class CefTask : public CefBase {
public:
    virtual void Execute() = 0;
};

// True when the calling thread is the given engine thread.
bool CefCurrentlyOn(CefThreadId thread);
// Runs the task on that thread later; false when the thread does not run (any more).
bool CefPostTask(CefThreadId thread, CefRefPtr<CefTask> task);
// A task that calls `closure`.
CefRefPtr<CefTask> CefCreateClosureTask(std::function<void()> closure);

}  // namespace kvengine
