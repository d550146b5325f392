// A window whose skin cannot be loaded says which file in a message box
// titled "KvUI" and ends the program with exit code 1. The failing window
// runs in a child process of this test program; the test reads and closes
// the box by finding its window.
#include <gtest/gtest.h>

#include <string>

#include "core/windowbase/WindowBaseKit.h"

namespace kvtest {
namespace {

// Only ever run as the child of the test below.
TEST(SkinLoadFailure, DISABLED_ChildOpensAFrameWithAMissingSkin) {
    CPaintManagerUI::SetResourcePath(WorkDir().c_str());
    TestFrame frame(L"missing-skin.xml");
    frame.Open();
    ADD_FAILURE() << "the process should have ended";
}

struct BoxSearch {
    DWORD process;
    HWND box;
};

BOOL CALLBACK FindBox(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<BoxSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t title[32] = {};
    wchar_t cls[32] = {};
    GetWindowTextW(window, title, 32);
    GetClassNameW(window, cls, 32);
    if (process == search->process && wcscmp(cls, L"#32770") == 0 && wcscmp(title, L"KvUI") == 0) {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring TextOfBox(HWND box) {
    // The message text is the box's static control with id 0xFFFF.
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    return text;
}

TEST(SkinLoadFailure, SaysWhichFileInABoxTitledKvUIAndExitsWithCodeOne) {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = std::wstring(L"\"") + exe +
                           L"\" --gtest_also_run_disabled_tests "
                           L"--gtest_filter=SkinLoadFailure.DISABLED_ChildOpensAFrameWithAMissingSkin";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);

    BoxSearch search = {pi.dwProcessId, nullptr};
    const bool found = PumpUntil(
        [&] {
            EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
            return search.box != nullptr || WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0;
        },
        30000);
    ASSERT_TRUE(found);
    ASSERT_NE(nullptr, search.box) << "the child ended without a message box";
    EXPECT_EQ(L"\u52A0\u8F7D\u8D44\u6E90\u6587\u4EF6\u5931\u8D25\uFF1Amissing-skin.xml", TextOfBox(search.box));
    PostMessageW(search.box, WM_COMMAND, IDOK, 0);

    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 30000));
    DWORD exitCode = 0;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(1u, exitCode);
}

}  // namespace
}  // namespace kvtest
