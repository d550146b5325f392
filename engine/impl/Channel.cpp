#include "engine/impl/Channel.h"

#include <bcrypt.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/impl/EngineLog.h"

namespace kvengine {
namespace {

constexpr DWORD kConnectTimeoutMs = 30000;
constexpr uint32_t kMaxPacket = 256u * 1024 * 1024;
constexpr DWORD kPipeBuffer = 256 * 1024;

std::wstring RandomHex() {
    unsigned char bytes[16] = {};
    BCryptGenRandom(nullptr, bytes, sizeof bytes, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    std::wstring out;
    const wchar_t* digits = L"0123456789abcdef";
    for (const unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

HANDLE MakePipe(const std::wstring& name, DWORD direction) {
    return CreateNamedPipeW(name.c_str(), direction | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED,
                            PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                            kPipeBuffer, kPipeBuffer, 0, nullptr);
}

HANDLE OpenPipe(const std::wstring& name, DWORD access) {
    return CreateFileW(name.c_str(), access, 0, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
}

}  // namespace

Channel::Channel(std::wstring name, kvwin::UniqueKernelHandle in, kvwin::UniqueKernelHandle out, bool server)
    : m_name(std::move(name)), m_in(std::move(in)), m_out(std::move(out)), m_server(server), m_connected(!server),
      m_stopEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_writeEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

// The browser writes to "<name>.down" and reads "<name>.up"; the renderer the other way round.
std::unique_ptr<Channel> Channel::Create(std::wstring& name) {
    name = L"\\\\.\\pipe\\kvengine." + std::to_wstring(GetCurrentProcessId()) + L"." + RandomHex();
    kvwin::UniqueKernelHandle out(MakePipe(name + L".down", PIPE_ACCESS_OUTBOUND));
    kvwin::UniqueKernelHandle in(MakePipe(name + L".up", PIPE_ACCESS_INBOUND));
    if (!out || !in) {
        KV_LOG(LOGSEVERITY_ERROR) << "cannot create the renderer channel (" << GetLastError() << ")";
        return nullptr;
    }
    return std::unique_ptr<Channel>(new Channel(name, std::move(in), std::move(out), true));
}

std::unique_ptr<Channel> Channel::Open(const std::wstring& name) {
    kvwin::UniqueKernelHandle in(OpenPipe(name + L".down", GENERIC_READ));
    kvwin::UniqueKernelHandle out(in ? OpenPipe(name + L".up", GENERIC_WRITE) : nullptr);
    if (!in || !out) {
        KV_LOG(LOGSEVERITY_ERROR) << "cannot open the renderer channel (" << GetLastError() << ")";
        return nullptr;
    }
    return std::unique_ptr<Channel>(new Channel(name, std::move(in), std::move(out), false));
}

Channel::~Channel() { Close(); }

void Channel::Start(PacketSink onPacket, ClosedSink onClosed) {
    m_onPacket = std::move(onPacket);
    m_onClosed = std::move(onClosed);
    m_thread = std::thread([this] { Run(); });
}

bool Channel::Send(std::string packet) {
    const auto size = static_cast<uint32_t>(packet.size());
    packet.insert(0, reinterpret_cast<const char*>(&size), sizeof size);
    std::lock_guard<std::mutex> lock(m_writeMutex);
    if (m_closed) return false;
    if (!m_connected) {
        m_pending += packet;
        return true;
    }
    return WriteLocked(packet);
}

bool Channel::WriteLocked(const std::string& packet) {
    const char* data = packet.data();
    size_t size = packet.size();
    while (size > 0) {
        // WriteFile resets the event itself; under Wine every ResetEvent is a trip to the server.
        OVERLAPPED write{};
        write.hEvent = m_writeEvent.get();
        DWORD written = 0;
        if (!WriteFile(m_out.get(), data, static_cast<DWORD>(size), nullptr, &write) &&
            GetLastError() != ERROR_IO_PENDING) {
            return false;
        }
        if (!GetOverlappedResult(m_out.get(), &write, &written, TRUE) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

// Waits for an overlapped operation or the stop event; false when stopped,
// timed out or failed (the operation is then cancelled and finished).
bool Channel::Wait(HANDLE pipe, OVERLAPPED& operation, DWORD timeoutMs) {
    const HANDLE events[] = {m_stopEvent.get(), operation.hEvent};
    const DWORD which = WaitForMultipleObjects(2, events, FALSE, timeoutMs);
    DWORD ignored = 0;
    if (which == WAIT_OBJECT_0 + 1 && GetOverlappedResult(pipe, &operation, &ignored, FALSE)) return true;
    CancelIo(pipe);
    GetOverlappedResult(pipe, &operation, &ignored, TRUE);
    return false;
}

void Channel::Close() {
    {
        std::lock_guard<std::mutex> lock(m_writeMutex);
        m_closed = true;
    }
    m_stopping = true;
    SetEvent(m_stopEvent.get());
    if (m_thread.joinable()) m_thread.join();
    std::lock_guard<std::mutex> lock(m_writeMutex);
    m_out.reset();
    m_in.reset();
}

void Channel::Run() {
    bool ok = !m_server || WaitForClient();
    if (ok) {
        std::lock_guard<std::mutex> lock(m_writeMutex);
        m_connected = true;
        if (!m_closed && !m_pending.empty()) WriteLocked(m_pending);
        m_pending.clear();
        ok = !m_closed;
    }
    kvwin::UniqueKernelHandle readEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::string received;
    std::vector<char> buffer(64 * 1024);
    while (ok) {
        OVERLAPPED read{};
        read.hEvent = readEvent.get();
        DWORD got = 0;
        // Data already in the pipe completes the read at once: no wait, no extra wake-up.
        if (!ReadFile(m_in.get(), buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, &read) &&
            (GetLastError() != ERROR_IO_PENDING || !Wait(m_in.get(), read, INFINITE))) {
            break;
        }
        if (m_stopping.load() || !GetOverlappedResult(m_in.get(), &read, &got, FALSE)) break;
        received.append(buffer.data(), got);
        size_t pos = 0;
        while (ok && received.size() - pos >= sizeof(uint32_t)) {
            uint32_t size = 0;
            std::memcpy(&size, received.data() + pos, sizeof size);
            if (size > kMaxPacket) {
                KV_LOG(LOGSEVERITY_ERROR) << "oversized packet on the renderer channel";
                ok = false;
                break;
            }
            if (received.size() - pos - sizeof size < size) break;
            std::string packet = received.substr(pos + sizeof size, size);
            pos += sizeof size + size;
            if (m_onPacket) m_onPacket(std::move(packet));
        }
        received.erase(0, pos);
    }
    bool closedHere = false;
    {
        std::lock_guard<std::mutex> lock(m_writeMutex);
        closedHere = m_closed;
        m_closed = true;
    }
    if (!closedHere && m_onClosed) m_onClosed();
}

bool Channel::WaitForClient() {
    for (HANDLE pipe : {m_out.get(), m_in.get()}) {
        kvwin::UniqueKernelHandle connected(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        OVERLAPPED connect{};
        connect.hEvent = connected.get();
        if (ConnectNamedPipe(pipe, &connect)) continue;
        const DWORD error = GetLastError();
        if (error == ERROR_PIPE_CONNECTED) continue;
        if (error != ERROR_IO_PENDING) return false;
        if (!Wait(pipe, connect, kConnectTimeoutMs)) {
            if (WaitForSingleObject(m_stopEvent.get(), 0) != WAIT_OBJECT_0) {
                KV_LOG(LOGSEVERITY_ERROR) << "the renderer did not connect";
            }
            return false;
        }
    }
    ULONG pid = 0;
    if (m_clientPid != 0 && GetNamedPipeClientProcessId(m_in.get(), &pid) && pid != m_clientPid) {
        KV_LOG(LOGSEVERITY_ERROR) << "a foreign process " << pid << " connected to the renderer channel";
        return false;
    }
    std::lock_guard<std::mutex> lock(m_writeMutex);
    return !m_closed;
}

}  // namespace kvengine
