#include "soundtrack.h"

#include "app/timeline.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>

// The piece: A minor at `Bpm`, ten sections that follow the show's scenes (see `Sections`).

namespace {

struct Chord {
    int root;                  // MIDI note of the bass root (octave 2)
    std::array<int, 3> tones;  // pad voicing, MIDI
};
using Progression = std::array<Chord, 4>;  // one chord per bar

// Am - F - C - G, and a darker Dm - Am - E - F for the break and the photographs.
constexpr Progression Main = {{{45, {57, 60, 64}}, {41, {57, 60, 65}}, {48, {55, 60, 64}}, {43, {55, 59, 62}}}};
constexpr Progression Dark = {{{38, {57, 62, 65}}, {45, {57, 60, 64}}, {40, {56, 59, 64}}, {41, {57, 60, 65}}}};

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

// One line of a step pattern: a voice plays on every 'x' of `hits` (one character per
// tick, repeating every 16 or 32 ticks of the section).
struct Line {
    Voice voice;
    const char* hits;
    float velocity;      // 0..1
    double length = 1;   // ticks held
    int pitch = 0;       // tonal voices: semitones above the bar's chord root
    float pan = 0;       // -1 left .. 1 right
    int bars = 0;        // plays only in the section's first `bars` bars; 0: throughout
};

// One part of the hit written on every accent tick.
struct Hit {
    Voice voice;
    double length;   // ticks
    float velocity;  // 0..1
    int pitch = 0;   // stabs: semitones above the bar's chord tones (all three are played)
};
constexpr Hit FlashHit[] = {{Voice::Stab, 2, 0.85f}, {Voice::Kick, 3, 1.0f}, {Voice::Crash, 8, 0.55f}};
constexpr Hit PictureHit[] = {{Voice::Stab, 2, 0.75f, 12}, {Voice::Kick, 2, 1.0f}, {Voice::Clap, 2, 0.8f}};

enum class Arp { None, Rising, Steady, Falling };  // the arpeggio's velocity over the section

struct Section {
    const Progression* chords;
    float pads = 0;                         // pad chord velocity; 0: no pads
    Arp arp = Arp::None;
    std::span<const Line> lines = {};       // bass and drums, in the order they are written each tick
    std::span<const Hit> hit = PictureHit;  // on the accent ticks
    std::span<const MelodyNote> theme = {};
    int themeFromBar = 0;
    int transpose = 0;                      // of the theme, semitones
    float lead = 0.7f;                      // theme velocity, 0..1
    float crash = 0;                        // crash on the first tick; 0: none
    bool riser = false;                     // a noise riser over the whole section
    bool fill = false;                      // a snare roll in the last bar
};

constexpr float Hat = 0.3f;  // pan of all hats
constexpr Line IntroLines[] = {{Voice::Bass, "x...............", 0.5f, 16}};
constexpr Line TitleLines[] = {
    {Voice::Bass, "x.......x.......", 0.6f, 6},
    {Voice::Kick, "x...............", 0.55f, 2},
    {Voice::Hat, "..x...x...x...x.", 0.35f, 1, 0, Hat}};
constexpr Line WarpLines[] = {
    {Voice::Bass, "x...x...x...x...", 0.75f, 1.6},
    {Voice::Bass, "..x...x...x...x.", 0.75f, 1.6, 12},
    {Voice::Kick, "x...x...x...x...", 0.9f, 2},
    {Voice::Snare, "....x.......x...", 0.75f, 2},
    {Voice::Hat, "..x...x...x...x.", 0.55f, 1, 0, Hat},
    {Voice::Hat, "x...x...x...x...", 0.3f, 1, 0, Hat}};
constexpr Line GrooveLines[] = {
    {Voice::Bass, "x...x...x...x...", 0.75f, 1.6},
    {Voice::Bass, "..x...x...x...x.", 0.75f, 1.6, 12},
    {Voice::Kick, "x...x...x...x...", 0.9f, 2},
    {Voice::Kick, "..........................x.....", 0.7f, 2},
    {Voice::Snare, "....x.......x...", 0.75f, 2},
    {Voice::OpenHat, "..............x.", 0.45f, 2, 0, Hat},
    {Voice::Hat, "..x...x...x.....", 0.55f, 1, 0, Hat},
    {Voice::Hat, ".x.x.x.x.x.x.x.x", 0.22f, 1, 0, Hat},
    {Voice::Hat, "x...x...x...x...", 0.3f, 1, 0, Hat}};
constexpr Line PictureLines[] = {
    {Voice::Bass, "x...x..xx...x..x", 0.8f, 1.5},
    {Voice::Bass, "...x.......x....", 0.8f, 1.5, 12},
    {Voice::Hat, "..x...x...x...x.", 0.5f, 1, 0, Hat},
    {Voice::Hat, "x...x...x...x...", 0.28f, 1, 0, Hat},
    {Voice::Kick, "x...............", 0.6f, 2}};
constexpr Line PhotoLines[] = {
    {Voice::Bass, "x.....x...x.....", 0.7f, 3},
    {Voice::Kick, "x.........x.....", 0.8f, 2},
    {Voice::Snare, "........x.......", 0.65f, 2},
    {Voice::Hat, "..x...x...x...x.", 0.35f, 1, 0, Hat}};
constexpr Line ClosingLines[] = {
    {Voice::Bass, "x...............", 0.6f, 14, 0, 0, 2},
    {Voice::Kick, "x...x...x...x...................", 0.7f, 2, 0, 0, 2},
    {Voice::Kick, "................x...x...x...x...", 0.5f, 2, 0, 0, 2}};

// One per scene, in the show's order.
constexpr std::array<Section, 10> Sections = {{
    // intro: pads, a slowly opening arpeggio, whole-bar bass; big hits on the flash beats
    {.chords = &Main, .pads = 0.55f, .arp = Arp::Rising, .lines = IntroLines, .hit = FlashHit},
    // title: the first theme over pads, a light beat
    {.chords = &Main, .pads = 0.42f, .lines = TitleLines, .theme = ThemeA, .crash = 0.8f},
    // warp: drums and rolling bass come in
    {.chords = &Main, .pads = 0.42f, .arp = Arp::Steady, .lines = WarpLines, .crash = 0.8f, .fill = true},
    // particles: full groove, the second theme from bar 4, hits once the picture beats begin
    {.chords = &Main, .pads = 0.42f, .arp = Arp::Steady, .lines = GrooveLines, .theme = ThemeB,
     .themeFromBar = 4, .crash = 0.8f, .fill = true},
    // pictures: no pads; the picture beats drive the drums
    {.chords = &Main, .lines = PictureLines, .crash = 0.8f},
    // break: dark pads and a noise riser only
    {.chords = &Dark, .pads = 0.42f, .riser = true},
    // photographs: half-time, the first theme an octave down
    {.chords = &Dark, .pads = 0.42f, .lines = PhotoLines, .theme = ThemeA, .transpose = -12, .lead = 0.55f,
     .crash = 0.8f},
    // greetings: full groove, the first theme
    {.chords = &Main, .pads = 0.42f, .lines = GrooveLines, .theme = ThemeA, .crash = 0.8f, .fill = true},
    // logo: full groove, the second theme, arpeggio
    {.chords = &Main, .pads = 0.42f, .arp = Arp::Steady, .lines = GrooveLines, .theme = ThemeB, .lead = 0.6f,
     .crash = 0.8f},
    // closing: the drums drop out after two bars, arpeggio and pads fade out
    {.chords = &Main, .pads = 0.5f, .arp = Arp::Falling, .lines = ClosingLines, .crash = 0.5f},
}};
static_assert(Sections.size() == Timeline.size(), "one section per scene");

constexpr int ArpOrder[8] = {0, 1, 2, 3, 2, 1, 3, 1};  // chord tone per step; 3: the root an octave up

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

// Where a tick lies: its section (the span [first, last) of ticks) and position in it.
struct Place {
    const Section& section;
    int first, last, tick;
    int pos() const { return tick - first; }
    int step() const { return pos() % 16; }
    int bar() const { return pos() / 16; }
    const Chord& chord() const { return (*section.chords)[size_t(bar() % 4)]; }
};

void writePads(Writer& w, const Place& p) {
    if (p.section.pads <= 0 || p.step() != 0) return;
    for (size_t k = 0; k < 3; ++k)
        w.note(Voice::Pad, p.tick, std::min(16, p.last - p.tick), float(p.chord().tones[k]), p.section.pads,
               -0.5f + 0.5f * float(k));
}

void writeArp(Writer& w, const Place& p) {
    if (p.section.arp == Arp::None) return;
    const int tone = ArpOrder[p.step() % 8];
    const int pitch = tone == 3 ? p.chord().tones[0] + 12 : p.chord().tones[size_t(tone)] + 12;
    const float pos = float(p.pos()), length = float(p.last - p.first);
    float vel = 0.5f + 0.2f * float(p.step() % 4 == 0);
    if (p.section.arp == Arp::Rising) vel *= 0.35f + 0.65f * pos / length;
    if (p.section.arp == Arp::Falling) vel *= std::max(0.0f, 1.0f - pos / length);
    w.note(Voice::Pluck, p.tick, 1, float(pitch), vel, p.step() % 2 ? 0.45f : -0.45f);
}

// Kick lines rest while `kicksRest` (from a bar before an accent up to it: there the hits carry the beat).
void writeLines(Writer& w, const Place& p, bool kicksRest) {
    for (const Line& l : p.section.lines) {
        const size_t period = std::char_traits<char>::length(l.hits);
        if (l.hits[size_t(p.pos()) % period] != 'x' || (l.bars > 0 && p.bar() >= l.bars)) continue;
        if (kicksRest && l.voice == Voice::Kick) continue;
        w.note(l.voice, p.tick, std::min(l.length, double(p.last - p.tick)), float(p.chord().root + l.pitch),
               l.velocity, l.pan);
    }
}

void writeTheme(Writer& w, const Place& p) {
    const Section& s = p.section;
    if (s.theme.empty() || p.bar() < s.themeFromBar) return;
    for (const MelodyNote& m : s.theme)
        if (m.tick == p.pos() % 64 && p.tick + m.length <= p.last)
            w.note(Voice::Lead, p.tick, m.length, float(m.pitch + s.transpose), s.lead);
}

void writeHit(Writer& w, const Place& p) {
    for (const Hit& h : p.section.hit) {
        if (h.voice != Voice::Stab) { w.note(h.voice, p.tick, h.length, 0, h.velocity); continue; }
        for (size_t k = 0; k < 3; ++k)
            w.note(Voice::Stab, p.tick, h.length, float(p.chord().tones[k] + h.pitch), h.velocity, -0.4f + 0.4f * float(k));
    }
}

// The last hit where the show ends, then the A minor chord rings out.
void writeEnding(Writer& w, int tick) {
    for (int tone : {57, 60, 64}) w.note(Voice::Stab, tick, 8, float(tone), 0.9f);
    w.note(Voice::Kick, tick, 4, 0, 1.0f);
    w.note(Voice::Crash, tick, 16, 0, 0.7f);
    w.note(Voice::Pad, tick, 20, 45, 0.5f);
    w.note(Voice::Pad, tick, 20, 57, 0.5f, -0.5f);
    w.note(Voice::Pad, tick, 20, 64, 0.5f, 0.5f);
}

}  // namespace

std::vector<Note> writeScore(const TempoMap& map) {
    Writer w(map);
    std::vector<int> startTick;
    for (double s : sectionStartsMs()) startTick.push_back(s <= 0.0 ? 0 : map.tickAt(s));
    const int endTick = map.tickAt(double(ShowLengthMs));
    startTick.push_back(endTick);
    std::vector<int> accentTicks;
    for (double a : accentTimesMs()) accentTicks.push_back(map.tickAt(a));

    for (size_t i = 0; i < Sections.size(); ++i) {
        const Section& s = Sections[i];
        const int first = startTick[i], last = startTick[i + 1];
        if (s.crash > 0) w.note(Voice::Crash, first, 16, 0, s.crash);
        if (s.riser) w.note(Voice::Riser, first, last - first, 0, 0.8f);
        for (int t = first; t < last; ++t) {
            const Place p{s, first, last, t};
            writePads(w, p);
            writeArp(w, p);
            const auto next = std::lower_bound(accentTicks.begin(), accentTicks.end(), t);
            const bool accent = next != accentTicks.end() && *next == t;
            writeLines(w, p, next != accentTicks.end() && *next <= t + 16);
            writeTheme(w, p);
            // A snare roll into the next section.
            if (s.fill && last - t <= 16 && p.step() >= 8) w.note(Voice::Snare, t, 1, 0, 0.25f + 0.04f * float(p.step() - 8));
            if (accent) writeHit(w, p);
        }
    }
    writeEnding(w, endTick);
    return w.notes;
}
