// A shell folder the system cannot find: nothing is removed there (a path
// built on an empty folder would name the drive's root), and the result says
// the removal is not complete.
#include <gtest/gtest.h>

#include "uninstall/UninstallKit.h"
#include "uninstall/UninstallRoutine.h"

namespace kvtest {
namespace {

TEST(UninstallRoutine, RemovesNoShortcutWhereTheSystemFindsNoFolderAndSaysSo) {
    const FakeInstallation install(L"NoFolders");
    const auto outcome = kvuninstall::UninstallInstallation(install.folder, kvuninstall::ShellFolders{});
    EXPECT_EQ(kvuninstall::UninstallResult::LeftOver, outcome.result);
    EXPECT_EQ(L"\"" + install.folder + L"\"", outcome.quotedInstallPath);
    EXPECT_EQ(3, install.Remnants()) << "only the two keys go";
}

}  // namespace
}  // namespace kvtest
