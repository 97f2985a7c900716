#pragma once
#include <cstdint>
#include <string>

// The transport of the running show in the window player and the page: pause, seeks, frame
// steps and loops. It owns the paused state and the loop. Every move lands on the show at the
// new clock value (app/seek.h), and the music follows at the same sample; a pause holds the
// clock and silences the music, a resume starts both again at the held picture's place.
// Keys (app/input) and the page's control bar ask for a move; playFrame carries it out.

enum class TransportAction : uint8_t {
    None,
    TogglePause,      // P
    Back,             // Left: 5 s back
    Ahead,            // Right: 5 s ahead
    ToStart,          // Home
    ToScene,          // 0..9: the start of scene `value`
    FrameBack,        // ',': one show frame back, paused
    FrameAhead,       // '.': one show frame ahead, paused
    ToggleSceneLoop,  // L: loop the current scene, or end any loop
    SeekTo,           // the page's seek bar: clock value `value`, ms
};

struct TransportRequest {
    TransportAction action = TransportAction::None;
    uint32_t value = 0;  // ToScene: the scene, 0..9; SeekTo: the clock value, ms
};

// A section played again and again: when a show frame past `toMs` is due, the show moves to
// `fromMs`. Clock values, ms, fromMs < toMs <= the show's length.
struct LoopRange {
    uint32_t fromMs = 0;
    uint32_t toMs = 0;
};

struct TransportState {
    bool paused = false;
    bool looping = false;
    LoopRange loop;  // while looping
};

// The show frame last run, where a move starts from.
struct ShownFrame {
    uint64_t index = 0;    // show frame on the whole run's grid (a count when uncapped)
    uint32_t clockMs = 0;  // its clock value
    int32_t scene = 0;     // the scene index after it
};

// What carrying out a request does to the show's position.
struct TransportMove {
    enum class Kind : uint8_t { Stay, Seek, StepAhead } kind = Kind::Stay;
    uint32_t seekMs = 0;  // Seek: the clock value moved to (past the show's length: its end)
};

inline constexpr uint32_t JumpMs = 5000;  // Left and Right, ms of show clock

// The decision for one request at the show rate `rate` (UncappedShowRate: frames have no
// grid, and a frame step moves the clock by 1 ms): updates the paused state and the loop,
// and says where the show moves.
TransportMove planTransport(TransportState& state, const TransportRequest& request,
                            const ShownFrame& shown, uint32_t rate);

// Where a running show's loop sends it: to the loop's start once the next show frame, due at
// `nextFrameMs`, lies past its end; Stay otherwise (and while paused).
TransportMove planLoop(const TransportState& state, uint32_t nextFrameMs);

// Asks for a move, carried out by the next applyTransport. A newer request replaces one not
// yet carried out (a seek bar dragged between two frames).
void requestTransport(const TransportRequest& request);

// The request asked for and not yet carried out (None: none), which is then forgotten.
TransportRequest takeTransportRequest();

// Carries out the request asked for, or the loop's return, for the window player's and the
// page's show (playFrame calls it). True when the show's position moved: the caller then runs
// the show frames due at the new clock before it presents.
bool applyTransport();

// --loop-range: loops `range` from the start of the run.
void setLoopRange(const LoopRange& range);

const TransportState& transportState();

// The status line shown for a while after each request: the clock value of the shown frame,
// the scene's number and name, "paused", the loop. Its text, and whether it shows at wall
// time `wallMs` (ms since process start).
inline constexpr uint32_t StatusLineMs = 2000;  // shown this long after a request, ms
std::string statusLineText(const TransportState& state, const ShownFrame& shown);
bool statusLineShown(uint32_t wallMs);

// The shown frame of the window player's and the page's show.
ShownFrame shownFrame();

// Start-up values: playing, no loop, no request, no status line.
void resetTransport();
