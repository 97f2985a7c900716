#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>

#include "app/music.h"
#include "platform/sound.h"

TEST(SoundErrorText, CodesZeroToEighteenHaveTheirOwnTextsAndAllOthersAreUnknown) {
    EXPECT_STREQ(soundErrorText(0), "No errors");
    EXPECT_STREQ(soundErrorText(3), "Error initializing output device.");
    EXPECT_STREQ(soundErrorText(9), "File not found");
    EXPECT_STREQ(soundErrorText(10), "Unknown file format");
    EXPECT_STREQ(soundErrorText(11), "Error loading file");
    EXPECT_STREQ(soundErrorText(12), "Not enough memory ");  // the trailing blank is part of it
    EXPECT_STREQ(soundErrorText(18), "Required Mediaplayer codec is not installed");
    std::set<std::string> texts;
    for (int code = 0; code <= 18; ++code) texts.insert(soundErrorText(code));
    EXPECT_EQ(texts.size(), 19u);
    EXPECT_EQ(texts.count("Unknown error"), 0u);
    for (int code : {19, 20, 1000, INT_MAX, -1, -2, INT_MIN})
        EXPECT_STREQ(soundErrorText(code), "Unknown error") << code;
}

TEST(SoundLibraryVersion, OlderIsRejectedEqualNewerAndUnknownAreAccepted) {
    const sound::LibraryVersion required{47, 2, true};
    EXPECT_TRUE(sound::isOlderVersion({46, 9, true}, required));
    EXPECT_TRUE(sound::isOlderVersion({47, 1, true}, required));
    EXPECT_TRUE(sound::isOlderVersion({0, 0, true}, required));
    EXPECT_FALSE(sound::isOlderVersion({47, 2, true}, required));
    EXPECT_FALSE(sound::isOlderVersion({47, 3, true}, required));
    EXPECT_FALSE(sound::isOlderVersion({48, 0, true}, required));
    // A library that does not tell its version cannot be judged, like a NaN version number.
    EXPECT_FALSE(sound::isOlderVersion({0, 0, false}, required));
    EXPECT_EQ(sound::versionText({47, 0, true}), "API 47");
}

TEST(SoundLibraryVersion, TheRunTimeLibraryIsFoundAndSatisfiesTheBuild) {
    const sound::LibraryVersion found = sound::libraryVersion();
    ASSERT_TRUE(found.known);
    EXPECT_GE(found.api, sound::requiredLibraryVersion().api);
    EXPECT_FALSE(sound::isOlderVersion(found, sound::requiredLibraryVersion()));
}
