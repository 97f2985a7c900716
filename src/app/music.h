#pragma once
#include <optional>
#include <cstdint>
#include <string>

// Starts the soundtrack "data/music.mp3" before anything else; returns only when it plays.
// On failure prints one "Error: ..." line to standard output and exits with code 1.
void startMusic();

// startMusic in two steps, for a start-up that must not wait in place: beginMusic checks
// the library, opens the output and starts the background open of the file; musicOpened
// tells whether that open has finished and then starts playback (true from then on).
// Failures print and exit as in startMusic.
void beginMusic();
bool musicOpened();

// The fixed text of a sound error code; "Unknown error" outside 0..18 (negative codes too).
const char* soundErrorText(int code);

// Where the music starts (ms into the soundtrack, 0 by default) and the output device by
// name (empty: the default device). Set before startMusic().
void setMusicStartMs(uint32_t ms);
void setMusicDevice(const std::string& name);
// The output's latency beyond what the sound layer learns of it (ms, 0 by default): the
// music is heard that much later than musicHeardMs would say otherwise.
void setMusicLatencyMs(uint32_t ms);

// Start-up values of the settings above, and no soundtrack. A soundtrack already started
// plays on: the sound layer has no stop, and its output opens once per process, so a run
// after this starts silent (a second startMusic would fail).
void resetMusic();

// Moves the soundtrack to clock value `clockMs` (its sample floor(clockMs * 44100 / 1000),
// as a start there would be) and plays it from there, ending a pause; silences it. Nothing
// happens without a soundtrack. True from startMusic on while one plays.
void seekMusic(uint32_t clockMs);
void pauseMusic();
bool musicPlays();

// The position of the soundtrack being heard now, as the ms since process start at which it
// should be heard (stream frames heard / mix rate, less the latency set by hand; counted
// from where it started or was last moved to, which is not included). Empty when no music plays, before it is heard, or after it stopped.
std::optional<double> musicHeardMs(uint64_t monoUs);
