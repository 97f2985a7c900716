#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/output_pace.h"
#include "platform/sound_stream.h"

// The one mixer behind every output (our own PulseAudio-protocol stream, SDL's audio): the
// streams playing, the pace that drops what the output missed, pause and the playback
// segments of seeks. An output calls mixOutput for each piece of sound it takes, on its own
// thread, and keeps its own heard position from what that returns. Internal to the
// platform's sound output.
namespace sound {

// Created by init() and never freed: an output's thread may still call the mixer while the
// process exits.
struct Mixer {
    int mixRate = 44100;                         // Hz
    bool keepsPace = true;                       // false for an output that is not heard in
                                                 // real time (SDL's disk writer): drop nothing
    std::vector<std::atomic<Stream*>> channels;  // null: free
    std::vector<int16_t> scratch;                // one channel's frames, stereo (output thread)
    OutputPace pace;                             // output thread only
    std::atomic<int> deviceFrames{0};            // the output's buffer, frames
    std::atomic<uint64_t> framesHanded{0};       // stream frames given to the output or dropped
    std::atomic<uint64_t> framesDropped{0};      // of those, dropped to keep the music on time
    std::atomic<uint32_t> firstCallbackMs{0};    // ms since process start of the first music
                                                 // handed; 0: none yet
    // The output's latency beyond its buffer (µs, 0 or more), which the pace tolerates, and
    // whether it is known yet; an output that cannot tell counts as known from the start.
    std::atomic<double> extraLatencyUs{0};
    std::atomic<bool> latencyKnown{true};
    // Pause and seeks (pauseOutput, seekStream): silence while paused; every seek asks for a
    // new playback segment, which the mixer starts once the streams have their new position
    // decoded: the frames handed and the pace then count from it.
    std::atomic<bool> paused{false};
    std::atomic<uint32_t> segmentsAsked{0};
    std::atomic<uint32_t> segment{0};            // the segment playing (output thread writes)
    bool segmentHanded = false;                  // output thread: music handed in this segment
    explicit Mixer(int maxChannels) : channels(size_t(maxChannels)) {}
};

// What one call of mixOutput did.
struct MixedPiece {
    bool held = false;            // silence while paused or while a segment waits: nothing taken
    bool segmentStarted = false;  // a new segment began with this piece
    uint32_t segment = 0;         // the segment the piece belongs to
    uint64_t framesBefore = 0;    // the segment's stream frames handed (or dropped) before it
    size_t handed = 0;            // frames of music in it (fewer than asked: silence follows)
};

// Fills `out` with `frames` stereo frames of the mix (silence where there is no music).
MixedPiece mixOutput(Mixer& mix, int16_t* out, size_t frames);

// Whether the output's latency is as known as it will be: the output has said, or has had
// its time to (a second from the first music handed).
bool latencySettled(const Mixer& mix, uint64_t nowUs);

// The outputs, tried in this order by init(). Each opens its device for `mix` (stopped
// until startOutput) and returns false when it cannot.
struct OutputChoice {
    void (*start)() = nullptr;  // the first play starts it
    // Stream frames of the playing segment heard at `monoUs` (µs since process start);
    // false while none is.
    bool (*heardFrames)(uint64_t monoUs, double& frames) = nullptr;
};
// Our own stream on a PulseAudio-protocol server (PulseAudio, PipeWire's PulseAudio
// service), where SDL_AUDIODRIVER leaves the choice open or names pulseaudio or pipewire.
bool pulseOutputWanted();
bool openPulseOutput(Mixer& mix, const char* deviceName, int deviceIndex, OutputChoice& out);
// SDL's audio output. `silent`: SDL's dummy driver.
bool openSdlOutput(Mixer& mix, const char* deviceName, int deviceIndex, bool silent,
                   OutputChoice& out);
// The sinks of a PulseAudio-protocol server, as openPulseOutput takes them; false when none
// answers.
bool listPulseSinks(std::vector<std::string>& names);
// SDL's playback devices (listOutputDevices where no server answers).
bool listSdlOutputDevices(std::vector<std::string>& names, std::string& error);

}  // namespace sound
