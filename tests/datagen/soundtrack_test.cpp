#include "soundtrack.h"

#include "tga_check.h"

#include "platform/sound.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const std::string DataDir = DATAGEN_OUTPUT_DIR;

TEST(TempoMap, PutsEveryAccentExactlyOnATickWithoutBendingTheTempoFar) {
    const TempoMap map = makeTempoMap();
    for (double a : accentTimesMs()) EXPECT_NEAR(map.msAt(map.tickAt(a)), a, 1e-6) << a;
    for (size_t i = 1; i < map.anchorTick.size(); ++i) {
        const double step = (map.anchorMs[i] - map.anchorMs[i - 1]) / (map.anchorTick[i] - map.anchorTick[i - 1]);
        EXPECT_GT(step, StepMs * 0.85) << "before " << map.anchorMs[i];
        EXPECT_LT(step, StepMs * 1.15) << "before " << map.anchorMs[i];
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

TEST(AccentProminence, TellsAHitFromTheBeatAroundIt) {
    // Hats on every step; a kick and clap on the hit; nothing extra on the plain beat.
    const double hit = 1500.0, plain = 2430.0;
    std::vector<Note> notes;
    for (double t = 100.0; t < 3800.0; t += 110.0) notes.push_back({Voice::Hat, t, 50.0, 0, 0.6f, 0});
    notes.push_back({Voice::Kick, hit, 200.0, 0, 1.0f, 0});
    notes.push_back({Voice::Clap, hit, 200.0, 0, 0.8f, 0});
    const std::vector<AccentProminence> p = accentProminence(mixToMono(renderNotes(notes, 4000.0)), SampleRate, {hit, plain});
    ASSERT_EQ(p.size(), 2u);
    EXPECT_GT(p[0].prominence(), 5.0);
    EXPECT_TRUE(p[0].strongest());
    EXPECT_GT(p[1].strength, 0.0);  // the hat there is an onset, but no accent
    EXPECT_LT(p[1].prominence(), 1.5);
}

TEST(Soundtrack, DecodedMp3IsLongEnoughAndAccentsEveryBeat) {
    const std::string path = DataDir + "/music.mp3";
    const std::vector<uint8_t> bytes = readBytes(path);
    ASSERT_GT(bytes.size(), 1000u);
    // The first frame carries the LAME tag ("Info" for constant bit rate, then "LAME").
    const std::string head(bytes.begin(), bytes.begin() + 400);
    EXPECT_NE(head.find("Info"), std::string::npos);
    EXPECT_NE(head.find("LAME"), std::string::npos);

    // Decoded by the show's own decoder, as the show hears it.
    const int rate = SampleRate;
    std::vector<int16_t> interleaved;
    ASSERT_EQ(sound::decodeFile(path.c_str(), rate, interleaved), sound::NoError);
    const double seconds = double(interleaved.size() / 2) / rate;
    EXPECT_GE(seconds, 91.0);
    EXPECT_LT(seconds, 95.0);
    std::vector<float> mono(interleaved.size() / 2);
    for (size_t i = 0; i < mono.size(); ++i) mono[i] = (float(interleaved[2 * i]) + float(interleaved[2 * i + 1])) / 65536.0f;

    const std::vector<double> onsets = detectOnsets(mono, rate);
    // Onsets are events, not noise: far fewer than one per 50 ms.
    EXPECT_LT(onsets.size(), size_t(seconds * 20));
    for (double a : accentTimesMs()) {
        double nearest = 1e9;
        for (double o : onsets) nearest = std::min(nearest, std::abs(o - a));
        EXPECT_LE(nearest, 10.0) << "no onset near the accent at " << a << " ms";
    }
    // Every accent is a hit that stands out, not one onset among equals.
    for (const AccentProminence& p : accentProminence(mono, rate, accentTimesMs())) {
        EXPECT_GE(p.prominence(), 1.5) << "accent at " << p.ms << " ms";
        EXPECT_TRUE(p.strongest()) << "something within 500 ms of the accent at " << p.ms << " ms is stronger";
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
