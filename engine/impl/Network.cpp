#include <winsock2.h>

#include "engine/impl/Network.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <wincrypt.h>

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "engine/CefLoadHandler.h"
#include "engine/impl/EngineLog.h"
#include "engine/impl/Utf.h"
#include "win/TextConversion.h"
#include "win/UniqueHandle.h"

namespace kvengine {
namespace {

// Larger documents are refused; downloads have no limit.
constexpr size_t kMaxDocument = 64u * 1024 * 1024;
constexpr int kMaxRedirects = 20;
// A response's status line and header lines together; a server that keeps
// sending header lines would otherwise grow memory until the idle time-out.
constexpr size_t kMaxResponseHeaderBytes = 256 * 1024;

std::atomic<DWORD> g_connectTimeoutMs{20000};
std::atomic<DWORD> g_idleTimeoutSeconds{60};

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

// "text/html; charset=GBK" -> ("text/html", "gbk")
void SplitContentType(const std::string& value, std::string& mime, std::string& charset) {
    const std::string lower = AsciiLower(value);
    mime = Trim(lower.substr(0, lower.find(';')));
    charset.clear();
    const size_t at = lower.find("charset=");
    if (at == std::string::npos) return;
    std::string rest = lower.substr(at + 8);
    rest = rest.substr(0, rest.find(';'));
    rest = Trim(rest);
    if (rest.size() >= 2 && (rest.front() == '"' || rest.front() == '\'')) rest = rest.substr(1, rest.size() - 2);
    charset = rest;
}

struct HttpState {
    LoadJob* job = nullptr;
    Network* network = nullptr;
    ResponseInfo response;
    BodyUse use = BodyUse::Pending;
    std::string body;
    kvwin::UniqueKernelHandle file;
    int64_t received = 0;
    DWORD lastProgress = 0;
    bool tooBig = false;
    size_t headerBytes = 0;  // of the current response
    bool headersTooBig = false;
    std::function<void(const ResponseInfo&)>* onResponse = nullptr;
    std::function<void(int64_t)>* onProgress = nullptr;
};

int ErrorFromOs(long osError, int fallback) {
    switch (osError) {
    case WSAECONNREFUSED: return ERR_CONNECTION_REFUSED;
    case WSAECONNRESET: return ERR_CONNECTION_RESET;
    case WSAECONNABORTED: return ERR_CONNECTION_ABORTED;
    case WSAENETUNREACH:
    case WSAEHOSTUNREACH: return ERR_ADDRESS_UNREACHABLE;
    case WSAETIMEDOUT: return ERR_CONNECTION_TIMED_OUT;
    case WSAEADDRNOTAVAIL: return ERR_ADDRESS_INVALID;
    case WSAENETDOWN: return ERR_INTERNET_DISCONNECTED;
    default: return fallback;
    }
}

int ErrorFromCurl(CURLcode code, CURL* curl, const char* message) {
    long osError = 0;
    curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &osError);
    switch (code) {
    case CURLE_OK: return ERR_NONE;
    case CURLE_UNSUPPORTED_PROTOCOL: return ERR_UNKNOWN_URL_SCHEME;
    case CURLE_URL_MALFORMAT: return ERR_INVALID_URL;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST: return ERR_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT: return ErrorFromOs(osError, ERR_CONNECTION_FAILED);
    case CURLE_OPERATION_TIMEDOUT: {
        double connectTime = 0;
        curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME, &connectTime);
        return connectTime > 0 ? ERR_TIMED_OUT : ERR_CONNECTION_TIMED_OUT;
    }
    case CURLE_GOT_NOTHING: return ERR_EMPTY_RESPONSE;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
        if (std::strstr(message, "chunk")) return ERR_INVALID_CHUNKED_ENCODING;
        return ErrorFromOs(osError, ERR_CONNECTION_CLOSED);
    case CURLE_PARTIAL_FILE: return ERR_CONNECTION_CLOSED;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING: return ERR_INVALID_RESPONSE;
    case CURLE_TOO_MANY_REDIRECTS: return ERR_TOO_MANY_REDIRECTS;
    case CURLE_ABORTED_BY_CALLBACK: return ERR_ABORTED;
    case CURLE_SSL_CONNECT_ERROR: return ERR_SSL_PROTOCOL_ERROR;
    case CURLE_SSL_CIPHER: return ERR_SSL_VERSION_OR_CIPHER_MISMATCH;
    case CURLE_PEER_FAILED_VERIFICATION:
        if (std::strstr(message, "name") || std::strstr(message, "CN")) return ERR_CERT_COMMON_NAME_INVALID;
        if (std::strstr(message, "expired")) return ERR_CERT_DATE_INVALID;
        if (std::strstr(message, "revoked")) return ERR_CERT_REVOKED;
        return ERR_CERT_AUTHORITY_INVALID;
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM: return ERR_CERT_INVALID;
    case CURLE_FILESIZE_EXCEEDED: return ERR_FILE_TOO_BIG;
    default: return ERR_FAILED;
    }
}

std::string MimeForPath(const std::wstring& path) {
    const std::wstring ext = AsciiLower(std::wstring(PathFindExtensionW(path.c_str())));
    static const std::pair<const wchar_t*, const char*> table[] = {
        {L".html", "text/html"}, {L".htm", "text/html"}, {L".xhtml", "application/xhtml+xml"},
        {L".txt", "text/plain"}, {L".css", "text/css"}, {L".js", "application/javascript"},
        {L".json", "application/json"}, {L".xml", "text/xml"}, {L".png", "image/png"},
        {L".jpg", "image/jpeg"}, {L".jpeg", "image/jpeg"}, {L".gif", "image/gif"},
        {L".mp3", "audio/mpeg"}, {L".zip", "application/zip"}, {L".exe", "application/octet-stream"},
    };
    for (const auto& [e, mime] : table) {
        if (ext == e) return mime;
    }
    return "application/octet-stream";
}

int FileError(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH: return ERR_FILE_NOT_FOUND;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return ERR_ACCESS_DENIED;
    default: return ERR_FAILED;
    }
}

bool WriteAll(HANDLE file, const char* data, size_t size) {
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr) || written != chunk) return false;
        data += chunk;
        size -= chunk;
    }
    return true;
}

}  // namespace

std::string ResponseInfo::Header(const std::string& name) const {
    const std::string key = AsciiLower(name);
    for (const auto& [n, v] : headers) {
        if (AsciiLower(n) == key) return v;
    }
    return {};
}

bool ResponseInfo::IsAttachment() const {
    return AsciiLower(Trim(Header("Content-Disposition"))).compare(0, 10, "attachment") == 0;
}

std::wstring ResponseInfo::AttachmentFileName() const {
    const std::string value = Header("Content-Disposition");
    const std::string lower = AsciiLower(value);
    size_t at = lower.find("filename*=");
    if (at != std::string::npos) {
        // RFC 5987: charset'language'percent-encoded
        std::string v = Trim(value.substr(at + 10));
        v = v.substr(0, v.find(';'));
        const size_t quote = v.find('\'', v.find('\'') + 1);
        if (quote != std::string::npos && AsciiLower(v.substr(0, 5)) == "utf-8") {
            return kvwin::Utf8ToWide(PercentDecode(v.substr(quote + 1)));
        }
    }
    at = lower.find("filename=");
    if (at == std::string::npos) return {};
    std::string v = Trim(value.substr(at + 9));
    if (!v.empty() && v.front() == '"') {
        const size_t end = v.find('"', 1);
        v = v.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    } else {
        v = Trim(v.substr(0, v.find(';')));
    }
    return kvwin::Utf8ToWide(v);
}

void LoadJob::Use(BodyUse use, std::wstring downloadFile) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_use = use;
        m_downloadFile = std::move(downloadFile);
    }
    m_decided.notify_all();
}

void LoadJob::Cancel() {
    m_canceled = true;
    m_decided.notify_all();
}

BodyUse LoadJob::WaitForUse() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_decided.wait(lock, [this] { return m_use != BodyUse::Pending || m_canceled.load(); });
    return m_canceled ? BodyUse::Drop : m_use;
}

Network::Network(const std::wstring& cachePath, const std::wstring& userAgent, const std::wstring& locale) {
    curl_global_init(CURL_GLOBAL_ALL);
    m_share = curl_share_init();
    curl_share_setopt(m_share, CURLSHOPT_LOCKFUNC,
                      +[](CURL*, curl_lock_data data, curl_lock_access, void* self) {
                          static_cast<Network*>(self)->m_shareLocks[data & 7].lock();
                      });
    curl_share_setopt(m_share, CURLSHOPT_UNLOCKFUNC, +[](CURL*, curl_lock_data data, void* self) {
        static_cast<Network*>(self)->m_shareLocks[data & 7].unlock();
    });
    curl_share_setopt(m_share, CURLSHOPT_USERDATA, this);
    curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);

    m_userAgent = userAgent.empty() ? "Mozilla/5.0 (Windows NT 6.1) KvEngine/4.1 (text)" : kvwin::WideToUtf8(userAgent);
    m_acceptLanguage = "Accept-Language: " + (locale.empty() ? std::string("en-US") : kvwin::WideToUtf8(locale));
    if (!cachePath.empty()) {
        std::wstring dir = cachePath;
        if (dir.back() != L'\\' && dir.back() != L'/') dir += L'\\';
        SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
        m_cookieFile = dir + L"Cookies";
        LoadCookies();
    }
}

Network::~Network() {
    {
        std::unique_lock<std::mutex> lock(m_jobsMutex);
        for (auto& weak : m_jobs) {
            if (auto job = weak.lock()) job->Cancel();
        }
        m_jobsDone.wait(lock, [this] { return m_running == 0; });
    }
    curl_share_cleanup(m_share);
    curl_global_cleanup();
}

void Network::SetTimeouts(DWORD connectMs, DWORD idleSeconds) {
    g_connectTimeoutMs = connectMs;
    g_idleTimeoutSeconds = idleSeconds;
}

bool Network::Idle() {
    std::lock_guard<std::mutex> lock(m_jobsMutex);
    return m_running == 0;
}

std::shared_ptr<LoadJob> Network::Start(const std::string& url, LoadJob::Callbacks callbacks) {
    std::shared_ptr<LoadJob> job(new LoadJob(url, std::move(callbacks)));
    {
        std::lock_guard<std::mutex> lock(m_jobsMutex);
        ++m_running;
        m_jobs.erase(std::remove_if(m_jobs.begin(), m_jobs.end(), [](const auto& w) { return w.expired(); }),
                     m_jobs.end());
        m_jobs.push_back(job);
    }
    std::thread([this, job] { Run(job); }).detach();
    return job;
}

void Network::Run(std::shared_ptr<LoadJob> job) {
    std::string body;
    const std::string scheme = AsciiLower(job->m_url.substr(0, job->m_url.find(':')));
    int error = ERR_UNKNOWN_URL_SCHEME;
    if (scheme == "http" || scheme == "https") error = LoadHttp(*job, body);
    else if (scheme == "file") error = LoadFile(*job, job->m_url, body);
    else if (scheme == "data") error = LoadData(*job, job->m_url, body);
    else if (job->m_url.find(':') == std::string::npos) error = ERR_INVALID_URL;
    if (job->Canceled()) error = ERR_ABORTED;
    job->m_callbacks.onDone(error, std::move(body));
    // The callbacks may hold what the engine frees when it stops: drop them first.
    job->m_callbacks = {};
    std::lock_guard<std::mutex> lock(m_jobsMutex);
    --m_running;
    m_jobsDone.notify_all();
}

int Network::LoadHttp(LoadJob& job, std::string& body) {
    CURL* curl = curl_easy_init();
    if (!curl) return ERR_FAILED;
    HttpState state;
    state.job = &job;
    state.network = this;
    state.onResponse = &job.m_callbacks.onResponse;
    state.onProgress = &job.m_callbacks.onProgress;
    char message[CURL_ERROR_SIZE] = {};

    // The response is complete when its first content byte (or its end) arrives.
    auto decide = [](HttpState& s, CURL* c) {
        long status = 0;
        curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
        s.response.status = static_cast<int>(status);
        const char* url = nullptr;
        curl_easy_getinfo(c, CURLINFO_EFFECTIVE_URL, &url);
        s.response.url = url ? url : "";
        curl_off_t length = -1;
        curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        s.response.contentLength = length;
        SplitContentType(s.response.Header("Content-Type"), s.response.mimeType, s.response.charset);
        (*s.onResponse)(s.response);
        s.use = s.job->WaitForUse();
        if (s.use == BodyUse::Download) {
            std::wstring path;
            {
                std::lock_guard<std::mutex> lock(s.job->m_mutex);
                path = s.job->m_downloadFile;
            }
            s.file.reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
            if (!s.file) s.use = BodyUse::Drop;
        }
    };

    curl_easy_setopt(curl, CURLOPT_URL, job.m_url.c_str());
    curl_easy_setopt(curl, CURLOPT_SHARE, m_share);
    curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, static_cast<long>(kMaxRedirects));
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_USERAGENT, m_userAgent.c_str());
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(g_connectTimeoutMs.load()));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(g_idleTimeoutSeconds.load()));
    curl_easy_setopt(curl, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
    curl_slist* headers = curl_slist_append(nullptr, m_acceptLanguage.c_str());
    headers = curl_slist_append(headers, "Accept: text/html,application/xhtml+xml,*/*;q=0.8");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);

    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &state);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, +[](char* data, size_t, size_t n, void* user) -> size_t {
        auto& s = *static_cast<HttpState*>(user);
        const std::string line = Trim(std::string(data, n));
        const bool statusLine = line.compare(0, 5, "HTTP/") == 0;
        if (statusLine) s.headerBytes = 0;
        s.headerBytes += n;
        if (s.headerBytes > kMaxResponseHeaderBytes) {
            s.headersTooBig = true;
            return 0;
        }
        if (statusLine) {
            // A new response (after a redirect or a 100 Continue) starts over.
            s.response.headers.clear();
            const size_t sp1 = line.find(' ');
            const size_t sp2 = sp1 == std::string::npos ? sp1 : line.find(' ', sp1 + 1);
            s.response.statusText = sp2 == std::string::npos ? std::string() : line.substr(sp2 + 1);
        } else if (const size_t colon = line.find(':'); colon != std::string::npos) {
            s.response.headers.emplace_back(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
        }
        return n;
    });
    // The write callback needs the handle to read the response: keep it in the state.
    struct WriteContext {
        HttpState* state;
        CURL* curl;
        decltype(decide)* decideFn;
    } context{&state, curl, &decide};
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &context);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, +[](char* data, size_t, size_t n, void* user) -> size_t {
        auto& ctx = *static_cast<WriteContext*>(user);
        HttpState& s = *ctx.state;
        if (s.use == BodyUse::Pending) (*ctx.decideFn)(s, ctx.curl);
        if (s.job->Canceled()) return 0;
        switch (s.use) {
        case BodyUse::Document:
            if (s.body.size() + n > kMaxDocument) {
                s.tooBig = true;
                return 0;
            }
            s.body.append(data, n);
            return n;
        case BodyUse::Download: {
            if (!WriteAll(s.file.get(), data, n)) return 0;
            s.received += static_cast<int64_t>(n);
            const DWORD now = GetTickCount();
            if (now - s.lastProgress >= 200 && *s.onProgress) {
                s.lastProgress = now;
                (*s.onProgress)(s.received);
            }
            return n;
        }
        default:
            return 0;
        }
    });
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &job);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION,
                     +[](void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) -> int {
                         return static_cast<LoadJob*>(user)->Canceled() ? 1 : 0;
                     });

    const CURLcode code = curl_easy_perform(curl);
    int error = ErrorFromCurl(code, curl, message);
    if (code == CURLE_OK && state.use == BodyUse::Pending) decide(state, curl);
    if (state.headersTooBig) {
        error = ERR_RESPONSE_HEADERS_TOO_BIG;
    } else if (code == CURLE_WRITE_ERROR) {
        error = state.tooBig ? ERR_FILE_TOO_BIG : state.use == BodyUse::Download ? ERR_ACCESS_DENIED : ERR_ABORTED;
    }
    if (job.Canceled() || state.use == BodyUse::Drop) error = ERR_ABORTED;
    if (error != ERR_NONE && error != ERR_ABORTED) {
        KV_LOG(LOGSEVERITY_INFO) << "load of " << kvwin::LoggedAddress(job.m_url) << " failed: " << curl_easy_strerror(code) << " "
                                 << message;
    }
    if (state.use == BodyUse::Download && *state.onProgress) (*state.onProgress)(state.received);
    body = std::move(state.body);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return error;
}

int Network::Deliver(LoadJob& job, const ResponseInfo& response, const std::string& content, std::string& body) {
    job.m_callbacks.onResponse(response);
    switch (job.WaitForUse()) {
    case BodyUse::Document:
        if (content.size() > kMaxDocument) return ERR_FILE_TOO_BIG;
        body = content;
        return ERR_NONE;
    case BodyUse::Download: {
        std::wstring path;
        {
            std::lock_guard<std::mutex> lock(job.m_mutex);
            path = job.m_downloadFile;
        }
        kvwin::UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
        if (!file || !WriteAll(file.get(), content.data(), content.size())) return ERR_ACCESS_DENIED;
        if (job.m_callbacks.onProgress) job.m_callbacks.onProgress(static_cast<int64_t>(content.size()));
        return ERR_NONE;
    }
    default:
        return ERR_ABORTED;
    }
}

int Network::LoadFile(LoadJob& job, const std::string& url, std::string& body) {
    wchar_t path[MAX_PATH * 4] = {};
    DWORD size = ARRAYSIZE(path);
    if (FAILED(PathCreateFromUrlW(kvwin::Utf8ToWide(url).c_str(), path, &size, 0))) return ERR_INVALID_URL;
    kvwin::UniqueKernelHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FileError(GetLastError());
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(file.get(), &length)) return ERR_FAILED;
    if (static_cast<unsigned long long>(length.QuadPart) > kMaxDocument * 16) return ERR_FILE_TOO_BIG;
    std::string content(static_cast<size_t>(length.QuadPart), '\0');
    DWORD got = 0;
    if (!content.empty() && (!ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &got, nullptr) ||
                             got != content.size())) {
        return FileError(GetLastError());
    }
    ResponseInfo response;
    response.status = 200;
    response.statusText = "OK";
    response.url = url;
    response.mimeType = MimeForPath(path);
    response.contentLength = static_cast<int64_t>(content.size());
    return Deliver(job, response, content, body);
}

int Network::LoadData(LoadJob& job, const std::string& url, std::string& body) {
    const size_t comma = url.find(',');
    if (comma == std::string::npos) return ERR_INVALID_URL;
    std::string meta = url.substr(5, comma - 5);
    const std::string lowerMeta = AsciiLower(meta);
    const bool base64 = lowerMeta.size() >= 7 && lowerMeta.compare(lowerMeta.size() - 7, 7, ";base64") == 0;
    if (base64) meta.resize(meta.size() - 7);
    std::string content = PercentDecode(url.substr(comma + 1));
    if (base64) {
        DWORD size = 0;
        if (!CryptStringToBinaryA(content.c_str(), static_cast<DWORD>(content.size()), CRYPT_STRING_BASE64, nullptr,
                                  &size, nullptr, nullptr)) {
            return ERR_INVALID_URL;
        }
        std::string decoded(size, '\0');
        if (!CryptStringToBinaryA(content.c_str(), static_cast<DWORD>(content.size()), CRYPT_STRING_BASE64,
                                  reinterpret_cast<BYTE*>(decoded.data()), &size, nullptr, nullptr)) {
            return ERR_INVALID_URL;
        }
        decoded.resize(size);
        content = std::move(decoded);
    }
    ResponseInfo response;
    response.status = 200;
    response.statusText = "OK";
    response.url = url;
    SplitContentType(meta.empty() ? std::string("text/plain;charset=US-ASCII") : meta, response.mimeType,
                     response.charset);
    if (response.mimeType.empty()) response.mimeType = "text/plain";
    response.contentLength = static_cast<int64_t>(content.size());
    return Deliver(job, response, content, body);
}

void Network::LoadCookies() {
    kvwin::UniqueKernelHandle file(CreateFileW(m_cookieFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(file.get(), &length) || length.QuadPart > 64 * 1024 * 1024) return;
    std::string text(static_cast<size_t>(length.QuadPart), '\0');
    DWORD got = 0;
    if (!text.empty() && !ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr)) return;
    text.resize(got);
    CURL* curl = curl_easy_init();
    if (!curl) return;
    curl_easy_setopt(curl, CURLOPT_SHARE, m_share);
    curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || (line[0] == '#' && line.compare(0, 10, "#HttpOnly_") != 0)) continue;
        curl_easy_setopt(curl, CURLOPT_COOKIELIST, line.c_str());
    }
    curl_easy_cleanup(curl);
}

void Network::FlushCookies() {
    if (m_cookieFile.empty()) return;
    std::lock_guard<std::mutex> lock(m_cookieFileMutex);
    CURL* curl = curl_easy_init();
    if (!curl) return;
    curl_easy_setopt(curl, CURLOPT_SHARE, m_share);
    curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");
    curl_slist* cookies = nullptr;
    curl_easy_getinfo(curl, CURLINFO_COOKIELIST, &cookies);
    std::string text = "# Cookies of the embedded browser engine; rewritten whole on every flush.\n";
    for (curl_slist* c = cookies; c; c = c->next) {
        // Fields: domain, subdomains, path, secure, expiry, name, value. Session cookies (expiry 0) are not kept.
        const std::string line = c->data;
        size_t field = 0, pos = 0;
        for (; field < 4 && pos != std::string::npos; ++field) pos = line.find('\t', pos + 1);
        if (pos == std::string::npos || line.compare(pos + 1, 2, "0\t") == 0) continue;
        text += line + "\n";
    }
    curl_slist_free_all(cookies);
    curl_easy_cleanup(curl);

    const std::wstring temporary = m_cookieFile + L".new";
    {
        kvwin::UniqueKernelHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file || !WriteAll(file.get(), text.data(), text.size())) {
            KV_LOG(LOGSEVERITY_ERROR) << "cannot write the cookie file (" << GetLastError() << ")";
            return;
        }
        FlushFileBuffers(file.get());
    }
    if (!MoveFileExW(temporary.c_str(), m_cookieFile.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        KV_LOG(LOGSEVERITY_ERROR) << "cannot replace the cookie file (" << GetLastError() << ")";
    }
}

std::wstring NetErrorText(int error) {
    static const std::pair<int, const wchar_t*> names[] = {
        {ERR_FAILED, L"FAILED"}, {ERR_ABORTED, L"ABORTED"}, {ERR_INVALID_ARGUMENT, L"INVALID_ARGUMENT"},
        {ERR_FILE_NOT_FOUND, L"FILE_NOT_FOUND"}, {ERR_TIMED_OUT, L"TIMED_OUT"}, {ERR_FILE_TOO_BIG, L"FILE_TOO_BIG"},
        {ERR_ACCESS_DENIED, L"ACCESS_DENIED"}, {ERR_CONNECTION_CLOSED, L"CONNECTION_CLOSED"},
        {ERR_CONNECTION_RESET, L"CONNECTION_RESET"}, {ERR_CONNECTION_REFUSED, L"CONNECTION_REFUSED"},
        {ERR_CONNECTION_ABORTED, L"CONNECTION_ABORTED"}, {ERR_CONNECTION_FAILED, L"CONNECTION_FAILED"},
        {ERR_NAME_NOT_RESOLVED, L"NAME_NOT_RESOLVED"}, {ERR_INTERNET_DISCONNECTED, L"INTERNET_DISCONNECTED"},
        {ERR_SSL_PROTOCOL_ERROR, L"SSL_PROTOCOL_ERROR"}, {ERR_ADDRESS_INVALID, L"ADDRESS_INVALID"},
        {ERR_ADDRESS_UNREACHABLE, L"ADDRESS_UNREACHABLE"},
        {ERR_SSL_VERSION_OR_CIPHER_MISMATCH, L"SSL_VERSION_OR_CIPHER_MISMATCH"},
        {ERR_CONNECTION_TIMED_OUT, L"CONNECTION_TIMED_OUT"}, {ERR_CERT_COMMON_NAME_INVALID, L"CERT_COMMON_NAME_INVALID"},
        {ERR_CERT_DATE_INVALID, L"CERT_DATE_INVALID"}, {ERR_CERT_AUTHORITY_INVALID, L"CERT_AUTHORITY_INVALID"},
        {ERR_CERT_REVOKED, L"CERT_REVOKED"}, {ERR_CERT_INVALID, L"CERT_INVALID"}, {ERR_INVALID_URL, L"INVALID_URL"},
        {ERR_UNKNOWN_URL_SCHEME, L"UNKNOWN_URL_SCHEME"}, {ERR_TOO_MANY_REDIRECTS, L"TOO_MANY_REDIRECTS"},
        {ERR_INVALID_RESPONSE, L"INVALID_RESPONSE"}, {ERR_INVALID_CHUNKED_ENCODING, L"INVALID_CHUNKED_ENCODING"},
        {ERR_EMPTY_RESPONSE, L"EMPTY_RESPONSE"}, {ERR_RESPONSE_HEADERS_TOO_BIG, L"RESPONSE_HEADERS_TOO_BIG"},
    };
    for (const auto& [code, name] : names) {
        if (code == error) return std::wstring(L"net::ERR_") + name;
    }
    return L"net::ERR_FAILED";
}

}  // namespace kvengine
