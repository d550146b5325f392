// A list of 10,000 label rows built from markup: parsing, building,
// attaching and the first layout and paint, against the same number of
// labels in a plain vertical layout; then selecting row 5,000 with the
// keyboard, which scrolls it into view and repaints.
#include <cstdio>
#include <string>

#include "bench/Bench.h"
#include "ui/core/DialogBuilder.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/WindowWnd.h"
#include "ui/lists/ListUI.h"

namespace kvbench {
namespace {

constexpr int kRows = 10000;

class ListBenchWindow : public KvUI::CWindowWnd {
public:
    KvUI::CPaintManagerUI manager;

protected:
    LPCTSTR GetWindowClassName() const override { return L"KvListBench"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) manager.Init(m_hWnd);
        LRESULT lRes = 0;
        if (manager.MessageHandler(msg, wParam, lParam, lRes)) return lRes;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
};

std::wstring ListSkin() {
    std::wstring xml = L"<Window><List name=\"list\" vscrollbar=\"true\" itemselectedbkcolor=\"#FF3060C0\">"
                       L"<ListHeader height=\"24\"><ListHeaderItem text=\"Name\"/></ListHeader>";
    for (int i = 0; i < kRows; ++i) xml += L"<ListLabelElement text=\"Row " + std::to_wstring(i) + L"\" height=\"20\"/>";
    return xml + L"</List></Window>";
}

std::wstring LabelsSkin() {
    std::wstring xml = L"<Window><VerticalLayout vscrollbar=\"true\">";
    for (int i = 0; i < kRows; ++i) xml += L"<Label text=\"Row " + std::to_wstring(i) + L"\" height=\"20\"/>";
    return xml + L"</VerticalLayout></Window>";
}

// Builds `skin` into a new window and shows it: the time until the first
// paint is done. `after` runs on the shown window.
template <class After>
double OpenMilliseconds(const std::wstring& skin, After after) {
    ListBenchWindow window;
    window.CreateEx(nullptr, L"list bench", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 400, 600);
    const double start = Now();
    KvUI::CDialogBuilder builder;
    window.manager.AttachDialog(builder.Create(skin.c_str(), nullptr, nullptr, &window.manager));
    ShowWindow(window.GetHWND(), SW_SHOWNOACTIVATE);
    UpdateWindow(window.GetHWND());
    const double elapsed = (Now() - start) * 1000.0;
    after(window);
    DestroyWindow(window.GetHWND());
    return elapsed;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

void RunListBench() {
    KvUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    const std::wstring listSkin = ListSkin();
    const std::wstring labelsSkin = LabelsSkin();
    constexpr int kRuns = 9;
    std::vector<double> list;
    std::vector<double> labels;
    std::vector<double> select;
    for (int run = 0; run < kRuns; ++run) {
        labels.push_back(OpenMilliseconds(labelsSkin, [](ListBenchWindow&) {}));
        list.push_back(OpenMilliseconds(listSkin, [&](ListBenchWindow& window) {
            auto* control = static_cast<KvUI::CListUI*>(window.manager.FindControl(L"list"));
            // Row 4,999 selected with the list scrolled back to the top; the
            // Down key then selects row 5,000 and scrolls it into view.
            control->SelectItem(kRows / 2 - 2, true);
            control->HomeUp();
            UpdateWindow(window.GetHWND());
            const double start = Now();
            SendMessageW(window.GetHWND(), WM_KEYDOWN, VK_DOWN, 1);
            UpdateWindow(window.GetHWND());
            select.push_back((Now() - start) * 1000.0);
            if (control->GetCurSel() != kRows / 2 - 1) std::printf("  (the Down key did not select row 5,000)\n");
        }));
    }
    const double listMs = Median(list);
    const double labelsMs = Median(labels);
    std::printf("List: %d label rows from markup (target: build and first paint under 2x the plain labels)\n", kRows);
    std::printf("  list: parse + build + first layout and paint     %8.2f ms  (median of %d)\n", listMs, kRuns);
    std::printf("  labels in a vertical layout, the same            %8.2f ms\n", labelsMs);
    std::printf("  ratio                                            %8.2f\n", listMs / labelsMs);
    std::printf("  Down to row 5,000, scrolled into view and painted %7.2f ms\n\n", Median(select));
}

}  // namespace kvbench
