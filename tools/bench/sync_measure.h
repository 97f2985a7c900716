#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "sync_match.h"
#include "sync_screen.h"
#include "sync_sound.h"

// The end-to-end sync measurement: a recording of the screen and of the sound output, made
// on one clock, against the show's beat lists and the soundtrack itself.
namespace bench {

// What was recorded while the show ran from clock value `startMs`.
struct Recording {
    std::vector<GrabFrame> frames;       // the grabbed screen strip
    std::vector<AudioPacket> packets;    // the sound recording's packets
    std::vector<int16_t> sound;          // its frames, interleaved stereo
    std::vector<int16_t> soundtrack;     // the whole soundtrack as the show decodes it
    double rate = 44100;                 // Hz, both sound signals
    uint32_t startMs = 0;                // the show's --start
};

struct Measurement {
    std::vector<BeatMeasure> beats;      // beats heard while the screen was recorded
    std::vector<uint32_t> notHeard;      // beats inside the music played whose moment was not found
    std::vector<uint32_t> grabbedLate;   // beats seen where the grabs were over 10 ms apart
    double commonUs = 0;                 // the picture's common lag behind the music, µs
    double grabBoundUs = 0;              // largest uncertainty the grab's stamps add to a beat, µs
    double soundBoundUs = 0;             // how far the sound's timing may be off (its anchor), µs
    double originUs = 0;                 // the first grab's time stamp, µs (reports count from it)
};

// The beats the screen can show: every flash of the opening scene (the last entry never
// flashes) and the picture beats that come after scene 4's catch-up of earlier entries.
std::vector<BeatMeasure> showBeats();

Measurement measureSync(const Recording& recording);

// Why the measurement misses the goals (every beat seen within -20..+15 ms, every flash seen,
// at least five beats seen, the music heard and the screen grabbed closely enough at three
// quarters of the beats or more each); empty when met.
std::vector<std::string> missedGoals(const Measurement& measurement);

// Every beat, then the summary and the goal verdict; or one JSON object.
std::string formatMeasurement(const Measurement& measurement, bool json);

}  // namespace bench
