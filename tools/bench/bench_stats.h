#pragma once
#include <vector>

namespace bench {

// Frame times of one group of frames (a scene or a reference), summarised.
struct FrameStats {
    int frames = 0;      // frames timed
    double fps = 0;      // frames per second: frames / total time
    double p50Ms = 0;    // median frame time, ms
    double p95Ms = 0;    // 95th percentile frame time, ms
};

// The p-th percentile (p in 0..100) of `samples`, interpolating linearly between the two
// nearest ranks. 0 for no samples.
double percentile(std::vector<double> samples, double p);

// Summary of frame times given in ms. All zero for no frames.
FrameStats summarise(const std::vector<double>& frameMs);

}  // namespace bench
