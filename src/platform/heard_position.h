#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// Where the music being heard stands, from what the sound layer handed to the output device
// and, where a sound server says so, how much longer the server and the device behind it
// take to play it (a Bluetooth or HDMI device, a network sink, a large server buffer).
namespace sound {

// The hand-over model: the first frame of a device buffer handed over at time t is heard at
// t + one device buffer, and the frames play on at the mix rate from there.
// Stream frames heard at `nowUs`, given the last hand-over that carried music (at `atUs`,
// after `framesBefore` stream frames), the device buffer (frames), the mix rate (Hz) and
// the output's latency beyond the model (µs, 0 or more). Empty while nothing has been heard
// yet (`atUs` 0), or when the last hand-over is older than two device buffers plus that
// latency (the music ended, or the decoder fell behind).
std::optional<double> heardFramesAt(uint64_t atUs, uint64_t framesBefore, uint64_t nowUs,
                                    int deviceFrames, int rate, double extraUs);

// One answer of the sound server about our stream: asked at `askedUs`, answered at
// `answeredUs` (µs since process start), its latency `latencyUs` (what the server holds
// of ours plus the sink's and device's latency, µs). `callbackUs` is the last hand-over
// before the question (µs since process start); its buffer is the newest, of which the
// server has been given an unknown part, taken as half (so the answer is right within half
// a device buffer). Returns how much later than the hand-over model the server will play
// (µs, may be negative: a server that holds less than the model assumes).
double reportedExtraUs(uint64_t callbackUs, uint64_t askedUs, uint64_t answeredUs,
                       double latencyUs, int deviceFrames, int rate);

// The latest answers, so that one answer caught between two writes of the server's own
// (a server that plays in blocks) does not move the picture.
struct LatencyReports {
    static constexpr size_t Kept = 9;  // answers kept, the newest ones
    std::array<double, Kept> extraUs{};
    size_t count = 0;                  // answers kept so far, 0..Kept
    size_t next = 0;                   // slot of the next answer
};
void noteLatencyReport(LatencyReports& reports, double extraUs);
// The median of the kept answers, never below 0 (an output that reports no more than the
// model assumes leaves the model as it is); 0 without answers.
double extraLatencyUs(const LatencyReports& reports);

}  // namespace sound
