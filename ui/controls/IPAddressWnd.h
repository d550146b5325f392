#pragma once
#include "ui/controls/NativeEditorWnd.h"

namespace KvUI {

class CIPAddressUI;

// The system IP address control over an IP address field. It hides when the
// focus leaves it and closes when its editing is cancelled or cleared.
class CIPAddressWnd : public CNativeEditorWnd {
public:
    explicit CIPAddressWnd(CIPAddressUI* owner) : m_owner(owner) {}

    // Makes the (hidden) window over `owner`; null when it cannot be made.
    static CIPAddressWnd* Create(CIPAddressUI* owner);
    // Places the window over the field, loads the field's address into it and gives it the focus.
    void Init();

protected:
    LPCTSTR GetWindowClassName() const override;
    LPCTSTR GetSuperClassName() const override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void ForgetOwner() override { m_owner = nullptr; }
    void OnClosed() override;

private:
    // Keys released in one of the control's four fields, or in the control.
    void OnKeyUp(WPARAM key);
    // The focus left one of the fields (the reflected `msg`): takes the address when it left the control.
    LRESULT OnEditorKillFocus(UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FieldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR data);

    CIPAddressUI* m_owner;
};

}  // namespace KvUI
