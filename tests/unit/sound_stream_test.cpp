#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "../support/mp3_writer.h"
#include "../support/scratch_dir.h"
#include "platform/sound.h"

namespace {

constexpr int Rate = 44100;
constexpr size_t SignalFrames = 66150;  // 1.5 s, not a whole number of MPEG frames

class SoundFiles : public ::testing::Test {
protected:
    std::string path(const char* name) const { return (scratch.path() / name).string(); }
    testdata::ScratchDir scratch;
};

int waitForOpen(sound::Stream* stream) {
    int state = -2;
    for (int i = 0; i < 5000 && (state = sound::openState(stream)) == -2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return state;
}

std::vector<int16_t> readWholeStream(sound::Stream* stream) {
    std::vector<int16_t> all;
    int16_t block[2 * 700];  // odd size: reads cross the ring's end at many places
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!sound::streamFinished(stream) && std::chrono::steady_clock::now() < deadline) {
        const size_t got = sound::readStream(stream, block, 700);
        all.insert(all.end(), block, block + 2 * got);
        if (got == 0) std::this_thread::yield();
    }
    return all;
}

// Normalised correlation of one channel of two interleaved signals.
double correlation(const std::vector<int16_t>& a, const std::vector<int16_t>& b, int channel) {
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = size_t(channel); i < std::min(a.size(), b.size()); i += 2) {
        ab += double(a[i]) * b[i];
        aa += double(a[i]) * a[i];
        bb += double(b[i]) * b[i];
    }
    return ab / std::sqrt(aa * bb);
}

double relativeRmsError(const std::vector<int16_t>& decoded, const std::vector<int16_t>& source) {
    double error = 0, energy = 0;
    for (size_t i = 0; i < std::min(decoded.size(), source.size()); ++i) {
        const double d = double(decoded[i]) - source[i];
        error += d * d;
        energy += double(source[i]) * source[i];
    }
    return std::sqrt(error / energy);
}

}  // namespace

TEST_F(SoundFiles, GaplessDecodeHasTheEncodedLengthAndMatchesTheSource) {
    const std::vector<int16_t> source = makeTestSignal(SignalFrames, Rate);
    ASSERT_TRUE(writeMp3(path("song.mp3"), source, 2, Rate));

    std::vector<int16_t> decoded;
    ASSERT_EQ(sound::decodeFile(path("song.mp3").c_str(), Rate, decoded), sound::NoError);
    // Exact length: the encoder's delay and padding are cut, nothing else.
    ASSERT_EQ(decoded.size(), source.size());
    // Aligned from sample 0: a shift of even one MPEG frame would ruin the correlation.
    EXPECT_GT(correlation(decoded, source, 0), 0.995);
    EXPECT_GT(correlation(decoded, source, 1), 0.995);
    EXPECT_LT(relativeRmsError(decoded, source), 0.08);
}

TEST_F(SoundFiles, StreamDeliversExactlyTheWholeFileDecodeAlsoFromAStartFrame) {
    const std::vector<int16_t> source = makeTestSignal(SignalFrames, Rate);
    ASSERT_TRUE(writeMp3(path("song.mp3"), source, 2, Rate));
    std::vector<int16_t> decoded;
    ASSERT_EQ(sound::decodeFile(path("song.mp3").c_str(), Rate, decoded), sound::NoError);

    sound::setBufferSize(50);  // a small ring: the decoder must wait for the reader often
    sound::Stream* stream =
        sound::openStream(path("song.mp3").c_str(), sound::NonBlocking, 0, 0);
    ASSERT_EQ(waitForOpen(stream), 0);
    const std::vector<int16_t> streamed = readWholeStream(stream);
    ASSERT_EQ(streamed.size(), decoded.size());
    EXPECT_TRUE(streamed == decoded);

    // Starting part-way in (as for starting the show later) is sample-exact.
    const size_t startFrame = 12345;
    sound::Stream* later =
        sound::openStream(path("song.mp3").c_str(), sound::NonBlocking, 0, 0, startFrame);
    ASSERT_EQ(waitForOpen(later), 0);
    const std::vector<int16_t> rest = readWholeStream(later);
    ASSERT_EQ(rest.size(), decoded.size() - 2 * startFrame);
    EXPECT_TRUE(std::equal(rest.begin(), rest.end(), decoded.begin() + 2 * startFrame));
}

TEST_F(SoundFiles, SeeksMoveTheStreamSampleExactForwardBackAndAfterItsEnd) {
    const std::vector<int16_t> source = makeTestSignal(SignalFrames, Rate);
    ASSERT_TRUE(writeMp3(path("song.mp3"), source, 2, Rate));
    std::vector<int16_t> decoded;
    ASSERT_EQ(sound::decodeFile(path("song.mp3").c_str(), Rate, decoded), sound::NoError);
    sound::setBufferSize(50);  // a ring smaller than the song: seeks meet a full ring
    sound::Stream* stream = sound::openStream(path("song.mp3").c_str(), sound::NonBlocking, 0, 0);
    ASSERT_EQ(waitForOpen(stream), 0);
    // Part of the song, so that the ring holds audio from before each seek.
    int16_t block[2 * 700];
    size_t taken = 0;
    while (taken < 5000) taken += sound::readStream(stream, block, 700);

    // Ahead, then back before the start of what was read, then twice at once (only the
    // newest counts), then after the music has ended: each time exactly the decode from there.
    for (const std::vector<size_t>& frames : {std::vector<size_t>{40000}, {1000}, {30000, 777}}) {
        for (const size_t frame : frames) sound::seekStream(stream, frame);
        const std::vector<int16_t> rest = readWholeStream(stream);
        const size_t frame = frames.back();
        ASSERT_EQ(rest.size(), decoded.size() - 2 * frame) << "seek to " << frame;
        EXPECT_TRUE(std::equal(rest.begin(), rest.end(), decoded.begin() + long(2 * frame)))
            << "seek to " << frame;
    }
    // Back to the very start once the whole song has been read.
    sound::seekStream(stream, 0);
    EXPECT_TRUE(readWholeStream(stream) == decoded);
}

TEST_F(SoundFiles, MonoFileAtAnotherRateBecomesStereoAtTheMixRate) {
    const int rate = 22050;
    const std::vector<int16_t> stereo = makeTestSignal(rate, rate);  // 1 s
    std::vector<int16_t> mono;
    for (size_t i = 0; i < stereo.size(); i += 2) mono.push_back(stereo[i]);
    ASSERT_TRUE(writeMp3(path("mono.mp3"), mono, 1, rate, 64));

    std::vector<int16_t> decoded;
    ASSERT_EQ(sound::decodeFile(path("mono.mp3").c_str(), Rate, decoded), sound::NoError);
    const double frames = double(decoded.size() / 2);
    EXPECT_NEAR(frames, Rate, Rate * 0.01);
    double energy = 0;
    bool channelsEqual = true;
    for (size_t i = 0; i < decoded.size(); i += 2) {
        channelsEqual = channelsEqual && decoded[i] == decoded[i + 1];
        energy += double(decoded[i]) * decoded[i];
    }
    EXPECT_TRUE(channelsEqual);
    EXPECT_GT(std::sqrt(energy / frames), 3000.0);  // the tones are there, not silence
}

TEST_F(SoundFiles, OpenFailuresReportWhyAndNeverBecomeReady) {
    std::ofstream(path("text.mp3")) << "This is not an MP3 file.\nJust some words.\n";
    std::ofstream(path("empty.mp3")).flush();
    std::filesystem::create_directory(path("folder.mp3"));
    const struct {
        const char* name;
        int code;
    } cases[] = {{"missing.mp3", sound::FileNotFound},
                 {"folder.mp3", sound::FileNotFound},
                 {"text.mp3", sound::UnknownFormat},
                 {"empty.mp3", sound::UnknownFormat}};
    for (const auto& c : cases) {
        sound::Stream* stream = sound::openStream(path(c.name).c_str(), sound::NonBlocking, 0, 0);
        EXPECT_EQ(waitForOpen(stream), c.code) << c.name;
        EXPECT_EQ(sound::lastError(), c.code) << c.name;
        EXPECT_EQ(sound::play(sound::FreeChannel, stream), -1) << c.name;
        std::vector<int16_t> samples;
        EXPECT_EQ(sound::decodeFile(path(c.name).c_str(), Rate, samples), c.code) << c.name;
    }
}

namespace {

// Opens the sound output, which stays open for the life of the process; ends the process
// with code 0 when every check held.
void playOnASilentDevice(const std::string& song) {
    const std::vector<int16_t> source = makeTestSignal(SignalFrames, Rate);
    ASSERT_TRUE(writeMp3(song, source, 2, Rate));
    sound::Stream* stream = sound::openStream(song.c_str(), 0, 0, 0);
    ASSERT_EQ(sound::openState(stream), 0);  // a blocking open is finished on return
    EXPECT_EQ(sound::play(sound::FreeChannel, stream), -1);
    EXPECT_EQ(sound::lastError(), sound::NotInitialised);

    sound::setOutput(sound::OutputNone);
    ASSERT_TRUE(sound::init(Rate, 2, 0));
    EXPECT_FALSE(sound::init(Rate, 2, 0));  // once only
    EXPECT_EQ(sound::play(sound::FreeChannel, stream), 0);
    sound::Stream* second = sound::openStream(song.c_str(), 0, 0, 0);
    EXPECT_EQ(sound::play(1, second), 1);
    EXPECT_EQ(sound::play(sound::FreeChannel, second), -1);
    EXPECT_EQ(sound::lastError(), sound::NoFreeChannel);

    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const sound::PlaybackPosition position = sound::playbackPosition();
    EXPECT_GT(position.firstCallbackMs, 0u);
    EXPECT_GT(position.deviceLatencyFrames, 0);
    // About 400 ms went by; the device takes whole buffers, so allow wide margins.
    EXPECT_GT(position.framesHanded, uint64_t(Rate / 10));
    EXPECT_LT(position.framesHanded, SignalFrames);
    std::exit(testing::Test::HasFailure() ? 1 : 0);
}

}  // namespace

TEST_F(SoundFiles, PlayingOnASilentDeviceHandsTheStreamOverInRealTime) {
    // In a process of its own, so that the binary can run its tests again in one process.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(playOnASilentDevice(path("song.mp3")), testing::ExitedWithCode(0), "");
}
