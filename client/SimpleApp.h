#pragma once
// The application object of every process of the client: it fixes the
// engine's command-line switches, and in a render process it gives every
// page's window the script object "AppExtension".
#include "client/EngineNames.h"
#include "win/RefCounted.h"

namespace kvclient {

class SimpleApp : public kvwin::RefCounted<CefApp, CefRenderProcessHandler> {
public:
    // Makes the process's script handler (g_v8Handler).
    SimpleApp();

    void OnBeforeCommandLineProcessing(const CefString& processType, CefRefPtr<CefCommandLine> commandLine) override;
    CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override;

    void OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                          CefRefPtr<CefV8Context> context) override;
};

}  // namespace kvclient
