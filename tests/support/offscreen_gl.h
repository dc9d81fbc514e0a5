// One offscreen OpenGL context per test process, on Mesa's OSMesa: no display,
// no window. Every GL test calls MakeOffscreenGlCurrent() (or asserts on it)
// before touching GL; the first call creates the context, later calls reuse it.
//
// Link the test with viewer_gl (through viewer_render or viewer_texture) and,
// for GetGlProcAddress, viewer_platform_native.
#pragma once

#include <GL/osmesa.h>

#include <cstdlib>

#include "render/gl_api.h"

// Leak checking paused while the driver allocates what lives until exit;
// without the sanitizers the weak symbols stay null and nothing happens.
extern "C" void __lsan_disable() __attribute__((weak));
extern "C" void __lsan_enable() __attribute__((weak));

// Size of the colour buffer that draws land in; glReadPixels reads it back as
// RGBA bytes, bottom row first.
constexpr int kOffscreenGlWidth = 64;
constexpr int kOffscreenGlHeight = 64;

// Makes the process's context current and returns true, or false when Mesa
// cannot create one. extensionOverride, if not null, is put into
// MESA_EXTENSION_OVERRIDE before the first context is created ("-GL_X" hides,
// "+GL_Y" adds, space-separated). Mesa reads that variable once per process, so
// only the first call's value counts: tests that need another set of extensions
// belong in a test program of their own. Beware that hiding one of Mesa's
// always-on extensions (GL_ARB_multitexture, GL_ARB_texture_cube_map,
// GL_EXT_texture_edge_clamp and the other old ones) hides all of them. A second
// context (which 1) has objects and a colour buffer of its own.
inline bool MakeOffscreenGlCurrent(const char* extensionOverride = nullptr, int which = 0) {
    static unsigned char colourBuffers[2][kOffscreenGlWidth * kOffscreenGlHeight * 4];
    static OSMesaContext contexts[2] = {};
    OSMesaContext& context = contexts[which];
    const bool created = context != nullptr;
    if (created && OSMesaGetCurrentContext() == context) return true;
    if (__lsan_disable) __lsan_disable();
    if (extensionOverride != nullptr) setenv("MESA_EXTENSION_OVERRIDE", extensionOverride, 1);
    if (!created) context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
    const bool current =
        context != nullptr && OSMesaMakeCurrent(context, colourBuffers[which], GL_UNSIGNED_BYTE,
                                                kOffscreenGlWidth, kOffscreenGlHeight);
    if (current && !created) glViewport(0, 0, kOffscreenGlWidth, kOffscreenGlHeight);
    if (__lsan_enable) __lsan_enable();
    return current;
}
