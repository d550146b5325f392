#pragma once
#include "ui/controls/LabelUI.h"

namespace KvUI {

class CDateTimeWnd;

// A date shown as text ("2024-05-31"); while it has the focus the system date
// and time picker lies over it. Escape in the picker restores the date from
// before the editing.
class CDateTimeUI : public CLabelUI {
public:
    CDateTimeUI();
    ~CDateTimeUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void DoEvent(TUIEvent& event) override;

    // What UpdateText does.
    enum UpdateMode { UpdateNone = 0, UpdateShow = 1, UpdateEmpty = 2 };
    void UpdateText();

    // The date; setting it shows it.
    const SYSTEMTIME& GetTime() const { return m_date; }
    void SetTime(const SYSTEMTIME& date);

private:
    friend class CDateTimeWnd;

    void OpenPicker();

    SYSTEMTIME m_date = {};
    int m_updateMode = UpdateNone;
    CDateTimeWnd* m_window = nullptr;
};

}  // namespace KvUI
