#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// What a recording of the sound output heard: where a moment of the soundtrack lies in the
// recording, and when that recording frame was played.
namespace bench {

// One packet of the recording as the recorder stamped it.
struct AudioPacket {
    int64_t timeUs = 0;  // when its first frame was played, µs on the recorder's clock
    int64_t frames = 0;  // frames in the packet
};

// The recording's frames in time. The recorder stamps each packet from its own clock and the
// server's latency report, smoothed; the stamps of the first `settleUs` are left out (the
// smoothing is still settling there).
struct AudioTimeline {
    double rate = 44100;               // Hz
    std::vector<double> startFrame;    // recording frame that begins each kept packet
    std::vector<double> residualUs;    // its stamp minus startFrame / rate, µs
};
AudioTimeline audioTimeline(const std::vector<AudioPacket>& packets, double rate, double settleUs);

struct FrameTime {
    double timeUs = 0;    // when the frame was played, µs on the recorder's clock
    double spreadUs = 0;  // how far the nearby stamps disagree (largest minus smallest), µs
};
// `frame` / rate plus the median residual of the kept packets within 2 s of it; empty when
// there are none.
std::optional<FrameTime> frameTime(const AudioTimeline& timeline, double frame);

// The recording frame played at `timeUs`, from the median of all kept stamps; empty when
// there are none.
std::optional<double> frameAt(const AudioTimeline& timeline, double timeUs);

// A mono signal at full rate and averaged over blocks of CoarseStep frames.
struct Signal {
    std::vector<float> full;
    std::vector<float> coarse;
};
inline constexpr size_t CoarseStep = 8;  // frames per coarse sample
// Interleaved signed 16-bit stereo to a mono signal (-1..1).
Signal monoSignal(const std::vector<int16_t>& stereo);

// First frame at or after `from` whose magnitude reaches `threshold` (0..1); the size when none.
size_t firstSound(const Signal& signal, size_t from, float threshold);

struct Located {
    double frame = 0;        // recording frame where the reference frame was heard
    double correlation = 0;  // normalised correlation of the two windows, -1..1
};
// Finds where `referenceFrame` of the reference lies in the recording: the lag within
// `search` frames of `guess` (a recording frame) whose window of ±`halfWindow` frames matches
// best, searched on the coarse signals and refined at full rate. Empty when the best match
// correlates below `minCorrelation` (the music was not heard there) or the windows do not fit.
std::optional<Located> locate(const Signal& recording, const Signal& reference,
                              size_t referenceFrame, double guess, size_t search,
                              size_t halfWindow, double minCorrelation);

}  // namespace bench
