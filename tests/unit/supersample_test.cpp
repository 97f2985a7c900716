#include <gtest/gtest.h>

#include <vector>

#include "supersample.h"

// Each n x n block becomes its rounded mean, in place of the block (rows keep their order),
// alpha included; samples of other blocks never leak in.
TEST(Supersample, BoxFilterAveragesEachBlockAlone) {
    for (const int n : {2, 3, 4}) {
        const int width = 3, height = 2;
        std::vector<uint8_t> source(size_t(width * n) * size_t(height * n) * 4);
        // Red: a checkerboard of 255 and 0; green: the block's own level; blue: 10 with one
        // sample raised so that the mean is just past 10.5 (rounds up); alpha 255.
        for (int sy = 0; sy < height * n; ++sy)
            for (int sx = 0; sx < width * n; ++sx) {
                uint8_t* p = &source[(size_t(sy) * size_t(width * n) + size_t(sx)) * 4];
                const int block = sy / n * width + sx / n;
                p[0] = (sx + sy) % 2 == 0 ? 255 : 0;
                p[1] = uint8_t(40 * block);
                p[2] = uint8_t(10 + (sx % n == 0 && sy % n == 0 ? n * n / 2 + 1 : 0));
                p[3] = 255;
            }
        std::vector<uint8_t> target(size_t(width) * height * 4, 7);
        boxFilterDown(source.data(), width, height, n, target.data());
        for (int block = 0; block < width * height; ++block) {
            const uint8_t* p = &target[size_t(block) * 4];
            // Half the samples are lit; with n odd, one more when the block's first one is.
            const bool firstLit = ((block % width + block / width) * n) % 2 == 0;
            const int lit = (n * n + (firstLit ? 1 : 0)) / 2;
            EXPECT_EQ(p[0], n == 2 || n == 4 ? 128 : firstLit ? 142 : 113) << n << " lit " << lit;
            EXPECT_EQ(p[1], 40 * block) << "n " << n << " block " << block;
            EXPECT_EQ(p[2], 11) << n;
            EXPECT_EQ(p[3], 255);
        }
    }
}
