// The start-up's own pieces: "config.ini" read and written back, and other
// copies of the program ended by file name.
#include "client/common/ClientKit.h"

#include <cwctype>
#include <thread>

#include "client/AppStartup.h"
#include "client/LineZoomTables.h"
#include "ui/core/DropTarget.h"
#include "win/UniqueHandle.h"

namespace kvclient::clienttest {
namespace {

struct ConfigCase {
    const char* text;  // the file as found; null: no file
    int line;
    int zoom;
};

class ConfigFile : public ::testing::TestWithParam<ConfigCase> {};

TEST_P(ConfigFile, ReadsIndicesInRangeAndWritesThemBack) {
    const DataFolder data("config");
    if (GetParam().text) kvtest::WriteFileText(data.Unix() + "/config.ini", GetParam().text);
    g_selectedLine = g_selectedZoom = -5;
    ReadConfig();
    EXPECT_EQ(GetParam().line, g_selectedLine);
    EXPECT_EQ(GetParam().zoom, g_selectedZoom);

    WriteConfig();
    EXPECT_EQ(static_cast<UINT>(GetParam().line),
              GetPrivateProfileIntA("LINES", "SELECT_INDEX", 99, ConfigFilePath().c_str()));
    EXPECT_EQ(static_cast<UINT>(GetParam().zoom),
              GetPrivateProfileIntA("LINES", "SELECT_INDEXZOOM", 99, ConfigFilePath().c_str()));
}

INSTANTIATE_TEST_SUITE_P(
    Values, ConfigFile,
    ::testing::Values(ConfigCase{nullptr, 0, 2}, ConfigCase{"[LINES]\r\n", 0, 2},
                      ConfigCase{"[LINES]\r\nSELECT_INDEX=2\r\nSELECT_INDEXZOOM=5\r\n", 2, 5},
                      ConfigCase{"[LINES]\r\nSELECT_INDEX=1\r\nSELECT_INDEXZOOM=7\r\n", 1, 0},
                      ConfigCase{"[LINES]\r\nSELECT_INDEX=-1\r\nSELECT_INDEXZOOM=-1\r\n", 0, 0},
                      ConfigCase{"[LINES]\r\nSELECT_INDEX=3\r\nSELECT_INDEXZOOM=4\r\n", 0, 4}));

std::wstring OwnFileName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring full(path);
    return full.substr(full.find_last_of(L'\\') + 1);
}

kvwin::UniqueKernelHandle Start(const std::wstring& exe) {
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return {};
    CloseHandle(info.hThread);
    return kvwin::UniqueKernelHandle(info.hProcess);
}

bool Ended(const kvwin::UniqueKernelHandle& process, DWORD timeoutMs) {
    return WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0;
}

TEST(OtherInstances, EndsProcessesOfTheOwnFileNameInAnyCaseButNotItselfOrOthers) {
    std::wstring sameName = OwnFileName();
    for (wchar_t& c : sameName) c = static_cast<wchar_t>(std::towupper(c));
    const std::string dir = kvtest::FreshDirUnix("instances");
    const std::wstring copy = kvtest::ToWindowsPath(dir) + L"\\" + sameName;
    const std::wstring other = kvtest::ToWindowsPath(dir) + L"\\other.exe";
    const std::wstring fake = kvtest::Widen(KV_FAKE_CLIENT);
    ASSERT_TRUE(CopyFileW(fake.c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(fake.c_str(), other.c_str(), FALSE));
    const kvwin::UniqueKernelHandle twin = Start(copy);
    const kvwin::UniqueKernelHandle stranger = Start(other);
    ASSERT_TRUE(twin && stranger);

    KillOtherInstances();

    EXPECT_TRUE(Ended(twin, 10000));
    EXPECT_FALSE(Ended(stranger, 0));
    TerminateProcess(stranger.get(), 0);
}

class AnyDropTarget : public KvUI::CIDropTarget {
public:
    bool OnDrop(FORMATETC*, STGMEDIUM&, DWORD*) override { return true; }
};

TEST(ComAndOle, AreReadyForDragAndDropOnTheUiThread) {
    std::thread([] {
        EXPECT_TRUE(InitComAndOle());
        const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                            nullptr);
        {
            AnyDropTarget target;
            EXPECT_TRUE(target.RegisterDropTarget(window));
        }
        DestroyWindow(window);
        UninitComAndOle();
    }).join();
}

}  // namespace
}  // namespace kvclient::clienttest
