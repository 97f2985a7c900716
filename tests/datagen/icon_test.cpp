#include "icon.h"

#include <gtest/gtest.h>

// The icon is a corner-on cube on a transparent square: a regular hexagon covering about
// 55 % of it, opaque inside, clear at the corners, with the lid lighter than the walls.
TEST(Icon, CubeOnTransparentSquareAtEverySize) {
    for (const int size : IconSizes) {
        const Image icon = makeIcon(size);
        ASSERT_EQ(icon.width, size);
        ASSERT_EQ(icon.height, size);
        double coverage = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) coverage += icon.at(x, y)[3];
        EXPECT_NEAR(coverage / (size * size), 0.55, 0.03) << size;
        for (const auto& [x, y] : {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}})
            EXPECT_EQ(icon.at(x, y)[3], 0.0f) << size;
        auto brightness = [&](float fx, float fy) {
            const float* p = icon.at(int(fx * size), int(fy * size));
            EXPECT_EQ(p[3], 1.0f) << size << " at " << fx << "," << fy;
            return p[0] + p[1] + p[2];
        };
        const float lid = brightness(0.5f, 0.27f), left = brightness(0.3f, 0.6f),
                    right = brightness(0.7f, 0.6f);
        EXPECT_GT(lid, left) << size;
        EXPECT_GT(left, right) << size;
    }
}
