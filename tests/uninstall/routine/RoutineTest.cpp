// The uninstall routine on a fake installation: it ends the client inside the
// installation only, empties the folder, removes the shortcuts and keys, and
// says so truthfully when something is left.
#include <gtest/gtest.h>

#include <functional>

#include "uninstall/UninstallKit.h"
#include "uninstall/UninstallRoutine.h"

namespace kvtest {
namespace {

using kvuninstall::UninstallResult;

TEST(UninstallRoutine, RemovesWhatTheInstallationHoldsAndNothingBeside) {
    const FakeInstallation install(L"Routine");
    const ChildProcess inside(install.ClientInside());
    const ChildProcess outside(install.ClientOutside());
    ASSERT_TRUE(PumpUntil([&] { return inside.Running() && outside.Running(); }));

    const auto outcome = kvuninstall::UninstallInstallation(install.folder, kvuninstall::FindShellFolders());

    EXPECT_EQ(UninstallResult::Done, outcome.result);
    EXPECT_EQ(L"\"" + install.folder + L"\"", outcome.quotedInstallPath);
    EXPECT_TRUE(inside.WaitEnd(0)) << "the client inside the installation runs on";
    EXPECT_TRUE(outside.Running()) << "a same-named program elsewhere was ended";
    for (const wchar_t* gone : {L"readme.txt", L"data", L"bin", L"uninstall.dat"}) {
        EXPECT_FALSE(Exists(install.folder + gone)) << Narrow(gone);
    }
    // Left to the final removal of the whole folder.
    EXPECT_TRUE(Exists(install.folder + L"readonly\\inside.txt"));
    EXPECT_TRUE(Exists(install.folder + L"locked.txt"));
    EXPECT_TRUE(Exists(install.ClientOutside()));
    EXPECT_TRUE(install.ShortcutsAndKeysGone());
}

struct LeftOverCase {
    const char* name;
    std::function<void(const FakeInstallation&)> arrange;
};

class UninstallLeftOver : public ::testing::TestWithParam<LeftOverCase> {};

// Something named by the data file stays: the result is no success, and the
// final removal still targets the checked folder.
TEST_P(UninstallLeftOver, IsReportedAndTheFolderStillGoesLast) {
    const FakeInstallation install(L"LeftOver");
    GetParam().arrange(install);

    const auto outcome = kvuninstall::UninstallInstallation(install.folder, kvuninstall::FindShellFolders());

    EXPECT_EQ(UninstallResult::LeftOver, outcome.result);
    EXPECT_EQ(L"\"" + install.folder + L"\"", outcome.quotedInstallPath);
    EXPECT_FALSE(Exists(install.folder + L"readme.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UninstallLeftOver,
    ::testing::Values(
        LeftOverCase{"KeyWithSubkey",
                     [](const FakeInstallation& install) {
                         MakeKey(HKEY_LOCAL_MACHINE, kUninstallKey + install.regName + L"\\Extra");
                     }},
        LeftOverCase{"ReadOnlyDesktopShortcut",
                     [](const FakeInstallation& install) {
                         SetFileAttributesW(install.desktopLink.c_str(), FILE_ATTRIBUTE_READONLY);
                     }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UninstallRoutine, RemovesNoShortcutWhereTheSystemFindsNoFolderAndSaysSo) {
    const FakeInstallation install(L"NoFolders");

    const auto outcome = kvuninstall::UninstallInstallation(install.folder, kvuninstall::ShellFolders{});

    EXPECT_EQ(UninstallResult::LeftOver, outcome.result);
    EXPECT_TRUE(Exists(install.desktopLink));
    EXPECT_TRUE(Exists(install.uninstallLink));
    EXPECT_TRUE(Exists(install.menuFolder + L"\\Korvanthel.lnk"));
}

}  // namespace
}  // namespace kvtest
