#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Test fixtures for the sound layer: a known signal and an MP3 file encoded from it.

// `frames` frames of a stereo test signal at `rate` Hz (interleaved 16-bit): different
// tone mixes left and right with a slow sweep, so misaligned or swapped audio is obvious.
std::vector<int16_t> makeTestSignal(size_t frames, int rate);

// Encodes interleaved 16-bit audio (`channels` 1 or 2) to an MP3 file with a LAME tag
// (exact gapless length). Returns false on failure.
bool writeMp3(const std::string& path, const std::vector<int16_t>& samples, int channels,
              int rate, int kbps = 192);
