#pragma once
#include <array>
#include <cstdint>
#include <span>

// One dot of the particle scene. Drawn with identity matrices: x, y are NDC.
struct Particle {
    float x = 0, y = 0, z = 0;     // position, NDC
    float vx = 0, vy = 0, vz = 0;  // movement per frame, NDC
    float red = 0, green = 0, blue = 0;  // colour for glColor4f (blue 100: clamped to 1)
    int32_t step = 0;              // frames moved since the last reversal
    int32_t period = 0;            // reversal period in frames, 250..749
    bool assigned = false;         // has taken its slot on a stroke
    int32_t glideFrames = 0;       // frames counted since the slot was taken
};

// One stroke of the block-letter text; its slots lie 0.025 apart along its direction.
struct Stroke {
    float x = 0, y = 0;    // start point (slot 0), NDC
    int32_t kind = 0;      // 0 right, 1 down, 2 down-right (steep), 3 up-right (steep)
    int32_t used = 0;      // slots taken
    int32_t capacity = 0;  // slots in all
};

inline constexpr int ParticleCount = 575;
inline constexpr int StrokeCount = 56;
// Frames of the glide from a particle's drift position to its slot.
inline constexpr float GlideFrames = 1000.0f;
// Scene time (ms since the scene's first frame) after which the particles take their slots.
inline constexpr int32_t DriftMs = 5000;

using ParticleCloud = std::array<Particle, ParticleCount>;
using StrokeTable = std::array<Stroke, StrokeCount>;

// The strokes of SOLTAREK (upper line, tops at y 0.7) and ASKETRO (lower line, tops at
// -0.2), all slots free. The capacities add up to ParticleCount.
StrokeTable makeStrokeTable();

// The 575 particles from the next 4600 draws of the shared generator (8 per particle, in
// index order): position, velocity (+-0.002 per frame), one unused draw, period.
ParticleCloud makeParticleCloud();

// Position of slot `n` on stroke `s`, in double.
struct SlotPoint {
    double x, y;
};
SlotPoint slotPosition(const Stroke& s, int32_t n);

// Gives `p` the free slot on the nearest stroke with room (distance |dx| + |dy| to the
// stroke's start point, the first in table order among equals) and the velocity that takes
// it there in `frames` moves; its own z velocity is reversed and scaled down. Returns the
// chosen stroke, or -1 if every stroke is full (then nothing changes).
int32_t assignSlot(Particle& p, std::span<Stroke> strokes, float frames);

// One frame's motion of one particle, after it was drawn. `elapsed`: ms since the scene's
// first frame. Up to DriftMs it drifts and reverses after `period` + 1 moves; after that it
// takes its slot (once) and glides for 1000 frames, then stands still.
void moveParticle(Particle& p, std::span<Stroke> strokes, int32_t elapsed);
