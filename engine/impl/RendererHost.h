#pragma once
// The browser process's handle on one renderer: its channel and its
// sub-process (or, in single-process mode, its thread).
#include <windows.h>

#include <memory>
#include <string>
#include <thread>

#include "engine/CefApp.h"
#include "engine/impl/Channel.h"
#include "win/UniqueHandle.h"

namespace kvengine {

class RendererHost {
public:
    static std::unique_ptr<RendererHost> Start(const CefSettings& settings, CefRefPtr<CefApp> app,
                                               Channel::PacketSink onPacket, Channel::ClosedSink onClosed);
    ~RendererHost();

    bool Send(std::string packet) { return m_channel->Send(std::move(packet)); }
    DWORD ProcessId() const { return m_processId; }
    // Tells the renderer to end and closes the channel; the renderer also
    // ends on its own when it finds the channel closed. A renderer process
    // still running after kRendererExitGraceMs is ended.
    void Shutdown();
    // Waits for the process or thread to end; a process still running then is ended.
    void Finish(DWORD timeoutMs);

    // How long a renderer told to end may take before its process is ended:
    // its scripts are stopped at once, so only a renderer stuck outside them needs it.
    static constexpr DWORD kRendererExitGraceMs = 2000;

private:
    RendererHost() = default;

    std::unique_ptr<Channel> m_channel;
    kvwin::UniqueKernelHandle m_process;  // the renderer process, or its thread in single-process mode
    DWORD m_processId = 0;
    bool m_thread = false;
    kvwin::UniqueKernelHandle m_shutdownDone;  // set once Finish ended the process or gave up on it
    std::thread m_reaper;                      // ends the process when it outlives its grace
};

}  // namespace kvengine
