#include "sync_match.h"

#include <cmath>
#include <cstdlib>
#include <map>

namespace bench {

namespace {

const std::vector<ScreenEvent>& eventsOf(const BeatMeasure& beat, const std::vector<ScreenEvent>& flashes,
                                         const std::vector<ScreenEvent>& changes) {
    return beat.flash ? flashes : changes;
}

}  // namespace

double commonOffsetUs(const std::vector<BeatMeasure>& beats, const std::vector<ScreenEvent>& flashes,
                      const std::vector<ScreenEvent>& changes, double reachUs) {
    constexpr double BinUs = 4000;
    std::map<long, int> votes;  // bin -> pairs
    for (const BeatMeasure& beat : beats) {
        for (const ScreenEvent& event : eventsOf(beat, flashes, changes)) {
            const double offset = event.timeUs - beat.heardUs;
            if (std::fabs(offset) <= reachUs) ++votes[std::lround(offset / BinUs)];
        }
    }
    // The bin with the most votes counting its two neighbours; of equals, the smaller offset.
    long best = 0;
    int bestVotes = 0;
    for (const auto& [bin, count] : votes) {
        const int around = count + (votes.count(bin - 1) ? votes[bin - 1] : 0) +
                           (votes.count(bin + 1) ? votes[bin + 1] : 0);
        if (around > bestVotes || (around == bestVotes && std::labs(bin) < std::labs(best))) {
            best = bin;
            bestVotes = around;
        }
    }
    return double(best) * BinUs;
}

void matchEvents(std::vector<BeatMeasure>& beats, const std::vector<ScreenEvent>& flashes,
                 const std::vector<ScreenEvent>& changes, double commonUs, double windowUs) {
    for (BeatMeasure& beat : beats) {
        beat.seen.reset();
        const double expected = beat.heardUs + commonUs;
        for (const ScreenEvent& event : eventsOf(beat, flashes, changes)) {
            const double distance = std::fabs(event.timeUs - expected);
            if (distance <= windowUs && (!beat.seen || distance < std::fabs(beat.seen->timeUs - expected)))
                beat.seen = event;
        }
    }
}

}  // namespace bench
