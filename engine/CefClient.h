#pragma once
// The application's side of the browsers it creates: its handlers, and the
// messages the renderers send. Called on the UI thread.
#include "engine/CefContextMenuHandler.h"
#include "engine/CefDisplayHandler.h"
#include "engine/CefDownloadHandler.h"
#include "engine/CefKeyboardHandler.h"
#include "engine/CefLifeSpanHandler.h"
#include "engine/CefLoadHandler.h"
#include "engine/CefRequestHandler.h"

namespace kvengine {

class CefClient : public virtual CefBase {
public:
    virtual CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() { return nullptr; }
    virtual CefRefPtr<CefDisplayHandler> GetDisplayHandler() { return nullptr; }
    virtual CefRefPtr<CefDownloadHandler> GetDownloadHandler() { return nullptr; }
    virtual CefRefPtr<CefKeyboardHandler> GetKeyboardHandler() { return nullptr; }
    virtual CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() { return nullptr; }
    virtual CefRefPtr<CefLoadHandler> GetLoadHandler() { return nullptr; }
    virtual CefRefPtr<CefRequestHandler> GetRequestHandler() { return nullptr; }

    // True when the message was handled.
    virtual bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess,
                                          CefRefPtr<CefProcessMessage> message) {
        (void)browser; (void)sourceProcess; (void)message;
        return false;
    }
};

}  // namespace kvengine
