#pragma once
#include <array>
#include <cstdint>

// Beats of the music (clock values in ms, ascending) on which the opening scene flashes.
inline constexpr std::array<uint32_t, 23> FlashBeats = {
    75,    2513,  3165,  4576,  4786,  5227,  5888,  6339,  6559,  6960,  7630, 9343,
    10705, 11606, 11806, 12227, 12898, 13339, 13559, 13980, 14651, 15883, 18096};

// How long one flash stays on, in ms.
inline constexpr uint32_t FlashLengthMs = 40;

struct FlashState {
    uint32_t index = 0;   // entry of FlashBeats waited for or shown; 23 = list used up
    bool active = false;  // a flash is being shown for entry `index`
};

// Advances the flash state for a frame at `now` (ms) and tells whether the frame draws the
// flash. A flash ends once its 40 ms are strictly over and the next beat may start in the
// same call, so every beat is shown for at least one frame, even after a stall.
bool advanceFlash(FlashState& state, uint32_t now);
