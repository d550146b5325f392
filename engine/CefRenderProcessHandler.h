#pragma once
// The application's side of a renderer; called on the renderer thread.
#include "engine/CefV8.h"

namespace kvengine {

class CefRenderProcessHandler : public virtual CefBase {
public:
    // A document's script context exists; its scripts have not run yet.
    virtual void OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                  CefRefPtr<CefV8Context> context) {
        (void)browser; (void)frame; (void)context;
    }
    // The context's document is being replaced.
    virtual void OnContextReleased(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                   CefRefPtr<CefV8Context> context) {
        (void)browser; (void)frame; (void)context;
    }
    virtual bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess,
                                          CefRefPtr<CefProcessMessage> message) {
        (void)browser; (void)sourceProcess; (void)message;
        return false;
    }
};

}  // namespace kvengine
