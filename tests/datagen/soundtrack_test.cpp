#include "soundtrack.h"

#include "tga_check.h"

#include <gtest/gtest.h>
#include <mpg123.h>

#include <cmath>

namespace {

const std::string DataDir = DATAGEN_OUTPUT_DIR;

// Decodes an MP3 file to interleaved float samples; returns false on any decoder error.
bool decodeMp3(const std::string& path, std::vector<float>& samples, long& rate, int& channels) {
    mpg123_init();
    int err = 0;
    mpg123_handle* h = mpg123_new(nullptr, &err);
    if (!h) return false;
    mpg123_param(h, MPG123_FLAGS, MPG123_GAPLESS | MPG123_FORCE_FLOAT, 0.0);
    bool ok = mpg123_open(h, path.c_str()) == MPG123_OK;
    int encoding = 0;
    ok = ok && mpg123_getformat(h, &rate, &channels, &encoding) == MPG123_OK && encoding == MPG123_ENC_FLOAT_32;
    std::vector<unsigned char> buf(1 << 16);
    while (ok) {
        size_t done = 0;
        const int r = mpg123_read(h, buf.data(), buf.size(), &done);
        const float* f = reinterpret_cast<const float*>(buf.data());
        samples.insert(samples.end(), f, f + done / sizeof(float));
        if (r == MPG123_DONE) break;
        ok = r == MPG123_OK || r == MPG123_NEW_FORMAT;
    }
    mpg123_close(h);
    mpg123_delete(h);
    return ok;
}

TEST(TempoMap, PutsEveryAccentExactlyOnATickWithoutBendingTheTempoFar) {
    const TempoMap map = makeTempoMap();
    const double nominal = StepMs;
    for (double a : accentTimesMs()) EXPECT_NEAR(map.msAt(map.tickAt(a)), a, 1e-6) << a;
    for (size_t i = 1; i < map.anchorTick.size(); ++i) {
        const double step = (map.anchorMs[i] - map.anchorMs[i - 1]) / (map.anchorTick[i] - map.anchorTick[i - 1]);
        EXPECT_GT(step, nominal * 0.85) << "before " << map.anchorMs[i];
        EXPECT_LT(step, nominal * 1.15) << "before " << map.anchorMs[i];
    }
    // Scene changes away from accents start their section on a tick too.
    EXPECT_NEAR(map.msAt(map.tickAt(24096)), 24096, 1e-6);
    EXPECT_NEAR(map.msAt(map.tickAt(65096)), 65096, 1e-6);
}

TEST(OnsetDetector, FindsIsolatedHitsAndNothingInSilence) {
    const std::vector<double> hits = {500.0, 1234.0, 1700.0, 2950.0};
    std::vector<Note> notes;
    for (double t : hits) notes.push_back({Voice::Kick, t, 100.0, 0, 0.9f, 0});
    notes.push_back({Voice::Pad, 3200.0, 400.0, 57, 0.5f, 0});  // slow attack: no onset
    const Pcm pcm = renderNotes(notes, 4000.0);
    const std::vector<double> onsets = detectOnsets(mixToMono(pcm), SampleRate);
    ASSERT_EQ(onsets.size(), hits.size());
    for (size_t i = 0; i < hits.size(); ++i) EXPECT_NEAR(onsets[i], hits[i], 5.0);
}

TEST(Soundtrack, DecodedMp3IsLongEnoughAndAccentsEveryBeat) {
    const std::string path = DataDir + "/music.mp3";
    const std::vector<uint8_t> bytes = readBytes(path);
    ASSERT_GT(bytes.size(), 1000u);
    // The first frame carries the LAME tag ("Info" for constant bit rate, then "LAME").
    const std::string head(bytes.begin(), bytes.begin() + 400);
    EXPECT_NE(head.find("Info"), std::string::npos);
    EXPECT_NE(head.find("LAME"), std::string::npos);

    std::vector<float> interleaved;
    long rate = 0;
    int channels = 0;
    ASSERT_TRUE(decodeMp3(path, interleaved, rate, channels));
    ASSERT_EQ(rate, 44100);
    ASSERT_EQ(channels, 2);
    const double seconds = double(interleaved.size() / 2) / double(rate);
    EXPECT_GE(seconds, 91.0);
    EXPECT_LT(seconds, 95.0);

    std::vector<float> mono(interleaved.size() / 2);
    for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5f * (interleaved[2 * i] + interleaved[2 * i + 1]);
    const std::vector<double> onsets = detectOnsets(mono, int(rate));
    // Onsets are events, not noise: far fewer than one per 50 ms.
    EXPECT_LT(onsets.size(), size_t(seconds * 20));
    for (double a : accentTimesMs()) {
        double nearest = 1e9;
        for (double o : onsets) nearest = std::min(nearest, std::abs(o - a));
        EXPECT_LE(nearest, 10.0) << "no onset near the accent at " << a << " ms";
    }
    // Each scene's section is audible, the break quieter than the full grooves around it.
    auto rms = [&](double fromMs, double toMs) {
        double sum = 0;
        const size_t a = size_t(fromMs * rate / 1000), b = size_t(toMs * rate / 1000);
        for (size_t i = a; i < b; ++i) sum += double(mono[i]) * mono[i];
        return std::sqrt(sum / double(b - a));
    };
    const std::vector<double> starts = sectionStartsMs();
    for (size_t s = 0; s < starts.size(); ++s)
        EXPECT_GT(rms(starts[s], s + 1 < starts.size() ? starts[s + 1] : 90596.0), 0.02) << "section " << s;
    EXPECT_LT(rms(62096, 65096) * 2.0, rms(48096, 62096));
}

}  // namespace
