#pragma once
// Starting and stopping the engine. One executable plays every role: the
// browser process, which shows the browsers, and the renderer sub-processes
// it starts from the same file with "--type=renderer".
#include <windows.h>

#include "engine/CefCommandLine.h"
#include "engine/CefRenderProcessHandler.h"

namespace kvengine {

enum cef_log_severity_t {
    LOGSEVERITY_DEFAULT = 0,  // LOGSEVERITY_INFO
    LOGSEVERITY_VERBOSE = 1,
    LOGSEVERITY_INFO = 2,
    LOGSEVERITY_WARNING = 3,
    LOGSEVERITY_ERROR = 4,
    LOGSEVERITY_DISABLE = 99,
};

struct CefMainArgs {
    CefMainArgs() = default;
    explicit CefMainArgs(HINSTANCE hInstance) : instance(hInstance) {}
    HINSTANCE instance = nullptr;
};

struct CefSettings {
    // 0: each browser gets a renderer sub-process; 1: renderers run on threads of this process.
    int single_process = 0;
    // The engine has no sandbox; kept so that callers can say so.
    int no_sandbox = 0;
    // The executable started for sub-processes; empty means this process's own.
    CefString browser_subprocess_path;
    // 1: the engine runs its own UI thread; 0: the thread that initialises it
    // is the UI thread and must run a message loop (CefRunMessageLoop or its own).
    int multi_threaded_message_loop = 0;
    CefString cache_path;      // cookies are stored here; empty keeps them in memory
    CefString user_data_path;  // reserved for the engine's own data; nothing is stored yet
    CefString user_agent;      // empty: the engine's own
    CefString locale;          // the "Accept-Language" value; empty: "en-US"
    CefString log_file;        // empty: "debug.log" beside the executable
    cef_log_severity_t log_severity = LOGSEVERITY_DEFAULT;
};

class CefApp : public virtual CefBase {
public:
    // In every process, before the engine reads its command line; the browser
    // process passes an empty type, a renderer "renderer".
    virtual void OnBeforeCommandLineProcessing(const CefString& processType, CefRefPtr<CefCommandLine> commandLine) {
        (void)processType; (void)commandLine;
    }
    virtual CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() { return nullptr; }
};

// In the browser process returns -1 at once. In a sub-process (a "--type"
// switch on the command line) serves as that process until it ends and
// returns its exit code.
int CefExecuteProcess(const CefMainArgs& args, CefRefPtr<CefApp> application);
// Starts the engine in the browser process; false when it runs already or
// cannot start.
bool CefInitialize(const CefMainArgs& args, const CefSettings& settings, CefRefPtr<CefApp> application);
// Closes every browser that is left, ends the renderers and the engine's
// threads, and stores the cookies. Called on the thread that initialised the engine.
void CefShutdown();
// Makes the process aware of the monitor's DPI; pages are then scaled by it.
void CefEnableHighDPISupport();
// For multi_threaded_message_loop 0: runs the UI thread's loop until CefQuitMessageLoop.
void CefRunMessageLoop();
// Ends CefRunMessageLoop; with the engine's own UI thread there is no loop to end and it does nothing.
void CefQuitMessageLoop();

}  // namespace kvengine
