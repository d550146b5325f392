#pragma once
// What the page shows about itself; called on the UI thread.
#include "engine/CefBrowser.h"

namespace kvengine {

class CefDisplayHandler : public virtual CefBase {
public:
    virtual void OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) {
        (void)browser; (void)title;
    }
};

}  // namespace kvengine
