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
    // The server's latency runs to the last frame it has been given. SDL gives it the newest
    // buffer piece by piece, as the server asks for more, so when the server answers
    // anything from none to all of that buffer may still wait in SDL, and for as long as
    // the server does not ask: behind a sink that takes data in large blocks, a part stays
    // there for the whole stream. Which part is not known here; taking half a buffer keeps
    // the error within half a buffer either way. So the newest buffer's first frame is heard
    // at measured + latency - half a buffer; the model says at the hand-over + one buffer.
    const double bufferUs = 1e6 * deviceFrames / rate;
    return measuredUs + latencyUs - 0.5 * bufferUs - (double(callbackUs) + bufferUs);
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
