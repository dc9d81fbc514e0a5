// Whole frames for comparing the layer with Mesa's own GL_ATI_fragment_shader:
// the default scene (assets/) and the renderer tests' scene (flat-coloured
// textures, a UV sphere), each from a few views. The same code draws them in
// the process that hides the driver's extension and in the helper program
// that draws them natively (native_frames.cpp).
#pragma once

#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "render/renderer.h"
#include "tests/renderer/renderer_test_support.h"
#include "tests/renderer/scene_colours.h"

namespace fragment_layer_test {

constexpr int kFrameWidth = 160;
constexpr int kFrameHeight = 120;

struct FrameView {
    const char* name;
    bool defaultScene;  // assets/, else the renderer tests' scene
    float yaw, pitch, zoom, bump;
    uint8_t normalTexel[3];  // the test scene's flat normal map
};

// clang-format off
const FrameView kFrameViews[] = {
    {"default_start", true, 0, 0, 0, 0.5f, {}},
    {"default_turned_bump2", true, 140, -35, 90, 2.0f, {}},
    {"default_near_bump0", true, -60, 20, 160, 0.0f, {}},
    {"test_flat", false, 0, 0, 0, 0.5f, {127, 127, 254}},
    {"test_tilted", false, 35, 25, 60, 1.5f, {200, 90, 220}},
    {"test_tilted_far", false, -120, -60, -200, 2.0f, {60, 180, 200}},
};
// clang-format on

// Draws every view into frames (RGBA, bottom row first, in kFrameViews'
// order). The default scene starts up in VIEWER_DEFAULT_SCENE; the test
// scene starts up in scratchDirectory, where there are no files, and gets its
// textures and sphere afterwards. Returns false when a start-up fails.
inline bool DrawFrameViews(const char* extensionOverride, const std::string& scratchDirectory,
                           std::vector<std::vector<uint8_t>>* frames) {
    if (!UseOffscreenSize(kFrameWidth, kFrameHeight, extensionOverride)) return false;
    for (bool defaultScene : {true, false}) {
        if (chdir(defaultScene ? VIEWER_DEFAULT_SCENE : scratchDirectory.c_str()) != 0) {
            return false;
        }
        if (InitRenderer() != 1) return false;
        if (!defaultScene) {
            environmentCubeMap = MakeFlatCubeMap(kEnvironmentFaces);
            diffuseCubeMap = MakeFlatCubeMap(kDiffuseFaces);
            baseTexture = MakeFlatTexture(kBaseColour);
            model = MakeSphereModel(100, 32, 16);
            modelLoaded = 1;
        }
        for (const FrameView& view : kFrameViews) {
            if (view.defaultScene != defaultScene) continue;
            if (!defaultScene) {
                if (normalMapTexture != 0) glDeleteTextures(1, &normalMapTexture);
                normalMapTexture = MakeFlatTexture(view.normalTexel);
            }
            yawDegrees = view.yaw;
            pitchDegrees = view.pitch;
            zoomOffset = view.zoom;
            bumpScale = view.bump;
            RenderFrame();
            frames->push_back(ReadFrame().rgba);
        }
        ReleaseRenderer();
        if (fontTexture != 0) glDeleteTextures(1, &fontTexture);
        fontTexture = 0;
    }
    return chdir(scratchDirectory.c_str()) == 0;
}

}  // namespace fragment_layer_test
