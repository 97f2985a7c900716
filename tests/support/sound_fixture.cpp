// sound_fixture: helper of the end-to-end sound tests.
//   sound_fixture write OUT.mp3 SECONDS      writes the test signal as an MP3 file
//   sound_fixture match CAPTURED.raw SONG.mp3 MIN_SECONDS
//       checks that CAPTURED (raw 16-bit stereo at 44100 Hz, as SDL's disk output writes
//       it) is the decoded SONG from its first sample on, at least MIN_SECONDS long.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "mp3_writer.h"
#include "platform/sound.h"

namespace {

constexpr int Rate = 44100;

int writeSong(const char* path, double seconds) {
    const auto frames = size_t(seconds * Rate);
    if (!writeMp3(path, makeTestSignal(frames, Rate), 2, Rate)) {
        std::fprintf(stderr, "cannot write %s\n", path);
        return 1;
    }
    return 0;
}

int matchCapture(const char* capturedPath, const char* songPath, double minSeconds) {
    std::ifstream in(capturedPath, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    const size_t frames = bytes.size() / 4;  // a partly written last frame is ignored
    std::vector<int16_t> captured(2 * frames);
    std::copy(bytes.begin(), bytes.begin() + long(4 * frames), reinterpret_cast<char*>(captured.data()));

    std::vector<int16_t> song;
    const int error = sound::decodeFile(songPath, Rate, song);
    if (error != sound::NoError) {
        std::fprintf(stderr, "cannot decode %s: code %d\n", songPath, error);
        return 1;
    }
    std::printf("captured %zu frames (%.3f s), song %zu frames\n", frames, double(frames) / Rate,
                song.size() / 2);
    if (double(frames) < minSeconds * Rate) {
        std::fprintf(stderr, "capture shorter than %.1f s\n", minSeconds);
        return 1;
    }
    // Past the end of the song the output is silence.
    for (size_t i = 0; i < captured.size(); ++i) {
        const int16_t expected = i < song.size() ? song[i] : 0;
        if (captured[i] != expected) {
            std::fprintf(stderr, "first difference at frame %zu (%s): %d, expected %d\n", i / 2,
                         i % 2 ? "right" : "left", captured[i], expected);
            return 1;
        }
    }
    std::printf("capture is the song from its first sample on\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "write" && argc == 4) return writeSong(argv[2], std::atof(argv[3]));
    if (command == "match" && argc == 5) return matchCapture(argv[2], argv[3], std::atof(argv[4]));
    std::fprintf(stderr, "usage: sound_fixture write OUT.mp3 SECONDS | match CAPTURED.raw SONG.mp3 MIN_SECONDS\n");
    return 2;
}
