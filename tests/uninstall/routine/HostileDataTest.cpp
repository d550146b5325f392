// "uninstall.dat" lies beside an elevated program: whatever it says beyond the
// remover's own installation removes nothing. Each case runs the routine on a
// hostile file and compares a listing of the whole drive C: before and after;
// the installation's shortcuts, keys and running client stay too.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "uninstall/UninstallKit.h"
#include "uninstall/UninstallRoutine.h"

namespace kvtest {
namespace {

using kvuninstall::UninstallResult;

std::wstring Lower(std::wstring text) {
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// Left out: the temporary folders other programs of the run use meanwhile,
// and the other remover tests' installations, which come and go.
bool Compared(const std::wstring& path) {
    static const std::wstring temp = [] {
        wchar_t path[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, path);
        return Lower(path);
    }();
    static const std::wstring windowsTemp = Lower(ShellFolder(CSIDL_WINDOWS) + L"\\temp\\");
    if (path.rfind(temp, 0) == 0 || path.rfind(windowsTemp, 0) == 0) return false;
    return path.find(L"kvremover") == std::wstring::npos || path.find(L"kvremoverhostile") != std::wstring::npos;
}

void ListTree(const std::wstring& folder, std::set<std::wstring>& out) {
    WIN32_FIND_DATAW found = {};
    const kvwin::UniqueFindHandle listing(FindFirstFileW((folder + L"*").c_str(), &found));
    for (BOOL more = listing ? TRUE : FALSE; more; more = FindNextFileW(listing.get(), &found)) {
        const std::wstring name = found.cFileName;
        const std::wstring path = Lower(folder + name);
        if (name == L"." || name == L"..") continue;
        if (!Compared(path) || !out.insert(path).second) continue;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            ListTree(path + L"\\", out);
        }
    }
}

std::set<std::wstring> ListDriveC() {
    std::set<std::wstring> entries;
    ListTree(L"c:\\", entries);
    return entries;
}

// Where the remover runs: its folder holds "uninstall.dat".
enum class Remover { Installation, DriveRoot, Profile, System, PercentFolder };

struct Environment {
    FakeInstallation install{L"Hostile"};
    std::wstring percentFolder = ShellFolder(CSIDL_PROGRAM_FILES) + L"\\KvRemoverHostile%PATH%\\";
    ChildProcess client{install.ClientInside()};
    std::set<std::wstring> before;

    Environment() {
        CreateDirectoryW(percentFolder.c_str(), nullptr);
        WriteText(percentFolder + L"keep.txt", "kept");
        before = ListDriveC();
    }
    ~Environment() { RemoveTree(percentFolder.substr(0, percentFolder.size() - 1)); }

    std::wstring Folder(Remover remover) const {
        switch (remover) {
            case Remover::Installation:
                return install.folder;
            case Remover::DriveRoot:
                return L"C:\\";
            case Remover::Profile:
                return ShellFolder(CSIDL_PROFILE) + L"\\";
            case Remover::System:
                return ShellFolder(CSIDL_SYSTEM) + L"\\";
            case Remover::PercentFolder:
                return percentFolder;
        }
        return {};
    }
};

struct HostileCase {
    const char* name;
    Remover remover;
    const wchar_t* key;  // null: no "uninstall.dat" at all
    // The key's value given the installation folder and the remover's folder.
    std::wstring (*value)(const std::wstring& installFolder, const std::wstring& removerFolder);
    UninstallResult expected;
};

class HostileData : public ::testing::TestWithParam<HostileCase> {
public:
    static void SetUpTestSuite() { s_env = std::make_unique<Environment>(); }
    static void TearDownTestSuite() { s_env.reset(); }

protected:
    static std::unique_ptr<Environment> s_env;
};
std::unique_ptr<Environment> HostileData::s_env;

TEST_P(HostileData, RemovesNothing) {
    const HostileCase& c = GetParam();
    const std::wstring folder = s_env->Folder(c.remover);
    DataValues data = s_env->install.Data();
    for (auto& [key, value] : data) {
        if (c.key && key == c.key) value = c.value(s_env->install.folder, folder);
    }
    WriteUninstallData(folder, c.key ? data : DataValues{});

    const auto outcome = kvuninstall::UninstallInstallation(folder, kvuninstall::FindShellFolders());
    WriteUninstallData(folder, c.remover == Remover::Installation ? s_env->install.Data() : DataValues{});

    EXPECT_EQ(c.expected, outcome.result);
    EXPECT_EQ(L"", outcome.quotedInstallPath);
    EXPECT_TRUE(s_env->client.Running());
    EXPECT_EQ(5, s_env->install.Remnants());
    std::vector<std::wstring> missing;
    const std::set<std::wstring> after = ListDriveC();
    std::set_difference(s_env->before.begin(), s_env->before.end(), after.begin(), after.end(),
                        std::back_inserter(missing));
    EXPECT_TRUE(missing.empty()) << missing.size() << " entries removed, first " << Narrow(missing.front());
}

#define KV_CASE(name, remover, key, value, expected)                                   \
    HostileCase {                                                                      \
        name, Remover::remover, key,                                                   \
            [](const std::wstring& install, const std::wstring& own) -> std::wstring { \
                (void)install, (void)own;                                              \
                return value;                                                          \
            },                                                                         \
            UninstallResult::expected                                                  \
    }

const std::wstring kLong(300, L'k');

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileData,
    ::testing::Values(
        KV_CASE("NoDataFile", Installation, nullptr, L"", DataMissing),
        KV_CASE("RegNameEmpty", Installation, L"install_reg_name", L"", DataMissing),
        KV_CASE("RegNameWithSteps", Installation, L"install_reg_name", L"..\\..\\Windows", DataMissing),
        KV_CASE("RegNameDot", Installation, L"install_reg_name", L".", DataMissing),
        KV_CASE("RegNameDotDot", Installation, L"install_reg_name", L"..", DataMissing),
        KV_CASE("RegNameSlash", Installation, L"install_reg_name", L"Microsoft/Windows", DataMissing),
        KV_CASE("RegNameColon", Installation, L"install_reg_name", L"C:KvRemoverHostile", DataMissing),
        KV_CASE("RegNameWildcard", Installation, L"install_reg_name", L"*", DataMissing),
        KV_CASE("RegNameTrailingDots", Installation, L"install_reg_name", L"...", DataMissing),
        KV_CASE("RegNameDotsAndBlanks", Installation, L"install_reg_name", L". .", DataMissing),
        KV_CASE("RegNameCut", Installation, L"install_reg_name", kLong, DataMissing),
        KV_CASE("PathEmpty", Installation, L"install_path", L"", DataIncomplete),
        KV_CASE("PathDriveRoot", Installation, L"install_path", L"C:\\", DataIncomplete),
        KV_CASE("PathParent", Installation, L"install_path", ShellFolder(CSIDL_PROGRAM_FILES) + L"\\", DataIncomplete),
        KV_CASE("PathSystem", Installation, L"install_path", ShellFolder(CSIDL_WINDOWS) + L"\\", DataIncomplete),
        KV_CASE("PathRelative", Installation, L"install_path", L"KvRemoverHostile\\", DataIncomplete),
        KV_CASE("PathCurrent", Installation, L"install_path", L".", DataIncomplete),
        KV_CASE("PathDotDotSteps", Installation, L"install_path", install + L"data\\..\\", DataIncomplete),
        KV_CASE("PathDotStep", Installation, L"install_path", install + L".\\", DataIncomplete),
        KV_CASE("PathDevicePrefix", Installation, L"install_path", L"\\\\?\\" + install, DataIncomplete),
        KV_CASE("PathQuote", Installation, L"install_path", install + L"\" & rmdir /s /q \"C:\\", DataIncomplete),
        KV_CASE("PathCut", Installation, L"install_path", install + kLong, DataIncomplete),
        KV_CASE("PathOwnDriveRoot", DriveRoot, L"install_path", own, DataIncomplete),
        KV_CASE("PathOwnProfile", Profile, L"install_path", own, DataIncomplete),
        KV_CASE("PathOwnSystem", System, L"install_path", own, DataIncomplete),
        KV_CASE("PathOwnWithPercent", PercentFolder, L"install_path", own, DataIncomplete),
        KV_CASE("UninstallNameEmpty", Installation, L"uninstall_name", L"", DataIncomplete),
        KV_CASE("UninstallNameWithSteps", Installation, L"uninstall_name", L"..\\..\\Desktop\\x", DataIncomplete),
        KV_CASE("UninstallNameClimbingBack", Installation, L"uninstall_name", L"Kv\\..\\..\\x", DataIncomplete),
        KV_CASE("UninstallNameRooted", Installation, L"uninstall_name", L"\\x", DataIncomplete),
        KV_CASE("UninstallNameEmptyStep", Installation, L"uninstall_name", L"Kv\\\\x", DataIncomplete),
        KV_CASE("UninstallNameFolderOnly", Installation, L"uninstall_name", L"Kv\\", DataIncomplete),
        KV_CASE("UninstallNameDriveAndRoot", Installation, L"uninstall_name", L"C:\\x", DataIncomplete),
        KV_CASE("UninstallNameDot", Installation, L"uninstall_name", L".", DataIncomplete),
        KV_CASE("UninstallNameDotDot", Installation, L"uninstall_name", L"..", DataIncomplete),
        KV_CASE("UninstallNameColon", Installation, L"uninstall_name", L"C:x", DataIncomplete),
        KV_CASE("UninstallNameWildcard", Installation, L"uninstall_name", L"*", DataIncomplete),
        KV_CASE("UninstallNameCut", Installation, L"uninstall_name", kLong, DataIncomplete)),
    [](const auto& info) { return std::string(info.param.name); });

#undef KV_CASE

}  // namespace
}  // namespace kvtest
