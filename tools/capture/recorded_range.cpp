#include "recorded_range.h"

#include <cinttypes>
#include <cstdio>
#include <numeric>

#include "frame_plan.h"

std::string rangeTag(const RecordedRange& range) {
    char text[96];
    std::snprintf(text, sizeof text, "demo-capture clock %" PRIu32 " ms, %" PRIu64 " frames at %" PRIu32 " fps",
                  range.startMs, range.frames, range.fps);
    return text;
}

bool readRangeTag(const std::string& tag, RecordedRange& range) {
    RecordedRange read;
    int used = 0;
    if (std::sscanf(tag.c_str(), "demo-capture clock %" SCNu32 " ms, %" SCNu64 " frames at %" SCNu32 " fps%n",
                    &read.startMs, &read.frames, &read.fps, &used) != 3 ||
        size_t(used) != tag.size() || read.fps == 0 || rangeTag(read) != tag)
        return false;
    range = read;
    return true;
}

bool rangeEnd(const RecordedRange& range, uint32_t& endMs) {
    const uint64_t span = range.frames * 1000;
    if (span % range.fps != 0) return false;
    endMs = uint32_t(range.startMs + span / range.fps);
    return true;
}

std::vector<PartRange> splitRanges(const CaptureOptions& options, uint32_t jobs) {
    const uint64_t frames = outputFrameCount(capturePlan(options));
    // A part's first frame must be a key frame of the single run (a multiple of the GOP)
    // and lie on a whole ms (a multiple of fps / gcd(fps, 1000)).
    const uint64_t gop = options.fps / 2 > 0 ? options.fps / 2 : 1;
    const uint64_t unit = std::lcm(gop, uint64_t(options.fps / std::gcd(options.fps, 1000u)));
    const uint64_t units = (frames + unit - 1) / unit;
    const uint64_t parts = std::max<uint64_t>(1, std::min<uint64_t>(jobs, units));
    std::vector<PartRange> ranges;
    for (uint64_t i = 0; i < parts; ++i) {
        const uint64_t first = i * units / parts * unit;
        ranges.push_back({uint32_t(options.startMs + first * 1000 / options.fps), options.endMs});
        if (i > 0) ranges[i - 1].endMs = ranges[i].startMs;
    }
    return ranges;
}

bool joinedRange(const std::vector<RecordedRange>& parts, const std::vector<std::string>& names,
                 RecordedRange& whole, std::string& error) {
    whole = parts.front();
    for (size_t i = 1; i < parts.size(); ++i) {
        uint32_t endMs = 0;
        if (parts[i].fps != whole.fps) {
            error = names[i] + " has " + std::to_string(parts[i].fps) + " fps, " + names[0] + " " +
                    std::to_string(whole.fps);
            return false;
        }
        if (!rangeEnd(parts[i - 1], endMs) || endMs != parts[i].startMs) {
            error = names[i] + " starts at " + std::to_string(parts[i].startMs) +
                    " ms, not where " + names[i - 1] + " ends";
            return false;
        }
        whole.frames += parts[i].frames;
    }
    return true;
}
