#pragma once
#include "ui/controls/NativeEditorWnd.h"
#include "ui/core/UIString.h"
#include "win/GdiOwners.h"

namespace KvUI {

class CHotKeyUI;

// The system hot-key control a hot-key field lays over its text area while it
// has the focus, painted in the field's colours; it closes when it loses the focus.
class CHotKeyWnd : public CNativeEditorWnd {
public:
    explicit CHotKeyWnd(CHotKeyUI* owner) : m_owner(owner) {}

    // Opens the window over `owner`; null when it cannot be made.
    static CHotKeyWnd* Open(CHotKeyUI* owner);

protected:
    LPCTSTR GetWindowClassName() const override;
    LPCTSTR GetSuperClassName() const override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void ForgetOwner() override { m_owner = nullptr; }
    void OnClosed() override;

private:
    void Init();
    void OnTextChanged() override;
    void Paint();
    // The name of the combination the native control holds now.
    CUIString CurrentName() const;

    CHotKeyUI* m_owner;
    kvwin::UniqueBrush m_brush;
};

}  // namespace KvUI
