// The flat colours of the renderer tests' scenes, as the 8-bit textures hold
// them, and the reference's view of them.
#pragma once

#include <cstdint>

#include "tests/renderer/renderer_test_support.h"
#include "tests/renderer/shading_reference.h"

// Environment faces +X, -X, +Y, -Y, +Z, -Z: told apart in every channel,
// dark enough that F x reflection + see-through^2 seldom saturates.
constexpr Rgb kEnvironmentFaces[6] = {{0.50f, 0.10f, 0.10f}, {0.10f, 0.45f, 0.10f},
                                      {0.10f, 0.10f, 0.50f}, {0.40f, 0.40f, 0.05f},
                                      {0.05f, 0.35f, 0.40f}, {0.30f, 0.05f, 0.35f}};
constexpr Rgb kDiffuseFaces[6] = {{0.60f, 0.20f, 0.20f}, {0.20f, 0.55f, 0.20f},
                                  {0.20f, 0.20f, 0.60f}, {0.45f, 0.45f, 0.15f},
                                  {0.15f, 0.40f, 0.45f}, {0.50f, 0.15f, 0.40f}};
constexpr uint8_t kBaseColour[3] = {150, 128, 100};

// Face colours as the textures store them (rounded to bytes).
struct FaceColours {
    ColorRgb environment[6];
    ColorRgb diffuse[6];
    ColorRgb base;
};

inline FaceColours StoredFaceColours() {
    FaceColours colours;
    for (int face = 0; face < 6; ++face) {
        const Rgb& e = kEnvironmentFaces[face];
        const Rgb& d = kDiffuseFaces[face];
        colours.environment[face] = {
            {ToByte(e.r) / 255.0, ToByte(e.g) / 255.0, ToByte(e.b) / 255.0}};
        colours.diffuse[face] = {{ToByte(d.r) / 255.0, ToByte(d.g) / 255.0, ToByte(d.b) / 255.0}};
    }
    colours.base = {{kBaseColour[0] / 255.0, kBaseColour[1] / 255.0, kBaseColour[2] / 255.0}};
    return colours;
}

// Largest channel difference between a pixel and a reference colour, in
// steps of 1/255.
inline int ChannelDifference(const uint8_t* pixel, const ColorRgb& reference) {
    int largest = 0;
    for (int c = 0; c < 3; ++c) {
        const int expected = static_cast<int>(std::lround(reference.c[c] * 255.0));
        largest = std::max(largest, std::abs(pixel[c] - expected));
    }
    return largest;
}
