#include "engine/impl/WorkQueue.h"

namespace kvengine {

WorkQueue::WorkQueue() : m_thread([this] { Run(); }) {}

WorkQueue::~WorkQueue() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void WorkQueue::Post(std::function<void()> work) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_work.push_back(std::move(work));
    }
    m_wake.notify_all();
}

bool WorkQueue::Idle() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_work.empty() && !m_running;
}

void WorkQueue::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_work.empty(); });
        if (m_work.empty()) return;
        auto work = std::move(m_work.front());
        m_work.pop_front();
        m_running = true;
        lock.unlock();
        work();
        lock.lock();
        m_running = false;
    }
}

}  // namespace kvengine
