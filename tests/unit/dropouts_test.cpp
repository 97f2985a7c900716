#include <gtest/gtest.h>

#include "../support/dropouts.h"
#include "../support/mp3_writer.h"

namespace {

using Samples = std::vector<int16_t>;

void append(Samples& to, const Samples& song, size_t fromFrame, size_t frames) {
    to.insert(to.end(), song.begin() + long(2 * fromFrame), song.begin() + long(2 * (fromFrame + frames)));
}
void appendSilence(Samples& to, size_t frames) { to.insert(to.end(), 2 * frames, 0); }

DropoutReport check(const Samples& captured, const Samples& song) {
    return findDropouts(captured.data(), captured.size() / 2, song.data(), song.size() / 2);
}

}  // namespace

// The stress harness's verdict on the written audio rests on this.
TEST(Dropouts, InsertedSilenceIsFoundWithItsLengthAndOtherDifferencesAreCorrupt) {
    Samples song(2 * 300, 0);  // a song that begins with silence, like most
    const Samples signal = makeTestSignal(7700, 44100);
    song.insert(song.end(), signal.begin(), signal.end());

    Samples clean;
    appendSilence(clean, 2048);
    append(clean, song, 0, 8000);
    appendSilence(clean, 300);
    DropoutReport r = check(clean, song);
    EXPECT_EQ(r.leadFrames, 2048u);
    EXPECT_EQ(r.matchedFrames, 8000u);
    EXPECT_EQ(r.dropouts, 0u);
    EXPECT_FALSE(r.corrupt);

    Samples gaps;
    append(gaps, song, 0, 1000);
    appendSilence(gaps, 512);
    append(gaps, song, 1000, 3000);
    appendSilence(gaps, 77);
    append(gaps, song, 4000, 2000);
    appendSilence(gaps, 900);  // the capture ends while the song still plays
    r = check(gaps, song);
    EXPECT_EQ(r.dropouts, 3u);
    EXPECT_EQ(r.dropoutFrames, 512u + 77 + 900);
    EXPECT_EQ(r.longestDropoutFrames, 900u);
    EXPECT_EQ(r.firstDropoutAtFrame, 1000u);
    EXPECT_EQ(r.matchedFrames, 6000u);
    EXPECT_FALSE(r.corrupt);

    Samples skipped;  // a lost piece of the song is not a dropout: it is wrong audio
    append(skipped, song, 0, 1000);
    append(skipped, song, 1500, 1000);
    r = check(skipped, song);
    EXPECT_TRUE(r.corrupt);
    EXPECT_EQ(r.corruptAtFrame, 1000u);
}
