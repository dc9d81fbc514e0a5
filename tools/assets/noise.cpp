#include "tools/assets/noise.h"

#include <cmath>

namespace {

uint32_t HashLattice(uint32_t x, uint32_t y, uint32_t seed) {
    // lowbias32 integer mixer over a combination of the three inputs.
    uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

int Wrap(int value, int period) {
    int r = value % period;
    return r < 0 ? r + period : r;
}

float GradientDot(int ix, int iy, float dx, float dy, int periodX, int periodY, uint32_t seed) {
    uint32_t h = HashLattice(static_cast<uint32_t>(Wrap(ix, periodX)),
                             static_cast<uint32_t>(Wrap(iy, periodY)), seed);
    float angle = static_cast<float>(h & 0xFFFFu) * (6.28318531f / 65536.0f);
    return std::cos(angle) * dx + std::sin(angle) * dy;
}

float Fade(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

}  // namespace

float PeriodicNoise(float x, float y, int periodX, int periodY, uint32_t seed) {
    float fx = std::floor(x);
    float fy = std::floor(y);
    int ix = static_cast<int>(fx);
    int iy = static_cast<int>(fy);
    float dx = x - fx;
    float dy = y - fy;
    float n00 = GradientDot(ix, iy, dx, dy, periodX, periodY, seed);
    float n10 = GradientDot(ix + 1, iy, dx - 1.0f, dy, periodX, periodY, seed);
    float n01 = GradientDot(ix, iy + 1, dx, dy - 1.0f, periodX, periodY, seed);
    float n11 = GradientDot(ix + 1, iy + 1, dx - 1.0f, dy - 1.0f, periodX, periodY, seed);
    float u = Fade(dx);
    float v = Fade(dy);
    float a = n00 + (n10 - n00) * u;
    float b = n01 + (n11 - n01) * u;
    // A unit gradient gives at most about 0.7; scale to about -1..1.
    return (a + (b - a) * v) * 1.4142f;
}

float PeriodicFbm(float x, float y, int periodX, int periodY, int octaves, uint32_t seed) {
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += amplitude * PeriodicNoise(x, y, periodX, periodY, seed + 101u * octave);
        total += amplitude;
        x *= 2.0f;
        y *= 2.0f;
        periodX *= 2;
        periodY *= 2;
        amplitude *= 0.5f;
    }
    return sum / total * 1.6f;
}

float Fbm(float x, float y, int octaves, uint32_t seed) {
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        // Turning each layer a little hides the lattice's axes.
        float rx = x * 0.8f - y * 0.6f;
        float ry = x * 0.6f + y * 0.8f;
        sum += amplitude * Noise(rx, ry, seed + 101u * octave);
        total += amplitude;
        x = rx * 2.03f;
        y = ry * 2.03f;
        amplitude *= 0.5f;
    }
    return sum / total * 1.6f;
}
