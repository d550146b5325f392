#pragma once
// A browser's channel to its renderer: two one-way named pipes. A reader
// thread on each side drains its pipe at all times and delivers packets on
// that thread, so a writer (any thread, one at a time, writing directly)
// never waits on the other side's work, only on the pipe. The reader waits
// on its read and a stop event together, so closing never hangs on the other side.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "win/UniqueHandle.h"

namespace kvengine {

class Channel {
public:
    typedef std::function<void(std::string packet)> PacketSink;
    typedef std::function<void()> ClosedSink;

    // The serving end under a fresh, unguessable name.
    static std::unique_ptr<Channel> Create(std::wstring& name);
    // The renderer's end of the named channel; null when it cannot be opened.
    static std::unique_ptr<Channel> Open(const std::wstring& name);
    ~Channel();

    // Only a client process with this id is accepted (set before it connects).
    void SetClientProcessId(DWORD pid) { m_clientPid = pid; }
    // Starts the reader thread. `onClosed` runs once (on that thread) when the
    // other end goes away or never connects; not after Close.
    void Start(PacketSink onPacket, ClosedSink onClosed);
    // Writes a packet; false when the channel is closed or broken. Until the
    // client has connected, packets wait and are written when it does.
    bool Send(std::string packet);
    // Stops the reader thread and closes the pipes.
    void Close();

private:
    Channel(std::wstring name, kvwin::UniqueKernelHandle in, kvwin::UniqueKernelHandle out, bool server);
    void Run();
    bool WaitForClient();
    bool WriteLocked(const std::string& packet);
    bool Wait(HANDLE pipe, OVERLAPPED& operation, DWORD timeoutMs);

    const std::wstring m_name;
    kvwin::UniqueKernelHandle m_in;
    kvwin::UniqueKernelHandle m_out;
    const bool m_server;
    DWORD m_clientPid = 0;

    std::mutex m_writeMutex;    // one writer at a time; guards the fields below
    bool m_connected = false;
    bool m_closed = false;
    std::string m_pending;      // written once the client connects

    std::atomic<bool> m_stopping{false};  // Close was called: the reader stops even while data flows
    kvwin::UniqueKernelHandle m_stopEvent;
    kvwin::UniqueKernelHandle m_writeEvent;

    PacketSink m_onPacket;
    ClosedSink m_onClosed;
    std::thread m_thread;
};

}  // namespace kvengine
