// Shared set-up of the layer tests: the layer chosen on Mesa, symbols of each
// kind for a definition, and what a vertex program hands on read back at full
// float precision: a one-pixel point drawn into a float colour buffer.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
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
const Vec4 kNothingDrawn = {kReaderBackground, kReaderBackground, kReaderBackground,
                            kReaderBackground};

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

const Vec4 kA = {1.0f, -2.0f, 3.0f, 0.5f};
const Vec4 kB = {0.25f, 4.0f, -1.0f, 2.0f};
const Vec4 kC = {1.25f, -2.75f, 0.5f, -0.5f};
const GLuint kOut = GL_OUTPUT_TEXTURE_COORD0_EXT;  // the set DrawOnePoint reads

// What the programs of the tables can read. Bound GL state is bound before
// the definition, as the extension requires; the rest is made inside it.
struct Symbols {
    GLuint a, b, c;     // vector constants kA, kB, kC
    GLuint k;           // block of six scalar constants 0, 1, 2, 3, 4, 8
    GLuint r, q, m;     // vector, scalar and matrix locals
    GLuint vectors;     // block of three vector invariants
    GLuint matrices;    // block of two matrix invariants
    GLuint variant;     // full-range vector variant
    GLuint normalized;  // normalized-range vector variants, an array and one value
    GLuint normal, mvp, fogStart, diffuse, attenuation, shininess, plane, textureMatrix, texCoord3;
};

// Binds and begins shader, makes the symbols above (bound ones taken from
// bound) and moves the position to the output; the caller ends it.
inline Symbols BeginDefinition(GLuint shader, Symbols s = {}) {
    const GLuint position = ext::glBindParameterEXT(GL_CURRENT_VERTEX_EXT);
    ext::glBindVertexShaderEXT(shader);
    ext::glBeginVertexShaderEXT();
    auto gen = [](GLenum type, GLenum storage, GLuint count, GLenum range = GL_FULL_RANGE_EXT) {
        return ext::glGenSymbolsEXT(type, storage, range, count);
    };
    s.a = gen(GL_VECTOR_EXT, GL_LOCAL_CONSTANT_EXT, 1);
    s.b = gen(GL_VECTOR_EXT, GL_LOCAL_CONSTANT_EXT, 1);
    s.c = gen(GL_VECTOR_EXT, GL_LOCAL_CONSTANT_EXT, 1);
    s.k = gen(GL_SCALAR_EXT, GL_LOCAL_CONSTANT_EXT, 6);
    s.r = gen(GL_VECTOR_EXT, GL_LOCAL_EXT, 1);
    s.q = gen(GL_SCALAR_EXT, GL_LOCAL_EXT, 1);
    s.m = gen(GL_MATRIX_EXT, GL_LOCAL_EXT, 1);
    s.vectors = gen(GL_VECTOR_EXT, GL_INVARIANT_EXT, 3);
    s.matrices = gen(GL_MATRIX_EXT, GL_INVARIANT_EXT, 2);
    s.variant = gen(GL_VECTOR_EXT, GL_VARIANT_EXT, 1);
    s.normalized = gen(GL_VECTOR_EXT, GL_VARIANT_EXT, 2, GL_NORMALIZED_RANGE_EXT);
    ext::glSetLocalConstantEXT(s.a, GL_FLOAT, kA.data());
    ext::glSetLocalConstantEXT(s.b, GL_FLOAT, kB.data());
    ext::glSetLocalConstantEXT(s.c, GL_FLOAT, kC.data());
    const double scalars[6] = {0, 1, 2, 3, 4, 8};  // doubles, to take that path too
    for (int i = 0; i < 6; ++i)
        ext::glSetLocalConstantEXT(s.k + i, GL_DOUBLE, &scalars[i]);
    ext::glShaderOp1EXT(GL_OP_MOV_EXT, GL_OUTPUT_VERTEX_EXT, position);
    return s;
}

inline void Out(GLuint source) {
    ext::glShaderOp1EXT(GL_OP_MOV_EXT, kOut, source);
}

// Draws one point at the origin with the bound shader enabled, through an
// ARB fragment program that writes fragment input `input` as its colour, and
// returns that value (the background value if nothing drew).
inline Vec4 DrawOnePoint(const std::string& input = "fragment.texcoord[0]") {
    static GLuint program = 0;
    if (program == 0) GlProcNamed<PFNGLGENPROGRAMSARBPROC>("glGenProgramsARB")(1, &program);
    const std::string text = "!!ARBfp1.0\nMOV result.color, " + input + ";\nEND\n";
    GlProcNamed<PFNGLBINDPROGRAMARBPROC>("glBindProgramARB")(GL_FRAGMENT_PROGRAM_ARB, program);
    GlProcNamed<PFNGLPROGRAMSTRINGARBPROC>("glProgramStringARB")(
        GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_FORMAT_ASCII_ARB, GLsizei(text.size()), text.c_str());
    glEnable(GL_FRAGMENT_PROGRAM_ARB);
    glClearColor(kReaderBackground, kReaderBackground, kReaderBackground, kReaderBackground);
    glClear(GL_COLOR_BUFFER_BIT);
    static const float kOrigin[3] = {0.0f, 0.0f, 0.0f};
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, kOrigin);
    SetVertexShaderEnabled(1);
    glDrawArrays(GL_POINTS, 0, 1);
    SetVertexShaderEnabled(0);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_FRAGMENT_PROGRAM_ARB);
    std::vector<float> pixels(kReaderSize * kReaderSize * 4);
    glReadPixels(0, 0, kReaderSize, kReaderSize, GL_RGBA, GL_FLOAT, pixels.data());
    Vec4 value = kNothingDrawn;
    for (int p = 0; p < kReaderSize * kReaderSize; ++p)
        if (pixels[p * 4] != kReaderBackground)
            std::copy(&pixels[p * 4], &pixels[p * 4 + 4], value.begin());
    return value;
}
