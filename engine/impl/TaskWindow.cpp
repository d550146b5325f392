#include "engine/impl/TaskWindow.h"

namespace kvengine {
namespace {

constexpr UINT kRunTasks = WM_APP + 1;
constexpr wchar_t kClassName[] = L"KvEngineTaskWindow";

}  // namespace

TaskWindow::TaskWindow() : m_threadId(GetCurrentThreadId()) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TaskWindow::WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);  // fails harmlessly when another engine thread registered it
    m_window = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (m_window) SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TaskWindow::~TaskWindow() { Shutdown(); }

void TaskWindow::Shutdown() {
    std::deque<std::function<void()>> dropped;  // freed outside the lock: they may post again
    HWND window = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_enabled = false;
        dropped.swap(m_tasks);
        if (IsCurrentThread()) std::swap(window, m_window);
    }
    if (window) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
}

bool TaskWindow::Post(std::function<void()> task) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_enabled || !m_window) return false;
    const bool wake = m_tasks.empty();
    m_tasks.push_back(std::move(task));
    if (wake) PostMessageW(m_window, kRunTasks, 0, 0);
    return true;
}

void TaskWindow::Disable() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_enabled = false;
}

void TaskWindow::RunPending() {
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        tasks.swap(m_tasks);
    }
    for (auto& task : tasks) task();
}

LRESULT CALLBACK TaskWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunTasks) {
        auto* self = reinterpret_cast<TaskWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self) self->RunPending();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kvengine
