// A rich edit whose text engine cannot be created stays a quiet control that
// keeps its text: nothing calls into an engine that is not there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "controls/richedit/RichEditKit.h"
#include "win/UniqueHandle.h"

namespace kvtest {
namespace {

// Wine loads no library that the program's own DllOverrides disable. They
// are read when a process starts, so the case runs in a copy of this program
// under a name of its own.
constexpr wchar_t kCopyName[] = L"richedit_without_engine.exe";
constexpr wchar_t kChildMarker[] = L"KV_RICHEDIT_WITHOUT_ENGINE";

DWORD RunCopyWithoutEngine() {
    WCHAR self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring copy = WorkDir() + L"\\" + kCopyName;
    if (!CopyFileW(self, copy.c_str(), FALSE)) return 100;
    HKEY raw = nullptr;
    const std::wstring keyPath = std::wstring(L"Software\\Wine\\AppDefaults\\") + kCopyName + L"\\DllOverrides";
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr)) {
        return 101;
    }
    const kvwin::UniqueRegKey key(raw);
    RegSetValueExW(key.get(), L"msftedit", 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(WCHAR));

    SetEnvironmentVariableW(kChildMarker, L"1");
    std::wstring commandLine = L"\"" + copy + L"\" --gtest_filter=RichEditWithoutEngine.*";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    const BOOL started = CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &info);
    SetEnvironmentVariableW(kChildMarker, nullptr);
    if (!started) return 102;
    const kvwin::UniqueKernelHandle process(info.hProcess);
    const kvwin::UniqueKernelHandle thread(info.hThread);
    if (WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
        return 103;
    }
    DWORD code = 104;
    GetExitCodeProcess(process.get(), &code);
    return code;
}

int UseWithoutEngine() {
    if (LoadLibraryW(L"msftedit.dll")) return 2;
    RichEditHost host(L"text=\"abc\" vscrollbar=\"true\" maxchar=\"3\"");
    host.Focus();
    host.Type(L"x");
    host.Stroke(VK_RETURN, L'\r');
    host.edit->SetText(L"text");
    host.edit->SetSelAll();
    host.edit->Cut();
    host.edit->Paste();
    host.edit->SetFont(0);
    host.edit->SetLimitText(10);
    host.edit->SetScrollPos(SIZE{0, 10});
    host.edit->LineDown();
    if (host.edit->Undo() || host.edit->CanRedo() || host.edit->GetTextLength() != 0) return 3;
    if (!host.Paint()) return 4;
    if (host.Text() != L"text") return 5;
    return 0;
}

TEST(RichEditWithoutEngine, KeepsItsTextAndNeverCallsTheMissingEngine) {
    if (GetEnvironmentVariableW(kChildMarker, nullptr, 0)) {
        EXPECT_EQ(0, UseWithoutEngine());
        return;
    }
    EXPECT_EQ(0u, RunCopyWithoutEngine());
}

}  // namespace
}  // namespace kvtest
