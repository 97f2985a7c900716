#include <gtest/gtest.h>

#include "platform/present_pace.h"

// Sleep-paced presents keep a steady grid at the refresh rate; a late present starts it
// again from itself instead of hurrying the following ones.
TEST(PresentPace, WaitsForTheNextRefreshAndRestartsAfterALatePresent) {
    EXPECT_EQ(presentPaceFor(0).periodUs, 16666u);    // unknown: 60 Hz
    EXPECT_EQ(presentPaceFor(144).periodUs, 6944u);
    PresentPace pace = presentPaceFor(60);
    EXPECT_EQ(presentWaitUs(pace, 1000000), 0u);      // the first goes at once
    EXPECT_EQ(presentWaitUs(pace, 1004000), 12666u);  // drawn in 4 ms: wait for the period
    EXPECT_EQ(presentWaitUs(pace, 1034000), 0u);      // 1.5 periods late: at once
    EXPECT_EQ(presentWaitUs(pace, 1040000), 10666u);  // the grid now runs from 1034000
    EXPECT_EQ(pace.nextUs, 1034000u + 2 * 16666u);
}
