// Gradient noise and fractal sums on integer lattices that repeat, so that a
// picture built from them tiles without a seam when its edges sit on whole
// periods.
#pragma once

#include <cstdint>

// Noise in about -1..1, repeating every periodX along x and periodY along y.
float PeriodicNoise(float x, float y, int periodX, int periodY, uint32_t seed);

// Sum of `octaves` noise layers, each twice the frequency (and period) and half
// the amplitude of the one before; normalised to about -1..1.
float PeriodicFbm(float x, float y, int periodX, int periodY, int octaves, uint32_t seed);

// Noise without a visible period (the lattice repeats only every 65536 units).
inline float Noise(float x, float y, uint32_t seed) {
    return PeriodicNoise(x, y, 65536, 65536, seed);
}
float Fbm(float x, float y, int octaves, uint32_t seed);
