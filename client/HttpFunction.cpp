#include "client/HttpFunction.h"

// curl.h brings winsock2.h, which must come before windows.h.
#include <curl/curl.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>

#include "client/Deployment.h"
#include "client/Log.h"

namespace kvclient {

namespace {

constexpr char kUpdatePath[] = "/UpdateVersion/index";
constexpr char kUpdateCheckForm[] = "act=checkPCClientUpgrade";
constexpr char kBrowserUserAgent[] =
    "Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/69.0.3497.100 Safari/537.36";
constexpr long kHttpOk = 200;

struct EasyCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
using EasyHandle = std::unique_ptr<CURL, EasyCleanup>;

// The target file of a download: closed before the result is decided, and
// deleted unless the download is kept. A file that could not be opened is
// someone else's and stays untouched.
class DownloadFile {
public:
    explicit DownloadFile(const std::string& path)
        : m_path(path), m_file(std::fopen(path.c_str(), "wb")), m_opened(m_file != nullptr) {}
    ~DownloadFile() {
        if (m_opened && !m_kept) Discard();
    }
    DownloadFile(const DownloadFile&) = delete;
    DownloadFile& operator=(const DownloadFile&) = delete;

    FILE* get() const { return m_file; }
    // Closes the file; false when its last bytes could not be written.
    bool Close() {
        FILE* file = m_file;
        m_file = nullptr;
        return file && std::fclose(file) == 0;
    }
    void Keep() { m_kept = true; }

private:
    void Discard() {
        if (m_file) std::fclose(m_file);
        m_file = nullptr;
        DeleteFileA(m_path.c_str());
    }

    std::string m_path;
    FILE* m_file;
    const bool m_opened;
    bool m_kept = false;
};

// Taking less than offered fails the transfer: a reply past its limit ends there.
size_t AppendToReply(char* data, size_t size, size_t count, void* target) {
    std::string& reply = *static_cast<std::string*>(target);
    const size_t bytes = size * count;
    if (bytes > kMaxUpdateReplyBytes - reply.size()) return 0;
    reply.append(data, bytes);
    return bytes;
}

size_t WriteToFile(char* data, size_t size, size_t count, void* file) {
    return std::fwrite(data, size, count, static_cast<FILE*>(file)) * size;
}

// A file written up to a size limit; a body without an announced length
// (or one that lies about it) is cut off where it passes the limit.
struct CappedFile {
    FILE* file;
    std::uint64_t maxBytes;
    std::uint64_t written = 0;
    bool overflowed = false;
};

size_t WriteToCappedFile(char* data, size_t size, size_t count, void* target) {
    CappedFile& capped = *static_cast<CappedFile*>(target);
    const size_t bytes = size * count;
    if (bytes > capped.maxBytes - capped.written) {
        capped.overflowed = true;
        return 0;
    }
    capped.written += bytes;
    return WriteToFile(data, 1, bytes, capped.file);
}

long ResponseCode(CURL* curl) {
    long code = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
    return code;
}

// Addresses reach here from pages (a sound to play) and from servers
// (redirects): only the web's own schemes are ever fetched.
EasyHandle NewTransfer() {
    EasyHandle curl(curl_easy_init());
    if (!curl) return curl;
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl.get(), CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    return curl;
}

struct ProgressContext {
    const std::function<void(int)>* progress;
    HttpTransferSlot* slot;
};

// Cancelling goes through libcurl's own abort path: the transfer's socket
// stays libcurl's to close. The cancel flag is read before the size test so
// that a download of unknown size can be cancelled too.
int ProgressAdapter(void* data, curl_off_t total, curl_off_t received, curl_off_t, curl_off_t) {
    const ProgressContext& context = *static_cast<ProgressContext*>(data);
    if (context.slot->IsCancelled()) return 1;
    if (total < 1) return 0;
    if (*context.progress) {
        (*context.progress)(static_cast<int>(static_cast<double>(received) / static_cast<double>(total) * 100.0));
    }
    return context.slot->IsCancelled() ? 1 : 0;
}

}  // namespace

const char* UpdateEndpoint() {
    static const std::string endpoint = std::string(kUpdateHost) + kUpdatePath;
    return endpoint.c_str();
}

bool HttpPostUpdateCheck(std::string& reply, const std::string& endpoint) {
    reply.clear();
    const EasyHandle curl(NewTransfer());
    if (!curl) return false;
    curl_easy_setopt(curl.get(), CURLOPT_URL, endpoint.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, kUpdateCheckForm);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, AppendToReply);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &reply);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, 5L);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 5L);
    curl_easy_setopt(curl.get(), CURLOPT_POST, 1L);
    return curl_easy_perform(curl.get()) == CURLE_OK && ResponseCode(curl.get()) == kHttpOk;
}

bool HttpDownloadFile(const std::string& url, const std::string& path, std::uint64_t maxBytes) {
    const EasyHandle curl(NewTransfer());
    if (!curl) return false;
    DownloadFile file(path);
    if (!file.get()) return false;
    CappedFile capped{file.get(), maxBytes};
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &capped);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, WriteToCappedFile);
    // A body announced longer than the limit is refused before any of it arrives.
    if (maxBytes <= static_cast<std::uint64_t>(std::numeric_limits<curl_off_t>::max())) {
        curl_easy_setopt(curl.get(), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBytes));
    }
    curl_easy_setopt(curl.get(), CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(curl.get(), CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(curl.get(), CURLOPT_AUTOREFERER, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, 6L);
    curl_easy_setopt(curl.get(), CURLOPT_USERAGENT, kBrowserUserAgent);

    CURLcode result = curl_easy_perform(curl.get());
    // A cut-off body reads as the limit it hit, whether announced or not.
    if (capped.overflowed) result = CURLE_FILESIZE_EXCEEDED;
    const long status = ResponseCode(curl.get());
    // A file whose last bytes never reached the disk is a failed transfer too.
    if (!file.Close() && result == CURLE_OK) result = CURLE_WRITE_ERROR;
    if (result != CURLE_OK) {
        WriteLog(LOG_ERROR, "HttpFunction", __LINE__, "HttpDownloadFile ERROR url: %s code:%d ",
                 LoggedAddress(url).c_str(), static_cast<int>(result));
        return false;
    }
    if (status != kHttpOk) {
        WriteLog(LOG_ERROR, "HttpFunction", __LINE__, "HttpDownloadFile retcode != 200 url: %s code:%d ",
                 LoggedAddress(url).c_str(), static_cast<int>(status));
        return false;
    }
    file.Keep();
    return true;
}

bool HttpDownloadWithProgress(const std::string& url, const std::string& path,
                              const std::function<void(int)>& progress, HttpTransferSlot& slot) {
    const EasyHandle curl(NewTransfer());
    if (!curl) return false;
    DownloadFile file(path);
    if (!file.get()) return false;
    ProgressContext context{&progress, &slot};
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, WriteToFile);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, file.get());
    curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, ProgressAdapter);
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &context);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, 8L);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 300L);

    const bool transferred = curl_easy_perform(curl.get()) == CURLE_OK && ResponseCode(curl.get()) == kHttpOk;
    if (!file.Close() || !transferred) return false;
    file.Keep();
    return true;
}

}  // namespace kvclient
