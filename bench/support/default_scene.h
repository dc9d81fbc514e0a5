// The benchmarks' default scene: one OSMesa context at the program's first
// window size, 800 x 600, made current once for the whole run in the scene's
// directory (assets/, passed in as VIEWER_DEFAULT_SCENE), with the window size
// and projection set as a start-up would find them.
#pragma once

#include <GL/osmesa.h>
#include <unistd.h>

#include <cstddef>
#include <vector>

#include "app/app_state.h"
#include "app/projection.h"

constexpr int kDefaultSceneWidth = 800;
constexpr int kDefaultSceneHeight = 600;

// False when there is no context or no scene directory; later calls return
// true once one has succeeded.
inline bool MakeDefaultSceneContext() {
    static std::vector<unsigned char> buffer(static_cast<std::size_t>(kDefaultSceneWidth) *
                                             kDefaultSceneHeight * 4);
    static bool ready = false;
    if (ready) return true;
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
    if (context == nullptr || chdir(VIEWER_DEFAULT_SCENE) != 0 ||
        !OSMesaMakeCurrent(context, buffer.data(), GL_UNSIGNED_BYTE, kDefaultSceneWidth,
                           kDefaultSceneHeight)) {
        return false;
    }
    windowWidth = kDefaultSceneWidth;
    windowHeight = kDefaultSceneHeight;
    ResizeScene(kDefaultSceneWidth, kDefaultSceneHeight);
    ready = true;
    return true;
}
