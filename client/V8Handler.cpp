#include "client/V8Handler.h"

#include "client/AppGlobals.h"

namespace kvclient {

CefRefPtr<CefV8Handler> g_v8Handler;

// Nothing reports back to the page: no result but the version, never an exception.
bool MyCefV8Handler::Execute(const CefString& name, CefRefPtr<CefV8Value>, const CefV8ValueList& arguments,
                             CefRefPtr<CefV8Value>& retval, CefString&) {
    if (name == CefString("GetVersion")) {
        retval = CefV8Value::CreateString(kClientVersion);
        return true;
    }

    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(name);
    CefRefPtr<CefListValue> list = message->GetArgumentList();
    list->SetSize(arguments.size());
    for (size_t i = 0; i < arguments.size(); ++i) {
        const CefRefPtr<CefV8Value>& argument = arguments[i];
        if (argument && argument->IsInt()) {
            list->SetInt(i, argument->GetIntValue());
        } else if (argument && argument->IsDouble()) {
            list->SetDouble(i, argument->GetDoubleValue());
        } else {
            list->SetString(i, argument ? argument->GetStringValue() : CefString());
        }
    }

    // Called only from a page's script, so a context is current; a call
    // from anywhere else has no browser to go to and is dropped.
    CefRefPtr<CefV8Context> context = CefV8Context::GetCurrentContext();
    CefRefPtr<CefBrowser> browser = context ? context->GetBrowser() : nullptr;
    if (browser) browser->SendProcessMessage(PID_BROWSER, message);
    return true;
}

}  // namespace kvclient
