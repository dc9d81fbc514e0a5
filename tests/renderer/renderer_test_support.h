// Scenes of the renderer tests: a colour buffer of any size on the process's
// offscreen context, flat-coloured textures, a UV sphere built in memory, and
// read-back of the frame.
#pragma once

#include <GL/osmesa.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/app_state.h"
#include "app/projection.h"
#include "model/mesh_prep.h"
#include "model/model.h"
#include "render/gl_api.h"
#include "tests/support/offscreen_gl.h"

struct Rgb {
    float r, g, b;
};

// Makes the offscreen context draw into a width x height buffer of its own
// and sets viewport, projection and the window size the frame reads.
inline bool UseOffscreenSize(int width, int height, const char* extensionOverride = nullptr) {
    static std::vector<unsigned char> buffer;
    if (!MakeOffscreenGlCurrent(extensionOverride)) return false;
    buffer.assign(static_cast<size_t>(width) * height * 4, 0);
    if (!OSMesaMakeCurrent(OSMesaGetCurrentContext(), buffer.data(), GL_UNSIGNED_BYTE, width,
                           height)) {
        return false;
    }
    windowWidth = width;
    windowHeight = height;
    ResizeScene(width, height);
    return true;
}

// The colour buffer as RGBA bytes, bottom row first.
struct Frame {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
    const uint8_t* At(int x, int y) const { return &rgba[(size_t(y) * width + x) * 4]; }
};

inline Frame ReadFrame() {
    Frame frame{windowWidth, windowHeight, {}};
    frame.rgba.resize(size_t(frame.width) * frame.height * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, frame.width, frame.height, GL_RGBA, GL_UNSIGNED_BYTE, frame.rgba.data());
    return frame;
}

inline uint8_t ToByte(float value) {
    return static_cast<uint8_t>(std::lround(value * 255.0f));
}

// Uploads 4 x 4 texels of one RGB colour to target, which samples exactly that
// colour anywhere.
inline void UploadFlat(GLenum target, const uint8_t (&rgb)[3]) {
    std::vector<uint8_t> texels;
    for (int i = 0; i < 16; ++i)
        texels.insert(texels.end(), rgb, rgb + 3);
    glTexImage2D(target, 0, GL_RGB8, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
}

// A cube map of one flat colour per face, in GL's face order +X, -X, +Y, -Y,
// +Z, -Z.
inline GLuint MakeFlatCubeMap(const Rgb (&faces)[6]) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, name);
    for (int face = 0; face < 6; ++face) {
        const uint8_t rgb[3] = {ToByte(faces[face].r), ToByte(faces[face].g),
                                ToByte(faces[face].b)};
        UploadFlat(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB + face, rgb);
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, 0);
    return name;
}

inline GLuint MakeFlatTexture(const uint8_t (&rgb)[3]) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    UploadFlat(GL_TEXTURE_2D, rgb);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}

// A malloc'ed copy, as FreeModel releases it.
template <typename T>
T* MallocCopy(const std::vector<T>& values) {
    T* copy = static_cast<T*>(std::malloc(values.size() * sizeof(T)));
    std::memcpy(copy, values.data(), values.size() * sizeof(T));
    return copy;
}
inline float* CopyFloats(const std::vector<float>& values) {
    return MallocCopy(values);
}

// A UV sphere of the given radius about the origin as a one-mesh Model, with
// normals, tangents and binormals from mesh preparation.
inline Model MakeSphereModel(float radius, int slices, int stacks) {
    const float pi = 3.14159265358979f;
    std::vector<float> positions, texCoords;
    std::vector<uint16_t> faces;
    for (int j = 0; j <= stacks; ++j) {
        const float theta = pi * j / stacks, s = float(j) / stacks;
        for (int i = 0; i <= slices; ++i) {
            const float phi = 2 * pi * i / slices;
            positions.insert(positions.end(),
                             {radius * std::sin(theta) * std::sin(phi), radius * std::cos(theta),
                              radius * std::sin(theta) * std::cos(phi)});
            texCoords.insert(texCoords.end(), {float(i) / slices, 1 - s});
            if (j == stacks || i == slices) continue;
            // Counter-clockwise seen from outside.
            const auto a = uint16_t(j * (slices + 1) + i), b = uint16_t(a + slices + 1);
            faces.insert(faces.end(), {a, b, uint16_t(a + 1), uint16_t(a + 1), b, uint16_t(b + 1)});
        }
    }
    Model sphere = {};
    sphere.meshCount = 1;
    sphere.meshes = static_cast<Mesh*>(std::calloc(1, sizeof(Mesh)));
    Mesh& mesh = sphere.meshes[0];
    mesh.vertexCount = mesh.texCoordCount = uint16_t(positions.size() / 3);
    mesh.faceCount = uint16_t(faces.size() / 3);
    mesh.positions = MallocCopy(positions);
    mesh.texCoords = MallocCopy(texCoords);
    mesh.faces = MallocCopy(faces);
    ComputeNormals(&mesh);
    ComputeTangentSpace(&mesh);
    ComputeBounds(&sphere);
    return sphere;
}
