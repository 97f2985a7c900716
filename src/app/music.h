#pragma once
#include <cstdint>
#include <string>

// Starts the soundtrack "data/music.mp3" before anything else; returns only when it plays.
// On failure prints one "Error: ..." line to standard output and exits with code 1.
void startMusic();

// The fixed text of a sound error code; "Unknown error" outside 0..18 (negative codes too).
const char* soundErrorText(int code);

// Where the music starts (ms into the soundtrack, 0 by default) and the output device by
// name (empty: the default device). Set before startMusic().
void setMusicStartMs(uint32_t ms);
void setMusicDevice(const std::string& name);
