#include "sync_measure.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/timeline.h"
#include "scenes/flash_beats.h"
#include "sync_report.h"

namespace bench {

namespace {

constexpr uint32_t SceneFourStartMs = Timeline[0] + Timeline[1] + Timeline[2] + Timeline[3];
constexpr uint32_t CatchUpMs = 400;       // scene 4's first frames step through past entries
constexpr double SettleS = 2.0;           // the recorder's stamps settle within this of the
                                          // music's start, s (a server changes its latency
                                          // report as a player's stream joins)
constexpr float SoundThreshold = 0.01f;   // magnitude that counts as sound, 0..1
constexpr double SilentLeadS = 0.3;       // silence that shows a recording began before the music, s
constexpr double HalfWindowS = 0.1;       // soundtrack compared either side of a beat, s
constexpr double NearSearchS = 0.05;      // search around the last lag found, s
constexpr double WideSearchS = 1.5;       // search when the near one fails (a jump), s
constexpr double MinCorrelation = 0.98;   // the server plays the frames unchanged; a weaker
                                          // match means a dropout near the beat
constexpr double MinRise = 40;            // grey levels a flash brightens the strip by at least
constexpr double MinChange = 12;          // mean grey difference of a new picture at least
constexpr double MergeUs = 10e3;          // one picture change may span two grabs
constexpr double NearReachUs = 200e3;     // common lags looked for first
constexpr double ReachUs = 3e6;           // largest common lag looked for
constexpr double WindowUs = 80e3;         // a beat's event lies this close to the common lag
constexpr double ScreenMarginUs = 300e3;  // the show's first frames and the recording's end
constexpr double MaxGrabGapUs = 10e3;     // a change timed less precisely is not counted

}  // namespace

std::vector<BeatMeasure> showBeats() {
    std::vector<BeatMeasure> beats;
    for (const uint32_t beat : FlashBeats)
        if (beat < Timeline[0]) beats.push_back({beat, true, 0, std::nullopt});
    for (const uint32_t beat : PictureBeats)
        if (beat > SceneFourStartMs + CatchUpMs) beats.push_back({beat, false, 0, std::nullopt});
    return beats;
}

namespace {

// Whether the soundtrack at `frame` lies at `lag` in the recording, give or take the near
// search, for the two moments 0.5 s and 1 s later as well (music repeats itself: one match
// alone can be another bar).
bool lagHolds(const Signal& heard, const Signal& track, size_t frame, double lag, double rate) {
    for (const double later : {0.5, 1.0}) {
        const size_t at = frame + size_t(later * rate);
        if (!locate(heard, track, at, double(at) + lag, size_t(NearSearchS * rate),
                    size_t(HalfWindowS * rate), MinCorrelation))
            return false;
    }
    return true;
}

// Recording frame minus soundtrack frame, as the recording begins. A recording made before
// the music started first hears the soundtrack from the show's --start on. One that starts
// with music already playing (made after a sound server restart) is placed by the screen:
// its events against the beat lists give the clock value of every time stamp, to within the
// picture's lag, and so where in the soundtrack the recording is.
std::optional<double> firstLag(const Recording& recording, const Signal& heard, const Signal& track,
                               const AudioTimeline& timeline, const std::vector<ScreenEvent>& flashes,
                               const std::vector<ScreenEvent>& changes) {
    const double rate = recording.rate;
    const size_t firstHeard = firstSound(heard, 0, SoundThreshold);
    const size_t startFrame = size_t(double(recording.startMs) * rate / 1000.0);
    const size_t firstPlayed = firstSound(track, startFrame, SoundThreshold);
    if (firstHeard == heard.full.size() || firstPlayed == track.full.size()) return std::nullopt;
    if (double(firstHeard) >= SilentLeadS * rate) {
        // The first moments may have dropped out (a loaded machine): the first one found
        // within the wide search of where it would be without dropouts places the rest.
        const double lag = double(firstHeard) - double(firstPlayed);
        for (double at = HalfWindowS + WideSearchS; at < 10.0; at += 0.25) {
            const size_t check = firstPlayed + size_t(at * rate);
            const std::optional<Located> found = locate(heard, track, check, double(check) + lag,
                                                        size_t(WideSearchS * rate),
                                                        size_t(HalfWindowS * rate), MinCorrelation);
            if (found && lagHolds(heard, track, check, found->frame - double(check), rate))
                return found->frame - double(check);
        }
    }
    std::vector<BeatMeasure> clockBeats = showBeats();
    for (BeatMeasure& beat : clockBeats) beat.heardUs = double(beat.beatMs) * 1000.0;
    const double clockToStampUs = commonOffsetUs(clockBeats, flashes, changes, 1e18);
    if (clockToStampUs == 0) return std::nullopt;
    return frameAt(timeline, clockToStampUs);
}

}  // namespace

Measurement measureSync(const Recording& recording) {
    Measurement m;
    if (recording.frames.empty()) return m;
    m.originUs = double(recording.frames.front().timeUs);
    const Signal heard = monoSignal(recording.sound);
    const Signal track = monoSignal(recording.soundtrack);
    const double rate = recording.rate;
    // The recording frames that hold music.
    const size_t firstHeard = firstSound(heard, 0, SoundThreshold);
    if (firstHeard == heard.full.size()) return m;
    size_t lastHeard = heard.full.size() - 1;
    while (lastHeard > firstHeard && std::fabs(heard.full[lastHeard]) < SoundThreshold) --lastHeard;
    const AudioTimeline timeline = audioTimeline(recording.packets, rate,
                                                 double(firstHeard) + SettleS * rate, double(lastHeard));
    m.soundBoundUs = timeline.boundUs;
    const std::vector<ScreenEvent> flashes = brightenings(recording.frames, MinRise);
    const std::vector<ScreenEvent> changes = contentChanges(recording.frames, MinChange, MergeUs);
    const std::optional<double> startLag = firstLag(recording, heard, track, timeline, flashes, changes);
    if (!startLag) return m;
    double lag = *startLag;
    const double playedFrom = double(firstHeard) - lag, playedTo = double(lastHeard) - lag;
    const double margin = (HalfWindowS + NearSearchS) * rate;
    const double firstActivity = firstActivityUs(recording.frames);
    const double screenFrom = firstActivity + ScreenMarginUs;
    const double screenTo = double(recording.frames.back().timeUs) - ScreenMarginUs;

    for (BeatMeasure beat : showBeats()) {
        const double frame = double(beat.beatMs) * rate / 1000.0;
        if (frame < playedFrom + margin || frame > playedTo - margin) continue;
        // Only beats the screen recording shows, with the show's first frames left out.
        const std::optional<double> expectedUs = frameTime(timeline, frame + lag);
        if (firstActivity < 0 || !expectedUs || *expectedUs < screenFrom || *expectedUs > screenTo)
            continue;
        const size_t at = size_t(std::lround(frame));
        std::optional<Located> found = locate(heard, track, at, frame + lag, size_t(NearSearchS * rate),
                                              size_t(HalfWindowS * rate), MinCorrelation);
        if (!found)
            found = locate(heard, track, at, frame + lag, size_t(WideSearchS * rate),
                           size_t(HalfWindowS * rate), MinCorrelation);
        const std::optional<double> heardUs = found ? frameTime(timeline, found->frame) : std::nullopt;
        if (!heardUs) {
            m.notHeard.push_back(beat.beatMs);
            continue;
        }
        lag = found->frame - double(at);
        beat.heardUs = *heardUs;
        m.beats.push_back(beat);
    }
    // The picture's lag common to all beats: near zero unless something is badly wrong, and
    // beats come regularly enough that a pairing one beat off gets nearly as many votes; so
    // the near range is asked first and the wide one only when it leaves most beats unseen.
    for (const double reach : {NearReachUs, ReachUs}) {
        m.commonUs = commonOffsetUs(m.beats, flashes, changes, reach);
        matchEvents(m.beats, flashes, changes, m.commonUs, WindowUs);
        const auto seen = std::count_if(m.beats.begin(), m.beats.end(),
                                        [](const BeatMeasure& beat) { return beat.seen.has_value(); });
        if (2 * size_t(seen) >= m.beats.size()) break;
    }
    // Where the recorder's grabs were far apart, a change cannot be timed well enough.
    std::erase_if(m.beats, [&m](const BeatMeasure& beat) {
        const bool unsure = beat.seen && beat.seen->boundUs > MaxGrabGapUs;
        if (unsure) m.grabbedLate.push_back(beat.beatMs);
        return unsure;
    });
    for (const BeatMeasure& beat : m.beats)
        if (beat.seen) m.grabBoundUs = std::max(m.grabBoundUs, beat.seen->boundUs);
    return m;
}

namespace {

std::vector<double> seenOffsets(const Measurement& m) {
    std::vector<double> offsets;
    for (const BeatMeasure& beat : m.beats)
        if (beat.seen) offsets.push_back(beat.offsetMs());
    return offsets;
}

}  // namespace

std::vector<std::string> missedGoals(const Measurement& m) {
    std::vector<std::string> missed;
    char line[160];
    const std::vector<double> offsets = seenOffsets(m);
    if (offsets.size() < 5) {
        std::snprintf(line, sizeof line, "only %zu beats seen on the screen (at least 5 needed)", offsets.size());
        missed.push_back(line);
    }
    // A dropout at a beat is the output's failure, not the clock's, and a grab gap the
    // recorder's; many of either leave too little measured.
    const size_t all = m.notHeard.size() + m.grabbedLate.size() + m.beats.size();
    if (m.notHeard.size() * 4 > all) {
        std::snprintf(line, sizeof line, "the music was not heard at %zu of %zu beats",
                      m.notHeard.size(), all);
        missed.push_back(line);
    }
    if (m.grabbedLate.size() * 4 > all) {
        std::snprintf(line, sizeof line, "the recorder's grabs were too far apart at %zu of %zu beats",
                      m.grabbedLate.size(), all);
        missed.push_back(line);
    }
    for (const BeatMeasure& beat : m.beats) {
        if (!beat.seen) {
            if (beat.flash) {
                std::snprintf(line, sizeof line, "beat %u: no flash seen", beat.beatMs);
                missed.push_back(line);
            }
            continue;
        }
        const double offset = beat.offsetMs();
        if (offset > 15.0 || offset < -20.0) {
            std::snprintf(line, sizeof line, "beat %u: music %s by %.1f ms", beat.beatMs,
                          offset > 0 ? "early" : "late", std::fabs(offset));
            missed.push_back(line);
        }
    }
    return missed;
}

std::string formatMeasurement(const Measurement& m, bool json) {
    const std::vector<double> offsets = seenOffsets(m);
    const SyncSummary s = summariseOffsets(offsets);
    const std::vector<std::string> missed = missedGoals(m);
    int flashes = 0, flashesSeen = 0;
    for (const BeatMeasure& beat : m.beats) {
        flashes += beat.flash;
        flashesSeen += beat.flash && beat.seen;
    }
    const int pictures = int(m.beats.size()) - flashes;
    const int picturesSeen = s.beats - flashesSeen;
    char line[320];
    if (json) {
        std::snprintf(line, sizeof line,
                      "{\"beats\": %zu, \"seen\": %d, \"flashes\": %d, \"flashes_seen\": %d, "
                      "\"not_heard\": %zu, \"mean_ms\": %.2f, \"min_ms\": %.2f, \"max_ms\": %.2f, "
                      "\"max_abs_ms\": %.2f, \"early_over_15ms\": %d, \"grab_bound_ms\": %.2f, "
                      "\"sound_bound_ms\": %.2f, \"goals_met\": %s}\n",
                      m.beats.size(), s.beats, flashes, flashesSeen, m.notHeard.size(), s.meanMs,
                      s.minMs, s.maxMs, s.maxAbsMs, s.earlyOver15, m.grabBoundUs / 1000,
                      m.soundBoundUs / 1000, missed.empty() ? "true" : "false");
        return line;
    }
    std::string out = "    beat ms  kind      heard s  offset ms (+: music early)  grab +/- ms\n";
    for (const BeatMeasure& beat : m.beats) {
        const char* kind = beat.flash ? "flash" : "picture";
        const double heardS = (beat.heardUs - m.originUs) / 1e6;
        if (beat.seen)
            std::snprintf(line, sizeof line, "%11u  %-8s %8.3f  %+9.1f  %27.1f\n", beat.beatMs, kind,
                          heardS, beat.offsetMs(), beat.seen->boundUs / 1000);
        else
            std::snprintf(line, sizeof line, "%11u  %-8s %8.3f  %9s\n", beat.beatMs, kind, heardS,
                          "not seen");
        out += line;
    }
    std::snprintf(line, sizeof line,
                  "beats seen %d of %zu (flashes %d of %d, picture changes %d of %d); "
                  "music not heard at %zu beats; grabs too far apart at %zu\n"
                  "common picture lag behind the music %+.1f ms\n"
                  "mean %+.1f ms  range %+.1f .. %+.1f ms  max |offset| %.1f ms  early by more "
                  "than 15 ms: %d\n",
                  s.beats, m.beats.size(), flashesSeen, flashes, picturesSeen, pictures,
                  m.notHeard.size(), m.grabbedLate.size(), m.commonUs / 1000, s.meanMs, s.minMs, s.maxMs, s.maxAbsMs,
                  s.earlyOver15);
    out += line;
    out += "distribution: " + offsetDistribution(offsets) + "\n";
    std::snprintf(line, sizeof line,
                  "error bound: grab time stamps place a change within +/- %.1f ms; the sound, "
                  "timed by its sample count, within +/- %.1f ms (its anchor's stamps)\n",
                  m.grabBoundUs / 1000, m.soundBoundUs / 1000);
    out += line;
    if (missed.empty()) return out + "goals met: every beat seen within -20..+15 ms\n";
    out += "goals missed:\n";
    for (const std::string& reason : missed) out += "  " + reason + "\n";
    return out;
}

}  // namespace bench
