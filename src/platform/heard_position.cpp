#include "platform/heard_position.h"

#include <algorithm>

namespace sound {

std::optional<double> heardFramesAt(uint64_t atUs, uint64_t framesBefore, uint64_t nowUs,
                                    int deviceFrames, int rate) {
    if (atUs == 0) return std::nullopt;
    const double sinceUs = nowUs > atUs ? double(nowUs - atUs) : 0.0;
    const double bufferUs = 1e6 * deviceFrames / rate;
    if (sinceUs > 2 * bufferUs) return std::nullopt;
    return double(framesBefore) - deviceFrames + sinceUs * rate / 1e6;
}

void noteStreamTiming(StreamClock& clock, uint64_t atUs, uint64_t readFrames, double latencyUs,
                      int rate) {
    clock.startUs[clock.next] = double(atUs) + latencyUs - double(readFrames) * 1e6 / rate;
    clock.atUs[clock.next] = atUs;
    clock.next = (clock.next + 1) % StreamClock::Kept;
    if (clock.count < StreamClock::Kept) ++clock.count;
}

std::optional<double> streamFrameHeard(const StreamClock& clock, uint64_t nowUs, int rate) {
    if (clock.count == 0) return std::nullopt;
    const uint64_t newestUs = clock.atUs[(clock.next + StreamClock::Kept - 1) % StreamClock::Kept];
    double startUs = -1e300;
    for (size_t i = 1; i <= clock.count; ++i) {
        const size_t slot = (clock.next + StreamClock::Kept - i) % StreamClock::Kept;
        if (clock.atUs[slot] + StreamClock::WindowUs < newestUs) break;
        startUs = std::max(startUs, clock.startUs[slot]);
    }
    return (double(nowUs) - startUs) * rate / 1e6;
}

void noteStreamWrite(StreamMarks& marks, uint64_t streamFrame, size_t frames, uint32_t segment,
                     uint64_t segmentFrame, bool music) {
    const bool continues = [&] {
        if (marks.count == 0 || marks.writtenFrames != streamFrame) return false;
        const StreamMark& last = marks.marks[(marks.next + StreamMarks::Kept - 1) % StreamMarks::Kept];
        if (last.music != music) return false;
        if (!music) return true;
        return last.segment == segment &&
               last.segmentFrame + (streamFrame - last.streamFrame) == segmentFrame;
    }();
    if (!continues) {
        marks.marks[marks.next] = StreamMark{streamFrame, segmentFrame, segment, music};
        marks.next = (marks.next + 1) % StreamMarks::Kept;
        if (marks.count < StreamMarks::Kept) ++marks.count;
    }
    marks.writtenFrames = streamFrame + frames;
}

std::optional<double> heardSegmentFrames(const StreamMarks& marks, double playedFrames,
                                         uint32_t segment) {
    if (playedFrames < 0 || playedFrames >= double(marks.writtenFrames)) return std::nullopt;
    for (size_t i = 1; i <= marks.count; ++i) {
        const StreamMark& mark = marks.marks[(marks.next + StreamMarks::Kept - i) % StreamMarks::Kept];
        if (double(mark.streamFrame) > playedFrames) continue;
        if (!mark.music || mark.segment != segment) return std::nullopt;
        return double(mark.segmentFrame) + (playedFrames - double(mark.streamFrame));
    }
    return std::nullopt;
}

}  // namespace sound
