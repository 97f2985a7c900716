#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// One beat of the soundtrack met by the show's clock: when the clock first reached the beat,
// which soundtrack position was being heard.
struct SyncSample {
    uint32_t beatMs = 0;   // the beat's clock value, ms
    uint32_t clockMs = 0;  // the clock value of the first poll at or past the beat, ms
    double heardMs = 0;    // soundtrack position heard at that poll, ms
    // Music ahead of the picture (positive: the sound is early), ms.
    double offsetMs() const { return heardMs - double(clockMs); }
};

struct SyncSummary {
    int beats = 0;
    double meanMs = 0;        // mean offset, ms (positive: music early)
    double minMs = 0;         // most late, ms
    double maxMs = 0;         // most early, ms
    double maxAbsMs = 0;      // largest distance either way, ms
    int earlyOver15 = 0;      // beats where the music was more than 15 ms early
};

SyncSummary summariseSync(const std::vector<SyncSample>& samples);
// The same summary of plain offsets (ms, positive: music early).
SyncSummary summariseOffsets(const std::vector<double>& offsetsMs);
// How many offsets fall in each 5 ms bin from the lowest to the highest, one line:
// "[-10,-5): 3  [-5,0): 12  [0,5): 7". Empty for no offsets.
std::string offsetDistribution(const std::vector<double>& offsetsMs);

// A table of every beat and the summary, or one JSON object.
std::string formatSyncReport(const std::vector<SyncSample>& samples, const std::string& mode,
                             bool json);

}  // namespace bench
