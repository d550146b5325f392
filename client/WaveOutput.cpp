#include "client/WaveOutput.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace kvclient {

namespace {

void PrintFailure(int line, const char* what) {
    std::fprintf(stderr, "\n[PlayMP3:%i] ereturn: %s\n", line, what);
}

void PrintOpenFailure(MMRESULT result) {
    switch (result) {
    case MMSYSERR_ALLOCATED: PrintFailure(82, "Audio output device is already allocated."); break;
    case MMSYSERR_NODRIVER: PrintFailure(84, "No device driver is present."); break;
    case MMSYSERR_NOMEM: PrintFailure(86, "Unable to allocate or lock memory."); break;
    case WAVERR_BADFORMAT: PrintFailure(88, "Unsupported waveform-audio format."); break;
    default: PrintFailure(90, "Unable to open wave output device."); break;
    }
}

// A device that stops signalling must not leave the waiter blind: the
// buffer's done bit is looked at again at least this often.
constexpr DWORD kRecheckMs = 250;

}  // namespace

WaveOutput::~WaveOutput() { Close(); }

int WaveOutput::OpenWaveOut(long rate, int channels, UINT device) {
    if (m_device) return -1;
    m_done.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!m_done) return -1;

    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = static_cast<DWORD>(rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(channels * 2);
    format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
    const MMRESULT opened = waveOutOpen(&m_device, device, &format, reinterpret_cast<DWORD_PTR>(m_done.get()), 0,
                                        CALLBACK_EVENT);
    if (opened != MMSYSERR_NOERROR) {
        m_device = nullptr;
        PrintOpenFailure(opened);
        Close();
        return -1;
    }

    ResetEvent(m_done.get());
    for (Buffer& buffer : m_buffers) {
        buffer.data.reset(new (std::nothrow) char[kBufferSize]);
        if (!buffer.data) {
            PrintFailure(99, "Out of memory for playback buffers.");
            Close();
            return -1;
        }
        buffer.header.lpData = buffer.data.get();
        buffer.header.dwBufferLength = kBufferSize;
        if (waveOutPrepareHeader(m_device, &buffer.header, sizeof buffer.header) != MMSYSERR_NOERROR) {
            PrintFailure(106, "Can't write to audio output device (prepare).");
            Close();
            return -1;
        }
        // The prepared header is refilled in place; its length is set as each one is sent.
        buffer.header.dwBufferLength = 0;
    }
    m_current = 0;
    return 0;
}

int WaveOutput::Write(const unsigned char* bytes, int length) {
    if (!m_device) return -1;
    if (!bytes || length <= 0) return 0;
    int remaining = length;
    while (remaining > 0) {
        Buffer& buffer = m_buffers[static_cast<size_t>(m_current)];
        if (buffer.queued) WaitUntilPlayed(buffer);
        const DWORD room = kBufferSize - buffer.header.dwBufferLength;
        const DWORD take = std::min(room, static_cast<DWORD>(remaining));
        std::memcpy(buffer.data.get() + buffer.header.dwBufferLength, bytes, take);
        buffer.header.dwBufferLength += take;
        bytes += take;
        remaining -= static_cast<int>(take);
        if (buffer.header.dwBufferLength == kBufferSize) {
            if (!Send(buffer)) {
                PrintFailure(163, "Can't write to audio output device.");
                return -1;
            }
            m_current = (m_current + 1) % kBufferCount;
        }
    }
    return length;
}

void WaveOutput::Drain() {
    if (!m_device) return;
    Buffer& current = m_buffers[static_cast<size_t>(m_current)];
    if (!current.queued && current.header.dwBufferLength > 0) {
        if (Send(current)) m_current = (m_current + 1) % kBufferCount;
    }
    for (int i = 0; i < kBufferCount; ++i) {
        Buffer& buffer = m_buffers[static_cast<size_t>((m_current + i) % kBufferCount)];
        if (buffer.queued) WaitUntilPlayed(buffer);
    }
}

void WaveOutput::Close() {
    if (m_device) {
        Drain();
        for (Buffer& buffer : m_buffers) {
            if (buffer.header.dwFlags & WHDR_PREPARED) {
                buffer.header.dwBufferLength = kBufferSize;
                waveOutUnprepareHeader(m_device, &buffer.header, sizeof buffer.header);
            }
            buffer = Buffer{};
        }
        waveOutClose(m_device);
        m_device = nullptr;
    }
    m_done.reset();
}

DWORD WaveOutput::PlayedBytes() const {
    if (!m_device) return 0;
    MMTIME time{};
    time.wType = TIME_BYTES;
    if (waveOutGetPosition(m_device, &time, sizeof time) != MMSYSERR_NOERROR || time.wType != TIME_BYTES) return 0;
    return time.u.cb;
}

void WaveOutput::WaitUntilPlayed(Buffer& buffer) {
    while (!(buffer.header.dwFlags & WHDR_DONE)) WaitForSingleObject(m_done.get(), kRecheckMs);
    buffer.queued = false;
    buffer.header.dwBufferLength = 0;
}

bool WaveOutput::Send(Buffer& buffer) {
    buffer.header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
    if (waveOutWrite(m_device, &buffer.header, sizeof buffer.header) != MMSYSERR_NOERROR) return false;
    buffer.queued = true;
    return true;
}

}  // namespace kvclient
