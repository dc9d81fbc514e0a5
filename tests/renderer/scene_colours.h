// The flat colours of the renderer tests' scenes.
#pragma once

#include <cstdint>

#include "tests/renderer/renderer_test_support.h"

// Environment faces +X, -X, +Y, -Y, +Z, -Z: told apart in every channel,
// dark enough that F x reflection + see-through^2 seldom saturates.
constexpr Rgb kEnvironmentFaces[6] = {{0.50f, 0.10f, 0.10f}, {0.10f, 0.45f, 0.10f},
                                      {0.10f, 0.10f, 0.50f}, {0.40f, 0.40f, 0.05f},
                                      {0.05f, 0.35f, 0.40f}, {0.30f, 0.05f, 0.35f}};
constexpr Rgb kDiffuseFaces[6] = {{0.60f, 0.20f, 0.20f}, {0.20f, 0.55f, 0.20f},
                                  {0.20f, 0.20f, 0.60f}, {0.45f, 0.45f, 0.15f},
                                  {0.15f, 0.40f, 0.45f}, {0.50f, 0.15f, 0.40f}};
constexpr uint8_t kBaseColour[3] = {150, 128, 100};
