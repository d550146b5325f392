// The window base: class registration, superclassing, the modal loop,
// centring and client sizing.
#include <gtest/gtest.h>

#include "core/manager/ManagerTestKit.h"

namespace kvtest {
namespace {

class PlainWindow : public CWindowWnd {
public:
    PlainWindow() { CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr)); }
    ~PlainWindow() override {
        if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    }
    HWND finalHandle = nullptr;

protected:
    LPCTSTR GetWindowClassName() const override { return L"KvTestPlain"; }
    void OnFinalMessage(HWND hWnd) override { finalHandle = hWnd; }
};

TEST(WindowBase, TwoWindowsOfOneClassBothCreateAndTheHandleGoesAtTheEnd) {
    PlainWindow first;
    PlainWindow second;
    ASSERT_TRUE(first.CreateEx(nullptr, L"one", WS_POPUP, 0, 0, 0, 50, 50));
    ASSERT_TRUE(second.CreateEx(nullptr, L"two", WS_POPUP, 0, 0, 0, 50, 50)) << "registration refused as existing";
    const HWND handle = first.GetHWND();
    DestroyWindow(first);
    EXPECT_EQ(nullptr, first.GetHWND());
    EXPECT_EQ(handle, first.finalHandle);
}

TEST(WindowBase, AWindowOfTheClassCreatedWithoutAnObjectGetsTheDefaultProcedure) {
    PlainWindow registered;
    ASSERT_TRUE(registered.CreateEx(nullptr, L"", WS_POPUP, 0, 0, 0, 50, 50));
    const HWND stray = CreateWindowExW(0, L"KvTestPlain", L"stray", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, stray);
    EXPECT_EQ(0, GetWindowLongPtrW(stray, GWLP_USERDATA));
    SetWindowTextW(stray, L"still works");
    wchar_t text[16] = {};
    GetWindowTextW(stray, text, 16);
    EXPECT_STREQ(L"still works", text);
    DestroyWindow(stray);
    EXPECT_EQ(nullptr, registered.finalHandle) << "the registered object never heard of it";
}

// A superclass of the system edit control: its procedure handles what the
// object passes on, and the object lives in the window property "WndX".
class EditWindow : public CWindowWnd {
public:
    EditWindow() { CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr)); }
    ~EditWindow() override {
        if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    }
    int seen = 0;

protected:
    LPCTSTR GetWindowClassName() const override { return L"KvTestEdit"; }
    LPCTSTR GetSuperClassName() const override { return L"Edit"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_SETTEXT) ++seen;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
};

TEST(WindowBase, ASuperclassRunsTheSystemProcedureAndKeepsItsObjectInAProperty) {
    EditWindow edit;
    ASSERT_TRUE(edit.CreateEx(nullptr, L"", WS_POPUP, 0, 0, 0, 100, 20));
    SetWindowTextW(edit, L"typed");
    wchar_t text[16] = {};
    GetWindowTextW(edit, text, 16);
    EXPECT_STREQ(L"typed", text);
    EXPECT_EQ(1, edit.seen);
    EXPECT_EQ(&edit, GetPropW(edit, L"WndX"));
    EXPECT_EQ(0, GetWindowLongPtrW(edit, GWLP_USERDATA));
    const HWND handle = edit.GetHWND();
    DestroyWindow(handle);
    EXPECT_EQ(nullptr, GetPropW(handle, L"WndX"));
}

TEST(WindowBase, ShowAndCloseDoNothingWithoutAWindow) {
    PlainWindow none;
    none.ShowWindow(true);
    none.Close(5);
    EXPECT_FALSE(none.ResizeClient(10, 10));
}

TEST(WindowBase, ResizeClientKeepsAMinusOneDimension) {
    PlainWindow window;
    ASSERT_TRUE(window.CreateEx(nullptr, L"", WS_OVERLAPPEDWINDOW, 0, 0, 0, 400, 300));
    RECT before;
    GetClientRect(window, &before);
    ASSERT_TRUE(window.ResizeClient(-1, 120));
    RECT after;
    GetClientRect(window, &after);
    EXPECT_EQ(before.right, after.right);
    EXPECT_EQ(120, after.bottom);
}

// A skinned window has no frame: the whole window is its client area.
class FramelessWindow : public PlainWindow {
protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        return msg == WM_NCCALCSIZE ? 0 : PlainWindow::HandleMessage(msg, wParam, lParam);
    }
};

TEST(WindowBase, ResizeClientGivesTheClientExactlyThatSizeWithOrWithoutAFrame) {
    PlainWindow framed;
    FramelessWindow frameless;
    for (CWindowWnd* window : {static_cast<CWindowWnd*>(&framed), static_cast<CWindowWnd*>(&frameless)}) {
        ASSERT_TRUE(window->CreateEx(nullptr, L"", WS_OVERLAPPEDWINDOW, 0, 0, 0, 400, 300));
        ASSERT_TRUE(window->ResizeClient(320, 200));
        RECT client;
        GetClientRect(*window, &client);
        EXPECT_EQ(320, client.right);
        EXPECT_EQ(200, client.bottom);
    }
}

TEST(WindowBase, AWindowLargerThanTheWorkAreaIsPinnedToItsTopLeft) {
    PlainWindow window;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT area = monitor.rcWork;
    ASSERT_TRUE(window.CreateEx(nullptr, L"", WS_POPUP, 0, 0, 0, area.right - area.left + 300,
                                area.bottom - area.top + 300));
    window.CenterWindow();
    RECT rc;
    GetWindowRect(window, &rc);
    EXPECT_EQ(area.left, rc.left);
    EXPECT_EQ(area.top, rc.top);
}

TEST(WindowBase, ASmallWindowIsCentredOnItsOwner) {
    PlainWindow owner;
    ASSERT_TRUE(owner.CreateEx(nullptr, L"", WS_POPUP, 0, 100, 100, 400, 300));
    PlainWindow window;
    ASSERT_TRUE(window.CreateEx(owner, L"", WS_POPUP, 0, 0, 0, 100, 50));
    window.CenterWindow();
    RECT rc;
    GetWindowRect(window, &rc);
    EXPECT_EQ(250, rc.left);
    EXPECT_EQ(225, rc.top);
}

// A modal dialog that deletes itself when its window goes, as heap windows do.
class SelfDeletingDialog : public CWindowWnd {
public:
    explicit SelfDeletingDialog(bool* ownerEnabledAtDestroy) : m_ownerEnabled(ownerEnabledAtDestroy) {}

protected:
    LPCTSTR GetWindowClassName() const override { return L"KvTestModal"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_DESTROY) *m_ownerEnabled = IsWindowEnabled(GetWindow(m_hWnd, GW_OWNER)) != FALSE;
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
    void OnFinalMessage(HWND) override { delete this; }

private:
    bool* m_ownerEnabled;
};

TEST(ModalLoop, ReturnsTheCloseResultAndEnablesTheOwnerFirst) {
    PlainWindow owner;
    ASSERT_TRUE(owner.CreateEx(nullptr, L"", WS_POPUP, 0, 0, 0, 200, 200));
    bool ownerEnabled = false;
    auto* dialog = new SelfDeletingDialog(&ownerEnabled);
    ASSERT_TRUE(dialog->CreateEx(owner, L"", WS_POPUP, 0, 0, 0, 100, 100));
    dialog->Close(42);
    EXPECT_EQ(42u, dialog->ShowModal()) << "the object deleted itself inside the loop";
    EXPECT_TRUE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST(ModalLoop, AQuitMessageEndsTheLoopAndIsPostedAgain) {
    PlainWindow owner;
    ASSERT_TRUE(owner.CreateEx(nullptr, L"", WS_POPUP, 0, 0, 0, 200, 200));
    PlainWindow dialog;
    ASSERT_TRUE(dialog.CreateEx(owner, L"", WS_POPUP, 0, 0, 0, 100, 100));
    PostQuitMessage(7);
    EXPECT_EQ(0u, dialog.ShowModal());
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_TRUE(IsWindow(dialog)) << "the window stays; only the loop ended";
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
}

TEST(MessageLoop, EndsOnQuit) {
    PostQuitMessage(0);
    CPaintManagerUI::MessageLoop();
    SUCCEED();
}

}  // namespace
}  // namespace kvtest
