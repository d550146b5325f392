#pragma once
// A frame derived from WindowImplBase as the program's windows are, with its
// skin written into the test's work folder (the resource folder).
#include <windows.h>

#include <string>
#include <vector>

#include "support/TestKit.h"
#include "ui/core/ContainerUI.h"
#include "ui/core/ControlUI.h"
#include "ui/core/WindowImplBase.h"

namespace kvtest {

using namespace KvUI;

// A container class that is not one of the "static" ones: in the caption band
// neither it nor anything inside it drags the window.
class PressableUI : public CContainerUI {
public:
    LPCTSTR GetClass() const override { return L"PressableUI"; }
};

class TestFrame : public WindowImplBase {
public:
    explicit TestFrame(std::wstring skinFile, std::wstring skinType = L"")
        : m_skinFile(std::move(skinFile)), m_skinType(std::move(skinType)) {}
    ~TestFrame() override {
        if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    }

    bool Open(DWORD style = WS_POPUP | WS_MINIMIZEBOX | WS_MAXIMIZEBOX) {
        CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
        return CreateEx(nullptr, L"frame", style, 0, 200, 150, 100, 100) != nullptr;
    }

    CPaintManagerUI& Manager() { return m_pm; }
    CControlUI* Find(LPCTSTR name) { return m_pm.FindControl(name); }
    // The hit-test code for a point in client coordinates.
    LRESULT HitTest(int x, int y) {
        POINT pt = {x, y};
        ClientToScreen(m_hWnd, &pt);
        return ::SendMessageW(m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    }
    void Click(LPCTSTR name) { m_pm.SendNotify(Find(name), L"click"); }

    void InitWindow() override {
        ++initCount;
        rootAtInit = m_pm.GetRoot();
    }
    void Notify(TUINotify& msg) override {
        notified.push_back(Narrow(msg.type.GetData()));
        WindowImplBase::Notify(msg);
    }

    int initCount = 0;
    CControlUI* rootAtInit = nullptr;
    std::vector<WPARAM> defaultKeys;
    std::vector<std::string> notified;

protected:
    LPCTSTR GetWindowClassName() const override { return L"KvTestFrame"; }
    CUIString GetSkinFile() override { return m_skinFile.c_str(); }
    CUIString GetSkinType() override { return m_skinType.c_str(); }
    bool ResponseDefaultKeyEvent(WPARAM key) override {
        defaultKeys.push_back(key);
        return WindowImplBase::ResponseDefaultKeyEvent(key);
    }
    CControlUI* CreateControl(LPCTSTR className) override {
        return _wcsicmp(className, L"Pressable") == 0 ? new PressableUI() : nullptr;
    }

private:
    std::wstring m_skinFile;
    std::wstring m_skinType;
};

inline void WriteSkin(const std::string& name, const std::string& xml) {
    CPaintManagerUI::SetResourcePath(WorkDir().c_str());
    WriteFileText(WorkDirUnix() + "/" + name, xml);
}

}  // namespace kvtest
