#pragma once
#include "ui/controls/LabelUI.h"

namespace KvUI {

class CIPAddressWnd;

// The IPv4 address of this computer, first octet in the highest byte; 0 when
// it cannot be found.
DWORD GetLocalIpAddress();

// An IPv4 address shown as text; while it has the focus the system IP address
// control lies over it for editing. It starts with this computer's address.
class CIPAddressUI : public CLabelUI {
public:
    CIPAddressUI();
    ~CIPAddressUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void DoEvent(TUIEvent& event) override;

    // What UpdateText does.
    enum UpdateMode { UpdateNone = 0, UpdateShow = 1, UpdateEmpty = 2, UpdateCancelled = 3 };
    void UpdateText();

    // The address, first octet in the highest byte; setting it shows it.
    DWORD GetIP() const { return m_address; }
    void SetIP(DWORD address);

private:
    friend class CIPAddressWnd;

    void OpenEditor();

    DWORD m_address = 0;
    int m_updateMode = UpdateNone;
    CIPAddressWnd* m_window = nullptr;
};

}  // namespace KvUI
