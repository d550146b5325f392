// The remover's window, built from the remover's own skin (this program's
// ZIPRES 129): in this process with its shell and exit recorded, and as the
// real program copied into a fake installation and driven by mouse messages.
#include <gtest/gtest.h>

#include <memory>

#include "support/UiTestKit.h"
#include "ui/core/ControlUI.h"
#include "ui/lists/TabLayoutUI.h"
#include "win/GdiOwners.h"
#include "uninstall/MainFrame.h"
#include "uninstall/UninstallKit.h"

namespace kvtest {
namespace {

void AttachRemoverSkin() {
    static const bool attached = AttachSkinZip(129);
    ASSERT_TRUE(attached);
}

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
    std::wstring Text(LPCTSTR name) { return m_pm.FindControl(name)->GetText().GetData(); }
    RECT PosOf(LPCTSTR name) { return m_pm.FindControl(name)->GetPos(); }
    bool Shown(LPCTSTR name) {
        KvUI::CControlUI* control = m_pm.FindControl(name);
        for (; control && control->IsVisible(); control = control->GetParent()) {
        }
        return !control;
    }
    POINT CentreOf(LPCTSTR name) {
        const RECT pos = PosOf(name);
        return {(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
    }
    void ShowPage(int page) {
        static_cast<KvUI::CTabLayoutUI*>(m_pm.FindControl(L"stepTabLayout"))->SelectItem(page);
        Settle();
    }
};

// Sent, not posted: posted input would overtake the window's first paint,
// which lays the buttons out. Bounded, as a click may run the whole routine.
void Click(HWND window, POINT pt) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    DWORD_PTR result = 0;
    for (const auto& [msg, keys] : {std::pair{WM_MOUSEMOVE, 0}, {WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}}) {
        SendMessageTimeoutW(window, msg, keys, MAKELPARAM(pt.x, pt.y), SMTO_NORMAL, 30000, &result);
    }
}

// One part of a window's client area, 0x00RRGGBB: as the window paints it
// itself, or as the screen shows it (for a window of another process).
std::vector<DWORD> PartPixels(HWND window, const RECT& part, bool fromScreen) {
    RECT client = {};
    GetClientRect(window, &client);
    const kvwin::WindowDC screen(nullptr);
    const kvwin::MemoryDib dib(screen.get(), client.right, client.bottom);
    if (!dib.Ready()) return {};
    if (fromScreen) {
        POINT origin = {0, 0};
        ClientToScreen(window, &origin);
        BitBlt(dib.dc(), 0, 0, client.right, client.bottom, screen.get(), origin.x, origin.y, SRCCOPY);
    } else {
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.dc()), PRF_CLIENT);
    }
    GdiFlush();
    std::vector<DWORD> pixels;
    for (LONG y = part.top; y < part.bottom; ++y) {
        const DWORD* row = dib.pixels() + static_cast<size_t>(y) * static_cast<size_t>(client.right);
        for (LONG x = part.left; x < part.right; ++x) pixels.push_back(row[x] & 0x00FFFFFF);
    }
    return pixels;
}

struct Fixture {
    FakeInstallation install{L"Window"};
    Recorder recorder;
    ProbedFrame frame{install.folder, recorder};
    Fixture() { EXPECT_TRUE(frame.Open()); }
    void ClickOn(LPCTSTR name) {
        ASSERT_TRUE(frame.Shown(name)) << Narrow(name);
        Click(frame.GetHWND(), frame.CentreOf(name));
        frame.Settle();
    }
};

TEST(RemoverWindow, IsAFixedSizeFrameOfClassUnInstall) {
    Fixture f;
    const HWND window = f.frame.GetHWND();
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    EXPECT_STREQ(L"UnInstall", name);
    EXPECT_EQ(0, GetWindowLongW(window, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX));
    RECT before = {};
    GetWindowRect(window, &before);
    const LRESULT corner = SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(before.right - 1, before.bottom - 1));
    EXPECT_EQ(HTCLIENT, corner);

    SendMessageW(window, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(before.left + 100, before.top + 10));
    RECT after = {};
    GetWindowRect(window, &after);
    EXPECT_FALSE(IsZoomed(window));
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST(RemoverWindow, ConfirmingShowsTheResultAndTheLastButtonRemovesTheFolderThroughAHiddenShell) {
    Fixture f;
    EXPECT_EQ(L"是否要卸载Korvanthel?", f.frame.Text(L"untip"));
    EXPECT_FALSE(f.frame.Shown(L"closeapp"));
    f.ClickOn(L"btn_ok");
    EXPECT_FALSE(f.frame.Shown(L"btn_ok"));
    EXPECT_EQ(L"卸载成功 ！", f.frame.Text(L"suc_tip"));

    f.ClickOn(L"closeapp");
    EXPECT_EQ(1, f.recorder.raised);
    ASSERT_EQ(1u, f.recorder.shells.size());
    const Recorder::Shell& shell = f.recorder.shells[0];
    EXPECT_EQ(L"cmd.exe", shell.file);
    EXPECT_EQ(L"/c rmdir /s /q  \"" + f.install.folder + L"\" ", shell.arguments);
    EXPECT_EQ(SW_HIDE, shell.show);
    // The shell's current folder would keep the folder it removes.
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

TEST_P(RemoverResultPage, TellsTheOutcomeAndRemovesOnlyACheckedFolder) {
    Fixture f;
    GetParam().arrange(f.install);
    f.ClickOn(L"btn_ok");
    EXPECT_EQ(GetParam().text, f.frame.Text(L"suc_tip"));
    f.ClickOn(L"closeapp");
    EXPECT_EQ(GetParam().removesFolder ? 1u : 0u, f.recorder.shells.size());
    EXPECT_EQ(std::vector<UINT>{0}, f.recorder.ends);
}

constexpr wchar_t kLeftOver[] = L"卸载未完成：程序无法关闭，或文件、快捷方式、注册表项无法删除，请手动完成卸载！";
INSTANTIATE_TEST_SUITE_P(
    Cases, RemoverResultPage,
    ::testing::Values(
        ResultCase{"NoDataFile", [](const FakeInstallation& i) { WriteUninstallData(i.folder, {}); },
                   L"uninstall.dat 丢失或错误，无法完成卸载，请手动卸载！", false},
        ResultCase{"NoUninstallName",
                   [](const FakeInstallation& i) {
                       WriteUninstallData(i.folder, {{L"install_reg_name", i.regName}, {L"install_path", i.folder}});
                   },
                   L"uninstall.dat 丢失或错误，无法完成卸载，请手动卸！", false},
        ResultCase{"KeyWithSubkey",
                   [](const FakeInstallation& i) { MakeKey(HKEY_LOCAL_MACHINE, kUninstallKey + i.regName + L"\\x"); },
                   kLeftOver, true},
        ResultCase{
            "ReadOnlyShortcut",
            [](const FakeInstallation& i) { SetFileAttributesW(i.desktopLink.c_str(), FILE_ATTRIBUTE_READONLY); },
            kLeftOver, true}),
    [](const auto& info) { return std::string(info.param.name); });

// The real program in its installation, with the client running inside and a
// same-named program beside it.
struct RemoverRun {
    std::wstring exe;
    POINT ok = {}, closeApp = {};
    RECT tip = {};
    std::vector<DWORD> successTip;  // the result label as it shows success
    std::unique_ptr<ChildProcess> program;
    HWND window = nullptr;

    explicit RemoverRun(const FakeInstallation& install) : exe(install.folder + L"uninstall.exe") {
        kvuninstall::ProcessActions unused;
        ProbedFrame layout(install.folder, unused);
        EXPECT_TRUE(layout.Open());
        ok = layout.CentreOf(L"btn_ok");
        layout.ShowPage(1);
        closeApp = layout.CentreOf(L"closeapp");
        tip = layout.PosOf(L"suc_tip");
        successTip = PartPixels(layout.GetHWND(), tip, false);

        EXPECT_TRUE(CopyFileW(ToWindowsPath(KV_UNINSTALL_EXE).c_str(), exe.c_str(), FALSE));
        program = std::make_unique<ChildProcess>(exe);
        EXPECT_TRUE(PumpUntil([this] { return (window = FindRemoverWindow()) != nullptr; }, 30000));
    }
    HWND FindRemoverWindow() const {
        for (HWND w = FindWindowW(L"UnInstall", nullptr); w; w = FindWindowExW(nullptr, w, L"UnInstall", nullptr)) {
            DWORD process = 0;
            GetWindowThreadProcessId(w, &process);
            if (process == program->Id() && IsWindowVisible(w)) return w;
        }
        return nullptr;
    }
};

TEST(RemoverProgram, UninstallsItsInstallationAndRemovesItsFolderAtTheEnd) {
    const FakeInstallation install(L"Program");
    const ChildProcess inside(install.ClientInside());
    const ChildProcess outside(install.ClientOutside());
    const RemoverRun remover(install);
    ASSERT_NE(nullptr, remover.window);

    Click(remover.window, remover.ok);
    ASSERT_TRUE(PumpUntil([&] { return install.Remnants() == 0; }, 30000));
    // The running remover itself is no file left behind.
    EXPECT_TRUE(PumpUntil([&] { return PartPixels(remover.window, remover.tip, true) == remover.successTip; }))
        << "the result page does not show success";
    EXPECT_TRUE(inside.WaitEnd(0));
    EXPECT_TRUE(outside.Running());
    EXPECT_FALSE(Exists(install.folder + L"readme.txt"));
    EXPECT_FALSE(Exists(install.folder + L"data"));
    // Left to the final removal: the remover, a dotted name, the read-only file and folder.
    for (const wchar_t* kept : {L"uninstall.exe", L".settings", L"locked.txt", L"readonly\\inside.txt"}) {
        EXPECT_TRUE(Exists(install.folder + kept)) << Narrow(kept);
    }

    Click(remover.window, remover.closeApp);
    EXPECT_TRUE(remover.program->WaitEnd(30000));
    EXPECT_TRUE(PumpUntil([&] { return !Exists(install.folder); }, 30000)) << "the installation folder stays";
    EXPECT_TRUE(outside.Running());
}

TEST(RemoverProgram, NeverEndsItselfWhenTheClientHasItsName) {
    const FakeInstallation install(L"Self");
    DataValues data = install.Data();
    data.emplace_back(L"install_exe_name", L"UNINSTALL.exe");
    WriteUninstallData(install.folder, data);
    const RemoverRun remover(install);
    ASSERT_NE(nullptr, remover.window);

    Click(remover.window, remover.ok);
    EXPECT_TRUE(PumpUntil([&] { return install.Remnants() == 0; }, 30000));
    EXPECT_TRUE(remover.program->Running());
    Click(remover.window, remover.closeApp);
    EXPECT_TRUE(remover.program->WaitEnd(30000));
}

}  // namespace
}  // namespace kvtest
