#pragma once
#include <cstdint>

// The shared pseudo-random generator of the whole show, the same rule on every platform:
// seed starts at 1; each call sets seed = seed * 214013 + 2531011 (mod 2^32) and returns
// bits 16..30 of the new seed (0..32767). Never seeded; runs repeat for equal frame timing.
namespace runtime {

int rand();

// Current seed (for tests and tools that need to see the generator's position).
uint32_t randSeed();

// Back to the start-up seed 1 (a reset of the show's state, not a seeding).
void resetRand();

}  // namespace runtime
