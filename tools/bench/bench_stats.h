#pragma once
#include <vector>

namespace bench {

// Frame times of one group of frames (a scene or a reference), summarised.
struct FrameStats {
    int frames = 0;      // frames timed
    double fps = 0;      // frames per second: frames / total time
    double p50Ms = 0;    // median frame time, ms
    double p95Ms = 0;    // 95th percentile frame time, ms
    double cpuMs = 0;    // mean CPU time per frame of all the process's threads, ms
};

// The p-th percentile (p in 0..100) of `samples`, interpolating linearly between the two
// nearest ranks. 0 for no samples.
double percentile(std::vector<double> samples, double p);

// Summary of frame times (wall clock) and, when given, the CPU times of the same frames, ms.
// All zero for no frames.
FrameStats summarise(const std::vector<double>& frameMs, const std::vector<double>& cpuMs = {});

}  // namespace bench
