#pragma once
// Downloads: a navigation whose response is not a page to show (an
// attachment, or content that is not text) is saved instead; called on the UI thread.
#include <cstdint>

#include "engine/CefBrowser.h"

namespace kvengine {

// A snapshot of a download at the time of the call.
class CefDownloadItem : public CefBase {
public:
    virtual uint32_t GetId() = 0;
    virtual bool IsInProgress() = 0;
    virtual bool IsComplete() = 0;
    virtual bool IsCanceled() = 0;
    virtual int64_t GetReceivedBytes() = 0;
    virtual int64_t GetTotalBytes() = 0;  // -1 while unknown
    virtual CefString GetURL() = 0;
    virtual CefString GetSuggestedFileName() = 0;
    virtual CefString GetFullPath() = 0;  // empty until a path is chosen
    virtual CefString GetMimeType() = 0;
};

class CefBeforeDownloadCallback : public CefBase {
public:
    // Saves to `downloadPath` (a relative path or bare name goes to the user's
    // downloads folder); with `showDialog` the user confirms or changes it first.
    // A download whose callback is released without this call is cancelled.
    virtual void Continue(const CefString& downloadPath, bool showDialog) = 0;
};

class CefDownloadItemCallback : public CefBase {
public:
    virtual void Cancel() = 0;
};

class CefDownloadHandler : public virtual CefBase {
public:
    virtual void OnBeforeDownload(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> item,
                                  const CefString& suggestedName, CefRefPtr<CefBeforeDownloadCallback> callback) = 0;
    // Progress, completion, cancellation.
    virtual void OnDownloadUpdated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> item,
                                   CefRefPtr<CefDownloadItemCallback> callback) {
        (void)browser; (void)item; (void)callback;
    }
};

}  // namespace kvengine
