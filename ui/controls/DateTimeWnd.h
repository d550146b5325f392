#pragma once
#include "ui/controls/NativeEditorWnd.h"

namespace KvUI {

class CDateTimeUI;

// The system date and time picker over a date field. It closes when the focus
// leaves it (but not for its own calendar drop-down) and writes the date back
// on every change.
class CDateTimeWnd : public CNativeEditorWnd {
public:
    explicit CDateTimeWnd(CDateTimeUI* owner) : m_owner(owner) {}

    // Makes the (hidden) picker over `owner`; null when it cannot be made.
    static CDateTimeWnd* Create(CDateTimeUI* owner);
    // Loads the field's date (today for an empty field) and gives the picker the focus.
    void Init();
    // The field's rectangle cut to the visible part of the tree.
    RECT CalPos() const;

protected:
    LPCTSTR GetWindowClassName() const override;
    LPCTSTR GetSuperClassName() const override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void ForgetOwner() override { m_owner = nullptr; }
    void OnClosed() override;

private:
    void OnNotify(const NMHDR& header);
    void TakeDate();

    CDateTimeUI* m_owner;
    bool m_droppedDown = false;
    SYSTEMTIME m_saved = {};
};

}  // namespace KvUI
