#pragma once
// The synthesiser's voices: one table row (a patch) per voice with its envelope, level, sends and
// ducking, and a small function that makes its sound.
#include "dsp.h"
#include "soundtrack.h"

#include <cstddef>

// What one note's sound function works on: the note and the oscillators it keeps.
struct Tone {
    double hz = 0;      // pitch, Hz
    double vel = 0;     // velocity, 0..1 (brightens some voices; the level is applied outside)
    double held = 0;    // held length, s
    double startS = 0;  // when the note starts in the track, s
    dsp::Noise noise;
    dsp::Saw s1, s2, s3, s4;
    dsp::Svf filter;
    double phase = 0;   // a sine oscillator's phase, cycles
    explicit Tone(uint32_t seed) : noise(seed) {}
};

// The sound at `t` s into the note (`i` samples), about -1..1, before envelope and velocity.
using Sound = double (*)(Tone& tone, double t, size_t i);

struct Patch {
    const char* name;
    bool hit;         // a hit: the note's held length is ignored, it lasts its tail alone
    double tail;      // s rendered after the held length
    double attack;    // s of linear rise from 0; 0: none
    double decay;     // s, time constant of an exponential fall from the start; 0: none
    double release;   // s, time constant of the fall after the held length; 0: none
    double gain;      // linear level into the mix
    double reverb;    // reverb send, linear
    double delay;     // delay send, linear
    bool ducked;      // pushed down by every kick so the beat breathes
    bool choked;      // a new note of this voice cuts the ringing one (kicks would beat against each other)
    Sound sound;
};

const Patch& patch(Voice voice);

// The envelope of a note of patch `p` held for `held` s, at `t` s into it: 0..1.
double envelope(const Patch& p, double t, double held);
