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

// The recording's frames in time, by their count: the sound server plays at the mix rate,
// so frame n was played at anchor + n / rate. The recorder's stamps place the anchor only:
// each stamp is a moment of its clock less the latency the server reports just then, which
// scatters from packet to packet (by tens of ms through PipeWire's PulseAudio service) and
// wanders as the server's report settles; their median over the steady part of the
// recording is the anchor, and how far the medians of its stretches stray from it is the
// bound this puts on every moment timed.
struct AudioTimeline {
    double rate = 44100;   // Hz
    bool known = false;    // false when no packet lay in the steady part
    double anchorUs = 0;   // when recording frame 0 was played, µs on the recorder's clock
    double boundUs = 0;    // how far the anchor may be off, as the stamps tell, µs
};
inline constexpr double StretchS = 2.0;  // stamps compared stretch by stretch, s
// The anchor from the packets whose first frame lies within [fromFrame, toFrame].
AudioTimeline audioTimeline(const std::vector<AudioPacket>& packets, double rate,
                            double fromFrame, double toFrame);

// When recording frame `frame` was played, µs on the recorder's clock; empty when unknown.
std::optional<double> frameTime(const AudioTimeline& timeline, double frame);

// The recording frame played at `timeUs`; empty when unknown.
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
