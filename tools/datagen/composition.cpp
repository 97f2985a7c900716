#include "soundtrack.h"

#include "app/timeline.h"

#include <algorithm>
#include <array>
#include <cmath>

// The piece: A minor, 136 BPM, ten sections that follow the show's scenes.
//  0 intro: pads, a slowly opening arpeggio, big hits on the flash beats
//  1 title: the lead theme enters over pads, light hats
//  2 warp: drums and rolling bass come in
//  3 particles: full groove, second theme, stabs once the picture beats begin
//  4 pictures: the picture beats drive the drums (kick and clap on every beat)
//  5 break: pads and a noise riser only
//  6 photographs: half-time groove, theme an octave down
//  7 greetings: full groove again
//  8 logo: full groove, second theme
//  9 closing: drums drop out, arpeggio and pads fade, last hit at the end of the show

namespace {

struct Chord {
    int root;                 // MIDI note of the bass root (octave 2)
    std::array<int, 3> tones; // pad voicing, MIDI
};

// Am - F - C - G, and a darker Dm - Am - E - F for the break and the photographs.
constexpr std::array<Chord, 4> Main = {{{45, {57, 60, 64}}, {41, {57, 60, 65}},
                                        {48, {55, 60, 64}}, {43, {55, 59, 62}}}};
constexpr std::array<Chord, 4> Dark = {{{38, {57, 62, 65}}, {45, {57, 60, 64}},
                                        {40, {56, 59, 64}}, {41, {57, 60, 65}}}};

struct MelodyNote {
    int tick, length, pitch;  // ticks within the 4-bar phrase, MIDI
};
constexpr MelodyNote ThemeA[] = {
    {0, 4, 69}, {4, 2, 72}, {6, 4, 76}, {10, 2, 74}, {12, 4, 72},
    {16, 6, 69}, {22, 2, 67}, {24, 4, 69}, {28, 4, 72},
    {32, 4, 67}, {36, 2, 76}, {38, 4, 74}, {42, 2, 72}, {44, 4, 74},
    {48, 6, 71}, {54, 2, 69}, {56, 4, 67}, {60, 4, 71}};
constexpr MelodyNote ThemeB[] = {
    {0, 6, 76}, {6, 2, 81}, {8, 4, 79}, {12, 4, 76},
    {16, 4, 77}, {20, 2, 76}, {22, 4, 72}, {26, 6, 69},
    {32, 4, 79}, {36, 4, 76}, {40, 2, 72}, {42, 2, 74}, {44, 4, 76},
    {48, 8, 74}, {56, 4, 71}, {60, 4, 74}};

constexpr int ArpOrder[8] = {0, 1, 2, 3, 2, 1, 3, 1};

class Writer {
public:
    explicit Writer(const TempoMap& map) : map_(map) {}

    void note(Voice v, double tick, double lengthTicks, float pitch, float vel, float pan = 0.0f) {
        const double start = map_.msAt(tick);
        notes.push_back({v, start, map_.msAt(tick + lengthTicks) - start, pitch, vel, pan});
    }
    std::vector<Note> notes;

private:
    const TempoMap& map_;
};

}  // namespace

std::vector<Note> writeScore(const TempoMap& map) {
    Writer w(map);
    std::vector<double> starts = sectionStartsMs();
    std::vector<int> startTick;
    for (double s : starts) startTick.push_back(s <= 0.0 ? 0 : map.tickAt(s));
    const int endTick = map.tickAt(double(ShowLengthMs));
    startTick.push_back(endTick);
    std::vector<int> accentTicks;
    for (double a : accentTimesMs()) accentTicks.push_back(map.tickAt(a));
    auto isAccent = [&](int t) {
        return std::binary_search(accentTicks.begin(), accentTicks.end(), t);
    };

    for (int section = 0; section < SceneCount; ++section) {
        const int first = startTick[size_t(section)], last = startTick[size_t(section) + 1];
        const bool dark = section == 5 || section == 6;
        const auto& chords = dark ? Dark : Main;
        if (section > 0 && section != 5) w.note(Voice::Crash, first, 16, 0, section == 9 ? 0.5f : 0.8f);
        if (section == 5) w.note(Voice::Riser, first, last - first, 0, 0.8f);

        for (int t = first; t < last; ++t) {
            const int pos = t - first, step = pos % 16, bar = pos / 16;
            const Chord& chord = chords[size_t(bar % 4)];
            const int barsLeft = (last - t + 15) / 16;

            // Pads: one chord per bar, held to the bar's end (or the section's).
            if (step == 0 && section != 4) {
                const int len = std::min(16, last - t);
                const float vel = section == 0 ? 0.55f : (section == 9 ? 0.5f : 0.42f);
                for (size_t k = 0; k < 3; ++k)
                    w.note(Voice::Pad, t, len, float(chord.tones[k]), vel, -0.5f + 0.5f * float(k));
            }
            // Arpeggio: sixteenths over the chord, opening up during the intro.
            const bool arp = section == 0 || section == 2 || section == 3 || section == 8 || section == 9;
            if (arp) {
                const int tone = ArpOrder[step % 8];
                const int pitch = tone == 3 ? chord.tones[0] + 12 : chord.tones[size_t(tone)] + 12;
                float vel = 0.5f + 0.2f * float(step % 4 == 0);
                if (section == 0) vel *= 0.35f + 0.65f * float(pos) / float(last - first);
                if (section == 9) vel *= std::max(0.0f, 1.0f - float(pos) / float(last - first));
                w.note(Voice::Pluck, t, 1, float(pitch), vel, step % 2 ? 0.45f : -0.45f);
            }
            // Bass.
            if (section == 0 && step == 0) w.note(Voice::Bass, t, std::min(16, last - t), float(chord.root), 0.5f);
            if (section == 1 && step % 8 == 0) w.note(Voice::Bass, t, 6, float(chord.root), 0.6f);
            if ((section == 2 || section == 3 || section == 7 || section == 8) && step % 2 == 0)
                w.note(Voice::Bass, t, 1.6, float(chord.root + (step % 4 == 2 ? 12 : 0)), 0.75f);
            if (section == 4 && (step % 4 == 0 || step % 4 == 3))
                w.note(Voice::Bass, t, 1.5, float(chord.root + (step == 3 || step == 11 ? 12 : 0)), 0.8f);
            if (section == 6 && (step == 0 || step == 6 || step == 10))
                w.note(Voice::Bass, t, 3, float(chord.root), 0.7f);
            if (section == 9 && step == 0 && bar < 2) w.note(Voice::Bass, t, 14, float(chord.root), 0.6f);

            // Lead themes.
            const MelodyNote* theme = nullptr;
            size_t themeSize = 0;
            int transpose = 0;
            float leadVel = 0.7f;
            if (section == 1 || section == 7) { theme = ThemeA; themeSize = std::size(ThemeA); }
            if (section == 3 && bar >= 4) { theme = ThemeB; themeSize = std::size(ThemeB); }
            if (section == 6) { theme = ThemeA; themeSize = std::size(ThemeA); transpose = -12; leadVel = 0.55f; }
            if (section == 8) { theme = ThemeB; themeSize = std::size(ThemeB); leadVel = 0.6f; }
            if (theme)
                for (size_t k = 0; k < themeSize; ++k)
                    if (theme[k].tick == pos % 64 && t + theme[k].length <= last)
                        w.note(Voice::Lead, t, theme[k].length, float(theme[k].pitch + transpose), leadVel);

            // Drums.
            const bool groove = section == 2 || section == 3 || section == 7 || section == 8;
            if (groove) {
                if (step % 4 == 0) w.note(Voice::Kick, t, 2, 0, 0.9f);
                if (section >= 3 && bar % 2 == 1 && step == 10) w.note(Voice::Kick, t, 2, 0, 0.7f);
                if (step == 4 || step == 12) w.note(Voice::Snare, t, 2, 0, 0.75f);
                const float hat = step % 4 == 2 ? 0.55f : (step % 2 ? 0.22f : 0.3f);
                if (step == 14 && section != 2) w.note(Voice::OpenHat, t, 2, 0, 0.45f, 0.3f);
                else if (section != 2 || step % 2 == 0) w.note(Voice::Hat, t, 1, 0, hat, 0.3f);
                // A snare roll into the next section.
                if (barsLeft == 1 && step >= 8 && section != 8) w.note(Voice::Snare, t, 1, 0, 0.25f + 0.04f * float(step - 8));
            }
            if (section == 1) {
                if (step == 0) w.note(Voice::Kick, t, 2, 0, 0.55f);
                if (step % 4 == 2) w.note(Voice::Hat, t, 1, 0, 0.35f, 0.3f);
            }
            if (section == 4) {
                if (step % 2 == 0) w.note(Voice::Hat, t, 1, 0, step % 4 == 2 ? 0.5f : 0.28f, 0.3f);
                if (step == 0 && !isAccent(t)) w.note(Voice::Kick, t, 2, 0, 0.6f);
            }
            if (section == 6) {
                if (step == 0 || step == 10) w.note(Voice::Kick, t, 2, 0, 0.8f);
                if (step == 8) w.note(Voice::Snare, t, 2, 0, 0.65f);
                if (step % 4 == 2) w.note(Voice::Hat, t, 1, 0, 0.35f, 0.3f);
            }
            if (section == 9 && bar < 2 && step % 4 == 0) w.note(Voice::Kick, t, 2, 0, 0.7f - 0.2f * float(bar));

            // Accents: flash beats in the intro are deep hits; picture beats are stabs
            // layered with kick and clap.
            if (isAccent(t)) {
                const Chord& c = chords[size_t(bar % 4)];
                for (size_t k = 0; k < 3; ++k)
                    w.note(Voice::Stab, t, 2, float(c.tones[k] + (section == 0 ? 0 : 12)), section == 0 ? 0.85f : 0.75f,
                           -0.4f + 0.4f * float(k));
                if (section == 0) {
                    w.note(Voice::Kick, t, 3, 0, 1.0f);
                    w.note(Voice::Crash, t, 8, 0, 0.55f);
                } else {
                    w.note(Voice::Kick, t, 2, 0, 1.0f);
                    w.note(Voice::Clap, t, 2, 0, 0.8f);
                }
            }
        }
    }
    // Last hit where the show ends, then the tail rings out.
    for (int tone : {57, 60, 64}) w.note(Voice::Stab, endTick, 8, float(tone), 0.9f);
    w.note(Voice::Kick, endTick, 4, 0, 1.0f);
    w.note(Voice::Crash, endTick, 16, 0, 0.7f);
    w.note(Voice::Pad, endTick, 20, 45, 0.5f);
    w.note(Voice::Pad, endTick, 20, 57, 0.5f, -0.5f);
    w.note(Voice::Pad, endTick, 20, 64, 0.5f, 0.5f);
    return w.notes;
}
