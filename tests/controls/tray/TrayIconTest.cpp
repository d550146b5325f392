// The notification-area icon: the records it hands the shell, observed
// through the icon's one seam in front of Shell_NotifyIconW.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TestKit.h"
#include "ui/controls/TrayIcon.h"

namespace kvtest {
namespace {

using KvUI::CTrayIcon;

// Every call the icon made, with a copy of the record as it was then.
struct ShellLog {
    struct Call {
        DWORD message;
        NOTIFYICONDATAW record;
    };
    std::vector<Call> calls;
    BOOL answer = TRUE;

    CTrayIcon::ShellNotify Seam() {
        return [this](DWORD message, NOTIFYICONDATAW* record) {
            calls.push_back(Call{message, *record});
            return answer;
        };
    }
    std::vector<DWORD> Messages() const {
        std::vector<DWORD> messages;
        for (const Call& call : calls) messages.push_back(call.message);
        return messages;
    }
};

// Any window will do: the shell only posts the callback message to it.
class TrayIcon : public ::testing::Test {
protected:
    void SetUp() override {
        window =
            CreateWindowExW(0, L"STATIC", L"tray owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, window);
    }
    void TearDown() override { DestroyWindow(window); }

    HWND window = nullptr;
    ShellLog shell;
    HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
};

TEST_F(TrayIcon, CreateAddsOneRecordWithMessageIconAndTip) {
    CTrayIcon tray(shell.Seam());
    tray.Create(window, 132, L"Pet shop");
    ASSERT_EQ((std::vector<DWORD>{NIM_ADD}), shell.Messages());
    const NOTIFYICONDATAW& record = shell.calls[0].record;
    EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAW_V3_SIZE), record.cbSize);
#if defined(__i386__)
    EXPECT_EQ(952u, record.cbSize);
#endif
    EXPECT_EQ(window, record.hWnd);
    EXPECT_EQ(132u, record.uID);
    EXPECT_EQ(7u, record.uFlags) << "message, icon and tip";
    EXPECT_EQ(0x401u, record.uCallbackMessage);
    EXPECT_EQ(std::wstring(L"Pet shop"), record.szTip);
    EXPECT_TRUE(tray.IsEnabled());
}

TEST_F(TrayIcon, ALongTipIsCutTo127Characters) {
    CTrayIcon tray(shell.Seam());
    const std::wstring tip(200, L'x');
    tray.Create(window, 132, tip.c_str());
    ASSERT_EQ(1u, shell.calls.size());
    EXPECT_EQ(std::wstring(127, L'x'), shell.calls[0].record.szTip);
}

TEST_F(TrayIcon, NoWindowOrNoIconIdAddsNothing) {
    CTrayIcon tray(shell.Seam());
    tray.Create(window, 0, L"tip");
    tray.Create(nullptr, 132, L"tip");
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_FALSE(tray.IsEnabled());
}

TEST_F(TrayIcon, ACallbackMessageReplacesTheDefaultUntilDeleted) {
    CTrayIcon tray(shell.Seam());
    tray.Create(window, 132, nullptr, WM_USER + 9);
    EXPECT_EQ(static_cast<UINT>(WM_USER + 9), shell.calls[0].record.uCallbackMessage);
    EXPECT_EQ(0, shell.calls[0].record.szTip[0]) << "no tip";
    tray.Delete();
    EXPECT_EQ(0x401u, tray.GetCallbackMessage());
}

TEST_F(TrayIcon, IsEnabledOnlyWhenTheShellTookTheIcon) {
    shell.answer = FALSE;
    CTrayIcon tray(shell.Seam());
    tray.Create(window, 132, L"tip");
    EXPECT_FALSE(tray.IsEnabled());
    EXPECT_FALSE(tray.SetIcon(icon)) << "nothing to change";
    tray.Delete();
    EXPECT_EQ((std::vector<DWORD>{NIM_ADD}), shell.Messages()) << "nothing to modify or delete";
}

TEST_F(TrayIcon, ASecondCreateReplacesTheFirstIcon) {
    CTrayIcon tray(shell.Seam());
    tray.Create(window, 132, L"first", WM_USER + 9);
    tray.Create(window, 133, L"second");
    ASSERT_EQ((std::vector<DWORD>{NIM_ADD, NIM_DELETE, NIM_ADD}), shell.Messages());
    EXPECT_EQ(132u, shell.calls[1].record.uID) << "the first icon is the one deleted";
    EXPECT_EQ(133u, shell.calls[2].record.uID);
    EXPECT_EQ(std::wstring(L"second"), shell.calls[2].record.szTip);
    EXPECT_EQ(static_cast<UINT>(WM_USER + 9), shell.calls[2].record.uCallbackMessage)
        << "no new message given: the current one stays";
    EXPECT_TRUE(tray.IsEnabled());
}

TEST_F(TrayIcon, HidingTwiceAndRestoringOnceShowsTheIconAgain) {
    CTrayIcon tray(shell.Seam());
    tray.Create(window, 132, L"tip");
    ASSERT_TRUE(tray.SetIcon(icon));
    tray.Hide();
    tray.Hide();
    EXPECT_TRUE(tray.IsHidden());
    tray.RestoreIcon();
    EXPECT_FALSE(tray.IsHidden());
    ASSERT_EQ((std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_MODIFY, NIM_MODIFY}), shell.Messages());
    EXPECT_EQ(static_cast<UINT>(NIF_ICON), shell.calls[2].record.uFlags) << "the icon only";
    EXPECT_EQ(nullptr, shell.calls[2].record.hIcon) << "blanked";
    EXPECT_EQ(icon, shell.calls[3].record.hIcon) << "the remembered icon is back";
}

TEST_F(TrayIcon, AfterDeleteSetIconFails) {
    CTrayIcon tray(shell.Seam());
    tray.Create(window, 132, L"tip");
    tray.Hide();
    tray.Delete();
    EXPECT_FALSE(tray.IsEnabled());
    EXPECT_FALSE(tray.IsHidden());
    EXPECT_FALSE(tray.SetIcon(icon));
    EXPECT_EQ((std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_DELETE}), shell.Messages());
}

TEST_F(TrayIcon, DestroyingTheObjectRemovesTheIcon) {
    {
        CTrayIcon tray(shell.Seam());
        tray.Create(window, 132, L"tip");
    }
    EXPECT_EQ((std::vector<DWORD>{NIM_ADD, NIM_DELETE}), shell.Messages());
}

}  // namespace
}  // namespace kvtest
