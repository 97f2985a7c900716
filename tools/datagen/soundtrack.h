#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int SampleRate = 44100;        // Hz
inline constexpr double SoundtrackMs = 93000.0;  // total length, ms (the show ends at ShowLengthMs, 90596)
inline constexpr double Bpm = 136.0;             // quarter notes per minute
inline constexpr int StepsPerBeat = 4;           // the grid: sixteenth notes
inline constexpr double StepMs = 60000.0 / Bpm / StepsPerBeat;  // one grid step, ms (about 110.3)

// Stereo samples, -1..1.
struct Pcm {
    std::vector<float> left, right;
};

// Clock values (ms) the music must accent: the opening scene's flash beats and the picture
// scene's beats, ascending.
std::vector<double> accentTimesMs();
// Clock values (ms) where the show changes scene; the music changes section there too.
std::vector<double> sectionStartsMs();

// Tempo map: grid steps ("ticks") to ms. The grid runs at `Bpm` but bends slightly between
// the accent times so that each accent falls exactly on a tick.
struct TempoMap {
    std::vector<double> anchorTick, anchorMs;  // ascending pairs
    double msAt(double tick) const;
    int tickAt(double ms) const;  // the nearest tick
};
TempoMap makeTempoMap();

// One note of the score.
enum class Voice { Kick, Snare, Clap, Hat, OpenHat, Crash, Bass, Pad, Pluck, Lead, Stab, Riser };
inline constexpr size_t VoiceCount = size_t(Voice::Riser) + 1;
struct Note {
    Voice voice;
    double startMs;   // ms from the start of the track
    double lengthMs;  // held length, ms (release comes after)
    float pitch;      // MIDI note number (ignored by drums)
    float velocity;   // 0..1
    float pan;        // -1 left .. 1 right
};
std::vector<Note> writeScore(const TempoMap& map);

// Renders the whole track.
Pcm renderSoundtrack();
Pcm renderNotes(const std::vector<Note>& notes, double lengthMs);

// MP3 (44.1 kHz stereo, 192 kbit/s CBR) with the LAME tag in the first frame.
std::vector<uint8_t> encodeMp3(const Pcm& pcm);

// Onsets (ms) of a mono signal: moments where the short-term energy of the high-passed
// signal rises sharply above its recent level.
std::vector<double> detectOnsets(const std::vector<float>& mono, int sampleRate);
std::vector<float> mixToMono(const Pcm& pcm);

// Onset strength: the rise of the mono signal's energy from one 5 ms hop to the next, zero
// where it falls. The energy is the mean square under a Hann window of 2048 samples
// (46 ms): long enough that a steady tone, even a 45 Hz one, gives no rise of its own.
struct OnsetStrength {
    int hop = 0;               // samples per frame step (5 ms)
    double firstMs = 0;        // time of frame 0 (its window's middle), ms
    std::vector<double> flux;  // per frame, >= 0 (mean square per hop)
};
OnsetStrength onsetStrength(const std::vector<float>& mono, int sampleRate);

// How much one accent stands out from the onsets around it. Candidates are the local maxima
// of the strength (largest within +-15 ms), except those within 30 ms of any accent time.
struct AccentProminence {
    double ms = 0;            // the accent's time
    double strength = 0;      // largest strength within +-15 ms of it
    double neighbourP90 = 0;  // 90th percentile of the candidates within +-1 s
    double nearMax = 0;       // strongest candidate within +-500 ms
    double prominence() const { return neighbourP90 > 0 ? std::min(99.0, strength / neighbourP90) : 99.0; }
    bool strongest() const { return strength > nearMax; }
};
std::vector<AccentProminence> accentProminence(const std::vector<float>& mono, int sampleRate,
                                               const std::vector<double>& accentsMs);

// Text report: per section RMS and peak (dBFS), how close detected onsets lie to the accent
// times, and how much each accent stands out.
std::string soundtrackReport(const Pcm& pcm);
