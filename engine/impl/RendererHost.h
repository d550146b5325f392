#pragma once
// The browser process's handle on one renderer: its channel and its
// sub-process (or, in single-process mode, its thread).
#include <windows.h>

#include <memory>
#include <string>

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
    // ends on its own when it finds the channel closed.
    void Shutdown();
    // Waits for the process or thread to end; a process still running then is ended.
    void Finish(DWORD timeoutMs);

private:
    RendererHost() = default;

    std::unique_ptr<Channel> m_channel;
    kvwin::UniqueKernelHandle m_process;  // the renderer process, or its thread in single-process mode
    DWORD m_processId = 0;
    bool m_thread = false;
};

}  // namespace kvengine
