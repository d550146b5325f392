#pragma once
// Stand-in until the client's own message dialogs arrive: plain system boxes.
#include <windows.h>

#include <string>

namespace kvclient {

void ShowMessageBox(const std::wstring& text, int kind, bool okVisible, HWND parent);
// True when the user confirmed.
bool ShowClosePanel(const std::wstring& text, HWND parent);

}  // namespace kvclient
