#include "effects.h"
#include "soundtrack.h"
#include "voices.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

struct Buses {
    std::vector<float> left, right, reverb, delay;
    std::vector<float> duckedLeft, duckedRight;  // voices the kicks push down
    explicit Buses(size_t n) : left(n), right(n), reverb(n), delay(n), duckedLeft(n), duckedRight(n) {}
};

// Every note fades out over its last 5 ms instead of stopping with a click.
constexpr size_t FadeSamples = SampleRate / 200;

// Renders one note into the buses, at most `maxCount` samples of it; `seed` makes its noise.
void renderNote(const Note& n, uint32_t seed, size_t maxCount, Buses& b) {
    const Patch& v = patch(n.voice);
    const size_t start = size_t(std::llround(n.startMs * SampleRate / 1000.0));
    if (start >= b.left.size()) return;
    const double held = v.hit ? 0.0 : n.lengthMs / 1000.0;
    const size_t count = std::min({b.left.size() - start, size_t((held + v.tail) * SampleRate), maxCount});
    Tone tone(seed);
    tone.hz = dsp::midiHz(n.pitch);
    tone.vel = n.velocity;
    tone.held = held;
    tone.startS = n.startMs / 1000.0;
    tone.s2.phase = 0.31; tone.s3.phase = 0.67; tone.s4.phase = 0.5;
    const float panL = float(std::sqrt(0.5 * (1.0 - n.pan))), panR = float(std::sqrt(0.5 * (1.0 + n.pan)));
    float* left = (v.ducked ? b.duckedLeft : b.left).data() + start;
    float* right = (v.ducked ? b.duckedRight : b.right).data() + start;
    float* reverb = b.reverb.data() + start;
    float* delay = b.delay.data() + start;
    for (size_t i = 0; i < count; ++i) {
        const double t = double(i) * dsp::Dt;
        double out = v.sound(tone, t, i) * envelope(v, t, held) * n.velocity * v.gain;
        if (count - i < FadeSamples) out *= double(count - i) / double(FadeSamples);
        left[i] += float(out) * panL;
        right[i] += float(out) * panR;
        reverb[i] += float(out * v.reverb);
        delay[i] += float(out * v.delay);
    }
}

// How many samples each note may last: up to the next note of its voice if that voice is
// choked, else without limit.
std::vector<size_t> noteLimits(const std::vector<Note>& notes) {
    std::vector<size_t> limit(notes.size(), SIZE_MAX), order(notes.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return notes[a].startMs < notes[b].startMs; });
    std::vector<size_t> ringing(VoiceCount, SIZE_MAX);  // per voice: the last note started
    for (size_t i : order) {
        const Note& n = notes[i];
        if (!patch(n.voice).choked) continue;
        size_t& last = ringing[size_t(n.voice)];
        if (last != SIZE_MAX && n.startMs > notes[last].startMs)
            limit[last] = size_t(std::llround((n.startMs - notes[last].startMs) * SampleRate / 1000.0));
        last = i;
    }
    return limit;
}

// Kicks push the ducked voices down briefly: the gain (0..1) per sample.
std::vector<float> duckGain(const std::vector<Note>& notes, size_t n) {
    std::vector<float> duck(n, 1.0f);
    for (const Note& k : notes) {
        if (k.voice != Voice::Kick) continue;
        const size_t at = size_t(std::llround(k.startMs * SampleRate / 1000.0));
        for (size_t i = 0; i < size_t(0.3 * SampleRate) && at + i < n; ++i)
            duck[at + i] = std::min(duck[at + i], float(1.0 - 0.45 * k.velocity * std::exp(-double(i) / (0.09 * SampleRate))));
    }
    return duck;
}

}  // namespace

Pcm renderNotes(const std::vector<Note>& notes, double lengthMs) {
    const size_t n = size_t(lengthMs * SampleRate / 1000.0);
    Buses b(n);
    const std::vector<size_t> limits = noteLimits(notes);
    for (size_t i = 0; i < notes.size(); ++i) renderNote(notes[i], uint32_t(i + 1), limits[i], b);
    const std::vector<float> duck = duckGain(notes, n);
    for (size_t i = 0; i < n; ++i) {
        b.left[i] += b.duckedLeft[i] * duck[i];
        b.right[i] += b.duckedRight[i] * duck[i];
    }
    addReverb(b.reverb, b.left, b.right);
    addDelay(b.delay, b.left, b.right);
    // Gentle bus saturation, then a fixed output level: sample peaks at -2 dBFS, which leaves
    // room for the peaks between samples and the encoder's overshoot (true peak below -1 dBTP).
    Pcm pcm;
    pcm.left.resize(n);
    pcm.right.resize(n);
    float peak = 1e-6f;
    for (size_t i = 0; i < n; ++i) {
        pcm.left[i] = float(std::tanh(b.left[i] * 1.2));
        pcm.right[i] = float(std::tanh(b.right[i] * 1.2));
        peak = std::max({peak, std::abs(pcm.left[i]), std::abs(pcm.right[i])});
    }
    const float scale = 0.794f / peak;  // -2 dBFS
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
