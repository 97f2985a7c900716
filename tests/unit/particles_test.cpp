#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "platform/random.h"
#include "scenes/particle_sprite.h"
#include "scenes/particles.h"

namespace {

// The shared generator's rule, written out again: the cloud must come from its first draws.
std::vector<int> firstDraws(int count) {
    std::vector<int> draws;
    uint32_t seed = 1;
    for (int i = 0; i < count; ++i) {
        seed = seed * 214013u + 2531011u;
        draws.push_back(int((seed >> 16) & 0x7fff));
    }
    return draws;
}

float unit(int r) { return float(2.0 * r / 32768 - 1); }

}  // namespace

TEST(ParticleSprite, IsMirroredWhiteWithRadialAlpha) {
    const SpriteImage sprite = makeParticleSprite();
    auto texel = [&](int r, int c, int k) { return sprite[std::size_t(r * 16 + c) * 4 + k]; };
    EXPECT_EQ(texel(8, 8, 3), 255);
    EXPECT_EQ(texel(15, 10, 3), 6);  // quadrant (0, 5), mirrored both ways
    for (int r = 0; r < 16; ++r) {
        for (int c = 0; c < 16; ++c) {
            EXPECT_EQ(texel(r, c, 3), texel(15 - r, c, 3));
            EXPECT_EQ(texel(r, c, 3), texel(r, 15 - c, 3));
            EXPECT_EQ(texel(r, c, 0), texel(r, c, 3) > 0 ? 255 : 0);
        }
    }
}

TEST(ParticleCloud, ComesFromTheFirst4600Draws) {
    const ParticleCloud cloud = makeParticleCloud();
    const std::vector<int> draws = firstDraws(4601);
    EXPECT_EQ(runtime::rand(), draws[4600]);  // exactly 4600 draws were made

    for (int index : {0, 1, 287, 574}) {
        const Particle& p = cloud[std::size_t(index)];
        const int* r = &draws[std::size_t(index) * 8];
        EXPECT_EQ(p.x, unit(r[0])) << index;
        EXPECT_EQ(p.y, unit(r[1])) << index;
        EXPECT_EQ(p.z, unit(r[2])) << index;
        EXPECT_EQ(p.vx, float((2.0 * r[3] / 32768 - 1) * double(0.002f))) << index;
        EXPECT_EQ(p.vz, float((2.0 * r[5] / 32768 - 1) * double(0.002f))) << index;
        EXPECT_EQ(p.period, int((r[7] / 32768.0 + 0.5) * 500)) << index;
    }
    EXPECT_EQ(cloud[0].x, float(2.0 * 41 / 32768 - 1));  // the run's very first draw is 41
    for (const Particle& p : cloud) {
        EXPECT_GE(p.period, 250);
        EXPECT_LE(p.period, 749);
        EXPECT_LE(std::fabs(p.vy), 0.002f);
        EXPECT_EQ(p.blue, 100.0f);
        EXPECT_EQ(p.step, 0);
        EXPECT_FALSE(p.assigned);
    }
}

TEST(Strokes, SlotsSpellTwoLinesWithRoomForEveryParticle) {
    const StrokeTable strokes = makeStrokeTable();
    int capacity = 0;
    for (const Stroke& s : strokes) capacity += s.capacity;
    EXPECT_EQ(capacity, ParticleCount);
    // A full-height stem (stroke 6, kind 1, 20 slots) ends 0.475 below its top at 0.7;
    // the diagonals of the K (27 down-right, 28 up-right) climb two steps per step right.
    EXPECT_NEAR(slotPosition(strokes[6], 19).y, 0.7 - 0.475, 1e-6);
    EXPECT_NEAR(slotPosition(strokes[27], 2).y - strokes[27].y, -0.1, 1e-6);
    EXPECT_NEAR(slotPosition(strokes[28], 2).y - strokes[28].y, 0.1, 1e-6);
}

TEST(SlotAssignment, FillsEveryStrokeExactlyWithDistinctSlots) {
    ParticleCloud cloud = makeParticleCloud();
    StrokeTable strokes = makeStrokeTable();
    std::set<std::pair<int, int>> slots;
    for (Particle& p : cloud) {
        const int32_t k = assignSlot(p, strokes, GlideFrames);
        ASSERT_GE(k, 0);
        slots.emplace(k, strokes[std::size_t(k)].used - 1);
    }
    EXPECT_EQ(slots.size(), std::size_t(ParticleCount));
    for (const Stroke& s : strokes) EXPECT_EQ(s.used, s.capacity);
    Particle extra;
    extra.vx = 0.001f;
    EXPECT_EQ(assignSlot(extra, strokes, GlideFrames), -1);
    EXPECT_EQ(extra.vx, 0.001f);
}

TEST(SlotAssignment, NearestStartWinsAndTheFirstAmongEquals) {
    StrokeTable strokes = makeStrokeTable();
    Particle p;
    p.x = -0.7f;  // the shared start of strokes 5 (O, top bar) and 6 (O, left stem)
    p.y = 0.7f;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(assignSlot(p, strokes, GlideFrames), 5);
    EXPECT_EQ(assignSlot(p, strokes, GlideFrames), 6);  // 5 is full
    p.x = 0.8f;  // right of the K: stroke 26 starts at (0.8, 0.7)
    p.y = 0.41f;
    EXPECT_EQ(assignSlot(p, strokes, GlideFrames), 28);  // (0.8, 0.4) is nearer
}

TEST(ParticleMotion, DriftsBackAndForthThenGlidesOntoItsSlotAndStops) {
    ParticleCloud cloud = makeParticleCloud();
    StrokeTable strokes = makeStrokeTable();
    Particle p = cloud[3];
    const Particle start = p;
    for (int i = 0; i < 2 * (p.period + 1); ++i) moveParticle(p, strokes, 5000);
    EXPECT_NEAR(p.x, start.x, 1e-5f);  // out period + 1 moves and back again
    EXPECT_NEAR(p.y, start.y, 1e-5f);
    EXPECT_FALSE(p.assigned);  // 5000 ms exactly is still the drift
    for (int i = 0; i < 37; ++i) moveParticle(p, strokes, 5000);

    StrokeTable expected = strokes;
    Particle probe = p;
    const int32_t k = assignSlot(probe, expected, GlideFrames);
    const SlotPoint slot = slotPosition(strokes[std::size_t(k)], 0);
    const float zBefore = p.z;
    for (int i = 0; i < 1000; ++i) moveParticle(p, strokes, 5001);
    EXPECT_TRUE(p.assigned);
    EXPECT_EQ(strokes[std::size_t(k)].used, 1);
    EXPECT_NEAR(p.x, slot.x, 1e-4);
    EXPECT_NEAR(p.y, slot.y, 1e-4);
    EXPECT_LT(std::fabs(p.z - zBefore), 0.002f);
    const Particle landed = p;
    for (int i = 0; i < 50; ++i) moveParticle(p, strokes, 9000);
    EXPECT_EQ(p.x, landed.x);
    EXPECT_EQ(p.y, landed.y);
    EXPECT_EQ(p.glideFrames, 1050);
}
