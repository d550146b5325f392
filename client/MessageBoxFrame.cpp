#include "client/MessageBoxFrame.h"

namespace kvclient {

void ShowMessageBox(const std::wstring& text, int, bool, HWND parent) {
    MessageBoxW(parent, text.c_str(), L"消息", MB_OK);
}

bool ShowClosePanel(const std::wstring& text, HWND parent) {
    return MessageBoxW(parent, text.c_str(), L"消息", MB_OKCANCEL) == IDOK;
}

}  // namespace kvclient
