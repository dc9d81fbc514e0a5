// Reads back what a vertex program hands on, one vertex at a time, at full
// float precision: each vertex is drawn as a one-pixel point into a float
// colour buffer, through a tiny ARB fragment program that writes one of the
// fragment's inputs (a texture coordinate set, the colour) as its colour.
// Window position and clip w come from GL's feedback mode.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "render/gl_api.h"
#include "render/platform.h"

typedef std::array<float, 4> Vec4;

struct VertexOutputReader {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
    PFNGLGENPROGRAMSARBPROC genPrograms;
    PFNGLBINDPROGRAMARBPROC bindProgram;
    PFNGLPROGRAMSTRINGARBPROC programString;
    PFNGLDELETEPROGRAMSARBPROC deletePrograms;
    GLuint framebuffer = 0;
    GLuint texture = 0;
    GLuint program = 0;
};

constexpr int kReaderSize = 32;
constexpr float kReaderBackground = -12345.0f;

inline bool OpenVertexOutputReader(VertexOutputReader* reader) {
    reader->genFramebuffers =
        reinterpret_cast<PFNGLGENFRAMEBUFFERSPROC>(GetGlProcAddress("glGenFramebuffers"));
    reader->bindFramebuffer =
        reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(GetGlProcAddress("glBindFramebuffer"));
    reader->framebufferTexture2D =
        reinterpret_cast<PFNGLFRAMEBUFFERTEXTURE2DPROC>(GetGlProcAddress("glFramebufferTexture2D"));
    reader->deleteFramebuffers =
        reinterpret_cast<PFNGLDELETEFRAMEBUFFERSPROC>(GetGlProcAddress("glDeleteFramebuffers"));
    reader->genPrograms =
        reinterpret_cast<PFNGLGENPROGRAMSARBPROC>(GetGlProcAddress("glGenProgramsARB"));
    reader->bindProgram =
        reinterpret_cast<PFNGLBINDPROGRAMARBPROC>(GetGlProcAddress("glBindProgramARB"));
    reader->programString =
        reinterpret_cast<PFNGLPROGRAMSTRINGARBPROC>(GetGlProcAddress("glProgramStringARB"));
    reader->deletePrograms =
        reinterpret_cast<PFNGLDELETEPROGRAMSARBPROC>(GetGlProcAddress("glDeleteProgramsARB"));
    if (!reader->genFramebuffers || !reader->genPrograms) return false;
    glGenTextures(1, &reader->texture);
    glBindTexture(GL_TEXTURE_2D, reader->texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, kReaderSize, kReaderSize, 0, GL_RGBA, GL_FLOAT,
                 nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    reader->genFramebuffers(1, &reader->framebuffer);
    reader->bindFramebuffer(GL_FRAMEBUFFER, reader->framebuffer);
    reader->framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                                 reader->texture, 0);
    reader->bindFramebuffer(GL_FRAMEBUFFER, 0);
    reader->genPrograms(1, &reader->program);
    return true;
}

inline void CloseVertexOutputReader(VertexOutputReader* reader) {
    reader->deleteFramebuffers(1, &reader->framebuffer);
    reader->deletePrograms(1, &reader->program);
    glDeleteTextures(1, &reader->texture);
}

// The value that fragment input `input` ("fragment.texcoord[3]",
// "fragment.color") has for each of the count vertices of the current arrays,
// or the background value where a vertex drew nothing.
inline std::vector<Vec4> ReadVertexOutputs(VertexOutputReader* reader, const std::string& input,
                                           int count) {
    std::string text = "!!ARBfp1.0\nMOV result.color, " + input + ";\nEND\n";
    reader->bindFramebuffer(GL_FRAMEBUFFER, reader->framebuffer);
    glViewport(0, 0, kReaderSize, kReaderSize);
    reader->bindProgram(GL_FRAGMENT_PROGRAM_ARB, reader->program);
    reader->programString(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_FORMAT_ASCII_ARB,
                          static_cast<GLsizei>(text.size()), text.c_str());
    glEnable(GL_FRAGMENT_PROGRAM_ARB);
    std::vector<Vec4> values(count);
    std::vector<float> pixels(kReaderSize * kReaderSize * 4);
    for (int i = 0; i < count; ++i) {
        glClearColor(kReaderBackground, kReaderBackground, kReaderBackground, kReaderBackground);
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
    reader->bindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0, 0, 0, 0);
    return values;
}

// Window x, y, z and clip w of each vertex, through feedback mode.
inline std::vector<Vec4> ReadWindowPositions(int count) {
    glViewport(0, 0, kReaderSize, kReaderSize);
    std::vector<GLfloat> buffer(count * 13 + 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_4D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glDrawArrays(GL_POINTS, 0, count);
    GLint used = glRenderMode(GL_RENDER);
    std::vector<Vec4> positions;
    for (GLint at = 0; at + 13 <= used && static_cast<int>(positions.size()) < count;) {
        if (buffer[at] != GL_POINT_TOKEN) break;
        positions.push_back({buffer[at + 1], buffer[at + 2], buffer[at + 3], buffer[at + 4]});
        at += 13;  // token, x y z w, r g b a, s t r q
    }
    return positions;
}
