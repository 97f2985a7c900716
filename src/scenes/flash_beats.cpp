#include "scenes/flash_beats.h"

bool advanceFlash(FlashState& state, uint32_t now) {
    if (state.index < FlashBeats.size() && state.active &&
        FlashBeats[state.index] + FlashLengthMs < now) {
        ++state.index;
        state.active = false;
    }
    if (state.index < FlashBeats.size() && !state.active) {
        if (FlashBeats[state.index] < now) {
            state.active = true;
        } else {
            return false;
        }
    }
    return state.active;
}
