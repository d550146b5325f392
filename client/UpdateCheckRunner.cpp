#include "client/UpdateCheckRunner.h"

namespace kvclient {

namespace {

struct CheckRequest {
    std::shared_ptr<UpdateCheckTarget> target;
    std::string endpoint;
};

DWORD WINAPI RunCheck(LPVOID param) {
    const std::unique_ptr<CheckRequest> request(static_cast<CheckRequest*>(param));
    CheckForUpdate(*request->target, request->endpoint);
    return 0;
}

}  // namespace

UpdateCheckRunner::UpdateCheckRunner() : m_target(std::make_shared<UpdateCheckTarget>()) {}

bool UpdateCheckRunner::Start(HWND window, const std::string& endpoint) {
    m_target->window = window;
    auto request = std::make_unique<CheckRequest>(CheckRequest{m_target, endpoint});
    m_thread.reset(CreateThread(nullptr, 0, RunCheck, request.get(), CREATE_SUSPENDED, nullptr));
    if (!m_thread) return false;
    request.release();  // the thread owns it now
    ResumeThread(m_thread.get());
    return true;
}

bool UpdateCheckRunner::Finish(DWORD timeoutMs) {
    if (!m_thread) return true;
    const bool ended = WaitForSingleObject(m_thread.get(), timeoutMs) == WAIT_OBJECT_0;
    m_thread.reset();
    return ended;
}

}  // namespace kvclient
