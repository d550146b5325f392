// The remover program itself, copied into a fake installation and driven by
// mouse messages: it ends the client inside the installation only, removes
// the files, shortcuts and keys, and its last button removes the whole
// folder, itself included.
#include <gtest/gtest.h>

#include "uninstall/UninstallKit.h"
#include "ui/lists/TabLayoutUI.h"
#include "uninstall/window/RemoverWindowKit.h"

namespace kvtest {
namespace {

struct WindowSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindRemoverWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (process != search->process || wcscmp(name, L"UnInstall") != 0 || !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

// Where the buttons are, from the same skin laid out in this process.
struct ButtonSpots {
    POINT ok, closeApp;
};

ButtonSpots FindButtonSpots(const FakeInstallation& install) {
    kvuninstall::ProcessActions unused;
    ProbedFrame frame(install.folder, unused);
    EXPECT_TRUE(frame.Open());
    ButtonSpots spots = {frame.CentreOf(L"btn_ok"), {}};
    static_cast<KvUI::CTabLayoutUI*>(frame.Find(L"stepTabLayout"))->SelectItem(1);
    frame.Settle();
    spots.closeApp = frame.CentreOf(L"closeapp");
    return spots;
}

// Sent, not posted: posted input would overtake the window's first paint,
// which lays the buttons out. Bounded, as the click runs the whole routine.
void Click(HWND window, POINT pt) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    DWORD_PTR result = 0;
    for (const auto& [msg, keys] : {std::pair{WM_MOUSEMOVE, 0}, {WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}}) {
        SendMessageTimeoutW(window, msg, keys, MAKELPARAM(pt.x, pt.y), SMTO_NORMAL, 30000, &result);
    }
}

TEST(RemoverProgram, UninstallsItsInstallationAndRemovesItsFolderAtTheEnd) {
    const FakeInstallation install(L"Program");
    const ButtonSpots spots = FindButtonSpots(install);
    const std::wstring remover = install.folder + L"uninstall.exe";
    ASSERT_TRUE(CopyFileW(ToWindowsPath(KV_UNINSTALL_EXE).c_str(), remover.c_str(), FALSE));
    const ChildProcess inside(install.ClientInside());
    const ChildProcess outside(install.ClientOutside());

    const ChildProcess program(remover);
    WindowSearch search = {program.Id(), nullptr};
    ASSERT_TRUE(PumpUntil(
        [&] { return !EnumWindows(FindRemoverWindow, reinterpret_cast<LPARAM>(&search)) || search.found; }, 30000))
        << "no remover window";

    Click(search.found, spots.ok);
    ASSERT_TRUE(PumpUntil([&] { return install.ShortcutsAndKeysGone(); }, 30000));
    EXPECT_TRUE(inside.WaitEnd(0));
    EXPECT_TRUE(outside.Running());
    EXPECT_FALSE(Exists(install.folder + L"readme.txt"));
    EXPECT_TRUE(Exists(remover));

    Click(search.found, spots.closeApp);
    EXPECT_TRUE(program.WaitEnd(30000));
    EXPECT_TRUE(PumpUntil([&] { return !Exists(install.folder); }, 30000)) << "the installation folder stays";
    EXPECT_TRUE(outside.Running());
}

}  // namespace
}  // namespace kvtest
