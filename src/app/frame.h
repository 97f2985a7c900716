#pragma once
#include <cstdint>

#include "app/show_rate.h"
#include "app/timeline.h"

// The last start-up step (app/startup.h), after the music and the surface: texture sets,
// particle preparation, and the loop's picture bookkeeping set to 0. Needs a current GL
// context.
void prepareShow();

// Whether a show frame is seen: an unseen one advances every frame-counted state exactly as a
// seen one but draws no pixels (render/frame_pixels.h).
enum class FramePixels { Drawn, None };

// One frame of the show, the same for every driver (window, page, capture, benchmark): clear
// the colour and depth buffers, advance the timeline for `now` (ms since process start), and
// run the current scene's routine. Draws nothing once the timeline is over.
void drawFrame(uint32_t now, FramePixels pixels = FramePixels::Drawn);

// Runs the show frames of `driver` due at clock value `nowMs` in order through drawFrame: all
// but the last without pixels, the last with pixels unless `lastPixels` says otherwise.
// Returns the frames that ran (count 0: none was due, nothing was drawn).
DueFrames runDueFrames(TickDriver& driver, uint32_t nowMs,
                      FramePixels lastPixels = FramePixels::Drawn);

// The run's show frames for playFrame: the whole run's, frame 0 at clock value 0, `rate` per
// second of show clock (UncappedShowRate: one per present); `lockCadence` for a real
// display's clock (TickDriver). Set by the start-up path; the next frame to run is 0.
void setPlayerShowRate(uint32_t rate, bool lockCadence);
// The next show frame playFrame runs (a start later than 0, a seek); the cadence it follows
// starts anew, as the clock does.
void setPlayerNextFrame(uint64_t frame);
const TickDriver& playerTicks();

// Whether playFrame draws the status line after a transport request (app/transport.h) and,
// while paused, presents the held picture again when the line changes: the window player's
// (the page shows its own control bar instead). Needs presents that the driver's surface
// keeps (the window's back buffer, copied).
void showStatusLine(bool on);

inline constexpr uint32_t PausedPollMs = 20;  // a paused show's wait between calls, ms

struct PlayOutcome {
    bool presented = false;       // false: no show frame was due, nothing was drawn or presented
    uint32_t nextFrameInMs = 0;   // show clock until the next show frame is due, ms
};

// The frame step of the window player and the web page: a transport move asked for (a
// control bar) or a loop's end, the show frames due at the run's clock, the newest with
// pixels, then at most one message (a key's move is carried out at once and the frames due
// where it lands are run) and the present. When none is due (a display faster than the show
// rate), nothing happens: the driver waits for the next one. While paused a message is taken
// at every call, and the held picture is presented again when the status line changes.
PlayOutcome playFrame();

// What playFrame has done so far in this run (the player's --frame-stats).
struct PlayStats {
    uint64_t showFrames = 0;     // show frames run, seen or not
    uint64_t presents = 0;       // presents, each with the newest due show frame
    uint32_t firstFrameMs = 0;   // clock value of the first show frame run
    uint32_t lastFrameMs = 0;    // clock value of the last show frame run
    // Show clock played, ms: the sum of each stretch's last frame minus its first, where a
    // stretch ends at a seek, a step, a loop or a run begun again.
    uint64_t playedMs = 0;
    uint64_t stretches = 0;      // how many stretches playedMs sums
};
const PlayStats& playStats();

// Start-up value of the loop's picture bookkeeping and the player's show frames.
void resetFrame();
// The picture bookkeeping alone back at its start-up value (a seek).
void rewindPictures();

// The loop's picture bookkeeping (demo-bench reads which picture a frame showed).
const PictureState& pictureState();
