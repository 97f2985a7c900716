#include "frame_plan.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "app/seek.h"

#include "sheet_layout.h"

FrameSchedule showSchedule(const CaptureOptions& options) {
    return wholeRunSchedule(options.showRate);
}

FrameSchedule outputSchedule(const CaptureOptions& options) {
    return {options.startMs, options.fps};
}

FrameSchedule keptSchedule(const CaptureOptions& options) {
    return options.showRate == UncappedShowRate ? outputSchedule(options) : showSchedule(options);
}

uint32_t lastFrameInShow(const FrameSchedule& schedule) {
    const uint64_t frames = framesThrough(schedule, ShowEndMs);
    return frameClock(schedule, frames > 0 ? frames - 1 : 0);
}

std::vector<CapturePoint> capturePlan(const CaptureOptions& options) {
    std::map<uint32_t, CapturePoint> points;  // by clock value
    const auto point = [&](uint32_t clockMs) -> CapturePoint& {
        CapturePoint& p = points[clockMs];
        p.clockMs = clockMs;
        return p;
    };
    const bool sequence = !options.videoFile.empty() || options.drawOnly ||
                          (!options.pngDir.empty() && options.atMs.empty());
    if (sequence) {
        const FrameSchedule output = outputSchedule(options);
        const uint64_t frames = framesThrough(output, std::min(ShowEndMs, options.endMs - 1));
        for (uint64_t j = 0; j < frames; ++j) point(frameClock(output, j)).outputFrame = true;
    }
    const FrameSchedule kept = keptSchedule(options);
    for (const uint32_t at : options.atMs) point(frameClock(kept, firstFrameAtOrPast(kept, at))).atFrame = true;
    if (!options.sheetFile.empty())
        for (const SheetShot& shot : SheetShots)
            point(frameClock(kept, firstFrameAtOrPast(kept, shot.clockMs))).sheetFrame = true;
    std::vector<CapturePoint> plan;
    plan.reserve(points.size());
    for (const auto& entry : points) plan.push_back(entry.second);
    return plan;
}

uint64_t outputFrameCount(const std::vector<CapturePoint>& plan) {
    return uint64_t(std::count_if(plan.begin(), plan.end(), [](const CapturePoint& p) { return p.outputFrame; }));
}

std::string frameFileName(uint32_t clockMs) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05u.png", unsigned(clockMs));
    return name;
}
