// Shared set-up of the layer tests: the layer chosen on Mesa, and what a
// vertex program hands on read back at full float precision. Each vertex is
// drawn as a one-pixel point into a float colour buffer through a tiny ARB
// fragment program that writes one fragment input as its colour; window
// position and clip w come from feedback mode.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "render/gl_error.h"
#include "render/platform.h"
#include "render/vertex_shader_layer/layer.h"
#include "tests/support/offscreen_gl.h"

typedef std::array<float, 4> Vec4;

constexpr int kReaderSize = 32;
constexpr float kReaderBackground = -12345.0f;

template <typename Proc>
Proc GlProcNamed(const char* name) {
    return reinterpret_cast<Proc>(GetGlProcAddress(name));
}

// Makes the context, chooses the layer and the float framebuffer once per
// process; false when any of it fails.
inline bool StartVertexLayer() {
    static bool ready = false;
    if (ready) return true;
    if (!MakeOffscreenGlCurrent()) return false;
    FetchMultitextureEntryPoints();
    if (!ChooseVertexShaderExtension() || VertexShaderExtensionSource() != kExtensionLayer)
        return false;
    GLuint texture = 0, framebuffer = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, kReaderSize, kReaderSize, 0, GL_RGBA, GL_FLOAT,
                 nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    GlProcNamed<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers")(1, &framebuffer);
    GlProcNamed<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer")(GL_FRAMEBUFFER, framebuffer);
    GlProcNamed<PFNGLFRAMEBUFFERTEXTURE2DPROC>("glFramebufferTexture2D")(
        GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    glViewport(0, 0, kReaderSize, kReaderSize);
    ready = true;
    return true;
}

// Every waiting error, the layer's first, so a check starts clean.
inline void DrainErrors() {
    while (FetchGlError() != GL_NO_ERROR) {
    }
}

// The value that fragment input `input` ("fragment.texcoord[3]",
// "fragment.color") has for each of the count vertices of the current arrays,
// or the background value where a vertex drew nothing.
inline std::vector<Vec4> ReadVertexOutputs(const std::string& input, int count) {
    static GLuint program = 0;
    if (program == 0) GlProcNamed<PFNGLGENPROGRAMSARBPROC>("glGenProgramsARB")(1, &program);
    const std::string text = "!!ARBfp1.0\nMOV result.color, " + input + ";\nEND\n";
    GlProcNamed<PFNGLBINDPROGRAMARBPROC>("glBindProgramARB")(GL_FRAGMENT_PROGRAM_ARB, program);
    GlProcNamed<PFNGLPROGRAMSTRINGARBPROC>("glProgramStringARB")(
        GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_FORMAT_ASCII_ARB, GLsizei(text.size()), text.c_str());
    glEnable(GL_FRAGMENT_PROGRAM_ARB);
    glClearColor(kReaderBackground, kReaderBackground, kReaderBackground, kReaderBackground);
    std::vector<Vec4> values(count);
    std::vector<float> pixels(kReaderSize * kReaderSize * 4);
    for (int i = 0; i < count; ++i) {
        glClear(GL_COLOR_BUFFER_BIT);
        glDrawArrays(GL_POINTS, i, 1);
        glReadPixels(0, 0, kReaderSize, kReaderSize, GL_RGBA, GL_FLOAT, pixels.data());
        values[i].fill(kReaderBackground);
        for (int p = 0; p < kReaderSize * kReaderSize; ++p)
            if (pixels[p * 4] != kReaderBackground)
                for (int c = 0; c < 4; ++c)
                    values[i][c] = pixels[p * 4 + c];
    }
    glDisable(GL_FRAGMENT_PROGRAM_ARB);
    return values;
}

// Window x, y, z and clip w of each vertex, through feedback mode.
inline std::vector<Vec4> ReadWindowPositions(int count) {
    std::vector<GLfloat> buffer(count * 13 + 16);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_4D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glDrawArrays(GL_POINTS, 0, count);
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<Vec4> positions;
    for (GLint at = 0; at + 13 <= used && buffer[at] == GL_POINT_TOKEN; at += 13)
        positions.push_back({buffer[at + 1], buffer[at + 2], buffer[at + 3], buffer[at + 4]});
    return positions;  // per point: token, x y z w, r g b a, s t r q
}

// Draws one point at the origin with the bound shader enabled and returns what
// reached texture coordinate set 0 (the background value if nothing drew).
inline Vec4 DrawOnePoint() {
    static const float kOrigin[3] = {0.0f, 0.0f, 0.0f};
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, kOrigin);
    SetVertexShaderEnabled(1);
    const Vec4 value = ReadVertexOutputs("fragment.texcoord[0]", 1)[0];
    SetVertexShaderEnabled(0);
    glDisableClientState(GL_VERTEX_ARRAY);
    return value;
}
