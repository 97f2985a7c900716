// sound_fixture: helper of the end-to-end sound tests.
//   sound_fixture write OUT.mp3 SECONDS      writes the test signal as an MP3 file
//   sound_fixture match CAPTURED.raw SONG.mp3 MIN_SECONDS [START_MS]
//       checks that CAPTURED (raw 16-bit stereo at 44100 Hz, as SDL's disk output writes
//       it) is the decoded SONG from its first sample (or from START_MS in) on, at least MIN_SECONDS long. The
//       device plays silence while it waits for the first stream, so whole device buffers
//       of silence may come first.
//   sound_fixture heard RECORDED.raw SONG.mp3 START_MS MIN_SECONDS
//       checks what a sound server's monitor recorded (raw 16-bit stereo at 44100 Hz): its
//       first sound is SONG from START_MS in, frame for frame for one device buffer (1024
//       frames, what the first hand-over carries; not checked when START_MS is -1), and at
//       least MIN_SECONDS of it are sound
//   sound_fixture dropouts CAPTURED.raw SONG.mp3 [START_MS]
//       prints what CAPTURED holds against SONG from START_MS on (see dropouts.h) in one
//       line; exit 0 when it is the song without dropouts, 1 otherwise
//   sound_fixture segments CAPTURED.raw SONG.mp3
//       prints the parts of CAPTURED that are SONG, one line "segment FROM FRAMES" each (the
//       song frame it starts at, its length), ignoring silence between them, then
//       "unmatched FRAMES" for sound that is no part of the song; exit 1 when there is any
//   sound_fixture required-version           prints the decoder version the build needs
//   sound_fixture startup                    runs startMusic() (data/music.mp3 in the
//       working directory) and prints when the device first took music
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "app/music.h"
#include "dropouts.h"
#include "mp3_writer.h"
#include "platform/clock.h"
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

// Raw 16-bit stereo as SDL's disk output writes it; a partly written last frame is ignored.
std::vector<int16_t> readCapture(const char* path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    std::vector<int16_t> captured(2 * (bytes.size() / 4));
    std::copy(bytes.begin(), bytes.begin() + long(2 * captured.size()),
              reinterpret_cast<char*>(captured.data()));
    return captured;
}

// The decoded song from `startMs` in; false (after a line on stderr) when it cannot be decoded.
bool decodeSongFrom(const char* path, long startMs, std::vector<int16_t>& song, size_t& skipped) {
    const int error = sound::decodeFile(path, Rate, song);
    if (error != sound::NoError) {
        std::fprintf(stderr, "cannot decode %s: code %d\n", path, error);
        return false;
    }
    skipped = std::min(song.size(), size_t(2 * (startMs * Rate / 1000)));
    song.erase(song.begin(), song.begin() + long(skipped));
    return true;
}

int reportDropouts(const char* capturedPath, const char* songPath, long startMs) {
    const std::vector<int16_t> captured = readCapture(capturedPath);
    std::vector<int16_t> song;
    size_t skipped = 0;
    if (!decodeSongFrom(songPath, startMs, song, skipped)) return 1;
    const DropoutReport r =
        findDropouts(captured.data(), captured.size() / 2, song.data(), song.size() / 2);
    const auto ms = [](size_t frames) { return double(frames) * 1000.0 / Rate; };
    std::printf("lead_ms %.1f song_ms %.1f dropouts %zu dropout_ms %.1f longest_ms %.1f corrupt %s "
                "first_dropout_at_ms %.1f\n",
                ms(r.leadFrames), ms(r.matchedFrames), r.dropouts, ms(r.dropoutFrames),
                ms(r.longestDropoutFrames),
                r.corrupt ? std::to_string(r.corruptAtFrame).c_str() : "no",
                ms(r.firstDropoutAtFrame) + double(startMs));
    return r.corrupt || r.dropouts > 0 || r.matchedFrames == 0 ? 1 : 0;
}

int matchCapture(const char* capturedPath, const char* songPath, double minSeconds,
                 long startMs) {
    const std::vector<int16_t> captured = readCapture(capturedPath);
    const size_t frames = captured.size() / 2;
    std::vector<int16_t> song;
    size_t skipped = 0;
    if (!decodeSongFrom(songPath, startMs, song, skipped)) return 1;
    std::printf("captured %zu frames (%.3f s), song %zu frames\n", frames, double(frames) / Rate,
                song.size() / 2);
    if (double(frames) < minSeconds * Rate) {
        std::fprintf(stderr, "capture shorter than %.1f s\n", minSeconds);
        return 1;
    }
    // Frames of the test signal are practically never zero on both sides, so leading
    // all-zero frames are the device's wait, which comes in whole buffers.
    size_t lead = 0;
    while (lead < frames && captured[2 * lead] == 0 && captured[2 * lead + 1] == 0) ++lead;
    const size_t deviceFrames = 1024;
    if (lead % deviceFrames != 0 || lead > size_t(Rate)) {
        std::fprintf(stderr, "%zu frames of silence before the song: not whole device buffers\n",
                     lead);
        return 1;
    }
    // Past the end of the song the output is silence.
    for (size_t i = 2 * lead; i < captured.size(); ++i) {
        const size_t at = i - 2 * lead;
        const int16_t expected = at < song.size() ? song[at] : 0;
        if (captured[i] != expected) {
            std::fprintf(stderr, "first difference at song frame %zu (%s): %d, expected %d\n",
                         at / 2, i % 2 ? "right" : "left", captured[i], expected);
            return 1;
        }
    }
    const size_t songFrames = std::min(frames - lead, song.size() / 2);
    std::printf("capture is %zu frames of silence, the song from its frame %zu on (%zu frames), "
                "then %zu frames of silence\n",
                lead, skipped / 2, songFrames, frames - lead - songFrames);
    return 0;
}

// Whether `frames` frames of the song from `from` equal the capture's from `at`.
bool sameFrames(const std::vector<int16_t>& song, size_t from, const std::vector<int16_t>& captured,
                size_t at, size_t frames) {
    if (2 * (from + frames) > song.size() || 2 * (at + frames) > captured.size()) return false;
    return std::equal(song.begin() + long(2 * from), song.begin() + long(2 * (from + frames)),
                      captured.begin() + long(2 * at));
}

int listSegments(const char* capturedPath, const char* songPath) {
    const std::vector<int16_t> captured = readCapture(capturedPath);
    std::vector<int16_t> song;
    size_t skipped = 0;
    if (!decodeSongFrom(songPath, 0, song, skipped)) return 1;
    const size_t frames = captured.size() / 2, songFrames = song.size() / 2;
    const auto silent = [&](size_t i) { return captured[2 * i] == 0 && captured[2 * i + 1] == 0; };
    constexpr size_t Window = 64;  // frames that place a part in the song (its sweep is unique)
    size_t unmatched = 0;
    for (size_t at = 0; at < frames;) {
        if (silent(at)) {
            ++at;
            continue;
        }
        size_t from = 0;
        while (from < songFrames && !sameFrames(song, from, captured, at, Window)) ++from;
        if (from == songFrames) {
            ++unmatched;
            ++at;
            continue;
        }
        size_t length = Window;
        while (at + length < frames && from + length < songFrames &&
               sameFrames(song, from + length, captured, at + length, 1))
            ++length;
        std::printf("segment %zu %zu\n", from, length);
        at += length;
    }
    std::printf("unmatched %zu\n", unmatched);
    return unmatched == 0 ? 0 : 1;
}

int checkHeard(const char* recordedPath, const char* songPath, long startMs, double minSeconds) {
    std::ifstream in(recordedPath, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    std::vector<int16_t> recorded(bytes.size() / 4 * 2);
    std::copy(bytes.begin(), bytes.begin() + long(2 * recorded.size()), reinterpret_cast<char*>(recorded.data()));
    std::vector<int16_t> song;
    if (sound::decodeFile(songPath, Rate, song) != sound::NoError) return 1;
    const size_t frames = recorded.size() / 2, start = size_t(std::max(0L, startMs) * Rate / 1000);
    auto silent = [](const int16_t* frame) { return frame[0] == 0 && frame[1] == 0; };
    size_t first = 0, sounding = 0, songFirst = start;
    while (first < frames && silent(&recorded[2 * first])) ++first;
    while (2 * songFirst < song.size() && silent(&song[2 * songFirst])) ++songFirst;
    for (size_t i = first; i < frames; ++i) sounding += !silent(&recorded[2 * i]);
    const size_t check = 1024;
    std::printf("%zu frames recorded, sound from frame %zu on, %.2f s of it\n", frames, first,
                double(sounding) / Rate);
    if (startMs >= 0 && (first + check > frames || 2 * (songFirst + check) > song.size() ||
        !std::equal(&recorded[2 * first], &recorded[2 * (first + check)], &song[2 * songFirst]))) {
        std::fprintf(stderr, "the first sound recorded is not the song from %ld ms\n", startMs);
        return 1;
    }
    return double(sounding) >= minSeconds * Rate ? 0 : 1;
}

int measureStartup() {
    const uint32_t called = monotonicMs();
    startMusic();
    const uint32_t playing = monotonicMs();
    sound::PlaybackPosition position = sound::playbackPosition();
    for (int i = 0; i < 2000 && position.firstCallbackMs == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        position = sound::playbackPosition();
    }
    std::printf("startMusic called at %u ms, returned at %u ms (since process start)\n", called,
                playing);
    std::printf("first callback with music at %u ms; device buffer %d frames\n",
                position.firstCallbackMs, position.deviceLatencyFrames);
    return position.firstCallbackMs == 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "write" && argc == 4) return writeSong(argv[2], std::atof(argv[3]));
    if (command == "required-version" && argc == 2) {
        std::printf("%s\n", sound::versionText(sound::requiredLibraryVersion()).c_str());
        return 0;
    }
    if (command == "startup" && argc == 2) return measureStartup();
    if (command == "heard" && argc == 6)
        return checkHeard(argv[2], argv[3], std::atol(argv[4]), std::atof(argv[5]));
    if (command == "dropouts" && (argc == 4 || argc == 5))
        return reportDropouts(argv[2], argv[3], argc == 5 ? std::atol(argv[4]) : 0);
    if (command == "segments" && argc == 4) return listSegments(argv[2], argv[3]);
    if (command == "match" && (argc == 5 || argc == 6))
        return matchCapture(argv[2], argv[3], std::atof(argv[4]), argc == 6 ? std::atol(argv[5]) : 0);
    std::fprintf(stderr, "usage: sound_fixture write OUT.mp3 SECONDS | match CAPTURED.raw SONG.mp3 MIN_SECONDS [START_MS] | dropouts CAPTURED.raw SONG.mp3 [START_MS]\n");
    return 2;
}
