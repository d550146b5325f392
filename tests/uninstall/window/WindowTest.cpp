// The remover's window in this process, built from the remover's own skin:
// a fixed-size frame of class "UnInstall" whose question page leads to the
// result page, and whose last button hands the checked folder to a hidden
// "cmd.exe" (recorded here instead of started).
#include <gtest/gtest.h>

#include "support/UiTestKit.h"
#include "ui/core/ControlUI.h"
#include "uninstall/MainFrame.h"
#include "uninstall/UninstallKit.h"
#include "uninstall/window/RemoverWindowKit.h"

namespace kvtest {
namespace {

struct Recorder : kvuninstall::ProcessActions {
    void RaisePriority() override { ++raised; }
    void OpenShell(const std::wstring& file, const std::wstring& arguments, const std::wstring& folder,
                   int show) override {
        shells.push_back({file, arguments, folder, show});
    }
    void EndProcess(UINT code) override { ends.push_back(code); }

    struct Shell {
        std::wstring file, arguments, folder;
        int show;
    };
    int raised = 0;
    std::vector<Shell> shells;
    std::vector<UINT> ends;
};

struct Fixture {
    FakeInstallation install{L"Window"};
    Recorder recorder;
    ProbedFrame frame{install.folder, recorder};

    Fixture() { EXPECT_TRUE(frame.Open()); }
};

TEST(RemoverWindow, IsAFixedSizeFrameOfClassUnInstall) {
    Fixture f;
    wchar_t name[32] = {};
    GetClassNameW(f.frame.GetHWND(), name, 32);
    EXPECT_STREQ(L"UnInstall", name);
    EXPECT_EQ(0, GetWindowLongW(f.frame.GetHWND(), GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX));

    RECT before = {};
    GetWindowRect(f.frame.GetHWND(), &before);
    for (const POINT corner : {POINT{before.right - 1, before.bottom - 1}, POINT{before.left, before.top}}) {
        const LRESULT hit = SendMessageW(f.frame.GetHWND(), WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y));
        EXPECT_TRUE(hit == HTCLIENT || hit == HTCAPTION) << hit;
    }
    const LPARAM caption = MAKELPARAM(before.left + 100, before.top + 10);
    SendMessageW(f.frame.GetHWND(), WM_NCLBUTTONDBLCLK, HTCAPTION, caption);
    SendMessageW(f.frame.GetHWND(), WM_NCLBUTTONUP, HTCAPTION, caption);
    RECT after = {};
    GetWindowRect(f.frame.GetHWND(), &after);
    EXPECT_FALSE(IsZoomed(f.frame.GetHWND()));
    EXPECT_EQ(before, after);
}

TEST(RemoverWindow, ConfirmingShowsTheResultAndTheLastButtonRemovesTheFolderThroughAHiddenShell) {
    Fixture f;
    EXPECT_EQ(L"\u662F\u5426\u8981\u5378\u8F7DKorvanthel?", f.frame.Text(L"untip"));
    EXPECT_TRUE(f.frame.Shown(L"btn_ok"));
    EXPECT_FALSE(f.frame.Shown(L"closeapp"));

    f.frame.ClickOn(L"btn_ok");
    EXPECT_TRUE(f.frame.Shown(L"closeapp"));
    EXPECT_FALSE(f.frame.Shown(L"btn_ok"));
    EXPECT_EQ(L"\u5378\u8F7D\u6210\u529F \uFF01", f.frame.Text(L"suc_tip"));
    EXPECT_FALSE(Exists(f.install.folder + L"readme.txt"));

    f.frame.ClickOn(L"closeapp");
    EXPECT_EQ(1, f.recorder.raised);
    ASSERT_EQ(1u, f.recorder.shells.size());
    const Recorder::Shell& shell = f.recorder.shells[0];
    EXPECT_EQ(L"cmd.exe", shell.file);
    EXPECT_EQ(L"/c rmdir /s /q  \"" + f.install.folder + L"\" ", shell.arguments);
    EXPECT_EQ(SW_HIDE, shell.show);
    // The shell's own current folder would keep the folder it removes.
    EXPECT_TRUE(Exists(shell.folder));
    EXPECT_NE(0, _wcsnicmp(shell.folder.c_str(), f.install.folder.c_str(), f.install.folder.size() - 1));
    EXPECT_EQ(std::vector<UINT>{0}, f.recorder.ends);
}

struct ResultCase {
    const char* name;
    void (*arrange)(const FakeInstallation&);
    const wchar_t* text;
    bool removesFolder;
};

class RemoverResultPage : public ::testing::TestWithParam<ResultCase> {};

TEST_P(RemoverResultPage, ShowsTheOutcomeAndRemovesOnlyACheckedFolder) {
    Fixture f;
    GetParam().arrange(f.install);
    f.frame.ClickOn(L"btn_ok");
    EXPECT_TRUE(f.frame.Shown(L"suc_tip"));
    EXPECT_EQ(GetParam().text, f.frame.Text(L"suc_tip"));

    f.frame.ClickOn(L"closeapp");
    EXPECT_EQ(GetParam().removesFolder ? 1u : 0u, f.recorder.shells.size());
    EXPECT_EQ(std::vector<UINT>{0}, f.recorder.ends);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RemoverResultPage,
    ::testing::Values(
        ResultCase{"NoDataFile",
                   [](const FakeInstallation& install) { DeleteFileW((install.folder + L"uninstall.dat").c_str()); },
                   L"uninstall.dat \u4E22\u5931\u6216\u9519\u8BEF\uFF0C\u65E0\u6CD5\u5B8C\u6210\u5378\u8F7D\uFF0C"
                   L"\u8BF7\u624B\u52A8\u5378\u8F7D\uFF01",
                   false},
        ResultCase{"NoUninstallName",
                   [](const FakeInstallation& install) {
                       WriteUninstallData(install.folder, {{"install_reg_name", install.regName},
                                                           {"install_path", install.folder}});
                   },
                   L"uninstall.dat \u4E22\u5931\u6216\u9519\u8BEF\uFF0C\u65E0\u6CD5\u5B8C\u6210\u5378\u8F7D\uFF0C"
                   L"\u8BF7\u624B\u52A8\u5378\uFF01",
                   false},
        ResultCase{"KeyLeftOver",
                   [](const FakeInstallation& install) {
                       MakeKey(HKEY_CURRENT_USER, L"Software\\" + install.regName + L"\\Extra");
                   },
                   L"\u5378\u8F7D\u672A\u5B8C\u6210\uFF1A\u7A0B\u5E8F\u65E0\u6CD5\u5173\u95ED\uFF0C\u6216\u5FEB"
                   L"\u6377\u65B9\u5F0F\u3001\u6CE8\u518C\u8868\u9879\u65E0\u6CD5\u5220\u9664\uFF0C\u8BF7\u624B"
                   L"\u52A8\u5B8C\u6210\u5378\u8F7D\uFF01",
                   true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvtest
