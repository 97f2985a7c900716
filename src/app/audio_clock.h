#pragma once
#include <cstdint>
#include <optional>

// The show's clock kept in step with the music heard: ms since process start, moved by a
// correction that follows (heard position - wall time). The first heard position sets the
// correction at once (the music starts a few tens of ms after the process, plus the device
// buffer); later the correction moves toward it by at most MaxSlew ms per ms of wall time,
// so device clock drift is absorbed smoothly. The value never decreases. A heard position
// further than FollowLimitMs from where the clock stands is not followed: the music has lost
// its place (the process was stopped, the output starved, a device started very late), and
// the show keeps to wall time as if there were no music.
struct AudioClockState {
    double correctionMs = 0;   // added to wall time, ms
    bool anchored = false;     // a heard position has been seen
    double lastWallMs = 0;     // wall time of the last update, ms
    uint32_t lastValue = 0;    // last clock value returned, ms
};

inline constexpr double MaxSlew = 0.05;  // ms of correction per ms of wall time (5 %)
inline constexpr double FollowLimitMs = 250.0;  // largest gap the clock follows, ms

// `wallMs`: wall time since process start (ms, fractional). `heardMs`: the music position
// heard at that time, as ms of wall time since process start at which it should be heard
// (frames heard / rate); empty when unknown (no music, or it stopped). `offsetMs`: the
// clock value of process start (--start). Returns the clock value.
uint32_t advanceAudioClock(AudioClockState& state, double wallMs, std::optional<double> heardMs,
                           uint32_t offsetMs);

// The show's clock for `demo`: wall time plus `offsetMs` (--start), following the heard
// music while it plays. Install with setClockSource(&showClockMs).
void setShowClockOffset(uint32_t offsetMs);
uint32_t showClockMs();
// Start-up values: not anchored, offset 0.
void resetShowClock();
