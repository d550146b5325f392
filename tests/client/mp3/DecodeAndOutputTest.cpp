// Real MP3 files decoded to the PCM the wave-out device is given, and the
// device itself (Wine's wave-out on ALSA's null device) taking every byte.
#include "client/common/ClientKit.h"

#include <cstdlib>
#include <vector>

#include "Mp3Kit.h"
#include "client/Mp3Decoder.h"
#include "client/WaveOutput.h"
#include "support/TestKit.h"

namespace kvclient {
namespace {

using clienttest::WindowsPath;
using mp3test::Tone;

std::vector<unsigned char> DecodeAll(Mp3Decoder& decoder) {
    std::vector<unsigned char> pcm;
    std::vector<unsigned char> block(decoder.BlockSize());
    for (size_t n; (n = decoder.Read(block.data(), block.size())) > 0;) {
        EXPECT_EQ(0u, n % static_cast<size_t>(decoder.FrameSize()));
        pcm.insert(pcm.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n));
    }
    return pcm;
}

struct DecodeCase {
    const char* name;
    Tone tone;
};

class Mp3Decoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Mp3Decoding, GivesSigned16PcmOfTheTonesRateLengthAndPitch) {
    const Tone tone = GetParam().tone;
    const std::string file = mp3test::MakeToneMp3(kvtest::FreshDirUnix(GetParam().name), "tone.mp3", tone);
    Mp3Decoder decoder;
    ASSERT_TRUE(decoder.Open(WindowsPath(file)));
    EXPECT_EQ(tone.rate, decoder.Rate());
    EXPECT_EQ(tone.channels, decoder.Channels());
    EXPECT_EQ(2 * tone.channels, decoder.FrameSize());

    const std::vector<unsigned char> pcm = DecodeAll(decoder);
    const double expectedFrames = tone.rate * tone.seconds;
    const double frames = static_cast<double>(pcm.size()) / decoder.FrameSize();
    // The encoder's delay and padding are removed by the decoder up to about one MP3 frame.
    EXPECT_NEAR(expectedFrames, frames, 1152.0);

    for (int channel = 0; channel < tone.channels; ++channel) {
        const std::vector<short> samples = mp3test::Channel(pcm, tone.channels, channel);
        const double measured = mp3test::ZeroCrossings(samples) / 2.0 / (samples.size() / static_cast<double>(tone.rate));
        EXPECT_NEAR(tone.frequency, measured, tone.frequency * 0.02) << "channel " << channel;
        int peak = 0;
        for (short s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
        // Made at half of full scale.
        EXPECT_NEAR(16384, peak, 2500) << "channel " << channel;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tones, Mp3Decoding,
    ::testing::Values(DecodeCase{"Mono44100", Tone{44100, 1, 1.0, 440}},
                      DecodeCase{"Stereo22050", Tone{22050, 2, 2.5, 1000}}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

TEST(Mp3Decoder, RefusesAFileThatIsNoMp3) {
    const std::string dir = kvtest::FreshDirUnix("nomp3");
    kvtest::WriteFileText(dir + "/page.mp3", "<html>404 not found</html>");
    Mp3Decoder decoder;
    EXPECT_FALSE(decoder.Open(WindowsPath(dir + "/page.mp3")));
    EXPECT_EQ(0u, decoder.Read(nullptr, 0));
}

TEST(Mp3Decoder, RefusesAMissingFile) {
    Mp3Decoder decoder;
    EXPECT_FALSE(decoder.Open(WindowsPath(kvtest::WorkDirUnix() + "/missing.mp3")));
}

TEST(WaveOutput, PlaysEveryByteIncludingTheLastPartialBuffer) {
    WaveOutput output;
    ASSERT_EQ(0, output.OpenWaveOut(44100, 1));
    // Neither a multiple of the 64 KiB buffers nor of the pieces written.
    const std::vector<unsigned char> silence(4608, 0);
    int written = 0;
    for (int i = 0; i < 40; ++i) written += output.Write(silence.data(), static_cast<int>(silence.size()));
    written += output.Write(silence.data(), 1234);
    EXPECT_EQ(40 * 4608 + 1234, written);
    output.Drain();
    EXPECT_EQ(static_cast<DWORD>(written), output.PlayedBytes());
}

TEST(WaveOutput, ADeviceThatDoesNotExistFailsToOpen) {
    WaveOutput output;
    EXPECT_EQ(-1, output.OpenWaveOut(44100, 1, 4000));
    const unsigned char byte = 0;
    EXPECT_EQ(-1, output.Write(&byte, 1));
}

}  // namespace
}  // namespace kvclient
