// The context every GL test of this program runs on. It hides one extension
// that Mesa offers and adds one that no current driver offers (the situation
// start-up meets on Mesa), so that the extension test sees both cases on a real
// driver string.
#pragma once

#include "tests/support/offscreen_gl.h"

inline bool MakeRenderTestContextCurrent() {
    return MakeOffscreenGlCurrent("-GL_ARB_vertex_program +GL_EXT_vertex_shader");
}
