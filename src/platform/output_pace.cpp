#include "platform/output_pace.h"

namespace sound {

uint64_t framesToDrop(OutputPace& pace, uint64_t nowUs, uint64_t consumedFrames, int rate,
                      uint64_t toleranceFrames, bool playing) {
    if (!playing) return 0;
    const double origin = double(nowUs) - double(consumedFrames) * 1e6 / rate;
    if (!pace.started || origin < pace.originUs) {
        pace.started = true;
        pace.originUs = origin;
        return 0;
    }
    const double behind = (origin - pace.originUs) * rate / 1e6;  // frames
    return behind > double(toleranceFrames) ? uint64_t(behind) : 0;
}

}  // namespace sound
