#pragma once
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int SampleRate = 44100;        // Hz
inline constexpr double SoundtrackMs = 93000.0;  // total length, ms (the show ends at ShowLengthMs, 90596)

// Stereo samples, -1..1.
struct Pcm {
    std::vector<float> left, right;
};

// Clock values (ms) the music must accent: the opening scene's flash beats and the picture
// scene's beats, ascending.
std::vector<double> accentTimesMs();
// Clock values (ms) where the show changes scene; the music changes section there too.
std::vector<double> sectionStartsMs();

// Tempo map: 16th-note ticks to ms. The grid runs at 136 BPM (a 16th is about 110.3 ms) but
// bends slightly between the accent times so that each accent falls exactly on a tick.
struct TempoMap {
    std::vector<double> anchorTick, anchorMs;  // ascending pairs
    double msAt(double tick) const;
    int tickAt(double ms) const;  // the nearest tick
};
TempoMap makeTempoMap();

// One note of the score.
enum class Voice { Kick, Snare, Clap, Hat, OpenHat, Crash, Bass, Pad, Pluck, Lead, Stab, Riser };
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

// Text report: per section RMS and peak (dBFS), and how close detected onsets lie to the
// accent times.
std::string soundtrackReport(const Pcm& pcm);
