#pragma once
// Responses to the engine's requests; called on the UI thread.
#include "engine/CefBrowser.h"

namespace kvengine {

class CefRequest : public CefBase {
public:
    virtual CefString GetURL() = 0;
    virtual void SetURL(const CefString& url) = 0;
    virtual CefString GetMethod() = 0;
};

class CefResponse : public CefBase {
public:
    virtual int GetStatus() = 0;  // the HTTP status; 200 for file:, data: and about: addresses
    virtual CefString GetStatusText() = 0;
    virtual CefString GetMimeType() = 0;
    virtual CefString GetHeader(const CefString& name) = 0;  // first header of that name, any case
};

class CefRequestHandler : public virtual CefBase {
public:
    // Every response, before its content is used. True requests the resource
    // again from the request's (possibly changed) address.
    virtual bool OnResourceResponse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                    CefRefPtr<CefRequest> request, CefRefPtr<CefResponse> response) {
        (void)browser; (void)frame; (void)request; (void)response;
        return false;
    }
};

}  // namespace kvengine
