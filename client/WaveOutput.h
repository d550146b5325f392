#pragma once
// One playback's wave-out device: 16-bit PCM fed through eight rotating
// 64 KiB buffers, with the device signalling an event as each one finishes.
#include <windows.h>
#include <mmsystem.h>

#include <array>
#include <memory>

#include "win/UniqueHandle.h"

namespace kvclient {

class WaveOutput {
public:
    static constexpr int kBufferCount = 8;
    static constexpr DWORD kBufferSize = 0x10000;

    WaveOutput() = default;
    ~WaveOutput();
    WaveOutput(const WaveOutput&) = delete;
    WaveOutput& operator=(const WaveOutput&) = delete;

    // Opens `device` (the default one unless a test names another) for signed
    // 16-bit PCM of the stream's rate and channels; 0, or -1 with the reason
    // printed to standard error.
    int OpenWaveOut(long rate, int channels, UINT device = WAVE_MAPPER);
    // Queues `length` bytes (whole frames); returns `length`, 0 for nothing, -1 on failure.
    int Write(const unsigned char* bytes, int length);
    // Sends the partly filled buffer and waits until the device has played everything.
    void Drain();
    // Drains, then releases the buffers and the device.
    void Close();
    // Bytes the device has played since it was opened.
    DWORD PlayedBytes() const;

private:
    struct Buffer {
        WAVEHDR header{};
        std::unique_ptr<char[]> data;
        bool queued = false;
    };

    void WaitUntilPlayed(Buffer& buffer);
    bool Send(Buffer& buffer);

    HWAVEOUT m_device = nullptr;
    kvwin::UniqueKernelHandle m_done;  // auto-reset: the device finished a buffer
    std::array<Buffer, kBufferCount> m_buffers;
    int m_current = 0;        // the buffer being filled
};

}  // namespace kvclient
