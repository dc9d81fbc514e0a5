// A flat-lit offscreen scene in which a pixel of the model shows its base
// colour alone: start-up where no default file exists, then a black
// environment and a white diffuse map (base x diffuse + F x reflection +
// see-through^2).
#pragma once

#include "app/app_state.h"
#include "render/renderer.h"
#include "tests/renderer/renderer_test_support.h"

constexpr int kSize = 96;
constexpr uint8_t kBase[3] = {60, 70, 220};

inline bool StartFlatScene(const char* extensionOverride = nullptr) {
    if (!UseOffscreenSize(kSize, kSize, extensionOverride) || InitRenderer() != 1) return false;
    const Rgb black[6] = {},
              white[6] = {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}};
    environmentCubeMap = MakeFlatCubeMap(black);
    diffuseCubeMap = MakeFlatCubeMap(white);
    baseTexture = MakeFlatTexture(kBase);
    normalMapTexture = MakeFlatTexture({127, 127, 254});
    yawDegrees = pitchDegrees = zoomOffset = 0.0f;
    return true;
}
