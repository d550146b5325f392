#pragma once
// Loading of addresses for the browsers: http and https through libcurl
// (with one shared cookie jar, name and connection cache), file:, data:.
// Each load runs on a thread of its own; the browser decides, once the
// response has arrived, whether its content becomes a document or a download.
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

typedef void CURLSH;

namespace kvengine {

struct ResponseInfo {
    int status = 0;
    std::string statusText;
    std::string mimeType;  // lower case, without parameters
    std::string charset;   // lower case; empty when the response names none
    std::vector<std::pair<std::string, std::string>> headers;
    std::string url;       // after redirects
    int64_t contentLength = -1;

    std::string Header(const std::string& name) const;  // first of that name, any case
    bool IsAttachment() const;
    std::wstring AttachmentFileName() const;
};

enum class BodyUse { Pending, Document, Download, Drop };

class LoadJob {
public:
    struct Callbacks {
        std::function<void(const ResponseInfo&)> onResponse;           // answer with Use()
        std::function<void(int64_t received)> onProgress;              // downloads, at most 5 times a second
        std::function<void(int error, std::string body)> onDone;       // the last call
    };

    void Use(BodyUse use, std::wstring downloadFile = {});
    void Cancel();
    bool Canceled() const { return m_canceled.load(); }

private:
    friend class Network;
    LoadJob(std::string url, Callbacks callbacks) : m_url(std::move(url)), m_callbacks(std::move(callbacks)) {}
    BodyUse WaitForUse();

    const std::string m_url;
    Callbacks m_callbacks;
    std::atomic<bool> m_canceled{false};
    std::mutex m_mutex;
    std::condition_variable m_decided;
    BodyUse m_use = BodyUse::Pending;
    std::wstring m_downloadFile;
};

class Network {
public:
    Network(const std::wstring& cachePath, const std::wstring& userAgent, const std::wstring& locale);
    ~Network();  // cancels every load and waits for them

    std::shared_ptr<LoadJob> Start(const std::string& url, LoadJob::Callbacks callbacks);
    bool Idle();

    // Stores every persistent cookie in the cookie file (replacing it whole);
    // nothing without a cache path. Any thread.
    void FlushCookies();

    // Shortened by tests of time-outs.
    static void SetTimeouts(DWORD connectMs, DWORD idleSeconds);

private:
    void Run(std::shared_ptr<LoadJob> job);
    int LoadHttp(LoadJob& job, std::string& body);
    int LoadFile(LoadJob& job, const std::string& url, std::string& body);
    int LoadData(LoadJob& job, const std::string& url, std::string& body);
    int Deliver(LoadJob& job, const ResponseInfo& response, const std::string& content, std::string& body);
    void LoadCookies();

    CURLSH* m_share = nullptr;
    std::mutex m_shareLocks[8];
    std::mutex m_cookieFileMutex;
    std::wstring m_cookieFile;
    std::string m_userAgent;
    std::string m_acceptLanguage;

    std::mutex m_jobsMutex;
    std::condition_variable m_jobsDone;
    std::vector<std::weak_ptr<LoadJob>> m_jobs;
    int m_running = 0;
};

// The engine's name of a network error number ("net::ERR_...").
std::wstring NetErrorText(int error);

}  // namespace kvengine
