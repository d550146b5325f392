#pragma once
// A real hidden window with its paint manager, skin files written into the
// test's work folder (the resource folder), and a control that counts how
// many of its kind are alive, for the dialog builder tests.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/TestKit.h"
#include "ui/core/ContainerUI.h"
#include "ui/core/ControlUI.h"
#include "ui/core/DialogBuilder.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/WindowWnd.h"

namespace kvtest {

using namespace KvUI;

// A top-level window whose messages go through its paint manager.
class HostWindow : public CWindowWnd {
public:
    CPaintManagerUI manager;

    bool Open(DWORD style = WS_POPUP) {
        CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
        return CreateEx(nullptr, L"host", style, 0, 0, 0, 200, 100) != nullptr;
    }
    ~HostWindow() override {
        if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    }

protected:
    LPCTSTR GetWindowClassName() const override { return L"KvBuilderTestHost"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) manager.Init(m_hWnd);
        LRESULT result = 0;
        if (manager.MessageHandler(msg, wParam, lParam, result)) return result;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
};

// A control of a class no factory knows, made by the builder callback; it
// counts the live ones so a test sees what was freed.
class ProbeUI : public CContainerUI {
public:
    ProbeUI() { ++s_alive; }
    ~ProbeUI() override { --s_alive; }
    LPCTSTR GetClass() const override { return L"ProbeUI"; }
    static int Alive() { return s_alive; }

private:
    static inline int s_alive = 0;
};

// Creates a ProbeUI for the tag "Probe" and remembers every tag it was asked for.
class ProbeCallback : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(LPCTSTR className) override {
        asked += Narrow(className) + ";";
        return _wcsicmp(className, L"Probe") == 0 ? new ProbeUI() : nullptr;
    }
    std::string asked;
};

// Skin files live in the work folder, which is the resource folder.
inline void UseWorkFolderForSkins() {
    CPaintManagerUI::SetResourcePath(WorkDir().c_str());
}

inline void WriteSkin(const std::string& name, const std::string& xml) {
    WriteFileText(WorkDirUnix() + "/" + name, xml);
}

// A host window, a builder and its probe callback; the test owns what it builds.
class BuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Open());
        UseWorkFolderForSkins();
    }
    CControlUI* Make(const wchar_t* xml, CControlUI* parent = nullptr) {
        built.reset(builder.Create(xml, nullptr, &callback, &host.manager, parent));
        return built.get();
    }

    HostWindow host;
    CDialogBuilder builder;
    ProbeCallback callback;
    std::unique_ptr<CControlUI> built;
};

}  // namespace kvtest
