#include "platform/heard_position.h"

#include <algorithm>

namespace sound {

std::optional<double> heardFramesAt(uint64_t atUs, uint64_t framesBefore, uint64_t nowUs,
                                    int deviceFrames, int rate, double extraUs) {
    if (atUs == 0) return std::nullopt;
    const double sinceUs = nowUs > atUs ? double(nowUs - atUs) : 0.0;
    const double bufferUs = 1e6 * deviceFrames / rate;
    if (sinceUs > 2 * bufferUs + extraUs) return std::nullopt;
    return double(framesBefore) - deviceFrames + (sinceUs - extraUs) * rate / 1e6;
}

double reportedExtraUs(uint64_t callbackUs, uint64_t askedUs, uint64_t answeredUs,
                       double latencyUs, int deviceFrames, int rate) {
    // The server measured somewhere between question and answer; the middle is nearest.
    const double measuredUs = 0.5 * (double(askedUs) + double(answeredUs));
    // The newest buffer ends where the server's latency ends, so its first frame is heard
    // at measured + latency - one buffer; the model says at the hand-over + one buffer.
    const double bufferUs = 1e6 * deviceFrames / rate;
    return measuredUs + latencyUs - bufferUs - (double(callbackUs) + bufferUs);
}

void noteLatencyReport(LatencyReports& reports, double extraUs) {
    reports.extraUs[reports.next] = extraUs;
    reports.next = (reports.next + 1) % LatencyReports::Kept;
    reports.count = std::min(reports.count + 1, LatencyReports::Kept);
}

double extraLatencyUs(const LatencyReports& reports) {
    if (reports.count == 0) return 0;
    std::array<double, LatencyReports::Kept> sorted = reports.extraUs;
    std::sort(sorted.begin(), sorted.begin() + long(reports.count));
    const size_t middle = reports.count / 2;
    const double median = reports.count % 2 ? sorted[middle]
                                             : 0.5 * (sorted[middle - 1] + sorted[middle]);
    return std::max(0.0, median);
}

}  // namespace sound
