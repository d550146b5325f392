#pragma once
// Creation, pop-up requests and closing of browsers; called on the UI thread.
#include "engine/CefBrowser.h"

namespace kvengine {

class CefLifeSpanHandler : public virtual CefBase {
public:
    // A page asks for a new window. True refuses it; false lets the engine
    // create it with the (changeable) window information, client and settings.
    virtual bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                               const CefString& targetUrl, const CefString& targetFrameName,
                               CefWindowInfo& windowInfo, CefRefPtr<CefClient>& client,
                               CefBrowserSettings& settings) {
        (void)browser; (void)frame; (void)targetUrl; (void)targetFrameName;
        (void)windowInfo; (void)client; (void)settings;
        return false;
    }
    virtual void OnAfterCreated(CefRefPtr<CefBrowser> browser) { (void)browser; }
    // False lets the engine close the browser's window; true means the
    // application will destroy it itself.
    virtual bool DoClose(CefRefPtr<CefBrowser> browser) { (void)browser; return false; }
    // The last call for this browser.
    virtual void OnBeforeClose(CefRefPtr<CefBrowser> browser) { (void)browser; }
};

}  // namespace kvengine
