#include "voices.h"

#include <array>
#include <cmath>

using dsp::Pi;

namespace {

// A sine falling from 165 to 45 Hz with a 4 ms click; the saturation rounds the start of
// the fall, so its decay lives inside.
double kick(Tone& o, double t, size_t) {
    o.phase += (45.0 + 120.0 * std::exp(-t / 0.03)) * dsp::Dt;
    double out = std::sin(2 * Pi * o.phase) * std::exp(-t / 0.2);
    if (t < 0.004) out += o.noise.next() * 0.6 * (1.0 - t / 0.004);
    return std::tanh(out * 1.6);
}

// A short two-tone body under band-passed noise, each with its own decay.
double snare(Tone& o, double t, size_t i) {
    if (i % 32 == 0) o.filter.set(3500.0, 0.2);
    const double body = (std::sin(2 * Pi * 190.0 * t) + 0.5 * std::sin(2 * Pi * 330.0 * t)) * std::exp(-t / 0.05);
    double band;
    o.filter.run(o.noise.next(), &band);
    return 0.6 * body + 1.6 * band * std::exp(-t / 0.13);
}

// Band-passed noise in three quick bursts 10 ms apart, then a short decay.
double clap(Tone& o, double t, size_t i) {
    if (i == 0) o.filter.set(1300.0, 0.5);
    double band;
    o.filter.run(o.noise.next(), &band);
    const double env = t < 0.03 ? std::exp(-std::fmod(t, 0.01) / 0.003) : std::exp(-(t - 0.03) / 0.12);
    return 2.2 * band * env;
}

// High-passed noise (closed and open hats differ by their decay).
double hiss(Tone& o, double, size_t i) {
    if (i == 0) o.filter.set(7500.0, 0.1);
    double high;
    o.filter.run(o.noise.next(), nullptr, &high);
    return high;
}

// Bright noise with a ring-modulated metallic tone.
double crash(Tone& o, double t, size_t i) {
    if (i == 0) o.filter.set(5000.0, 0.0);
    double high;
    o.filter.run(o.noise.next(), nullptr, &high);
    return high + 0.3 * std::sin(2 * Pi * 3210.0 * t) * std::sin(2 * Pi * 4730.0 * t);
}

// Two saws through a resonant low-pass that snaps shut (wider when played harder), over a sine.
double bass(Tone& o, double t, size_t i) {
    if (i % 16 == 0) o.filter.set(120.0 + 900.0 * o.vel * std::exp(-t / 0.09), 0.45);
    const double osc = 0.7 * o.s1.next(o.hz) + 0.5 * o.s2.next(o.hz * 1.003);
    return o.filter.run(osc) + 0.6 * std::sin(2 * Pi * o.hz * t);
}

// Three detuned saws (one an octave up) under a slowly sweeping low-pass.
double pad(Tone& o, double t, size_t i) {
    if (i % 64 == 0) o.filter.set(900.0 + 500.0 * std::sin(2 * Pi * 0.15 * (o.startS + t)), 0.25);
    return o.filter.run(o.s1.next(o.hz * 0.996) + o.s2.next(o.hz * 1.004) + o.s3.next(o.hz * 2.002) * 0.4);
}

// A saw and its octave through a low-pass that closes fast (opens wider when played harder).
double pluck(Tone& o, double t, size_t i) {
    if (i % 16 == 0) o.filter.set(400.0 + 4000.0 * o.vel * std::exp(-t / 0.06), 0.35);
    return o.filter.run(o.s1.next(o.hz) + 0.6 * o.s2.next(o.hz * 2.0));
}

// Three saws with a delayed vibrato; the level sinks by a quarter over the first 0.4 s.
double lead(Tone& o, double t, size_t i) {
    const double vib = 1.0 + 0.004 * std::sin(2 * Pi * 5.5 * t) * std::min(1.0, std::max(0.0, t - 0.15) / 0.2);
    if (i % 16 == 0) o.filter.set(1400.0 + 2200.0 * std::exp(-t / 0.2), 0.3);
    const double osc = o.s1.next(o.hz * vib) + o.s2.next(o.hz * vib * 1.006) + 0.5 * o.s3.next(o.hz * vib * 0.5);
    return o.filter.run(osc) * (1.0 - 0.25 * std::min(1.0, std::min(t, o.held) / 0.4));
}

// One tone of a chord stab: detuned saws, an octave each way, and a snapping filter.
double stab(Tone& o, double t, size_t i) {
    if (i % 16 == 0) o.filter.set(500.0 + 7000.0 * std::exp(-t / 0.06), 0.3);
    return o.filter.run(o.s1.next(o.hz) + o.s2.next(o.hz * 1.004) + 0.5 * o.s3.next(o.hz * 2.0) + 0.4 * o.s4.next(o.hz * 0.5));
}

// Noise through a band-pass that climbs five octaves while it swells; silent once let go.
double riser(Tone& o, double t, size_t i) {
    const double p = std::min(1.0, t / std::max(o.held, 0.01));
    if (i % 16 == 0) o.filter.set(300.0 * std::pow(30.0, p), 0.6);
    double band;
    o.filter.run(o.noise.next(), &band);
    return t < o.held ? 1.5 * band * p * p : 0.0;
}

// In the order of `Voice`.
constexpr std::array<Patch, VoiceCount> Voices = {{
    //  name      hit    tail  attack decay  release gain   reverb delay ducked choked sound
    {"kick",     true,  1.2,  0,     0,     0,      0.95,  0,     0,    false, true,  kick},
    {"snare",    true,  0.4,  0,     0,     0,      0.5,   0.25,  0,    false, false, snare},
    {"clap",     true,  0.4,  0,     0,     0,      0.45,  0.3,   0,    false, false, clap},
    {"hat",      true,  0.12, 0,     0.025, 0,      0.16,  0,     0,    false, false, hiss},
    {"open hat", true,  0.4,  0,     0.15,  0,      0.14,  0,     0,    false, false, hiss},
    {"crash",    true,  2.2,  0,     0.8,   0,      0.2,   0.2,   0,    false, false, crash},
    {"bass",     false, 0.05, 0.003, 0,     0.015,  0.34,  0,     0,    true,  false, bass},
    {"pad",      false, 1.2,  0.35,  0,     0.35,   0.075, 0.5,   0,    true,  false, pad},
    {"pluck",    false, 0.4,  0.002, 0.16,  0,      0.1,   0.2,   0.45, true,  false, pluck},
    {"lead",     false, 0.25, 0.008, 0,     0.08,   0.16,  0.3,   0.35, false, false, lead},
    {"stab",     true,  0.9,  0,     0.22,  0,      0.13,  0.45,  0.15, false, false, stab},
    {"riser",    false, 0.05, 0,     0,     0,      0.275, 0.4,   0,    false, false, riser},
}};
static_assert(Voices.back().sound != nullptr, "a row for every voice");

}  // namespace

const Patch& patch(Voice voice) { return Voices[size_t(voice)]; }

double envelope(const Patch& p, double t, double held) {
    double env = 1.0;
    if (p.attack > 0) env *= std::min(1.0, t / p.attack);
    if (p.decay > 0) env *= std::exp(-t / p.decay);
    if (p.release > 0 && t >= held) env *= std::exp(-(t - held) / p.release);
    return env;
}
