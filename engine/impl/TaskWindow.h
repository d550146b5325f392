#pragma once
// Runs closures on the thread that made it, through a message-only window,
// so that tasks also run inside modal loops (menus, dialogs) on that thread.
#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>

namespace kvengine {

class TaskWindow {
public:
    TaskWindow();  // on the thread that will run the tasks
    ~TaskWindow();
    TaskWindow(const TaskWindow&) = delete;
    TaskWindow& operator=(const TaskWindow&) = delete;

    // Any thread; false once Disable has run.
    bool Post(std::function<void()> task);
    void Disable();
    // On its thread, at the end: no more tasks, no window. The object (and its
    // lock) stays usable for late posters until it is destroyed.
    void Shutdown();
    bool IsCurrentThread() const { return GetCurrentThreadId() == m_threadId; }
    DWORD ThreadId() const { return m_threadId; }
    bool Valid() const { return m_window != nullptr; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunPending();

    const DWORD m_threadId;
    HWND m_window = nullptr;
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_tasks;
    bool m_enabled = true;
};

}  // namespace kvengine
