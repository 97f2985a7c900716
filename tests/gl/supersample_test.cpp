#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "recorded_frames.h"

namespace {

constexpr int Width = 320;
constexpr int Height = 180;

int channelAt(const std::vector<uint8_t>& rgba, int x, int y, int c) {
    x = std::clamp(x, 0, Width - 1);
    y = std::clamp(y, 0, Height - 1);
    return rgba[(size_t(y) * Width + size_t(x)) * 4 + size_t(c)];
}

// The largest step between two neighbouring pixels (side by side or one above the other),
// in any channel, within two pixels of (x, y): an edge that smoothing may move a pixel or so.
int edgeStrength(const std::vector<uint8_t>& rgba, int x, int y) {
    int strongest = 0;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            for (int c = 0; c < 3; ++c) {
                const int here = channelAt(rgba, x + dx, y + dy, c);
                strongest = std::max({strongest, std::abs(here - channelAt(rgba, x + dx + 1, y + dy, c)),
                                      std::abs(here - channelAt(rgba, x + dx, y + dy + 1, c))});
            }
    return strongest;
}

}  // namespace

// A supersampled frame is the plain frame with its edges smoothed: the same picture (small
// mean difference), changed strongly only near sharp steps of the plain frame (which cover
// a tenth to a third of these frames), and changed at all
// (the samples were really drawn at the larger size). Moments: a picture with text, the
// particle text, the closing cube.
TEST(Supersample, FramesDifferFromPlainOnesOnlyAtEdges) {
    const std::vector<uint32_t> moments = {5000, 47500, 86000};
    const auto plain = recordedFrames(moments, Width, Height);
    for (const int n : {2, 4}) {
        const auto smooth = recordedFrames(moments, Width, Height, "--supersample " + std::to_string(n));
        for (const uint32_t ms : moments) {
            const std::vector<uint8_t>& a = plain.at(ms);
            const std::vector<uint8_t>& b = smooth.at(ms);
            ASSERT_EQ(a.size(), size_t(Width) * Height * 4) << ms;
            ASSERT_EQ(b.size(), a.size()) << "--supersample " << n << " at " << ms;
            uint64_t sum = 0;
            int changed = 0, changedAtEdges = 0;
            for (int y = 0; y < Height; ++y)
                for (int x = 0; x < Width; ++x) {
                    int most = 0;
                    for (int c = 0; c < 3; ++c) {
                        const int d = std::abs(channelAt(a, x, y, c) - channelAt(b, x, y, c));
                        sum += uint64_t(d);
                        most = std::max(most, d);
                    }
                    if (most <= 24) continue;
                    ++changed;
                    if (edgeStrength(a, x, y) >= 48) ++changedAtEdges;
                }
            const double mean = double(sum) / (double(Width) * Height * 3);
            EXPECT_GT(mean, 0.05) << "--supersample " << n << " at " << ms << " changed nothing";
            EXPECT_LT(mean, 3.0) << "--supersample " << n << " at " << ms;
            EXPECT_GT(changed, 0) << ms;
            EXPECT_GE(changedAtEdges, changed * 95 / 100)
                << "--supersample " << n << " at " << ms << ": " << changedAtEdges << " of " << changed
                << " strongly changed pixels at edges";
        }
    }
}
