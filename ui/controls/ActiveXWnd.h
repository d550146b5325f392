#pragma once
#include <windows.h>

#include "ui/core/WindowWnd.h"

namespace KvUI {

class CActiveXCtrl;

// The native child window a windowed object lives in, laid over its control.
// Its site owns it.
class CActiveXWnd : public CWindowWnd {
public:
    explicit CActiveXWnd(CActiveXCtrl* site) : m_site(site) {}

    // Creates the window over `rc` in `parent`.
    HWND Init(HWND parent, const RECT& rc);

protected:
    LPCTSTR GetWindowClassName() const override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void DoVerb(LONG verb);
    LRESULT OnPrint(HDC dc);
    void OnCaretTimer();

    CActiveXCtrl* m_site;
    bool m_caretVisible = false;
};

}  // namespace KvUI
