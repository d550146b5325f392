#pragma once
// The remover's frame in the test process: the skin from this program's own
// ZIPRES 129, opened as the program opens it, with its controls readable and
// clickable with mouse messages.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/TestEnv.h"
#include "ui/core/ControlUI.h"
#include "ui/core/PaintManagerUI.h"
#include "uninstall/MainFrame.h"

namespace kvtest {

inline void AttachRemoverSkin() {
    static const bool attached = [] {
        const HMODULE module = GetModuleHandleW(nullptr);
        KvUI::CPaintManagerUI::SetInstance(module);
        const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(129), L"ZIPRES");
        if (!found) return false;
        KvUI::CPaintManagerUI::SetResourceZip(LockResource(LoadResource(module, found)),
                                              static_cast<int>(SizeofResource(module, found)));
        return true;
    }();
    ASSERT_TRUE(attached);
}

class ProbedFrame : public kvuninstall::MainFrame {
public:
    using MainFrame::MainFrame;
    ~ProbedFrame() override {
        if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    }

    bool Open() {
        AttachRemoverSkin();
        if (!CreateEx(nullptr, L"remover", 0x10CF0000, 0)) return false;
        CenterWindow();
        return Settle();
    }
    // Pumps until the tree is laid out and painted.
    bool Settle() {
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return PumpUntil([this] {
            RECT rc;
            return !m_pm.IsUpdateNeeded() && !GetUpdateRect(m_hWnd, &rc, FALSE);
        });
    }

    KvUI::CControlUI* Find(LPCTSTR name) { return m_pm.FindControl(name); }
    std::wstring Text(LPCTSTR name) {
        KvUI::CControlUI* control = Find(name);
        return control ? control->GetText().GetData() : L"<none>";
    }
    // Visible on the page that shows: itself and every parent.
    bool Shown(LPCTSTR name) {
        for (KvUI::CControlUI* c = Find(name); c; c = c->GetParent()) {
            if (!c->IsVisible()) return false;
        }
        return Find(name) != nullptr;
    }
    POINT CentreOf(LPCTSTR name) {
        const RECT pos = Find(name)->GetPos();
        return {(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
    }
    void ClickOn(LPCTSTR name) {
        ASSERT_TRUE(Shown(name)) << Narrow(name);
        const POINT pt = CentreOf(name);
        ::SendMessageW(m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
        ::SendMessageW(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        ::SendMessageW(m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        Settle();
    }
};

}  // namespace kvtest
