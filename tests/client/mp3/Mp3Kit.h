#pragma once
// MP3 files made for the tests by Debian's encoders: a sine tone from sox,
// encoded by lame.
#include <string>
#include <vector>

namespace mp3test {

struct Tone {
    int rate;
    int channels;
    double seconds;
    int frequency;
};

// Encodes the tone into `folderUnix`/`name` and returns the file's Unix path.
std::string MakeToneMp3(const std::string& folderUnix, const std::string& name, const Tone& tone);

// Signed 16-bit samples of one channel out of interleaved PCM bytes.
std::vector<short> Channel(const std::vector<unsigned char>& pcm, int channels, int channel);
// How often the signal changes sign: twice its frequency per second for a tone.
int ZeroCrossings(const std::vector<short>& samples);

}  // namespace mp3test
