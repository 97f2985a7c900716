#include "scenes/particles.h"

#include <cmath>

#include "platform/random.h"

namespace {

// Slot spacing along a stroke, NDC.
constexpr double SlotSpacing = 0.025;

// x, y, kind, used, capacity; letter by letter, stroke by stroke, upper line first.
constexpr StrokeTable Strokes = {{
    {-0.925f, 0.7f, 0, 0, 5},     // S
    {-0.925f, 0.45f, 0, 0, 5},    // S
    {-0.925f, 0.225f, 0, 0, 5},   // S
    {-0.95f, 0.7f, 1, 0, 10},     // S
    {-0.8f, 0.45f, 1, 0, 10},     // S
    {-0.7f, 0.7f, 0, 0, 5},       // O
    {-0.7f, 0.7f, 1, 0, 20},      // O
    {-0.55f, 0.7f, 1, 0, 20},     // O
    {-0.7f, 0.225f, 0, 0, 5},     // O
    {-0.45f, 0.7f, 1, 0, 20},     // L
    {-0.45f, 0.225f, 0, 0, 5},    // L
    {-0.25f, 0.7f, 0, 0, 10},     // T
    {-0.15f, 0.7f, 1, 0, 20},     // T
    {0.05f, 0.7f, 1, 0, 20},      // A
    {0.2f, 0.7f, 1, 0, 20},       // A
    {0.075f, 0.7f, 0, 0, 5},      // A
    {0.075f, 0.45f, 0, 0, 5},     // A
    {0.3f, 0.7f, 1, 0, 20},       // R
    {0.325f, 0.7f, 0, 0, 5},      // R
    {0.325f, 0.45f, 0, 0, 5},     // R
    {0.45f, 0.7f, 1, 0, 10},      // R
    {0.325f, 0.425f, 2, 0, 5},    // R
    {0.55f, 0.7f, 1, 0, 20},      // E
    {0.575f, 0.7f, 0, 0, 5},      // E
    {0.575f, 0.45f, 0, 0, 5},     // E
    {0.575f, 0.225f, 0, 0, 5},    // E
    {0.8f, 0.7f, 1, 0, 20},       // K
    {0.8f, 0.45f, 2, 0, 5},       // K
    {0.8f, 0.4f, 3, 0, 5},        // K
    {-0.85f, -0.2f, 1, 0, 20},    // A
    {-0.7f, -0.2f, 1, 0, 20},     // A
    {-0.825f, -0.2f, 0, 0, 5},    // A
    {-0.825f, -0.45f, 0, 0, 5},   // A
    {-0.575f, -0.2f, 0, 0, 5},    // S
    {-0.575f, -0.45f, 0, 0, 5},   // S
    {-0.575f, -0.675f, 0, 0, 5},  // S
    {-0.6f, -0.2f, 1, 0, 10},     // S
    {-0.45f, -0.45f, 1, 0, 10},   // S
    {-0.35f, -0.2f, 1, 0, 20},    // K
    {-0.35f, -0.45f, 2, 0, 5},    // K
    {-0.35f, -0.5f, 3, 0, 5},     // K
    {-0.15f, -0.2f, 1, 0, 20},    // E
    {-0.125f, -0.2f, 0, 0, 5},    // E
    {-0.125f, -0.45f, 0, 0, 5},   // E
    {-0.125f, -0.675f, 0, 0, 5},  // E
    {0.1f, -0.2f, 0, 0, 10},      // T
    {0.2f, -0.2f, 1, 0, 20},      // T
    {0.4f, -0.2f, 1, 0, 20},      // R
    {0.425f, -0.2f, 0, 0, 5},     // R
    {0.425f, -0.45f, 0, 0, 5},    // R
    {0.55f, -0.2f, 1, 0, 10},     // R
    {0.425f, -0.475f, 2, 0, 5},   // R
    {0.65f, -0.2f, 0, 0, 5},      // O
    {0.65f, -0.2f, 1, 0, 20},     // O
    {0.8f, -0.2f, 1, 0, 20},      // O
    {0.65f, -0.675f, 0, 0, 5},    // O
}};

// A draw of the shared generator mapped to -1..0.99993896484375, in double.
double signedUnit() { return 2.0 * runtime::rand() / 32768.0 - 1.0; }

}  // namespace

StrokeTable makeStrokeTable() { return Strokes; }

ParticleCloud makeParticleCloud() {
    ParticleCloud cloud{};
    const double speed = double(0.002f);  // NDC per frame
    for (Particle& p : cloud) {
        p.x = float(signedUnit());
        p.y = float(signedUnit());
        p.z = float(signedUnit());
        p.vx = float(signedUnit() * speed);
        p.vy = float(signedUnit() * speed);
        p.vz = float(signedUnit() * speed);
        runtime::rand();  // drawn and not used
        p.red = 0.0f;
        p.green = 0.0f;
        p.blue = 100.0f;
        p.period = int32_t((runtime::rand() / 32768.0 + 0.5) * 500.0);
        p.step = 0;
        p.assigned = false;
        p.glideFrames = 0;
    }
    return cloud;
}

SlotPoint slotPosition(const Stroke& s, int32_t n) {
    const double o = n * SlotSpacing;
    switch (s.kind) {
        case 0: return {s.x + o, double(s.y)};
        case 1: return {double(s.x), s.y - o};
        case 2: return {s.x + o, s.y - 2.0 * o};
        default: return {s.x + o, s.y + 2.0 * o};
    }
}

int32_t assignSlot(Particle& p, std::span<Stroke> strokes, float frames) {
    double best = 10.0;
    int32_t choice = -1;
    for (std::size_t k = 0; k < strokes.size(); ++k) {
        const Stroke& s = strokes[k];
        const double d = std::fabs(double(p.x) - s.x) + std::fabs(double(p.y) - s.y);
        if (d < best && s.used < s.capacity) {
            best = d;
            choice = int32_t(k);
        }
    }
    if (choice < 0) return choice;
    Stroke& s = strokes[std::size_t(choice)];
    const SlotPoint target = slotPosition(s, s.used);
    p.vx = float((target.x - p.x) / frames);
    p.vy = float((target.y - p.y) / frames);
    p.vz = -p.vz / frames;
    ++s.used;
    return choice;
}

void moveParticle(Particle& p, std::span<Stroke> strokes, int32_t elapsed) {
    if (elapsed > DriftMs) {
        if (!p.assigned) {
            assignSlot(p, strokes, GlideFrames);
            p.assigned = true;
        }
        ++p.glideFrames;
    } else if (p.step > p.period) {
        p.step = 0;
        p.vx = -p.vx;
        p.vy = -p.vy;
        p.vz = -p.vz;
    }
    if (p.glideFrames <= int32_t(GlideFrames)) {
        ++p.step;
        p.x += p.vx;
        p.y += p.vy;
        p.z += p.vz;
    }
}
