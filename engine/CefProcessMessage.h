#pragma once
// A named message with an argument list, sent between a browser and its renderer.
#include "engine/CefValues.h"

namespace kvengine {

enum CefProcessId {
    PID_BROWSER,
    PID_RENDERER,
};

class CefProcessMessage : public CefBase {
public:
    static CefRefPtr<CefProcessMessage> Create(const CefString& name);

    virtual CefRefPtr<CefProcessMessage> Copy() = 0;
    virtual CefString GetName() = 0;
    // The message's own list: what is written into it is sent.
    virtual CefRefPtr<CefListValue> GetArgumentList() = 0;
};

}  // namespace kvengine
