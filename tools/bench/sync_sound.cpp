#include "sync_sound.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace bench {

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : 0.5 * (values[middle - 1] + values[middle]);
}

}  // namespace

AudioTimeline audioTimeline(const std::vector<AudioPacket>& packets, double rate,
                            double fromFrame, double toFrame) {
    AudioTimeline timeline;
    timeline.rate = rate;
    std::vector<double> residuals, stretch;  // stamp minus frame / rate, µs
    std::vector<double> stretchMedians;
    const double stretchFrames = StretchS * rate;
    double frame = 0, stretchEnd = fromFrame + stretchFrames;
    for (const AudioPacket& packet : packets) {
        if (frame >= fromFrame && frame <= toFrame) {
            if (frame >= stretchEnd && !stretch.empty()) {
                stretchMedians.push_back(median(stretch));
                stretch.clear();
                stretchEnd += stretchFrames;
            }
            const double residual = double(packet.timeUs) - frame * 1e6 / rate;
            residuals.push_back(residual);
            stretch.push_back(residual);
        }
        frame += double(packet.frames);
    }
    if (residuals.empty()) return timeline;
    if (!stretch.empty()) stretchMedians.push_back(median(stretch));
    timeline.known = true;
    timeline.anchorUs = median(residuals);
    for (const double stretchMedian : stretchMedians)
        timeline.boundUs = std::max(timeline.boundUs, std::fabs(stretchMedian - timeline.anchorUs));
    return timeline;
}

std::optional<double> frameTime(const AudioTimeline& timeline, double frame) {
    if (!timeline.known) return std::nullopt;
    return timeline.anchorUs + frame * 1e6 / timeline.rate;
}

std::optional<double> frameAt(const AudioTimeline& timeline, double timeUs) {
    if (!timeline.known) return std::nullopt;
    return (timeUs - timeline.anchorUs) * timeline.rate / 1e6;
}

Signal monoSignal(const std::vector<int16_t>& stereo) {
    Signal signal;
    const size_t frames = stereo.size() / 2;
    signal.full.resize(frames);
    for (size_t i = 0; i < frames; ++i)
        signal.full[i] = float(int(stereo[2 * i]) + int(stereo[2 * i + 1])) / 65536.0f;
    signal.coarse.resize(frames / CoarseStep);
    for (size_t i = 0; i < signal.coarse.size(); ++i) {
        float sum = 0;
        for (size_t j = 0; j < CoarseStep; ++j) sum += signal.full[i * CoarseStep + j];
        signal.coarse[i] = sum / float(CoarseStep);
    }
    return signal;
}

size_t firstSound(const Signal& signal, size_t from, float threshold) {
    for (size_t i = from; i < signal.full.size(); ++i)
        if (std::fabs(signal.full[i]) >= threshold) return i;
    return signal.full.size();
}

namespace {

// Normalised correlation of a[aStart, aStart + length) with b[bStart, bStart + length).
double correlation(const std::vector<float>& a, size_t aStart, const std::vector<float>& b,
                   size_t bStart, size_t length) {
    double dot = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < length; ++i) {
        const double x = a[aStart + i], y = b[bStart + i];
        dot += x * y;
        aa += x * x;
        bb += y * y;
    }
    return aa > 0 && bb > 0 ? dot / std::sqrt(aa * bb) : 0.0;
}

struct Best {
    long lag = 0;
    double value = -2;
};

// The lag in [low, high] at which b's window best matches a's window at aCentre, both
// `half` either side; of matches equal to within 0.002 (music that repeats exactly), the one
// nearest `preferred`. Lags whose window leaves b are skipped.
Best bestLag(const std::vector<float>& a, long aCentre, const std::vector<float>& b, long low,
             long high, long half, long preferred) {
    constexpr double Equal = 0.002;
    Best best;
    const long bSize = long(b.size());
    for (long lag = low; lag <= high; ++lag) {
        const long bStart = aCentre + lag - half;
        if (bStart < 0 || bStart + 2 * half > bSize) continue;
        const double value = correlation(a, size_t(aCentre - half), b, size_t(bStart), size_t(2 * half));
        const bool nearer = std::labs(lag - preferred) < std::labs(best.lag - preferred);
        if (value > best.value + Equal || (value > best.value - Equal && nearer)) best = {lag, value};
    }
    return best;
}

}  // namespace

std::optional<Located> locate(const Signal& recording, const Signal& reference,
                              size_t referenceFrame, double guess, size_t search,
                              size_t halfWindow, double minCorrelation) {
    const long step = long(CoarseStep);
    const long half = long(halfWindow);
    const long centre = long(referenceFrame);
    if (centre < half || centre + half > long(reference.full.size())) return std::nullopt;
    // Lag: recording frame minus reference frame.
    const long guessLag = std::lround(guess) - centre;
    const long reach = long(search);
    const Best coarse = bestLag(reference.coarse, centre / step, recording.coarse,
                                (guessLag - reach) / step, (guessLag + reach) / step, half / step,
                                guessLag / step);
    if (coarse.value < -1) return std::nullopt;
    // A coarse lag places the blocks; the frames within them are found at full rate.
    const Best fine = bestLag(reference.full, centre, recording.full, coarse.lag * step - 2 * step,
                              coarse.lag * step + 2 * step, half, coarse.lag * step);
    if (fine.value < minCorrelation) return std::nullopt;
    return Located{double(centre + fine.lag), fine.value};
}

}  // namespace bench
