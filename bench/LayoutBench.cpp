// Laying out a long list: a vertical layout with its scroll bar and many
// fixed-height rows, as a window relays it out on every size change. The cost
// must grow linearly with the number of rows.
#include "bench/Bench.h"

#include <cstdio>

#include "ui/core/PaintManagerUI.h"
#include "ui/core/VerticalLayoutUI.h"
#include "ui/core/WindowWnd.h"

namespace kvbench {
namespace {

class BenchWindow : public KvUI::CWindowWnd {
public:
    KvUI::CPaintManagerUI manager;

protected:
    LPCTSTR GetWindowClassName() const override { return L"KvLayoutBench"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) manager.Init(m_hWnd);
        LRESULT lRes = 0;
        if (manager.MessageHandler(msg, wParam, lParam, lRes)) return lRes;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
};

// Median milliseconds of one layout pass over `rows` rows of 24 pixels.
double LayoutMilliseconds(int rows, int runs) {
    BenchWindow window;
    KvUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    window.CreateEx(nullptr, L"layout bench", WS_POPUP, 0, 0, 0, 400, 600);
    auto* list = new KvUI::CVerticalLayoutUI();
    list->EnableScrollBar();
    for (int i = 0; i < rows; ++i) {
        auto* row = new KvUI::CControlUI();
        row->SetFixedHeight(24);
        list->Add(row);
    }
    window.manager.AttachDialog(list);
    const RECT client{0, 0, 400, 600};
    list->SetPos(client, false);  // shows the scroll bar once, as the first paint would
    const double seconds = MedianSeconds(runs, [&] { list->SetPos(client, false); });
    DestroyWindow(window.GetHWND());
    return seconds * 1000.0;
}

}  // namespace

void RunLayoutBench() {
    const double small = LayoutMilliseconds(10000, 31);
    const double large = LayoutMilliseconds(100000, 9);
    std::printf("Layout: vertical layout of fixed-height rows, one pass (target: under 2 ms for 10,000; ratio under 12)\n");
    std::printf("  10,000 rows   %8.3f ms\n", small);
    std::printf("  100,000 rows  %8.3f ms\n", large);
    std::printf("  ratio         %8.2f\n\n", large / small);
}

}  // namespace kvbench
