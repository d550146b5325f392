#include "client/ErrorPage.h"

#include <algorithm>
#include <iterator>

#include "client/AppGlobals.h"
#include "client/EngineNames.h"
#include "client/WebStaticPages.h"

namespace kvclient {

namespace {

struct ErrorName {
    int code;
    const char* name;
};

// Sorted by code, descending, for the binary search.
constexpr ErrorName kErrorNames[] = {
    {-2, "ERR_FAILED"},
    {-3, "ERR_ABORTED"},
    {-4, "ERR_INVALID_ARGUMENT"},
    {-5, "ERR_INVALID_HANDLE"},
    {-6, "ERR_FILE_NOT_FOUND"},
    {-7, "ERR_TIMED_OUT"},
    {-8, "ERR_FILE_TOO_BIG"},
    {-9, "ERR_UNEXPECTED"},
    {-10, "ERR_ACCESS_DENIED"},
    {-11, "ERR_NOT_IMPLEMENTED"},
    {-100, "ERR_CONNECTION_CLOSED"},
    {-101, "ERR_CONNECTION_RESET"},
    {-102, "ERR_CONNECTION_REFUSED"},
    {-103, "ERR_CONNECTION_ABORTED"},
    {-104, "ERR_CONNECTION_FAILED"},
    {-105, "ERR_NAME_NOT_RESOLVED"},
    {-106, "ERR_INTERNET_DISCONNECTED"},
    {-107, "ERR_SSL_PROTOCOL_ERROR"},
    {-108, "ERR_ADDRESS_INVALID"},
    {-109, "ERR_ADDRESS_UNREACHABLE"},
    {-110, "ERR_SSL_CLIENT_AUTH_CERT_NEEDED"},
    {-111, "ERR_TUNNEL_CONNECTION_FAILED"},
    {-112, "ERR_NO_SSL_VERSIONS_ENABLED"},
    {-113, "ERR_SSL_VERSION_OR_CIPHER_MISMATCH"},
    {-114, "ERR_SSL_RENEGOTIATION_REQUESTED"},
    {-200, "ERR_CERT_COMMON_NAME_INVALID"},
    {-201, "ERR_CERT_DATE_INVALID"},
    {-202, "ERR_CERT_AUTHORITY_INVALID"},
    {-203, "ERR_CERT_CONTAINS_ERRORS"},
    {-204, "ERR_CERT_NO_REVOCATION_MECHANISM"},
    {-205, "ERR_CERT_UNABLE_TO_CHECK_REVOCATION"},
    {-206, "ERR_CERT_REVOKED"},
    {-207, "ERR_CERT_INVALID"},
    {-208, "ERR_CERT_WEAK_SIGNATURE_ALGORITHM"},
    {-210, "ERR_CERT_NON_UNIQUE_NAME"},
    {-211, "ERR_CERT_WEAK_KEY"},
    {-212, "ERR_CERT_NAME_CONSTRAINT_VIOLATION"},
    {-213, "ERR_CERT_VALIDITY_TOO_LONG"},
    {-300, "ERR_INVALID_URL"},
    {-301, "ERR_DISALLOWED_URL_SCHEME"},
    {-302, "ERR_UNKNOWN_URL_SCHEME"},
    {-310, "ERR_TOO_MANY_REDIRECTS"},
    {-311, "ERR_UNSAFE_REDIRECT"},
    {-312, "ERR_UNSAFE_PORT"},
    {-320, "ERR_INVALID_RESPONSE"},
    {-321, "ERR_INVALID_CHUNKED_ENCODING"},
    {-322, "ERR_METHOD_NOT_SUPPORTED"},
    {-323, "ERR_UNEXPECTED_PROXY_AUTH"},
    {-324, "ERR_EMPTY_RESPONSE"},
    {-325, "ERR_RESPONSE_HEADERS_TOO_BIG"},
    {-400, "ERR_CACHE_MISS"},
    {-501, "ERR_INSECURE_RESPONSE"},
};

constexpr int kAborted = -3;
constexpr char kCodePlaceholder[] = "$errorcode$";
constexpr char kLinesPlaceholder[] = "$linesjosn$";

// The template's script reads the lines from a single-quoted string literal
// and parses them as JSON. JSON's own escapes must survive the literal, and
// nothing in a line may end the literal or the script block early.
std::string ForSingleQuotedScript(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '\\': out += "\\\\"; continue;
        case '\'': out += "\\'"; continue;
        case '<': out += "\\x3C"; continue;
        default: break;
        }
        // U+2028 and U+2029 (UTF-8 E2 80 A8/A9) end a script line like a line feed.
        if (c == '\xE2' && i + 2 < text.size() && text[i + 1] == '\x80' &&
            (text[i + 2] == '\xA8' || text[i + 2] == '\xA9')) {
            out += text[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
            i += 2;
            continue;
        }
        out += c;
    }
    return out;
}

}  // namespace

const char* ErrorCodeName(int code) {
    const auto found = std::lower_bound(std::begin(kErrorNames), std::end(kErrorNames), code,
                                        [](const ErrorName& entry, int value) { return entry.code > value; });
    return found != std::end(kErrorNames) && found->code == code ? found->name : "ERR_NONE";
}

std::string ErrorCodeText(int code) { return std::to_string(code) + " : " + ErrorCodeName(code); }

std::string BuildLinesJson(const std::vector<ServerLine>& lines, int selected) {
    CefRefPtr<CefListValue> list = CefListValue::Create();
    for (size_t i = 0; i < lines.size(); ++i) {
        // Filled before it goes into the list: the list stores a copy.
        CefRefPtr<CefDictionaryValue> line = CefDictionaryValue::Create();
        line->SetString("name", AnsiToWide(lines[i].label));
        line->SetString("url", lines[i].url);
        line->SetBool("check", static_cast<int>(i) == selected);
        list->SetDictionary(i, line);
    }
    CefRefPtr<CefValue> value = CefValue::Create();
    value->SetList(list);
    return CefWriteJSON(value).ToString();
}

std::string BuildErrorPage(const std::string& pageTemplate, int code, const std::vector<ServerLine>& lines,
                           int selected) {
    std::string page = pageTemplate;
    ReplaceAll(page, kCodePlaceholder, ErrorCodeText(code));
    ReplaceAll(page, kLinesPlaceholder, ForSingleQuotedScript(BuildLinesJson(lines, selected)));
    return page;
}

bool ShowErrorPage(CefRefPtr<CefFrame> frame, int errorCode, const CefString& failedUrl) {
    if (!frame || errorCode == kAborted) return false;
    const WebStaticPage* page = FindWebStaticPage(kErrorPageName);
    if (!page || page->bytes.empty()) return false;
    const std::string pageTemplate(page->bytes.begin(), page->bytes.end());
    frame->LoadString(BuildErrorPage(pageTemplate, errorCode, g_serverLines, g_selectedLine), failedUrl);
    return true;
}

}  // namespace kvclient
