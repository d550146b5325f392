#pragma once
#include "ui/controls/EditUI.h"

namespace KvUI {

// An IPv4 address drawn by the library itself as four fields between dots,
// edited with digits, arrows, the wheel and clicks; no native window.
class CIPAddressExUI : public CEditUI {
public:
    CIPAddressExUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void DoEvent(TUIEvent& event) override;
    void PaintText(HDC dc) override;

    void UpdateText();

    // The address, first octet in the highest byte.
    DWORD GetIP() const;
    void SetIP(DWORD address);

private:
    void OnKeyDown(WPARAM key);
    void AddDigit(WPARAM key);
    void Increment();
    void Decrement();
    // Leaves the current field for `field`, forgetting the digits typed so far.
    void MoveToField(int field);

    int m_octets[4] = {};
    int m_field = 0;  // 0 none, 1-4 the field being edited
    CUIString m_typed;
};

}  // namespace KvUI
