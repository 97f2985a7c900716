#include <gtest/gtest.h>

#include "platform/random.h"

TEST(SharedRandom, FirstValuesFollowTheFixedRule) {
    EXPECT_EQ(runtime::rand(), 41);
    EXPECT_EQ(runtime::rand(), 18467);
    EXPECT_EQ(runtime::rand(), 6334);
    int lowest = 32767, highest = 0;
    for (int i = 0; i < 100000; ++i) {
        const int r = runtime::rand();
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, 32767);
}
