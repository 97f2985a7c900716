#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/show_rate.h"
#include "platform/display.h"

// Command-line options of the player. With none, demo is exactly the plain show.
struct PlayerOptions {
    bool window = false;        // a normal window instead of the full-screen one
    int windowWidth = DefaultWindowWidth;    // window coordinates, with window or Alt+Enter
    int windowHeight = DefaultWindowHeight;  // window coordinates, with window or Alt+Enter
    uint32_t display = 0;       // the monitor, 0 the primary, 0..MaxDisplayIndex
    bool displayGiven = false;  // --display was given (its monitor is checked before start-up)
    bool listDisplays = false;
    bool mute = false;          // no sound start-up at all
    uint32_t startMs = 0;       // clock value of process start (ms), 0..ShowLengthMs
    bool loop = false;          // start again as a fresh run when the timeline ends
    bool loopRange = false;     // play the section loopFromMs..loopToMs again and again
    uint32_t loopFromMs = 0;    // clock values, ms, loopFromMs < loopToMs <= ShowLengthMs
    uint32_t loopToMs = 0;
    bool startGiven = false;    // --start was given (else a loop range starts at its start)
    uint32_t showRate = DefaultShowRate;  // show frames per second of show clock, 1..1000;
                                          // 0: the original's uncapped loop
    std::string audioDevice;    // output device name; empty for the default device
    bool frameStats = false;    // print the show frames and presents on standard error at the end
    uint32_t audioLatencyMs = 0;  // output latency added by hand (ms, 0..MaxAudioLatencyMs)
    bool listAudioDevices = false;
    bool errorDialog = false;   // a start-up failure is also shown in a dialog (desktop entry)
    bool help = false;
    bool version = false;
};

inline constexpr uint32_t MaxAudioLatencyMs = 1000;
inline constexpr uint32_t MaxDisplayIndex = 255;

struct ParsedOptions {
    PlayerOptions options;
    std::string error;  // one line, empty when the arguments were fine
};

// GNU-style parsing of argv[1..]: "--opt", "--opt=value" and "--opt value" for options
// that take a value ("--window" takes an optional WxH either way).
ParsedOptions parsePlayerOptions(const std::vector<std::string>& arguments);

// The --help text of the player started as `program`, whose installed data lives in
// `installedDataDir`.
std::string playerHelpText(const std::string& program, const std::string& installedDataDir);
