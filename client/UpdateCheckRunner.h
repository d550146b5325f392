#pragma once
// The update check on a thread of its own, started once by the main window.
// The thread shares the offer it fills with its starter, so an owner that
// stops waiting for it (a bounded wait at closing) never frees the offer
// under it; nothing ever kills the thread.
#include <windows.h>

#include <memory>
#include <string>

#include "client/UpdateCheck.h"
#include "win/UniqueHandle.h"

namespace kvclient {

class UpdateCheckRunner {
public:
    // The check's HTTP time-outs are 5 s: a little more lets it end by itself.
    static constexpr DWORD kFinishWaitMs = 6000;

    UpdateCheckRunner();
    UpdateCheckRunner(const UpdateCheckRunner&) = delete;
    UpdateCheckRunner& operator=(const UpdateCheckRunner&) = delete;

    // Asks `endpoint` on a new thread; a newer version is posted to `window`.
    bool Start(HWND window, const std::string& endpoint);
    // Waits at most `timeoutMs` for the thread, then lets it go; true when it
    // had ended (or never ran).
    bool Finish(DWORD timeoutMs = kFinishWaitMs);
    // Forgets the thread without waiting (a new window starts afresh).
    void Reset() { m_thread.reset(); }

    // The offer, complete once WM_APP_UPDATE_AVAILABLE arrived.
    const UpdateCheckTarget& Offer() const { return *m_target; }
    // The offer as the thread holds it.
    std::weak_ptr<const UpdateCheckTarget> Watch() const { return m_target; }

private:
    std::shared_ptr<UpdateCheckTarget> m_target;
    kvwin::UniqueKernelHandle m_thread;
};

}  // namespace kvclient
