#pragma once
// What the container, layout and scroll bar tests share: a real window with a
// paint manager whose tree a test builds in code, sized children, recorded
// notifications, and the window's pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/UiTestKit.h"
#include "ui/core/ContainerUI.h"
#include "ui/core/HorizontalLayoutUI.h"
#include "ui/core/ScrollBarUI.h"
#include "ui/core/VerticalLayoutUI.h"

namespace kvtest {

using namespace KvUI;

// The shared test window, open at (40, 30) from the start.
class Host : public UiHostWindow {
public:
    explicit Host(int width = 200, int height = 150) { Open(40, 30, width, height); }

    // Attaches `root` and lays the tree out the way the first paint does.
    template <class T>
    T* Attach(T* root) {
        manager.AttachDialog(root);
        LayOut();
        return root;
    }
    bool LayOut() { return ShowAndPaint(); }
};

// A named control of the given fixed size; 0 leaves that side to the layout.
inline CControlUI* Box(LPCTSTR name, int width = 0, int height = 0) {
    auto* box = new CControlUI();
    box->SetName(name);
    if (width) box->SetFixedWidth(width);
    if (height) box->SetFixedHeight(height);
    return box;
}

// A control that says when it dies.
class Mortal : public CControlUI {
public:
    explicit Mortal(bool* dead) : m_dead(dead) {}
    ~Mortal() override { *m_dead = true; }

private:
    bool* m_dead;
};

inline RECT Rect(int l, int t, int r, int b) { return RECT{l, t, r, b}; }


}  // namespace kvtest
