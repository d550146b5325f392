#include "client/UpdateCheckRunner.h"

namespace kvclient {

UpdateCheckRunner::UpdateCheckRunner() : m_target(std::make_shared<UpdateCheckTarget>()) {}

bool UpdateCheckRunner::Start(HWND window, const std::string& endpoint) {
    m_target->window = window;
    m_thread = StartUpdateCheck(m_target, endpoint);
    return static_cast<bool>(m_thread);
}

bool UpdateCheckRunner::Finish(DWORD timeoutMs) {
    if (!m_thread) return true;
    const bool ended = WaitForSingleObject(m_thread.get(), timeoutMs) == WAIT_OBJECT_0;
    m_thread.reset();
    return ended;
}

}  // namespace kvclient
