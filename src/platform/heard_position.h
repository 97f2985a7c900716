#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// Where the music being heard stands, for the two kinds of output: one heard at a fixed
// buffer after each hand-over (SDL's audio), and a sound server's stream, which says itself
// how far it has played.
namespace sound {

// The hand-over model: the first frame of a device buffer handed over at time t is heard at
// t + one device buffer, and the frames play on at the mix rate from there.
// Stream frames heard at `nowUs`, given the last hand-over that carried music (at `atUs`,
// after `framesBefore` stream frames), the device buffer (frames) and the mix rate (Hz).
// Empty while nothing has been heard yet (`atUs` 0), or when the last hand-over is older
// than two device buffers (the music ended, or the decoder fell behind).
std::optional<double> heardFramesAt(uint64_t atUs, uint64_t framesBefore, uint64_t nowUs,
                                    int deviceFrames, int rate);

// A server's stream, as the server times it: every report says that at local time `atUs`
// (µs since process start) the server had taken `readFrames` frames of the stream and would
// play the newest of them `latencyUs` later (its sink's and device's latency). A server
// that takes the stream in blocks (PipeWire takes a graph cycle's quantum at a time)
// reports a read count up to a block ahead of what is heard, never behind it; so of the
// recent reports, the one that puts the stream's start latest is the nearest to the truth.
// Its start moves later at once when the latency grows (a sink switched to a headset) and
// earlier once the reports from before the change have aged out of the window.
struct StreamClock {
    static constexpr size_t Kept = 32;          // newest reports kept
    static constexpr uint64_t WindowUs = 600'000;  // reports this much older than the newest
                                                   // do not count
    std::array<double, Kept> startUs{};         // per report: when stream frame 0 was heard,
                                                // µs since process start
    std::array<uint64_t, Kept> atUs{};          // per report: when it was measured
    size_t count = 0;                           // reports kept, 0..Kept
    size_t next = 0;                            // slot of the next report
};
void noteStreamTiming(StreamClock& clock, uint64_t atUs, uint64_t readFrames, double latencyUs,
                      int rate);
// The stream frame heard at `nowUs` (fractional); empty before the first report.
std::optional<double> streamFrameHeard(const StreamClock& clock, uint64_t nowUs, int rate);

// A server's stream: what was written where. Each mark says that from stream frame
// `streamFrame` on (frames written into the stream since it was opened) the stream holds the
// music of segment `segment` from its frame `segmentFrame`, or silence; it lasts to the next
// mark. The server's own timing says which stream frame is being heard.
struct StreamMark {
    uint64_t streamFrame = 0;
    uint64_t segmentFrame = 0;
    uint32_t segment = 0;
    bool music = false;
};
struct StreamMarks {
    static constexpr size_t Kept = 64;  // newest marks kept: seconds of writes even when
                                        // every write drops music or changes segment
    std::array<StreamMark, Kept> marks{};
    size_t count = 0;                   // marks kept, 0..Kept
    size_t next = 0;                    // slot of the next mark
    uint64_t writtenFrames = 0;         // end of what was written, stream frames
};
// Notes a write of `frames` stream frames from `streamFrame` on (music of `segment` from
// `segmentFrame`, or silence). A write that goes on from the one before adds no mark.
void noteStreamWrite(StreamMarks& marks, uint64_t streamFrame, size_t frames, uint32_t segment,
                     uint64_t segmentFrame, bool music);
// The frame of segment `segment` heard while the server plays stream frame `playedFrames`
// (fractional); empty when that is silence, another segment, not yet written (the stream
// ran dry: the music ended or the writer fell behind) or older than the marks kept.
std::optional<double> heardSegmentFrames(const StreamMarks& marks, double playedFrames,
                                         uint32_t segment);

}  // namespace sound
