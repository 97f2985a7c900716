#pragma once
#include <array>
#include <cstdint>

// Scene durations in ms, in scene order; 90596 ms in all.
inline constexpr std::array<uint32_t, 10> Timeline = {18096, 6000, 8000, 16000, 14000,
                                                      3000,  7500, 5000, 5000,  8000};

// Clock values (ms) at which scene 4 switches to a new random picture.
inline constexpr std::array<uint32_t, 48> PictureBeats = {
    42931, 43382, 43602, 43953, 44403, 44854, 45084, 45315, 45535, 45775, 45996, 46226,
    46456, 46787, 47017, 47468, 47918, 48269, 48499, 48840, 49060, 49300, 49521, 49751,
    49981, 50312, 50542, 51003, 51544, 51974, 52395, 52815, 53246, 53667, 54087, 54508,
    54928, 55349, 55770, 56190, 56611, 57032, 57442, 57863, 58293, 58714, 59155, 60036};

// The timeline rule for one frame: a scene ends when `now` strictly exceeds the sum of the
// durations up to and including it; one late frame may pass several ends. Returns the new
// index (10 when the timeline is over). Never moves the index backwards.
int32_t applyTimeline(int32_t sceneIndex, uint32_t now);

// The picture bookkeeping that lives in the main loop (scenes 3 to 6).
struct PictureState {
    int32_t currentPicture = 0;  // index into the picture set, 0..12 normally
    uint32_t pictureCursor = 0;  // scene 4: next PictureBeats entry; scene 6: ms of last step
};

// Scene 3, after its drawing: a random picture 1..5 (one draw per frame).
void pickPictureAfterParticles(PictureState& state);
// Scene 4, before its drawing: one beat entry at most per frame, one draw when it fires.
void stepPictureBeats(PictureState& state, uint32_t now);
// Scene 5, after its drawing: scene 6 starts from picture 5 and cursor 0.
void resetPicturesAfterWarp(PictureState& state);
// Scene 6, before its drawing: step to the next picture when more than 1500 ms have passed.
void stepPictureSlideshow(PictureState& state, uint32_t now);
