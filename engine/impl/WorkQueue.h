#pragma once
// One background thread that runs closures in order (file work off the UI thread).
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace kvengine {

class WorkQueue {
public:
    WorkQueue();
    ~WorkQueue();  // runs what is queued, then ends the thread
    WorkQueue(const WorkQueue&) = delete;
    WorkQueue& operator=(const WorkQueue&) = delete;

    void Post(std::function<void()> work);
    bool Idle();

private:
    void Run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_work;
    bool m_running = false;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace kvengine
