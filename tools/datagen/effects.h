#pragma once
// The send effects: each reads a mono send bus and adds its stereo return to the mix.
#include <vector>

// Small Schroeder reverb: parallel combs into series all-passes, slightly different per side.
void addReverb(const std::vector<float>& in, std::vector<float>& outL, std::vector<float>& outR);
// Ping-pong delay of a dotted eighth (three steps of the grid).
void addDelay(const std::vector<float>& in, std::vector<float>& outL, std::vector<float>& outR);
