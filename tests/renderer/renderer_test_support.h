// Scenes of the renderer tests: a colour buffer of any size on the process's
// offscreen context, flat-coloured textures made in place, a UV sphere built
// in memory, and read-back of the frame.
#pragma once

#include <GL/osmesa.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/app_state.h"
#include "app/projection.h"
#include "model/mesh_prep.h"
#include "model/model.h"
#include "render/gl_api.h"
#include "tests/support/offscreen_gl.h"

struct Rgb {
    float r;
    float g;
    float b;
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
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
    const uint8_t* At(int x, int y) const {
        return &rgba[(static_cast<size_t>(y) * width + x) * 4];
    }
};

inline Frame ReadFrame() {
    Frame frame;
    frame.width = windowWidth;
    frame.height = windowHeight;
    frame.rgba.resize(static_cast<size_t>(frame.width) * frame.height * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, frame.width, frame.height, GL_RGBA, GL_UNSIGNED_BYTE, frame.rgba.data());
    return frame;
}

inline uint8_t ToByte(float value) {
    return static_cast<uint8_t>(std::lround(value * 255.0f));
}

// A cube map with one flat colour per face, in GL's face order +X, -X, +Y,
// -Y, +Z, -Z. Each face samples exactly its colour anywhere on it.
inline GLuint MakeFlatCubeMap(const Rgb (&faces)[6]) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, name);
    for (int face = 0; face < 6; ++face) {
        std::vector<uint8_t> texels;
        for (int i = 0; i < 16; ++i)
            texels.insert(texels.end(),
                          {ToByte(faces[face].r), ToByte(faces[face].g), ToByte(faces[face].b)});
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB + face, 0, GL_RGB8, 4, 4, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, texels.data());
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, 0);
    return name;
}

// A 4 x 4 2D texture of one RGB byte triple.
inline GLuint MakeFlatTexture(const uint8_t (&rgb)[3]) {
    std::vector<uint8_t> texels;
    for (int i = 0; i < 16; ++i)
        texels.insert(texels.end(), {rgb[0], rgb[1], rgb[2]});
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}

// The model-wide fields a mesh's arrays leave open.
inline float* CopyFloats(const std::vector<float>& values) {
    float* copy = static_cast<float*>(std::malloc(values.size() * sizeof(float)));
    for (size_t i = 0; i < values.size(); ++i)
        copy[i] = values[i];
    return copy;
}

// A UV sphere of the given radius about the origin as a one-mesh Model, with
// normals, tangents and binormals from mesh preparation. Released by
// FreeModel.
inline Model MakeSphereModel(float radius, int slices, int stacks) {
    const float pi = 3.14159265358979f;
    std::vector<float> positions;
    std::vector<float> texCoords;
    for (int j = 0; j <= stacks; ++j) {
        const float theta = pi * static_cast<float>(j) / static_cast<float>(stacks);
        for (int i = 0; i <= slices; ++i) {
            const float phi = 2.0f * pi * static_cast<float>(i) / static_cast<float>(slices);
            positions.insert(positions.end(),
                             {radius * std::sin(theta) * std::sin(phi), radius * std::cos(theta),
                              radius * std::sin(theta) * std::cos(phi)});
            texCoords.insert(texCoords.end(), {static_cast<float>(i) / static_cast<float>(slices),
                                               1.0f - static_cast<float>(j) / stacks});
        }
    }
    std::vector<uint16_t> faces;
    for (int j = 0; j < stacks; ++j) {
        for (int i = 0; i < slices; ++i) {
            const auto a = static_cast<uint16_t>(j * (slices + 1) + i);
            const auto b = static_cast<uint16_t>(a + slices + 1);
            // Counter-clockwise seen from outside.
            faces.insert(faces.end(), {a, b, static_cast<uint16_t>(a + 1)});
            faces.insert(faces.end(),
                         {static_cast<uint16_t>(a + 1), b, static_cast<uint16_t>(b + 1)});
        }
    }
    Model sphere = {};
    sphere.meshCount = 1;
    sphere.meshes = static_cast<Mesh*>(std::calloc(1, sizeof(Mesh)));
    Mesh& mesh = sphere.meshes[0];
    mesh.vertexCount = static_cast<uint16_t>(positions.size() / 3);
    mesh.positions = CopyFloats(positions);
    mesh.texCoordCount = mesh.vertexCount;
    mesh.texCoords = CopyFloats(texCoords);
    mesh.faceCount = static_cast<uint16_t>(faces.size() / 3);
    mesh.faces = static_cast<uint16_t*>(std::malloc(faces.size() * sizeof(uint16_t)));
    for (size_t i = 0; i < faces.size(); ++i)
        mesh.faces[i] = faces[i];
    ComputeNormals(&mesh);
    ComputeTangentSpace(&mesh);
    ComputeBounds(&sphere);
    return sphere;
}
