#pragma once
// The client's blocking HTTP calls over libcurl. Each call has its own
// handle and file, so worker threads may call them at the same time; the
// start-up initialises libcurl once (curl_global_init) before any of them.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace kvclient {

// The update service: the deployment's host with the fixed path "/UpdateVersion/index".
const char* UpdateEndpoint();

// The most of an update reply that is read: the answer is a few hundred
// bytes, and a server that sends on and on must not fill the memory.
constexpr size_t kMaxUpdateReplyBytes = 1u << 20;

// Posts "act=checkPCClientUpgrade" to `endpoint`; `reply` receives the body.
// True only when the exchange succeeded with status 200 (the body is kept
// either way) and the body stayed within kMaxUpdateReplyBytes.
bool HttpPostUpdateCheck(std::string& reply, const std::string& endpoint = UpdateEndpoint());

// No limit on the size of a download.
constexpr std::uint64_t kAnySize = UINT64_MAX;

// Downloads `url` into the file `path` (created or truncated), following one
// redirect. A body longer than `maxBytes` (announced or received) fails the
// download when it passes the limit. On any failure the failure is logged
// and no file is left.
bool HttpDownloadFile(const std::string& url, const std::string& path, std::uint64_t maxBytes = kAnySize);

// Lets the owner of a download stop it from any thread. The transfer notices
// at its next progress tick (libcurl calls in at least once a second, also
// while nothing arrives and when the size is unknown) and fails.
class HttpTransferSlot {
public:
    void Cancel() { m_cancelled = true; }
    bool IsCancelled() const { return m_cancelled; }

private:
    std::atomic<bool> m_cancelled{false};
};

// Downloads `url` into `path`, calling `progress` with the whole percentage
// received whenever the size is known. A cancel through `slot` (also from
// within `progress`) or any failure returns false and removes the file.
bool HttpDownloadWithProgress(const std::string& url, const std::string& path,
                              const std::function<void(int percent)>& progress, HttpTransferSlot& slot);

}  // namespace kvclient
