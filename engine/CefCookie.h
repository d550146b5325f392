#pragma once
// The cookies of every browser, kept in memory and stored in the file
// "Cookies" under the settings' cache path (not stored without one).
#include "engine/CefBase.h"

namespace kvengine {

class CefCompletionCallback : public virtual CefBase {
public:
    virtual void OnComplete() = 0;
};

class CefCookieManager : public CefBase {
public:
    // `callback`, when given, runs on the UI thread once the stored cookies are loaded.
    static CefRefPtr<CefCookieManager> GetGlobalManager(CefRefPtr<CefCompletionCallback> callback);

    // Writes the cookies to disk on a thread of the engine; `callback`, when
    // given, runs on the UI thread afterwards. False when the engine does not run.
    virtual bool FlushStore(CefRefPtr<CefCompletionCallback> callback) = 0;
};

}  // namespace kvengine
