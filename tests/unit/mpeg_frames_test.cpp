#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <random>

#include "../support/mp3_writer.h"
#include "../support/tga_bytes.h"
#include "platform/mpeg_frames.h"

using testdata::Bytes;
using testdata::operator+;

namespace {

// One second of the test signal encoded at `rate` Hz, stereo or (its left channel) mono.
Bytes encoded(int channels, int rate, int kbps) {
    testdata::ScratchDir dir;
    const std::vector<int16_t> stereo = makeTestSignal(size_t(rate), rate);
    std::vector<int16_t> samples;
    for (size_t i = 0; i < stereo.size(); i += 3 - size_t(channels)) samples.push_back(stereo[i]);
    EXPECT_TRUE(writeMp3("a.mp3", samples, channels, rate, kbps));
    std::ifstream file("a.mp3", std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

bool found(const Bytes& bytes, bool toEnd = true) {
    return sound::findMpegFrames(bytes.data(), bytes.size(), toEnd);
}

}  // namespace

TEST(MpegFrames, RealStreamsAreFoundBehindTagsAndJunk) {
    // MPEG 1, 2 and 2.5 layer III, as an encoder writes them; the rate is told behind junk
    // and tags too.
    for (const int rate : {44100, 22050, 8000}) {
        const Bytes mp3 = encoded(rate == 44100 ? 2 : 1, rate, rate == 44100 ? 192 : 64);
        EXPECT_TRUE(found(mp3));
        EXPECT_EQ(sound::mpegFileSampleRate(mp3.data(), mp3.size()), rate);
        const Bytes tagged = Bytes{'I', 'D', '3', 4, 0, 0, 0, 0, 0, 3, 0, 0, 0} + Bytes(500, 0xff) + mp3;
        EXPECT_EQ(sound::mpegFileSampleRate(tagged.data(), tagged.size()), rate);
        const size_t first = sound::mpegFrameBytes(mp3.data());
        ASSERT_GT(first, 0u);
        // Two frames and some junk still count at the end of a file only.
        const size_t second = sound::mpegFrameBytes(&mp3[first]);
        const Bytes two = Bytes(mp3.begin(), mp3.begin() + long(first + second)) + Bytes(24, 0x5b);
        EXPECT_TRUE(found(two, true));
        EXPECT_FALSE(found(two, false));
        EXPECT_FALSE(found(Bytes(mp3.begin(), mp3.begin() + long(first))));  // one frame alone
        // Junk before the first frame (a cut-off download, a foreign header).
        Bytes junk(3000);
        std::mt19937 random(5);
        for (uint8_t& b : junk) b = uint8_t(random());
        EXPECT_TRUE(found(junk + mp3));
    }
    // ID3v2: 10 header bytes, the body size in 7-bit bytes, and a footer when flagged.
    Bytes tag = {'I', 'D', '3', 4, 0, 0x10, 0, 0, 2, 1};
    EXPECT_EQ(sound::id3v2TagBytes(tag.data(), tag.size()), 10u + 257u + 10u);
    tag[9] = 0x80;
    EXPECT_EQ(sound::id3v2TagBytes(tag.data(), tag.size()), 0u);
}

TEST(MpegFrames, OtherDataIsNotTakenForMpegAudio) {
    // A quiet WAV file (a fade-in): its samples near zero read as free-format headers.
    Bytes wav = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (int i = 0; i < 88200; ++i) {
        const double level = 4000.0 * i / 88200;
        for (double hz : {440.0, 660.0}) {
            const auto v = int16_t(std::lround(level * std::sin(2 * M_PI * hz * i / 44100)));
            wav.push_back(uint8_t(v & 0xff));
            wav.push_back(uint8_t(uint16_t(v) >> 8));
        }
    }
    EXPECT_FALSE(found(wav));
    EXPECT_EQ(sound::mpegFileSampleRate(wav.data(), wav.size()), 0);
}
