#pragma once
#include <cstdint>
#include <span>

// One caption line of the opening scene, placed in the 320 x 200 overlay (y down).
struct CaptionLine {
    int32_t x;
    int32_t y;
    const char* text;  // '\n' breaks lines
};

// Box of every caption line, overlay units.
inline constexpr int32_t CaptionBoxWidth = 400;
inline constexpr int32_t CaptionBoxHeight = 400;

// The caption lines shown at clock value `now` (ms), in drawing order; empty up to 3000 ms.
// Windows: 3001..8000 the event line, 8001..13000 the code credits, from 13001 the music.
std::span<const CaptionLine> captionLinesAt(uint32_t now);
