#pragma once
// The settings window: the server line and the page zoom, each chosen from a
// combo box, and the client's version. A choice takes effect at once: the
// main window is told by a posted message, not when the window closes.
#include <windows.h>

#include "client/DialogFrame.h"

namespace KvUI {
class CComboUI;
class CControlUI;
}  // namespace KvUI

namespace kvclient {

class SettingFrame : public DialogFrame {
public:
    LPCTSTR GetWindowClassName() const override;
    void InitWindow() override;
    void Notify(KvUI::TUINotify& msg) override;

protected:
    KvUI::CUIString GetSkinFile() override;

private:
    void LineChosen();
    void ZoomChosen();

    KvUI::CControlUI* m_labVersion = nullptr;
    KvUI::CComboUI* m_comboLines = nullptr;
    KvUI::CComboUI* m_comboZoom = nullptr;
    KvUI::CControlUI* m_bannerLayout = nullptr;
};

}  // namespace kvclient
