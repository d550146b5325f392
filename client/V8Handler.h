#pragma once
// The renderer side of the page's "AppExtension" object: one handler serves
// all of its functions in every frame of the render process.
#include "client/EngineNames.h"
#include "win/RefCounted.h"

namespace kvclient {

// Answers "GetVersion" itself; every other call becomes one process message
// to the browser process, named like the function, with one entry per
// argument: an int for a 32-bit signed integer, a double for any other
// number (an opaque colour such as 0xFF2686C6 is one), otherwise the
// argument's string value (empty for anything that is not a string).
class MyCefV8Handler : public kvwin::RefCounted<CefV8Handler> {
public:
    bool Execute(const CefString& name, CefRefPtr<CefV8Value> object, const CefV8ValueList& arguments,
                 CefRefPtr<CefV8Value>& retval, CefString& exception) override;
};

// The render process's handler, made by SimpleApp.
extern CefRefPtr<CefV8Handler> g_v8Handler;

}  // namespace kvclient
