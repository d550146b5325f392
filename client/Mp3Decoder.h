#pragma once
// An MP3 file decoded by libmpg123 into signed 16-bit PCM, the format the
// wave-out device is opened with, whatever the library's native output is.
#include <string>

struct mpg123_handle_struct;

namespace kvclient {

class Mp3Decoder {
public:
    Mp3Decoder() = default;
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // Opens the file and reads its stream format; false, with the reason
    // printed to standard error, when the decoder, the file or the format fails.
    bool Open(const std::string& path);
    long Rate() const { return m_rate; }
    int Channels() const { return m_channels; }
    // Bytes of one sample for every channel.
    int FrameSize() const { return 2 * m_channels; }
    // The decoder's block size, a good buffer size for Read.
    size_t BlockSize() const;
    // Decodes into `buffer`; returns the bytes produced, cut to whole frames,
    // and 0 at the end of the stream or on a decoding error.
    size_t Read(unsigned char* buffer, size_t size);

private:
    mpg123_handle_struct* m_handle = nullptr;
    long m_rate = 0;
    int m_channels = 0;
    bool m_ended = false;
};

}  // namespace kvclient
