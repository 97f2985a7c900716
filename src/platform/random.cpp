#include "platform/random.h"

namespace runtime {
namespace {
uint32_t seed = 1;
}

int rand() {
    seed = seed * 214013u + 2531011u;
    return int((seed >> 16) & 0x7fffu);
}

uint32_t randSeed() { return seed; }

void resetRand() { seed = 1; }

}  // namespace runtime
