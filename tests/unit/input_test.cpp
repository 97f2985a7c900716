#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/input.h"
#include "app/shell.h"

namespace {

uint32_t fixedClock() { return 4321; }

void press(uint32_t key) {
    handleMessage(MessageRecord{key, false});  // key-down
    handleMessage(MessageRecord{key, false});  // key-up
}

}  // namespace

TEST(Input, EnterAndSpaceShareOneParityCounterInEitherOrder) {
    setClockSource(&fixedClock);
    testing::internal::CaptureStdout();
    press(KeyEnter);
    EXPECT_EQ(currentSceneIndex(), 1);
    press(KeySpace);
    press(KeySpace);
    press(KeyEnter);
    EXPECT_EQ(currentSceneIndex(), 2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "4321\n4321\n");
    EXPECT_FALSE(isQuitRequested());
}

TEST(Input, OnlyTheSecondMessageOfAPressActsAndAnEmptyQueueChangesNothing) {
    for (int i = 0; i < 3; ++i) pumpMessages();  // no display in a unit test: always empty
    handleMessage(MessageRecord{KeyEnter, false});
    EXPECT_EQ(currentSceneIndex(), 0);
    handleMessage(MessageRecord{0, false});  // another message in between does not count
    EXPECT_EQ(currentSceneIndex(), 0);
    handleMessage(MessageRecord{KeyEnter, false});
    EXPECT_EQ(currentSceneIndex(), 1);
    EXPECT_FALSE(isQuitRequested());
}

TEST(Input, EscapeAndAWindowCloseQuitAtOnce) {
    handleMessage(MessageRecord{KeyEscape, false});
    EXPECT_TRUE(isQuitRequested());
    resetShell();
    handleMessage(MessageRecord{0, true});
    EXPECT_TRUE(isQuitRequested());
}

TEST(Input, AltEnterNeitherSkipsNorShiftsTheParityWhicheverKeyIsLetGoFirst) {
    // Alt held through the press.
    handleMessage(MessageRecord{KeyEnter, false, true, true});
    handleMessage(MessageRecord{KeyEnter, false, true, true, true});  // held: repeated
    handleMessage(MessageRecord{KeyEnter, false, false, true});
    EXPECT_EQ(currentSceneIndex(), 0);
    // Alt let go before Enter: the release is still Alt+Enter's.
    handleMessage(MessageRecord{KeyEnter, false, true, true});
    handleMessage(MessageRecord{KeyEnter, false, false, false});
    EXPECT_EQ(currentSceneIndex(), 0);
    // Enter alone acts on the second message of its press, as before.
    handleMessage(MessageRecord{KeyEnter, false, true});
    EXPECT_EQ(currentSceneIndex(), 0);
    handleMessage(MessageRecord{KeyEnter, false, false});
    EXPECT_EQ(currentSceneIndex(), 1);
    EXPECT_FALSE(isQuitRequested());
}
