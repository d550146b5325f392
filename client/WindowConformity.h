#pragma once
// What the browser side may do to the main window. The browser client calls
// these directly on the engine's UI thread (not the window's own thread);
// anything that must run on the window's thread goes through the private
// messages of AppMessages.h instead.
#include <windows.h>

#include <string>

namespace kvclient {

class IWindowConformityl {
public:
    // Client area of width x height pixels.
    virtual void ResizeWindow(int width, int height) = 0;
    virtual void WindowCenter() = 0;
    // ARGB colour of the border and the browser's surround.
    virtual void SetThemeColor(DWORD argb) = 0;
    // Border width around the page; meaningful from 0 to 10.
    virtual void SetBorder(int width) = 0;
    // Flashes the window and the tray icon until the window is activated.
    virtual void WindowFlash() = 0;
    // 1 shows the window, 0 hides it.
    virtual void WindowVisible(int flag) = 0;
    // 0 restore, 1 minimise, 2 maximise, -1 or 999 close (with the confirmation).
    virtual void SendMenuMessage(int type) = 0;
    virtual void SetWinTitle(const std::wstring& title) = 0;
    virtual void SetTitleColor(DWORD argb) = 0;

protected:
    // The window is never deleted through this interface; it is virtual for
    // the classes that implement it, and last so the operations keep their slots.
    virtual ~IWindowConformityl() = default;
};

}  // namespace kvclient
