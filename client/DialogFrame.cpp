#include "client/DialogFrame.h"

namespace kvclient {

namespace {

constexpr int kProgramIconId = 132;
// An overlapped window with caption and frame bits: WindowImplBase strips the
// caption so that the skin draws it.
constexpr DWORD kDialogStyle = 0xCF0000;

}  // namespace

DialogFrame::~DialogFrame() {
    if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
}

LRESULT DialogFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCLBUTTONDBLCLK) return 0;
    return WindowImplBase::HandleMessage(msg, wParam, lParam);
}

LRESULT DialogFrame::OnKeyDown(UINT, WPARAM wParam, LPARAM, bool& handled) {
    if (wParam == VK_ESCAPE) Close(1);
    handled = false;
    return 0;
}

void DialogFrame::SetProgramIcon() {
    // A shared icon of the module: the system frees it.
    const HICON icon = LoadIconW(KvUI::CPaintManagerUI::GetInstance(), MAKEINTRESOURCEW(kProgramIconId));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void DialogFrame::BringToTop() {
    SetActiveWindow(m_hWnd);
    BringWindowToTop(m_hWnd);
}

void RunDialog(DialogFrame& dialog, HWND parent, LPCTSTR title) {
    if (!dialog.CreateEx(parent, title, kDialogStyle, 0)) return;
    dialog.CenterWindow();
    dialog.ShowModal();
    if (IsWindow(dialog.GetHWND())) DestroyWindow(dialog.GetHWND());
}

}  // namespace kvclient
