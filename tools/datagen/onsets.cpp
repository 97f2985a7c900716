#include "soundtrack.h"

#include "app/timeline.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::vector<float> mixToMono(const Pcm& pcm) {
    std::vector<float> mono(pcm.left.size());
    for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5f * (pcm.left[i] + pcm.right[i]);
    return mono;
}

std::vector<double> detectOnsets(const std::vector<float>& mono, int sampleRate) {
    // Energy of the first difference (which favours attacks over sustained lows) in 3 ms
    // windows every 1 ms. An onset is a rise of at least 6 dB over the mean energy of the
    // previous 25 ms that is also the largest rise within +-15 ms. Levels below the floor
    // count as the floor, so stirrings in near-silence (reverb tails) are not onsets.
    const double floorDb = -60.0;
    const size_t hop = size_t(sampleRate / 1000), win = size_t(sampleRate * 3 / 1000), history = 25;
    const size_t frames = mono.size() > win ? (mono.size() - win) / hop : 0;
    std::vector<double> energy(frames);
    for (size_t f = 0; f < frames; ++f) {
        double e = 1e-12;
        for (size_t i = f * hop + 1; i < f * hop + win; ++i) {
            const double d = double(mono[i]) - double(mono[i - 1]);
            e += d * d;
        }
        energy[f] = e / double(win);
    }
    auto db = [&](double e) { return std::max(10.0 * std::log10(e), floorDb); };
    std::vector<double> rise(frames, 0.0);
    double recent = 0.0;  // sum of the previous `history` frames' energy
    for (size_t f = 0; f < frames; ++f) {
        if (f >= history) rise[f] = db(energy[f]) - db(recent / double(history));
        recent += energy[f];
        if (f >= history) recent -= energy[f - history];
    }
    std::vector<double> onsets;
    for (size_t f = 0; f < frames; ++f) {
        if (rise[f] < 6.0) continue;
        bool best = true;
        for (size_t k = f > 15 ? f - 15 : 0; k <= std::min(frames - 1, f + 15) && best; ++k)
            best = rise[k] < rise[f] || (rise[k] == rise[f] && k >= f);
        // Report the moment the window's leading edge met the attack.
        if (best) onsets.push_back(double(f * hop + win) * 1000.0 / sampleRate - 1.5);
    }
    return onsets;
}

std::string soundtrackReport(const Pcm& pcm) {
    std::string out;
    char line[200];
    std::vector<double> bounds = sectionStartsMs();
    bounds.push_back(double(ShowLengthMs));
    bounds.push_back(double(pcm.left.size()) * 1000.0 / SampleRate);
    out += "section  from_ms   to_ms  rms_dBFS  peak_dBFS\n";
    for (size_t s = 0; s + 1 < bounds.size(); ++s) {
        const size_t a = size_t(bounds[s] * SampleRate / 1000), b = size_t(bounds[s + 1] * SampleRate / 1000);
        double sum = 0, peak = 1e-9;
        for (size_t i = a; i < b && i < pcm.left.size(); ++i) {
            sum += 0.5 * (double(pcm.left[i]) * pcm.left[i] + double(pcm.right[i]) * pcm.right[i]);
            peak = std::max({peak, double(std::abs(pcm.left[i])), double(std::abs(pcm.right[i]))});
        }
        std::snprintf(line, sizeof line, "%7zu %8.0f %7.0f %9.1f %10.1f\n", s, bounds[s], bounds[s + 1],
                      10 * std::log10(sum / double(std::max<size_t>(1, b - a)) + 1e-12), 20 * std::log10(peak));
        out += line;
    }
    const std::vector<double> onsets = detectOnsets(mixToMono(pcm), SampleRate);
    double worst = 0, total = 0;
    int found = 0;
    const std::vector<double> accents = accentTimesMs();
    for (double a : accents) {
        double best = 1e9;
        for (double o : onsets) best = std::abs(o - a) < std::abs(best) ? o - a : best;
        if (std::abs(best) <= 10.0) ++found;
        worst = std::max(worst, std::abs(best));
        total += std::abs(best);
    }
    std::snprintf(line, sizeof line,
                  "onsets detected: %zu; accents: %zu, with an onset within 10 ms: %d; "
                  "mean |offset| %.2f ms, worst %.2f ms\n",
                  onsets.size(), accents.size(), found, total / double(accents.size()), worst);
    out += line;
    const TempoMap map = makeTempoMap();
    out += "sections start on ticks at (ms):";
    for (double start : sectionStartsMs()) {
        std::snprintf(line, sizeof line, " %.0f", start <= 0.0 ? 0.0 : map.msAt(map.tickAt(start)));
        out += line;
    }
    out += "\n";
    return out;
}
