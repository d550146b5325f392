// The routine on installations as installers leave them: what it must remove,
// what it must leave, and when it must say the removal is not complete.
#include <gtest/gtest.h>

#include "uninstall/UninstallKit.h"
#include "uninstall/UninstallRoutine.h"

namespace kvtest {
namespace {

using kvuninstall::UninstallResult;

std::wstring Quoted(const FakeInstallation& install) { return L"\"" + install.folder + L"\""; }

// A path built on a folder the system cannot find would name the drive's root.
TEST(UninstallRoutine, RemovesNoShortcutWhereTheSystemFindsNoFolderAndSaysSo) {
    const FakeInstallation install(L"NoFolders");
    const auto outcome = kvuninstall::UninstallInstallation(install.folder, kvuninstall::ShellFolders{});
    EXPECT_EQ(UninstallResult::LeftOver, outcome.result);
    EXPECT_EQ(Quoted(install), outcome.quotedInstallPath);
    EXPECT_EQ(3, install.Remnants()) << "only the two keys go";
}

struct NamesCase {
    const char* name;
    const wchar_t* regSuffix;
    const wchar_t* uninstallFolder;  // after the installation's base name; null: none
    bool othersInFolder;             // the shortcut's folder holds something else too
};
class InstalledNames : public ::testing::TestWithParam<NamesCase> {};

TEST_P(InstalledNames, AreRemovedWithTheFoldersTheShortcutEmptied) {
    const NamesCase& c = GetParam();
    const std::wstring base = L"KvRemoverNames";
    const FakeInstallation install(L"Names", c.regSuffix, c.uninstallFolder ? base + c.uninstallFolder : L"");
    const std::wstring other = install.UninstallFolderRoot() + L"\\other.lnk";
    if (c.othersInFolder) MakeShortcut(other, install.ClientOutside());

    const auto outcome = kvuninstall::UninstallInstallation(install.folder, kvuninstall::FindShellFolders());
    EXPECT_EQ(UninstallResult::Done, outcome.result);
    EXPECT_EQ(Quoted(install), outcome.quotedInstallPath);
    EXPECT_EQ(0, install.Remnants());
    EXPECT_FALSE(Exists(install.menuFolder));
    EXPECT_EQ(c.othersInFolder, Exists(install.UninstallFolderRoot()));
    EXPECT_EQ(c.othersInFolder, Exists(other));
}

INSTANTIATE_TEST_SUITE_P(Cases, InstalledNames,
                         ::testing::Values(NamesCase{"ShortcutInTheMenuFolder", L"", L"", false},
                                           NamesCase{"ShortcutInNestedFolders", L"", L" tools\\more", false},
                                           NamesCase{"ShortcutBesideOthers", L"", L" tools", true},
                                           NamesCase{"RegNameWithTrailingDot", L".", nullptr, false},
                                           NamesCase{"RegNameWithTrailingBlanks", L"  ", nullptr, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Held open without leave to delete, as a running program holds its log.
class FileInUse : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(FileInUse, LeavesTheUninstallNotCompleteAndEverythingElseRemoved) {
    const FakeInstallation install(L"InUse");
    const std::wstring held = install.folder + GetParam();
    WriteText(held, "in use");
    const kvwin::UniqueKernelHandle file(CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                     nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    const ChildProcess client(install.ClientInside());

    const auto outcome = kvuninstall::UninstallInstallation(install.folder, kvuninstall::FindShellFolders());
    EXPECT_EQ(UninstallResult::LeftOver, outcome.result);
    EXPECT_EQ(Quoted(install), outcome.quotedInstallPath);
    EXPECT_TRUE(client.WaitEnd(0));
    EXPECT_EQ(0, install.Remnants());
    EXPECT_FALSE(Exists(install.folder + L"readme.txt"));
    EXPECT_TRUE(Exists(held));
}

INSTANTIATE_TEST_SUITE_P(Cases, FileInUse, ::testing::Values(L"client.log", L"data\\cache.db"));

// The all-users start-up folder lies inside the programs folder.
TEST(UninstallRoutine, LeavesTheSystemsStartUpFolderThoughTheDataNamesIt) {
    const FakeInstallation install(L"StartUp");
    const std::wstring startUp = ShellFolder(CSIDL_COMMON_STARTUP);
    const std::wstring name = startUp.substr(startUp.rfind(L'\\') + 1);
    const std::wstring shortcut = startUp + L"\\KvRemoverStartUp.lnk";
    MakeShortcut(shortcut, install.folder + L"uninstall.exe");
    WriteUninstallData(install.folder, {{L"install_reg_name", name},
                                        {L"install_path", install.folder},
                                        {L"uninstall_name", name + L"\\KvRemoverStartUp"}});

    const auto outcome = kvuninstall::UninstallInstallation(install.folder, kvuninstall::FindShellFolders());
    EXPECT_EQ(UninstallResult::LeftOver, outcome.result);
    EXPECT_FALSE(Exists(shortcut));
    EXPECT_TRUE(Exists(startUp));
}

}  // namespace
}  // namespace kvtest
