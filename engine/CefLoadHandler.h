#pragma once
// Page load progress; called on the UI thread. A navigation reports
// OnLoadingStateChange(true), the resource response (request handler),
// OnLoadStart, the title, OnLoadEnd with the HTTP status (an HTTP error
// status is a completed load) or OnLoadError, then OnLoadingStateChange(false).
#include "engine/CefBrowser.h"

namespace kvengine {

// Network error numbers the engine reports (0 is no error).
enum CefErrorCode {
    ERR_NONE = 0,
    ERR_FAILED = -2,
    ERR_ABORTED = -3,
    ERR_INVALID_ARGUMENT = -4,
    ERR_FILE_NOT_FOUND = -6,
    ERR_TIMED_OUT = -7,
    ERR_FILE_TOO_BIG = -8,
    ERR_ACCESS_DENIED = -10,
    ERR_CONNECTION_CLOSED = -100,
    ERR_CONNECTION_RESET = -101,
    ERR_CONNECTION_REFUSED = -102,
    ERR_CONNECTION_ABORTED = -103,
    ERR_CONNECTION_FAILED = -104,
    ERR_NAME_NOT_RESOLVED = -105,
    ERR_INTERNET_DISCONNECTED = -106,
    ERR_SSL_PROTOCOL_ERROR = -107,
    ERR_ADDRESS_INVALID = -108,
    ERR_ADDRESS_UNREACHABLE = -109,
    ERR_SSL_VERSION_OR_CIPHER_MISMATCH = -113,
    ERR_CONNECTION_TIMED_OUT = -118,
    ERR_CERT_COMMON_NAME_INVALID = -200,
    ERR_CERT_DATE_INVALID = -201,
    ERR_CERT_AUTHORITY_INVALID = -202,
    ERR_CERT_REVOKED = -206,
    ERR_CERT_INVALID = -207,
    ERR_INVALID_URL = -300,
    ERR_UNKNOWN_URL_SCHEME = -302,
    ERR_TOO_MANY_REDIRECTS = -310,
    ERR_INVALID_RESPONSE = -320,
    ERR_INVALID_CHUNKED_ENCODING = -321,
    ERR_EMPTY_RESPONSE = -324,
    ERR_RESPONSE_HEADERS_TOO_BIG = -325,
};

class CefLoadHandler : public virtual CefBase {
public:
    typedef CefErrorCode ErrorCode;

    virtual void OnLoadingStateChange(CefRefPtr<CefBrowser> browser, bool isLoading, bool canGoBack,
                                      bool canGoForward) {
        (void)browser; (void)isLoading; (void)canGoBack; (void)canGoForward;
    }
    virtual void OnLoadStart(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) {
        (void)browser; (void)frame;
    }
    virtual void OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int httpStatusCode) {
        (void)browser; (void)frame; (void)httpStatusCode;
    }
    // `errorText` is the error's name ("net::ERR_NAME_NOT_RESOLVED").
    virtual void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, ErrorCode errorCode,
                             const CefString& errorText, const CefString& failedUrl) {
        (void)browser; (void)frame; (void)errorCode; (void)errorText; (void)failedUrl;
    }
};

}  // namespace kvengine
