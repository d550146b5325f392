#pragma once
// The remover's window: a question page and a result page. Confirming runs
// the uninstall routine; the last button removes the installation folder,
// the remover included, through a hidden shell and ends the process.
#include <windows.h>

#include <string>

#include "ui/core/WindowImplBase.h"
#include "uninstall/ProcessActions.h"

namespace KvUI {
class CControlUI;
class CTabLayoutUI;
}  // namespace KvUI

namespace kvuninstall {

// The checked installation folder in double quotes once the routine has run;
// empty while nothing may be removed.
extern std::wstring g_quotedInstallPath;

class MainFrame : public KvUI::WindowImplBase {
public:
    // `removerFolder` (with its trailing backslash) holds "uninstall.dat".
    MainFrame(std::wstring removerFolder, ProcessActions& actions);

    LPCTSTR GetWindowClassName() const override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;
    void InitWindow() override;
    void OnClick(KvUI::TUINotify& msg) override;
    void Notify(KvUI::TUINotify& msg) override;

    void RunUninstall();

protected:
    KvUI::CUIString GetSkinFile() override;

private:
    void RemoveSelf();

    std::wstring m_removerFolder;
    ProcessActions& m_actions;
    KvUI::CTabLayoutUI* m_stepTabLayout = nullptr;
    KvUI::CControlUI* m_btnOk = nullptr;
    KvUI::CControlUI* m_sucTip = nullptr;
    KvUI::CControlUI* m_untip = nullptr;
};

}  // namespace kvuninstall
