#pragma once
// What the client's small modal dialogs share: the program's icon, a caption
// that a double-click leaves alone (the dialogs have one size), Escape
// closing them, and a window that never outlives its object.
#include <windows.h>

#include "ui/core/WindowImplBase.h"

namespace kvclient {

class DialogFrame : public KvUI::WindowImplBase {
public:
    // A modal loop ended by WM_QUIT leaves the window standing: it goes with the object.
    ~DialogFrame() override;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnKeyDown(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // The program's icon resource as the window's big and small icon.
    void SetProgramIcon();
    // Activates the window and brings it to the top of the z-order.
    void BringToTop();
};

// Creates `dialog` with the client's dialog style, centres it over `parent`
// (the screen when none) and runs it modally; the window is gone on return.
void RunDialog(DialogFrame& dialog, HWND parent, LPCTSTR title);

}  // namespace kvclient
