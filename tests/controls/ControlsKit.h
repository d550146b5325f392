#pragma once
// What the control tests share: the control classes known to the factory, a
// real (hidden) window whose tree is built from a small skin, mouse and key
// input sent as window messages, the pixels of the manager's off-screen
// bitmap, recorded notifications, and images made by ImageMagick.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TestKit.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/CheckBoxUI.h"
#include "ui/controls/GifAnimUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/ProgressUI.h"
#include "ui/controls/SliderUI.h"
#include "ui/controls/TextUI.h"
#include "ui/core/ControlFactory.h"
#include "ui/core/DialogBuilder.h"
#include "ui/core/HorizontalLayoutUI.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/VerticalLayoutUI.h"
#include "support/UiTestKit.h"
#include "ui/core/WindowWnd.h"
#include "ui/lists/AnimationTabLayoutUI.h"
#include "ui/lists/TabLayoutUI.h"

namespace kvtest {

using namespace KvUI;

// Skin images live in the test's work folder, the resource folder.
inline void UseWorkFolder() { CPaintManagerUI::SetResourcePath(WorkDir().c_str()); }

// Writes an image into the work folder with ImageMagick: `args` describe it
// (for example {"-size", "20x20", "xc:red"}), the file name comes last.
inline void MakeImage(const std::string& name, std::vector<std::string> args) {
    args.insert(args.begin(), "convert");
    args.push_back(WorkDirUnix() + "/" + name);
    ASSERT_EQ(0, RunUnix(args)) << "convert " << name;
}

// A strip of equal squares, one colour each, side by side.
inline void MakeStrip(const std::string& name, int side, const std::vector<std::string>& colours) {
    std::vector<std::string> args = {"-size", std::to_string(side) + "x" + std::to_string(side)};
    for (const std::string& colour : colours) args.push_back("xc:" + colour);
    args.push_back("+append");
    MakeImage(name, args);
}


// Notes the bitmap the manager paints into, so the tests read the pixels the
// window really shows.
class OffscreenProbe : public CControlUI {
public:
    void DoPostPaint(HDC dc, const RECT& paint) override {
        (void)paint;
        bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
        ++paints;
    }
    HBITMAP bitmap = nullptr;
    int paints = 0;
};

// A borderless top-level window whose messages go through its paint manager.
class Host : public UiHostWindow {
public:
    Notes notes;

    explicit Host(int width = 300, int height = 200) {
        // The real pointer rests far from every test window: a window shown
        // under it, or capturing the mouse, would get its moves.
        SetCursorPos(1279, 1023);
        Open(20, 20, width, height);
        manager.AddPostPaint(&m_probe);
        manager.AddNotifier(&notes);
    }

    // Builds `xml`, a skin text, in this window, attaches and lays it out.
    CControlUI* Build(const std::wstring& xml) {
        CDialogBuilder builder;
        CControlUI* root = builder.Create(xml.c_str(), nullptr, nullptr, &manager);
        EXPECT_NE(nullptr, root) << Narrow(builder.GetLastErrorMessage());
        if (!root) return nullptr;
        return Attach(root);
    }

    template <class T>
    T* Attach(T* root) {
        manager.AttachDialog(root);
        EXPECT_TRUE(Paint());
        return root;
    }

    template <class T>
    T* Find(LPCTSTR name) const {
        return static_cast<T*>(manager.FindControl(name));
    }

    // Shows the window without activating it and pumps until the whole tree
    // is laid out and painted into the off-screen bitmap.
    bool Paint() {
        ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
        InvalidateRect(m_hWnd, nullptr, FALSE);
        const int before = m_probe.paints;
        UpdateWindow(m_hWnd);
        return PumpUntil([&] {
            RECT rc;
            return m_probe.paints > before && !manager.IsUpdateNeeded() && !GetUpdateRect(m_hWnd, &rc, FALSE);
        });
    }

    // How many times the window has painted so far.
    int Paints() const { return m_probe.paints; }

    // A pixel of the off-screen bitmap as 0x00RRGGBB; Paint() first.
    DWORD Pixel(int x, int y) const {
        DIBSECTION dib = {};
        if (!m_probe.bitmap || GetObjectW(m_probe.bitmap, sizeof dib, &dib) != sizeof dib || !dib.dsBm.bmBits) {
            return 0xDEADBEEF;
        }
        if (x < 0 || y < 0 || x >= dib.dsBm.bmWidth || y >= dib.dsBm.bmHeight) return 0xDEADBEEF;
        const int row = dib.dsBmih.biHeight > 0 ? dib.dsBm.bmHeight - 1 - y : y;
        GdiFlush();
        return static_cast<const DWORD*>(dib.dsBm.bmBits)[row * dib.dsBm.bmWidth + x] & 0x00FFFFFF;
    }
    // How many pixels of row `y` between x0 (included) and x1 (excluded) have `colour`.
    int CountInRow(int y, int x0, int x1, DWORD colour) const {
        int n = 0;
        for (int x = x0; x < x1; ++x) n += Pixel(x, y) == colour;
        return n;
    }
    int CountInColumn(int x, int y0, int y1, DWORD colour) const {
        int n = 0;
        for (int y = y0; y < y1; ++y) n += Pixel(x, y) == colour;
        return n;
    }

    void DoubleClick(int x, int y) { Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Click(int x, int y) {
        Move(x, y);
        Press(x, y);
        Release(x, y);
    }
    void RightRelease(int x, int y) { Send(WM_RBUTTONUP, 0, MAKELPARAM(x, y)); }
private:
    OffscreenProbe m_probe;
};

// A skin: one window with its declarations (fonts, images) and the given
// body inside a white vertical layout that fills the window.
inline std::wstring Skin(const std::wstring& body, const std::wstring& declarations = L"") {
    return L"<Window>" + declarations + L"<VerticalLayout name=\"root\" bkcolor=\"#FFFFFFFF\">" + body +
           L"</VerticalLayout></Window>";
}

// Rectangles compared and printed by gtest.
inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::string Show(const RECT& rc) {
    return "(" + std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) + "," +
           std::to_string(rc.bottom) + ")";
}

}  // namespace kvtest
