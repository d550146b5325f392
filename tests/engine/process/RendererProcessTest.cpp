// Renderer sub-processes: the same executable started with "--type=renderer",
// carrying process messages both ways, and ending with its browser.
#include "engine/EngineProgramKit.h"

#include "support/HttpTestServer.h"

#include <tlhelp32.h>

namespace kvtest {
namespace {

bool ProcessEnds(DWORD pid, DWORD timeoutMs) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process) return true;  // already gone
    const bool ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

class RendererProcess : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(engine.ok); }
    std::string Page(const std::string& name, const std::string& html) {
        const std::string path = WorkDirUnix() + "/" + name;
        WriteFileText(path, html);
        return FileUrl(path);
    }

    EngineScope engine{false};
    ParentWindow parent;
    CefRefPtr<RecordingClient> client = new RecordingClient();
};

TEST(ExecuteProcess, ReturnsMinusOneInTheBrowserProcess) {
    EXPECT_EQ(-1, CefExecuteProcess(CefMainArgs(GetModuleHandleW(nullptr)), TheApp()));
}

TEST_F(RendererProcess, PageScriptsRunInASubProcessAndReachTheBrowser) {
    CefRefPtr<CefBrowser> browser =
        MakeBrowser(client, parent.Get(), Page("pid.html", "<script>native.send(native.renderer());</script>"));
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitForIdle(20000));
    const DWORD pid = RendererProcessId(browser);
    ASSERT_NE(0u, pid);
    EXPECT_NE(GetCurrentProcessId(), pid);
    EXPECT_EQ((std::vector<std::string>{"Message send('" + std::to_string(pid) + "')"}), client->Events("Message"));

    browser->GetHost()->CloseBrowser(true);
    EXPECT_TRUE(PumpUntil([&] { return client->closed > 0; }, 10000));
    EXPECT_TRUE(ProcessEnds(pid, 10000));
}

TEST_F(RendererProcess, BrowserMessagesReachTheRenderersHandlerAndComeBack) {
    CefRefPtr<CefBrowser> browser = MakeBrowser(client, parent.Get(), Page("empty.html", "<p>x</p>"));
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitForIdle(20000));
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create("ping");
    message->GetArgumentList()->SetString(0, L"\u4E2D\U0001F600");
    ASSERT_TRUE(browser->SendProcessMessage(PID_RENDERER, message));
    ASSERT_TRUE(PumpUntil([&] { return !client->Events("Message reply:ping").empty(); }, 10000));
    const DWORD pid = RendererProcessId(browser);
    EXPECT_EQ("Message reply:ping(" + std::to_string(pid) + ",'" + Narrow(L"\u4E2D\U0001F600") + "')",
              client->Events("Message reply:ping")[0]);
    browser->GetHost()->CloseBrowser(true);
    PumpUntil([&] { return client->closed > 0; }, 10000);
}

TEST_F(RendererProcess, EachBrowserHasItsOwnRenderer) {
    const std::string url = Page("two.html", "<title>t</title>");
    CefRefPtr<CefBrowser> first = MakeBrowser(client, parent.Get(), url);
    CefRefPtr<CefBrowser> second = MakeBrowser(client, parent.Get(), url);
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(WaitForIdle(20000));
    const DWORD a = RendererProcessId(first);
    const DWORD b = RendererProcessId(second);
    EXPECT_NE(a, b);
    first->GetHost()->CloseBrowser(true);
    EXPECT_TRUE(PumpUntil([&] { return client->closed == 1; }, 10000));
    EXPECT_TRUE(ProcessEnds(a, 10000));
    EXPECT_FALSE(ProcessEnds(b, 0));
    second->GetHost()->CloseBrowser(true);
    EXPECT_TRUE(PumpUntil([&] { return client->closed == 2; }, 10000));
    EXPECT_TRUE(ProcessEnds(b, 10000));
}

TEST_F(RendererProcess, RendererGetsTheApplicationsSwitchesForItsOwnType) {
    CefRefPtr<CefBrowser> browser =
        MakeBrowser(client, parent.Get(), Page("sw.html", "<script>native.send(native.switch())</script>"));
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitForIdle(20000));
    EXPECT_EQ(L"browser", CefCommandLine::GetGlobalCommandLine()->GetSwitchValue("kv-test-switch").ToWString());
    EXPECT_EQ((std::vector<std::string>{"Message send('renderer')"}), client->Events("Message"));
    browser->GetHost()->CloseBrowser(true);
    PumpUntil([&] { return client->closed > 0; }, 10000);
}

// This program as a browser process of its own (RunChildBrowserProcess).
PROCESS_INFORMATION StartChildBrowser(const std::string& pidFile, const std::string& download = {}) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = std::wstring(L"\"") + self + L"\" --kv-test-child=\"" + ToWindowsPath(pidFile) +
                           L"\" --kv-test-parent=" + std::to_wstring(GetCurrentProcessId());
    if (!download.empty()) command += L" --kv-test-download=" + Widen(download);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
    }
    return pi;
}

TEST(RendererOrphan, EndsWhenItsBrowserProcessIsKilled) {
    const std::string pidFile = FreshDirUnix("orphan") + "/pid";
    const PROCESS_INFORMATION pi = StartChildBrowser(pidFile);
    ASSERT_TRUE(pi.hProcess);
    std::string pid;
    const bool written = PumpUntil([&] {
        const std::vector<char> bytes = ReadFileBytes(pidFile);
        pid.assign(bytes.begin(), bytes.end());
        return !pid.empty();
    }, 30000);
    TerminateProcess(pi.hProcess, 9);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hProcess);
    ASSERT_TRUE(written);
    const DWORD renderer = static_cast<DWORD>(std::stoul(pid));
    ASSERT_NE(0u, renderer);
    EXPECT_TRUE(ProcessEnds(renderer, 15000));
}

// The temporary file of a download is the engine's until its program ends;
// the next start removes it, and never a file that is not the engine's.
TEST(LeftOverDownload, GoesAtTheNextStartOnceItsProgramHasEnded) {
    const std::wstring folder = TempFolder();
    const std::wstring self = std::to_wstring(GetCurrentProcessId());
    const auto make = [](const std::wstring& path) {
        CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
    };
    const auto exists = [](const std::wstring& path) { return FileSize(path) >= 0; };
    // Not the engine's names, and one of an older form whose program runs (this one).
    const std::wstring kept[] = {L"kvengine-notes.part", L"kvengine-7-123-1-1.part", L"kvengine-07-1-1.part",
                                 L"kvengine-" + self + L"-1-1.part"};
    for (const std::wstring& name : kept) make(folder + name);
    HttpTestServer server(FreshDirUnix("www"));
    const PROCESS_INFORMATION pi = StartChildBrowser(FreshDirUnix("left-over") + "/pid", server.Url("/bytes/200000"));
    ASSERT_TRUE(pi.hProcess);
    const kvwin::UniqueKernelHandle child(pi.hProcess);
    // All received: the child's file is closed, waiting for the save dialog it shows.
    std::vector<std::wstring> parts;
    ASSERT_TRUE(PumpUntil([&] {
        parts = PartFilesOf(pi.dwProcessId);
        return parts.size() == 1 && FileSize(parts[0]) == 200000;
    }, 60000));

    {
        EngineScope running(true);
        ASSERT_TRUE(running.ok);
    }
    EXPECT_TRUE(exists(parts[0])) << "removed while its program runs";
    TerminateProcess(child.get(), 9);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(child.get(), 10000));
    // Also gone: the older form of a name, and one of this process's id from a run that started at another time.
    const std::wstring removed[] = {parts[0], folder + L"kvengine-" + std::to_wstring(pi.dwProcessId) + L"-1-1.part",
                                    folder + L"kvengine-" + self + L"-0000000000000001-1-1.part"};
    for (const std::wstring& path : removed) make(path);
    {
        EngineScope next(true);
        ASSERT_TRUE(next.ok);
    }
    for (const std::wstring& path : removed) EXPECT_FALSE(exists(path)) << Narrow(path);
    for (const std::wstring& name : kept) {
        EXPECT_TRUE(exists(folder + name)) << Narrow(name);
        DeleteFileW((folder + name).c_str());
    }
}

}  // namespace
}  // namespace kvtest
