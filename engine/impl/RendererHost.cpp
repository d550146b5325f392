#include "engine/impl/RendererHost.h"

#include "engine/CefCommandLine.h"
#include "engine/impl/EngineLog.h"
#include "engine/impl/Renderer.h"
#include "engine/impl/Wire.h"
#include "win/UniqueHandle.h"

namespace kvengine {
namespace {

struct ThreadStart {
    std::wstring channel;
    CefRefPtr<CefApp> app;
};

DWORD WINAPI RendererThread(LPVOID parameter) {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
    return static_cast<DWORD>(RunRenderer(start->channel, start->app, false));
}

std::wstring OwnExecutable() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// The renderer's command line: the role, the channel, the log, and every
// switch the application gave the browser process.
std::wstring RendererCommandLine(const std::wstring& program, const std::wstring& channel) {
    CefRefPtr<CefCommandLine> result = CefCommandLine::CreateCommandLine();
    result->SetProgram(program);
    result->AppendSwitchWithValue("type", "renderer");
    result->AppendSwitchWithValue("kv-channel", channel);
    result->AppendSwitchWithValue("log-file", LogPath());
    result->AppendSwitchWithValue("log-severity", std::to_wstring(static_cast<int>(LogSeverity())));
    // Switches of the browser process's own command line travel on; its arguments do not.
    const std::wstring text = CefCommandLine::GetGlobalCommandLine()->GetCommandLineString().ToWString();
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(text.c_str(), &argc);
    const kvwin::UniqueLocal argvMemory(argv);
    for (int i = 1; argv && i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--") break;
        if (arg.compare(0, 2, L"--") != 0) continue;
        const size_t eq = arg.find(L'=');
        const std::wstring name = arg.substr(2, eq == std::wstring::npos ? std::wstring::npos : eq - 2);
        if (name == L"type" || name == L"kv-channel" || name == L"log-file" || name == L"log-severity") continue;
        if (eq == std::wstring::npos) result->AppendSwitch(name);
        else result->AppendSwitchWithValue(name, arg.substr(eq + 1));
    }
    return result->GetCommandLineString().ToWString();
}

}  // namespace

std::unique_ptr<RendererHost> RendererHost::Start(const CefSettings& settings, CefRefPtr<CefApp> app,
                                                  Channel::PacketSink onPacket, Channel::ClosedSink onClosed) {
    std::wstring name;
    std::unique_ptr<Channel> channel = Channel::Create(name);
    if (!channel) return nullptr;
    std::unique_ptr<RendererHost> host(new RendererHost());
    if (settings.single_process) {
        auto start = std::make_unique<ThreadStart>(ThreadStart{name, app});
        DWORD id = 0;
        host->m_process.reset(CreateThread(nullptr, 0, RendererThread, start.get(), 0, &id));
        if (!host->m_process) {
            KV_LOG(LOGSEVERITY_ERROR) << "cannot start a renderer thread (" << GetLastError() << ")";
            return nullptr;
        }
        start.release();  // the thread owns it now
        host->m_thread = true;
        channel->SetClientProcessId(GetCurrentProcessId());
    } else {
        const std::wstring program =
            settings.browser_subprocess_path.empty() ? OwnExecutable() : settings.browser_subprocess_path.ToWString();
        std::wstring commandLine = RendererCommandLine(program, name);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                            nullptr, &si, &pi)) {
            KV_LOG(LOGSEVERITY_ERROR) << "cannot start a renderer process (" << GetLastError() << ")";
            return nullptr;
        }
        const kvwin::UniqueKernelHandle thread(pi.hThread);
        host->m_process.reset(pi.hProcess);
        host->m_processId = pi.dwProcessId;
        channel->SetClientProcessId(pi.dwProcessId);
        ResumeThread(thread.get());
    }
    host->m_channel = std::move(channel);
    host->m_channel->Start(std::move(onPacket), std::move(onClosed));
    return host;
}

RendererHost::~RendererHost() { Finish(kRendererExitGraceMs); }

void RendererHost::Shutdown() {
    if (!m_channel) return;
    m_channel->Send(WireWriter(PacketType::Exit).Take());
    m_channel->Close();
    if (m_thread || !m_process || m_reaper.joinable()) return;
    m_shutdownDone.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_shutdownDone) return;
    HANDLE process = m_process.get();
    HANDLE done = m_shutdownDone.get();
    // Both handles outlive the thread: Finish joins it before it lets them go.
    m_reaper = std::thread([process, done] {
        const HANDLE both[] = {process, done};
        if (WaitForMultipleObjects(2, both, FALSE, kRendererExitGraceMs) != WAIT_TIMEOUT) return;
        KV_LOG(LOGSEVERITY_ERROR) << "a renderer process did not end after its browser closed and was terminated";
        TerminateProcess(process, 1);
    });
}

void RendererHost::Finish(DWORD timeoutMs) {
    Shutdown();
    if (!m_process) return;
    if (WaitForSingleObject(m_process.get(), timeoutMs) != WAIT_OBJECT_0) {
        if (m_thread) {
            // A thread cannot be ended safely: it is left to the process's end.
            KV_LOG(LOGSEVERITY_ERROR) << "a renderer thread did not end (" << (m_channel ? "channel open" : "no channel") << ")";
        } else {
            KV_LOG(LOGSEVERITY_ERROR) << "a renderer process did not end and was terminated";
            TerminateProcess(m_process.get(), 1);
        }
    }
    if (m_reaper.joinable()) {
        SetEvent(m_shutdownDone.get());
        m_reaper.join();
    }
    m_process.reset();
}

}  // namespace kvengine
