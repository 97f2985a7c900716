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

OnsetStrength onsetStrength(const std::vector<float>& mono, int sampleRate) {
    constexpr size_t Window = 2048;
    OnsetStrength s;
    s.hop = sampleRate / 200;
    s.firstMs = 0.5 * 1000.0 * Window / sampleRate;
    std::vector<double> weight(Window);  // the squared Hann window, summing to 1
    double sum = 0;
    for (size_t i = 0; i < Window; ++i) {
        const double h = 0.5 - 0.5 * std::cos(2.0 * 3.14159265358979323846 * double(i) / Window);
        sum += weight[i] = h * h;
    }
    for (double& w : weight) w /= sum;
    const size_t hop = size_t(s.hop);
    const size_t frames = mono.size() >= Window ? (mono.size() - Window) / hop + 1 : 0;
    s.flux.assign(frames, 0.0);
    double previous = 0;
    for (size_t f = 0; f < frames; ++f) {
        const float* x = mono.data() + f * hop;
        double e = 0;
        for (size_t i = 0; i < Window; ++i) e += double(x[i]) * x[i] * weight[i];
        if (f > 0) s.flux[f] = std::max(0.0, e - previous);
        previous = e;
    }
    return s;
}

std::vector<AccentProminence> accentProminence(const std::vector<float>& mono, int sampleRate,
                                               const std::vector<double>& accentsMs) {
    const OnsetStrength s = onsetStrength(mono, sampleRate);
    const double hopMs = 1000.0 * s.hop / sampleRate;
    const auto frameMs = [&](size_t f) { return s.firstMs + double(f) * hopMs; };
    const auto framesWithin = [&](double ms, double reach, auto&& visit) {
        const double lo = std::max(0.0, std::ceil((ms - reach - s.firstMs) / hopMs));
        for (size_t f = size_t(lo); f < s.flux.size() && frameMs(f) <= ms + reach; ++f) visit(f);
    };
    std::vector<double> sorted = accentsMs;
    std::sort(sorted.begin(), sorted.end());
    const auto nearAccent = [&](double ms) {
        const auto it = std::lower_bound(sorted.begin(), sorted.end(), ms - 30.0);
        return it != sorted.end() && *it <= ms + 30.0;
    };
    // Candidates: the largest strength within +-15 ms (the earlier one wins a tie), away from accents.
    std::vector<size_t> candidates;
    for (size_t f = 0; f < s.flux.size(); ++f) {
        bool best = s.flux[f] > 0.0;
        framesWithin(frameMs(f), 15.0, [&](size_t k) { best = best && (s.flux[k] < s.flux[f] || (s.flux[k] == s.flux[f] && k >= f)); });
        if (best && !nearAccent(frameMs(f))) candidates.push_back(f);
    }
    std::vector<AccentProminence> result;
    for (double a : accentsMs) {
        AccentProminence p;
        p.ms = a;
        framesWithin(a, 15.0, [&](size_t f) { p.strength = std::max(p.strength, s.flux[f]); });
        std::vector<double> around;
        for (size_t f : candidates) {
            const double d = std::abs(frameMs(f) - a);
            if (d <= 1000.0) around.push_back(s.flux[f]);
            if (d <= 500.0) p.nearMax = std::max(p.nearMax, s.flux[f]);
        }
        std::sort(around.begin(), around.end());
        if (!around.empty()) p.neighbourP90 = around[size_t(std::ceil(0.9 * double(around.size()))) - 1];
        result.push_back(p);
    }
    return result;
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
    out += "accent_ms  scene  strength  p90_around  prominence  strongest_500ms\n";
    const std::vector<double> starts = sectionStartsMs();
    double lowest = 99.0;
    int under = 0, notStrongest = 0;
    for (const AccentProminence& p : accentProminence(mixToMono(pcm), SampleRate, accents)) {
        const long scene = std::lower_bound(starts.begin(), starts.end(), p.ms) - starts.begin() - 1;  // as the timeline counts
        std::snprintf(line, sizeof line, "%9.0f %6ld %9.4f %11.4f %11.2f  %s\n", p.ms, scene, p.strength,
                      p.neighbourP90, p.prominence(), p.strongest() ? "yes" : "no");
        out += line;
        lowest = std::min(lowest, p.prominence());
        under += p.prominence() < 1.5;
        notStrongest += !p.strongest();
    }
    std::snprintf(line, sizeof line,
                  "prominence (strength over the 90th percentile of onsets within +-1 s): lowest %.2f, "
                  "under 1.5: %d; not the strongest within +-500 ms: %d\n",
                  lowest, under, notStrongest);
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
