// Shared set-up of the layer tests: the layer chosen on Mesa, one point drawn
// at the origin, and the output of a recorded shader read back.
#pragma once

#include <gtest/gtest.h>

#include "render/gl_error.h"
#include "render/vertex_shader_layer.h"
#include "tests/support/offscreen_gl.h"
#include "tests/vertex_layer/vertex_output_reader.h"

// Makes the context, chooses the layer and opens the reader once per process.
inline VertexOutputReader* LayerTestReader() {
    static VertexOutputReader reader;
    static bool ready = false;
    if (!ready) {
        if (!MakeOffscreenGlCurrent()) return nullptr;
        FetchMultitextureEntryPoints();
        if (!ChooseVertexShaderExtension() || VertexShaderExtensionSource() != kExtensionLayer)
            return nullptr;
        if (!OpenVertexOutputReader(&reader)) return nullptr;
        ready = true;
    }
    return &reader;
}

// Every waiting error, the layer's first, so a test starts clean.
inline void DrainErrors() {
    while (FetchGlError() != GL_NO_ERROR) {
    }
}

// Draws one point at the origin with the bound shader enabled and returns what
// reached texture coordinate set 0 (the background value if nothing drew).
inline Vec4 DrawOnePoint(VertexOutputReader* reader) {
    static const float kOrigin[3] = {0.0f, 0.0f, 0.0f};
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, kOrigin);
    SetVertexShaderEnabled(1);
    Vec4 value = ReadVertexOutputs(reader, "fragment.texcoord[0]", 1)[0];
    SetVertexShaderEnabled(0);
    glDisableClientState(GL_VERTEX_ARRAY);
    return value;
}
