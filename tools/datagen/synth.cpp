#include "soundtrack.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Dt = 1.0 / SampleRate;

double midiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// Deterministic white noise, -1..1.
struct Noise {
    uint32_t state;
    explicit Noise(uint32_t seed) : state(seed * 2654435761U + 12345U) {}
    double next() {
        state ^= state << 13; state ^= state >> 17; state ^= state << 5;
        return double(state) / 2147483648.0 - 1.0;
    }
};

// Band-limited sawtooth (polyBLEP), phase 0..1.
struct Saw {
    double phase = 0;
    double next(double hz) {
        const double dp = hz * Dt;
        phase += dp;
        if (phase >= 1.0) phase -= 1.0;
        double v = 2.0 * phase - 1.0;
        if (phase < dp) { const double t = phase / dp; v -= t + t - t * t - 1.0; }
        else if (phase > 1.0 - dp) { const double t = (phase - 1.0) / dp; v -= t * t + t + t + 1.0; }
        return v;
    }
};

// State-variable filter (topology-preserving); cutoff in Hz, resonance 0..1.
struct Svf {
    double ic1 = 0, ic2 = 0, g = 0, k = 1, a1 = 0, a2 = 0, a3 = 0;
    void set(double hz, double res) {
        hz = std::clamp(hz, 20.0, SampleRate * 0.45);
        g = std::tan(Pi * hz * Dt);
        k = 2.0 - 1.9 * res;
        a1 = 1.0 / (1.0 + g * (g + k)); a2 = g * a1; a3 = g * a2;
    }
    // Returns low-pass; band and high are left in the out parameters.
    double run(double x, double* band = nullptr, double* high = nullptr) {
        const double v3 = x - ic2;
        const double v1 = a1 * ic1 + a2 * v3;
        const double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1; ic2 = 2 * v2 - ic2;
        if (band) *band = v1;
        if (high) *high = x - k * v1 - v2;
        return v2;
    }
};

struct Buses {
    std::vector<float> left, right, reverb, delay;
    std::vector<float> duckedLeft, duckedRight;  // pads, bass and arpeggio: ducked by the kick
    explicit Buses(size_t n) : left(n), right(n), reverb(n), delay(n), duckedLeft(n), duckedRight(n) {}
};

// Renders one note into the buses. Each voice is a small patch; `t` is seconds into the note.
void renderNote(const Note& n, uint32_t seed, Buses& b) {
    const size_t total = b.left.size();
    const size_t start = size_t(std::llround(n.startMs * SampleRate / 1000.0));
    if (start >= total) return;
    const double held = n.lengthMs / 1000.0;
    double tail = 0.5;  // seconds rendered after the held length
    double reverbSend = 0.0, delaySend = 0.0, gain = 1.0;
    switch (n.voice) {
        case Voice::Kick: tail = 1.2; gain = 0.95; break;
        case Voice::Snare: tail = 0.4; gain = 0.5; reverbSend = 0.25; break;
        case Voice::Clap: tail = 0.4; gain = 0.45; reverbSend = 0.3; break;
        case Voice::Hat: tail = 0.12; gain = 0.16; break;
        case Voice::OpenHat: tail = 0.4; gain = 0.14; break;
        case Voice::Crash: tail = 2.2; gain = 0.2; reverbSend = 0.2; break;
        case Voice::Bass: tail = 0.05; gain = 0.34; break;
        case Voice::Pad: tail = 1.2; gain = 0.075; reverbSend = 0.5; break;
        case Voice::Pluck: tail = 0.4; gain = 0.1; delaySend = 0.45; reverbSend = 0.2; break;
        case Voice::Lead: tail = 0.25; gain = 0.16; delaySend = 0.35; reverbSend = 0.3; break;
        case Voice::Stab: tail = 0.9; gain = 0.13; reverbSend = 0.45; delaySend = 0.15; break;
        case Voice::Riser: tail = 0.05; gain = 0.22; reverbSend = 0.4; break;
    }
    const bool drum = n.voice == Voice::Kick || n.voice == Voice::Snare || n.voice == Voice::Clap ||
                      n.voice == Voice::Hat || n.voice == Voice::OpenHat || n.voice == Voice::Crash ||
                      n.voice == Voice::Stab;
    const bool ducked = n.voice == Voice::Pad || n.voice == Voice::Bass || n.voice == Voice::Pluck;
    const size_t count = std::min(total - start, size_t((drum ? tail : held + tail) * SampleRate));
    const double hz = midiHz(n.pitch);
    const double vel = n.velocity;
    const float panL = float(std::sqrt(0.5 * (1.0 - n.pan))), panR = float(std::sqrt(0.5 * (1.0 + n.pan)));

    Noise noise(seed);
    Saw s1, s2, s3, s4;
    s2.phase = 0.31; s3.phase = 0.67; s4.phase = 0.5;
    Svf f1;
    double kickPhase = 0;
    for (size_t i = 0; i < count; ++i) {
        const double t = double(i) * Dt;
        double out = 0.0;
        switch (n.voice) {
            case Voice::Kick: {
                const double f = 45.0 + 120.0 * std::exp(-t / 0.03);
                kickPhase += f * Dt;
                out = std::sin(2 * Pi * kickPhase) * std::exp(-t / 0.3);
                if (t < 0.004) out += noise.next() * 0.6 * (1.0 - t / 0.004);
                out = std::tanh(out * 1.6) * vel;
                break;
            }
            case Voice::Snare: {
                if (i % 32 == 0) f1.set(3500.0, 0.2);
                const double body = (std::sin(2 * Pi * 190.0 * t) + 0.5 * std::sin(2 * Pi * 330.0 * t)) * std::exp(-t / 0.05);
                double band;
                f1.run(noise.next(), &band);
                out = (0.6 * body + 1.6 * band * std::exp(-t / 0.13)) * vel;
                break;
            }
            case Voice::Clap: {
                if (i == 0) f1.set(1300.0, 0.5);
                double band;
                f1.run(noise.next(), &band);
                const double env = t < 0.03 ? std::exp(-std::fmod(t, 0.01) / 0.003) : std::exp(-(t - 0.03) / 0.12);
                out = 2.2 * band * env * vel;
                break;
            }
            case Voice::Hat:
            case Voice::OpenHat: {
                if (i == 0) f1.set(7500.0, 0.1);
                double high;
                f1.run(noise.next(), nullptr, &high);
                out = high * std::exp(-t / (n.voice == Voice::Hat ? 0.025 : 0.15)) * vel;
                break;
            }
            case Voice::Crash: {
                if (i == 0) f1.set(5000.0, 0.0);
                double high;
                f1.run(noise.next(), nullptr, &high);
                const double metal = std::sin(2 * Pi * 3210.0 * t) * std::sin(2 * Pi * 4730.0 * t);
                out = (high + 0.3 * metal) * std::exp(-t / 0.8) * vel;
                break;
            }
            case Voice::Bass: {
                if (i % 16 == 0) f1.set(120.0 + 900.0 * vel * std::exp(-t / 0.09), 0.45);
                const double osc = 0.7 * s1.next(hz) + 0.5 * s2.next(hz * 1.003);
                const double sub = std::sin(2 * Pi * hz * t);
                const double env = std::min(1.0, t / 0.003) * (t < held ? 1.0 : std::exp(-(t - held) / 0.015));
                out = (f1.run(osc) + 0.6 * sub) * env * vel;
                break;
            }
            case Voice::Pad: {
                if (i % 64 == 0) f1.set(900.0 + 500.0 * std::sin(2 * Pi * 0.15 * (n.startMs / 1000.0 + t)), 0.25);
                const double osc = s1.next(hz * 0.996) + s2.next(hz * 1.004) + s3.next(hz * 2.002) * 0.4;
                const double env = std::min(1.0, t / 0.35) * (t < held ? 1.0 : std::exp(-(t - held) / 0.35));
                out = f1.run(osc) * env * vel;
                break;
            }
            case Voice::Pluck: {
                if (i % 16 == 0) f1.set(400.0 + 4000.0 * vel * std::exp(-t / 0.06), 0.35);
                const double osc = s1.next(hz) + 0.6 * s2.next(hz * 2.0);
                out = f1.run(osc) * std::exp(-t / 0.16) * std::min(1.0, t / 0.002) * vel;
                break;
            }
            case Voice::Lead: {
                const double vib = 1.0 + 0.004 * std::sin(2 * Pi * 5.5 * t) * std::min(1.0, std::max(0.0, t - 0.15) / 0.2);
                if (i % 16 == 0) f1.set(1400.0 + 2200.0 * std::exp(-t / 0.2), 0.3);
                const double osc = s1.next(hz * vib) + s2.next(hz * vib * 1.006) + 0.5 * s3.next(hz * vib * 0.5);
                const double env = std::min(1.0, t / 0.008) * (t < held ? 1.0 - 0.25 * std::min(1.0, t / 0.4) : 0.75 * std::exp(-(t - held) / 0.08));
                out = f1.run(osc) * env * vel;
                break;
            }
            case Voice::Stab: {
                // One tone of a chord stab: detuned saws and an octave, snapping filter.
                if (i % 16 == 0) f1.set(500.0 + 7000.0 * std::exp(-t / 0.06), 0.3);
                const double osc = s1.next(hz) + s2.next(hz * 1.004) + 0.5 * s3.next(hz * 2.0) +
                                   0.4 * s4.next(hz * 0.5);
                out = f1.run(osc) * std::exp(-t / 0.22) * vel;
                break;
            }
            case Voice::Riser: {
                const double p = std::min(1.0, t / std::max(held, 0.01));
                if (i % 16 == 0) f1.set(300.0 * std::pow(30.0, p), 0.6);
                double band;
                f1.run(noise.next(), &band);
                out = band * p * p * (t < held ? 1.0 : 0.0) * 1.5;
                break;
            }
        }
        // Every voice fades out over its last 5 ms instead of stopping with a click.
        const size_t left = count - i;
        if (left < size_t(SampleRate / 200)) out *= double(left) / (SampleRate / 200.0);
        const float v = float(out * gain);
        (ducked ? b.duckedLeft : b.left)[start + i] += v * panL;
        (ducked ? b.duckedRight : b.right)[start + i] += v * panR;
        b.reverb[start + i] += float(out * gain * reverbSend);
        b.delay[start + i] += float(out * gain * delaySend);
    }
}

// Small Schroeder reverb: parallel combs into series all-passes, slightly different per side.
void addReverb(const std::vector<float>& in, std::vector<float>& outL, std::vector<float>& outR) {
    const int combs[2][4] = {{1557, 1617, 1491, 1422}, {1580, 1640, 1514, 1445}};
    const int passes[2] = {556, 441};
    for (int side = 0; side < 2; ++side) {
        std::vector<float>& out = side == 0 ? outL : outR;
        std::vector<double> wet(in.size(), 0.0);
        for (int c = 0; c < 4; ++c) {
            std::vector<double> line(size_t(combs[side][c]) * 2, 0.0);
            const size_t len = size_t(combs[side][c]) * 2;
            size_t pos = 0;
            double damp = 0;
            for (size_t i = 0; i < in.size(); ++i) {
                const double y = line[pos];
                damp = y * 0.6 + damp * 0.4;
                line[pos] = in[i] + damp * 0.84;
                wet[i] += y;
                pos = (pos + 1) % len;
            }
        }
        for (int p = 0; p < 2; ++p) {
            std::vector<double> line(size_t(passes[p]), 0.0);
            size_t pos = 0;
            for (double& x : wet) {
                const double buf = line[pos];
                const double y = -x + buf;
                line[pos] = x + buf * 0.5;
                x = y;
                pos = (pos + 1) % line.size();
            }
        }
        for (size_t i = 0; i < in.size(); ++i) out[i] += float(wet[i] * 0.12);
    }
}

// Ping-pong delay of a dotted eighth (three 16ths at 136 BPM).
void addDelay(const std::vector<float>& in, std::vector<float>& outL, std::vector<float>& outR) {
    const size_t d = size_t(std::lround(3.0 * 60.0 / 136.0 / 4.0 * SampleRate));
    std::vector<double> l(in.size(), 0.0), r(in.size(), 0.0);
    for (size_t i = 0; i < in.size(); ++i) {
        const double fromR = i >= d ? r[i - d] : 0.0;
        const double fromL = i >= d ? l[i - d] : 0.0;
        l[i] = in[i] + 0.45 * fromR;
        r[i] = 0.45 * fromL;
        outL[i] += float(fromL * 0.7);
        outR[i] += float(fromR * 0.7);
    }
}

}  // namespace

Pcm renderNotes(const std::vector<Note>& notes, double lengthMs) {
    const size_t n = size_t(lengthMs * SampleRate / 1000.0);
    Buses b(n);
    for (size_t i = 0; i < notes.size(); ++i) renderNote(notes[i], uint32_t(i + 1), b);
    // Kicks push the sustained parts down briefly, so the beat breathes.
    std::vector<float> duck(n, 1.0f);
    for (const Note& k : notes) {
        if (k.voice != Voice::Kick) continue;
        const size_t at = size_t(std::llround(k.startMs * SampleRate / 1000.0));
        for (size_t i = 0; i < size_t(0.3 * SampleRate) && at + i < n; ++i)
            duck[at + i] = std::min(duck[at + i], float(1.0 - 0.45 * k.velocity * std::exp(-double(i) / (0.09 * SampleRate))));
    }
    for (size_t i = 0; i < n; ++i) {
        b.left[i] += b.duckedLeft[i] * duck[i];
        b.right[i] += b.duckedRight[i] * duck[i];
    }
    addReverb(b.reverb, b.left, b.right);
    addDelay(b.delay, b.left, b.right);
    // Gentle bus saturation, then a fixed output level: peaks at -1.5 dBFS.
    Pcm pcm;
    pcm.left.resize(n);
    pcm.right.resize(n);
    float peak = 1e-6f;
    for (size_t i = 0; i < n; ++i) {
        pcm.left[i] = float(std::tanh(b.left[i] * 1.2));
        pcm.right[i] = float(std::tanh(b.right[i] * 1.2));
        peak = std::max({peak, std::abs(pcm.left[i]), std::abs(pcm.right[i])});
    }
    const float scale = 0.84f / peak;
    const size_t fade = size_t(1.5 * SampleRate);
    for (size_t i = 0; i < n; ++i) {
        const float f = i + fade > n ? float(n - i) / float(fade) : 1.0f;
        pcm.left[i] *= scale * f;
        pcm.right[i] *= scale * f;
    }
    return pcm;
}

Pcm renderSoundtrack() {
    return renderNotes(writeScore(makeTempoMap()), SoundtrackMs);
}
