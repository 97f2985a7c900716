#include <gtest/gtest.h>

#include "app/shell.h"
#include "app/timeline.h"
#include "platform/random.h"

TEST(Timeline, EachSceneLastsUntilItsEndIsStrictlyExceeded) {
    const uint32_t ends[] = {18096, 24096, 32096, 48096, 62096, 65096, 72596, 77596, 82596, 90596};
    for (int scene = 0; scene < 10; ++scene) {
        const uint32_t end = ends[scene];
        EXPECT_EQ(sceneEndMs(scene), end);
        EXPECT_EQ(applyTimeline(scene, end), scene) << "scene " << scene;
        EXPECT_EQ(applyTimeline(scene, end + 1), scene + 1) << "scene " << scene;
    }
}

TEST(Timeline, LateFrameJumpsToTheSceneContainingItAndNeverGoesBack) {
    EXPECT_EQ(applyTimeline(0, 30000), 2);
    EXPECT_EQ(applyTimeline(0, 90597), 10);
    EXPECT_EQ(applyTimeline(0, 0xffffffffu), 10);
    // A scene reached early through the skip key lasts until its own end time.
    EXPECT_EQ(applyTimeline(3, 100), 3);
    EXPECT_EQ(applyTimeline(3, 48096), 3);
    EXPECT_EQ(applyTimeline(3, 48097), 4);
    EXPECT_EQ(applyTimeline(10, 5), 10);
}

TEST(Timeline, SkipsAndTheEndSetTheQuitFlag) {
    EXPECT_EQ(advanceSceneIndex(10), 0);
    for (int i = 0; i < 9; ++i) skipToNextScene();
    EXPECT_EQ(advanceSceneIndex(20), 9);
    EXPECT_FALSE(isQuitRequested());
    skipToNextScene();  // Enter during the closing scene
    EXPECT_EQ(advanceSceneIndex(21), 10);
    EXPECT_TRUE(isQuitRequested());

    resetShell();  // the timeline's end alone
    EXPECT_EQ(advanceSceneIndex(90596), 9);
    EXPECT_FALSE(isQuitRequested());
    EXPECT_EQ(advanceSceneIndex(90597), 10);
    EXPECT_TRUE(isQuitRequested());
}

TEST(PictureBookkeeping, SceneFourCatchesUpOneBeatPerFrameThenFollowsTheClock) {
    PictureState state;
    const uint32_t firstFrame = 48100;
    // The first 17 beats lie before scene 4: one is consumed per frame, each with one draw.
    for (int frame = 0; frame < 17; ++frame) {
        const uint32_t seedBefore = runtime::randSeed();
        stepPictureBeats(state, firstFrame + uint32_t(frame));
        EXPECT_EQ(state.pictureCursor, uint32_t(frame + 1));
        EXPECT_NE(runtime::randSeed(), seedBefore);
        EXPECT_GE(state.currentPicture, 1);
        EXPECT_LE(state.currentPicture, 5);
    }
    // Next entry is 48269: nothing happens until the clock passes it.
    const uint32_t seedBefore = runtime::randSeed();
    stepPictureBeats(state, 48269);
    EXPECT_EQ(state.pictureCursor, 17u);
    EXPECT_EQ(runtime::randSeed(), seedBefore);
    stepPictureBeats(state, 48270);
    EXPECT_EQ(state.pictureCursor, 18u);
    // After the last entry nothing more is read, however long the scene lasts.
    for (int frame = 0; frame < 200; ++frame) stepPictureBeats(state, 70000);
    EXPECT_EQ(state.pictureCursor, 48u);
    const uint32_t seedAtEnd = runtime::randSeed();
    stepPictureBeats(state, 80000);
    EXPECT_EQ(runtime::randSeed(), seedAtEnd);
}

TEST(PictureBookkeeping, SceneSixStepsFromPictureFiveEvery1500ms) {
    PictureState state{3, 17};
    resetPicturesAfterWarp(state);
    EXPECT_EQ(state.currentPicture, 5);
    EXPECT_EQ(state.pictureCursor, 0u);
    const uint32_t start = 65100;
    std::vector<int> shown;
    for (uint32_t now = start; now <= 72596; now += 5) {
        stepPictureSlideshow(state, now);
        if (shown.empty() || shown.back() != state.currentPicture) shown.push_back(state.currentPicture);
    }
    EXPECT_EQ(shown, (std::vector<int>{6, 7, 8, 9, 10}));
    // Exactly 1500 ms after a step is not yet "more than 1500".
    PictureState exact{6, 1000};
    stepPictureSlideshow(exact, 2500);
    EXPECT_EQ(exact.currentPicture, 6);
    stepPictureSlideshow(exact, 2501);
    EXPECT_EQ(exact.currentPicture, 7);
}
