#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

// The scenes in timeline order. The scene index counts them from 0; once the timeline has
// run out it reads SceneCount.
enum class Scene : int32_t {
    Opening,       // the fogged cube with beat flashes and credit captions
    StartPicture,  // picture 0
    WarpSweep,     // the Julia square whose constant sweeps
    Particles,     // drifting particles that glide into the block letters
    BeatPictures,  // a random picture on each beat of PictureBeats
    WarpStill,     // the Julia square with its fixed constant
    Slideshow,     // pictures 6 to 10, one step every 1.5 s
    Greetings,     // picture 11
    Lumenkarp,     // picture 12
    ClosingCube,   // inside the turning blue cube
};

// Scene durations in ms, in scene order.
inline constexpr std::array<uint32_t, 10> Timeline = {18096, 6000, 8000, 16000, 14000,
                                                      3000,  7500, 5000, 5000,  8000};

inline constexpr int32_t SceneCount = int32_t(Timeline.size());
static_assert(SceneCount == int32_t(Scene::ClosingCube) + 1, "one Scene per Timeline entry");

// Names of the scenes for the tools' reports and labels, by index.
inline constexpr std::array<const char*, SceneCount> SceneNames = {
    "opening cube", "start picture", "warp sweep", "particles", "picture beats",
    "warp still",   "slideshow",     "greetings",  "lumenkarp", "closing cube"};

// Clock value (ms) after which `scene` ends: the durations up to and including it.
constexpr uint32_t sceneEndMs(int32_t scene) {
    uint32_t end = 0;
    for (int32_t s = 0; s <= scene && s < SceneCount; ++s) end += Timeline[std::size_t(s)];
    return end;
}

// First clock value (ms) that shows `scene` in a whole run: just past the previous end.
constexpr uint32_t sceneStartMs(int32_t scene) { return scene <= 0 ? 0 : sceneEndMs(scene - 1) + 1; }

// Length of the show, ms: the last clock value that still shows a scene. The soundtrack,
// the beat lists and the help texts are made for 90596 ms; a changed timeline stops here.
inline constexpr uint32_t ShowLengthMs = sceneEndMs(SceneCount - 1);
static_assert(ShowLengthMs == 90596, "the timeline no longer fits the show's music and texts");

// Clock values (ms) at which the picture-beats scene switches to a new random picture.
inline constexpr std::array<uint32_t, 48> PictureBeats = {
    42931, 43382, 43602, 43953, 44403, 44854, 45084, 45315, 45535, 45775, 45996, 46226,
    46456, 46787, 47017, 47468, 47918, 48269, 48499, 48840, 49060, 49300, 49521, 49751,
    49981, 50312, 50542, 51003, 51544, 51974, 52395, 52815, 53246, 53667, 54087, 54508,
    54928, 55349, 55770, 56190, 56611, 57032, 57442, 57863, 58293, 58714, 59155, 60036};

// The timeline rule for one frame: a scene ends when `now` strictly exceeds the sum of the
// durations up to and including it; one late frame may pass several ends. Returns the new
// index (SceneCount when the timeline is over). Never moves the index backwards.
int32_t applyTimeline(int32_t sceneIndex, uint32_t now);

// The picture bookkeeping that lives in the main loop (particles to slideshow).
struct PictureState {
    int32_t currentPicture = 0;  // index into the picture set, 0..12 normally
    uint32_t pictureCursor = 0;  // beat pictures: next PictureBeats entry; slideshow: ms of
                                 // its last step
};

// Particles, after drawing: a random picture 1..5 (one draw per frame).
void pickPictureAfterParticles(PictureState& state);
// Beat pictures, before drawing: one beat entry at most per frame, one draw when it fires.
void stepPictureBeats(PictureState& state, uint32_t now);
// Warp still, after drawing: the slideshow starts from picture 5 and cursor 0.
void resetPicturesAfterWarp(PictureState& state);
// Slideshow, before drawing: step to the next picture when more than 1500 ms have passed.
void stepPictureSlideshow(PictureState& state, uint32_t now);
