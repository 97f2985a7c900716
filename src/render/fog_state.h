#pragma once
#include <array>

// The GL fog state as read back before a draw.
struct FogState {
    bool enabled = false;
    int mode = 0;                        // GL_LINEAR, GL_EXP or GL_EXP2
    float start = 0.0f;                  // eye distance where linear fog begins
    float end = 0.0f;                    // eye distance where linear fog is complete
    std::array<float, 4> colour{};       // fog colour, RGBA 0..1 (black by default)
};

// Reads the current fog state (the mode, distances and colour only when fog is enabled).
FogState readFogState();
