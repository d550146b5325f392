#pragma once
// What every test program shares: its work folder, Unix tools started from
// the Windows side (fixtures are made by real tools at test time), files,
// and a message pump that waits with a timeout instead of sleeping.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kvtest {

// This test program's own empty-at-start folder, as a Unix path and as the
// Windows path the code under test uses (Wine maps "/" to drive Z:).
const std::string& WorkDirUnix();
std::wstring WorkDir();
// A fresh sub-folder of the work folder, emptied if it existed.
std::string FreshDirUnix(const std::string& name);

// The source tree, for checked-in test data.
const std::string& SourceDirUnix();

std::wstring ToWindowsPath(const std::string& unixPath);
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
// UTF-8 text in the GBK code page (936), the bytes of the client's own narrow texts.
std::string Gbk(const std::string& utf8);

// Runs a Unix program (an absolute path, or a name looked up in /usr/bin and
// /bin) with the given arguments in `cwd`; returns its exit code, or -1 when
// it could not start or did not end within `timeoutMs` (it is then killed).
int RunUnix(const std::vector<std::string>& argv, const std::string& cwd = {},
            DWORD timeoutMs = 60000);

// Starts a Unix program and returns at once; false when it could not start.
// Wine gives no handle to a started Unix program, so nothing here can wait
// for it or end it: a long-running helper must end by itself (the HTTP test
// server ends when its connection to the test program closes).
bool StartUnix(const std::vector<std::string>& argv, const std::string& cwd = {});

std::vector<char> ReadFileBytes(const std::string& unixPath);
void WriteFileBytes(const std::string& unixPath, const void* data, size_t size);
void WriteFileText(const std::string& unixPath, const std::string& text);

// Dispatches this thread's messages until `done` holds or `timeoutMs` passes.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

}  // namespace kvtest
