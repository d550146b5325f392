#include "client/Mp3Decoder.h"

#include <mpg123.h>

#include <cstdio>

namespace kvclient {

namespace {

// Offers the decoder every rate it knows, each in signed 16-bit only.
void AllowOnlySigned16(mpg123_handle* handle) {
    mpg123_format_none(handle);
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i) {
        mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
}

}  // namespace

Mp3Decoder::~Mp3Decoder() {
    if (!m_handle) return;
    mpg123_close(m_handle);
    mpg123_delete(m_handle);
}

bool Mp3Decoder::Open(const std::string& path) {
    if (m_handle) return false;
    int error = MPG123_OK;
    m_handle = mpg123_new(nullptr, &error);
    if (!m_handle) {
        std::fprintf(stderr, "mpg123_init wrong: %s", mpg123_plain_strerror(error));
        return false;
    }
    AllowOnlySigned16(m_handle);
    int encoding = 0;
    if (mpg123_open(m_handle, path.c_str()) != MPG123_OK ||
        mpg123_getformat(m_handle, &m_rate, &m_channels, &encoding) != MPG123_OK) {
        std::fprintf(stderr, "mpg123_open mpg123_getformat: %s\n", mpg123_strerror(m_handle));
        return false;
    }
    // The stream keeps this format to its end.
    mpg123_format_none(m_handle);
    mpg123_format(m_handle, m_rate, m_channels, MPG123_ENC_SIGNED_16);
    return true;
}

size_t Mp3Decoder::BlockSize() const { return m_handle ? mpg123_outblock(m_handle) : 0; }

size_t Mp3Decoder::Read(unsigned char* buffer, size_t size) {
    if (!m_handle || m_ended || m_channels <= 0) return 0;
    size_t done = 0;
    const int result = mpg123_read(m_handle, buffer, size, &done);
    if (result != MPG123_OK) m_ended = true;
    return done - done % static_cast<size_t>(FrameSize());
}

}  // namespace kvclient
