#pragma once
#include <cstdint>

// Deterministic hash-based noise. All functions are pure: same inputs, same bits.

uint32_t hash32(uint32_t x);
uint32_t hash2(int x, int y, uint32_t seed);
// Uniform 0..1 from integer lattice coordinates.
float hashUnit(int x, int y, uint32_t seed);
// Smooth value noise in -1..1.
float valueNoise(float x, float y, uint32_t seed);
// Value noise that repeats every `period` units in x and y (period > 0, whole lattice cells).
float periodicNoise(float x, float y, int period, uint32_t seed);
// Fractal sums in about -1..1: `octaves` layers, each twice the frequency and `gain` times
// the amplitude of the one before.
float fbm(float x, float y, int octaves, uint32_t seed, float gain = 0.5f);
float periodicFbm(float x, float y, int period, int octaves, uint32_t seed, float gain = 0.5f);

float smoothstep(float e0, float e1, float x);
float fract(float x);
