#pragma once
#include "ui/controls/NativeEditorWnd.h"
#include "win/GdiOwners.h"

namespace KvUI {

class CEditUI;

// The system edit window an edit field lays over its text area while it has
// the focus; it closes itself when it loses the focus.
class CEditWnd : public CNativeEditorWnd {
public:
    explicit CEditWnd(CEditUI* owner) : m_owner(owner) {}

    // Opens the window over `owner`; null when it cannot be made.
    static CEditWnd* Open(CEditUI* owner);
    // Where the window belongs: the text area, cut to the visible part of the tree.
    RECT CalcPos() const;
    // CalcPos in the coordinates the window lives in: a popup over a layered
    // window is placed on the screen.
    RECT Placement() const;

protected:
    LPCTSTR GetWindowClassName() const override;
    LPCTSTR GetSuperClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void ForgetOwner() override { m_owner = nullptr; }
    void OnClosed() override;

private:
    void Init();
    void OnTextChanged() override;
    HBRUSH Background(HDC dc);
    bool IsLayered() const;

    CEditUI* m_owner;
    kvwin::UniqueBrush m_brush;
};

}  // namespace KvUI
