// Notifications from a control to three listeners, delivered at once and
// through the asynchronous queue (posted message 0x8001).
#include "bench/Bench.h"

#include <cstdio>

#include "ui/core/ControlUI.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/WindowWnd.h"

namespace kvbench {
namespace {

using namespace KvUI;

class NotifyWindow : public CWindowWnd {
public:
    CPaintManagerUI manager;

protected:
    LPCTSTR GetWindowClassName() const override { return L"KvNotifyBench"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) manager.Init(m_hWnd);
        LRESULT lRes = 0;
        if (manager.MessageHandler(msg, wParam, lParam, lRes)) return lRes;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
};

struct Listener : INotifyUI {
    size_t seen = 0;
    void Notify(TUINotify& msg) override { seen += msg.wParam; }
};

}  // namespace

void RunNotifyBench() {
    CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    NotifyWindow window;
    window.CreateEx(nullptr, L"notify bench", WS_POPUP, 0, 0, 0, 100, 100);
    auto* sender = new CControlUI();
    sender->SetName(L"btn_ok");
    window.manager.AttachDialog(sender);
    Listener listeners[3];
    for (Listener& listener : listeners) window.manager.AddNotifier(&listener);

    constexpr int count = 200000;
    constexpr int runs = 15;
    const double sync = MedianSeconds(runs, [&] {
        for (int i = 0; i < count; ++i) window.manager.SendNotify(sender, L"click", 1);
    });
    const double queued = MedianSeconds(runs, [&] {
        for (int i = 0; i < count; ++i) window.manager.SendNotify(sender, L"click", 1, 0, true);
        MSG msg;
        while (PeekMessageW(&msg, window.GetHWND(), UIMSG_ASYNC_NOTIFY, UIMSG_ASYNC_NOTIFY, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
    });
    const size_t delivered = listeners[0].seen + listeners[1].seen + listeners[2].seen;
    DestroyWindow(window.GetHWND());

    std::printf("Notify: SendNotify to three listeners (target: under 200 ns synchronous)\n");
    std::printf("  synchronous  %8.1f ns per notification\n", sync * 1e9 / count);
    std::printf("  queued       %8.1f ns per notification (queue, post, deliver)\n", queued * 1e9 / count);
    // Every notification of both halves must have reached all three listeners,
    // or the figures above timed something else.
    const size_t expected = size_t{3} * 2 * runs * count;
    std::printf("  (%zu of %zu deliveries%s)\n\n", delivered, expected, delivered == expected ? "" : ": MISSING");
}

}  // namespace kvbench
