#include "Mp3Kit.h"

#include <stdexcept>

#include "support/TestKit.h"

namespace mp3test {

std::string MakeToneMp3(const std::string& folderUnix, const std::string& name, const Tone& tone) {
    const std::string wav = folderUnix + "/" + name + ".wav";
    const std::string mp3 = folderUnix + "/" + name;
    if (kvtest::RunUnix({"sox", "-n", "-r", std::to_string(tone.rate), "-c", std::to_string(tone.channels), wav,
                         "synth", std::to_string(tone.seconds), "sine", std::to_string(tone.frequency), "vol",
                         "0.5"}) != 0 ||
        kvtest::RunUnix({"lame", "--quiet", "-b", "128", wav, mp3}) != 0) {
        throw std::runtime_error("sox or lame could not make " + mp3);
    }
    kvtest::RunUnix({"rm", "-f", wav});
    return mp3;
}

std::vector<short> Channel(const std::vector<unsigned char>& pcm, int channels, int channel) {
    std::vector<short> out;
    const size_t frame = static_cast<size_t>(channels) * 2;
    for (size_t at = static_cast<size_t>(channel) * 2; at + 1 < pcm.size(); at += frame) {
        out.push_back(static_cast<short>(pcm[at] | (pcm[at + 1] << 8)));
    }
    return out;
}

int ZeroCrossings(const std::vector<short>& samples) {
    int crossings = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        if ((samples[i - 1] < 0) != (samples[i] < 0)) ++crossings;
    }
    return crossings;
}

}  // namespace mp3test
