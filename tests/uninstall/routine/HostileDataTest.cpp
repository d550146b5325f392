// "uninstall.dat" lies beside an elevated program: whatever it says beyond the
// remover's own installation removes nothing. Each case runs the routine on a
// hostile file and compares a listing of the whole drive C: before and after;
// the installation's keys, shortcuts and running client stay too.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <set>

#include "uninstall/UninstallKit.h"
#include "uninstall/UninstallRoutine.h"

namespace kvtest {
namespace {

using kvuninstall::UninstallResult;
using Data = std::vector<std::pair<std::string, std::wstring>>;

std::wstring Lower(std::wstring text) {
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// Folders other programs of the test run create and delete files in meanwhile.
std::vector<std::wstring> BusyFolders() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    return {Lower(temp), Lower(ShellFolder(CSIDL_WINDOWS) + L"\\temp\\")};
}

bool Compared(const std::wstring& lowerPath, const std::vector<std::wstring>& busy) {
    for (const std::wstring& folder : busy) {
        if (lowerPath.rfind(folder, 0) == 0) return false;
    }
    // The other remover test programs' own fake installations come and go.
    return lowerPath.find(L"kvremover") == std::wstring::npos || lowerPath.find(L"kvremoverhostile") != std::wstring::npos;
}

void ListTree(const std::wstring& folder, const std::vector<std::wstring>& busy, std::set<std::wstring>& out) {
    WIN32_FIND_DATAW found = {};
    const kvwin::UniqueFindHandle listing(FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &found,
                                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!listing) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = Lower(folder + name);
        if (!Compared(path, busy)) continue;
        out.insert(path);
        const DWORD attributes = found.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            ListTree(folder + name + L"\\", busy, out);
        }
    } while (FindNextFileW(listing.get(), &found));
}

std::set<std::wstring> ListDriveC() {
    std::set<std::wstring> entries;
    ListTree(L"C:\\", BusyFolders(), entries);
    return entries;
}

// Where the remover runs in a case: its folder holds "uninstall.dat".
enum class Remover { Installation, DriveRoot, Profile, System, PercentFolder };

struct Environment {
    FakeInstallation install{L"Hostile"};
    std::wstring percentFolder = ShellFolder(CSIDL_PROGRAM_FILES) + L"\\KvRemoverHostile%PATH%\\";
    std::unique_ptr<ChildProcess> client;
    std::set<std::wstring> before;

    Environment() {
        RemoveTree(percentFolder.substr(0, percentFolder.size() - 1));
        CreateDirectoryW(percentFolder.c_str(), nullptr);
        WriteText(percentFolder + L"keep.txt", "kept");
        client = std::make_unique<ChildProcess>(install.ClientInside());
        PumpUntil([this] { return client->Running(); });
        before = ListDriveC();
    }
    ~Environment() {
        client.reset();
        RemoveTree(percentFolder.substr(0, percentFolder.size() - 1));
    }

    std::wstring Folder(Remover remover) const {
        switch (remover) {
            case Remover::Installation: return install.folder;
            case Remover::DriveRoot: return L"C:\\";
            case Remover::Profile: return ShellFolder(CSIDL_PROFILE) + L"\\";
            case Remover::System: return ShellFolder(CSIDL_SYSTEM) + L"\\";
            case Remover::PercentFolder: return percentFolder;
        }
        return {};
    }
};

struct HostileCase {
    const char* name;
    Remover remover;
    // The file's values given the installation and the remover's folder; none: no file.
    std::optional<Data> (*data)(const FakeInstallation&, const std::wstring& removerFolder);
    UninstallResult expected;
};

class HostileData : public ::testing::TestWithParam<HostileCase> {
public:
    static void SetUpTestSuite() { s_env = new Environment(); }
    static void TearDownTestSuite() {
        delete s_env;
        s_env = nullptr;
    }

protected:
    static Environment* s_env;
};
Environment* HostileData::s_env = nullptr;

TEST_P(HostileData, RemovesNothing) {
    const HostileCase& c = GetParam();
    const std::wstring folder = s_env->Folder(c.remover);
    const std::wstring dataFile = folder + L"uninstall.dat";
    DeleteFileW(dataFile.c_str());
    const std::optional<Data> data = c.data(s_env->install, folder);
    if (data) WriteUninstallData(folder, *data);

    const auto outcome = kvuninstall::UninstallInstallation(folder, kvuninstall::FindShellFolders());
    if (c.remover != Remover::Installation) DeleteFileW(dataFile.c_str());

    EXPECT_EQ(c.expected, outcome.result);
    EXPECT_EQ(L"", outcome.quotedInstallPath);
    EXPECT_TRUE(s_env->client->Running());
    EXPECT_TRUE(s_env->install.ShortcutsAndKeysThere());
    std::set<std::wstring> before = s_env->before;
    before.erase(Lower(dataFile));  // the case's own input
    const std::set<std::wstring> after = ListDriveC();
    std::vector<std::wstring> missing;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(missing));
    EXPECT_TRUE(missing.empty()) << missing.size() << " entries removed, first " << Narrow(missing.front());
    if (c.remover == Remover::Installation && data) WriteUninstallData(folder, s_env->install.Data());
}

// The installer's values with one of them replaced.
Data With(const FakeInstallation& install, const std::string& key, const std::wstring& value) {
    Data data = install.Data();
    for (auto& entry : data) {
        if (entry.first == key) entry.second = value;
    }
    return data;
}

#define KV_CASE(name, remover, key, value, expected)                                                          \
    HostileCase {                                                                                             \
        name, Remover::remover,                                                                               \
            [](const FakeInstallation& install, const std::wstring& removerFolder) -> std::optional<Data> {   \
                (void)removerFolder;                                                                          \
                return With(install, key, value);                                                             \
            },                                                                                                \
            UninstallResult::expected                                                                         \
    }

const std::wstring kLong(300, L'k');

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileData,
    ::testing::Values(
        HostileCase{"NoDataFile", Remover::Installation,
                    [](const FakeInstallation&, const std::wstring&) -> std::optional<Data> { return std::nullopt; },
                    UninstallResult::DataMissing},
        KV_CASE("RegNameEmpty", Installation, "install_reg_name", L"", DataMissing),
        KV_CASE("RegNameWithSteps", Installation, "install_reg_name", L"..\\..\\Windows", DataMissing),
        KV_CASE("RegNameDot", Installation, "install_reg_name", L".", DataMissing),
        KV_CASE("RegNameDotDot", Installation, "install_reg_name", L"..", DataMissing),
        KV_CASE("RegNameSlash", Installation, "install_reg_name", L"Microsoft/Windows", DataMissing),
        KV_CASE("RegNameColon", Installation, "install_reg_name", L"C:KvRemoverHostile", DataMissing),
        KV_CASE("RegNameWildcard", Installation, "install_reg_name", L"*", DataMissing),
        KV_CASE("RegNameTrailingDots", Installation, "install_reg_name", L"...", DataMissing),
        KV_CASE("RegNameCut", Installation, "install_reg_name", kLong, DataMissing),
        KV_CASE("PathEmpty", Installation, "install_path", L"", DataIncomplete),
        KV_CASE("PathDriveRoot", Installation, "install_path", L"C:\\", DataIncomplete),
        KV_CASE("PathParent", Installation, "install_path", ShellFolder(CSIDL_PROGRAM_FILES) + L"\\", DataIncomplete),
        KV_CASE("PathSystem", Installation, "install_path", ShellFolder(CSIDL_WINDOWS) + L"\\", DataIncomplete),
        KV_CASE("PathRelative", Installation, "install_path", L"KvRemoverHostile\\", DataIncomplete),
        KV_CASE("PathCurrent", Installation, "install_path", L".", DataIncomplete),
        KV_CASE("PathDotDotSteps", Installation, "install_path", install.folder + L"data\\..\\", DataIncomplete),
        KV_CASE("PathDotStep", Installation, "install_path", install.folder + L".\\", DataIncomplete),
        KV_CASE("PathDevicePrefix", Installation, "install_path", L"\\\\?\\" + install.folder, DataIncomplete),
        KV_CASE("PathQuoteInside", Installation, "install_path", install.folder + L"\" & rmdir /s /q \"C:\\",
                DataIncomplete),
        KV_CASE("PathOwnDriveRoot", DriveRoot, "install_path", L"C:\\", DataIncomplete),
        KV_CASE("PathOwnProfile", Profile, "install_path", removerFolder, DataIncomplete),
        KV_CASE("PathOwnSystem", System, "install_path", removerFolder, DataIncomplete),
        KV_CASE("PathOwnWithPercent", PercentFolder, "install_path", removerFolder, DataIncomplete),
        KV_CASE("PathCut", Installation, "install_path", install.folder + kLong, DataIncomplete),
        KV_CASE("UninstallNameEmpty", Installation, "uninstall_name", L"", DataIncomplete),
        KV_CASE("UninstallNameWithSteps", Installation, "uninstall_name", L"..\\..\\Desktop\\x", DataIncomplete),
        KV_CASE("UninstallNameDot", Installation, "uninstall_name", L".", DataIncomplete),
        KV_CASE("UninstallNameDotDot", Installation, "uninstall_name", L"..", DataIncomplete),
        KV_CASE("UninstallNameColon", Installation, "uninstall_name", L"C:x", DataIncomplete),
        KV_CASE("UninstallNameWildcard", Installation, "uninstall_name", L"*", DataIncomplete),
        KV_CASE("UninstallNameCut", Installation, "uninstall_name", kLong, DataIncomplete)),
    [](const auto& info) { return std::string(info.param.name); });

#undef KV_CASE

}  // namespace
}  // namespace kvtest
