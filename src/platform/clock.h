#pragma once
#include <cstdint>

// Monotonic wall time in milliseconds since process start (unsigned 32-bit, wraps after
// about 49 days). Not CPU time: the C library's clock() counts CPU time on Linux.
uint32_t monotonicMs();

// The same clock in microseconds (unsigned 64-bit), for measurements finer than 1 ms.
uint64_t monotonicUs();
