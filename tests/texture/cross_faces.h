// The six faces of a vertical-cross cube-map picture (see MakeCrossPicture)
// and what GL should hold for each after LoadCubeMap.
#pragma once

#include <cstdint>
#include <vector>

#include "render/gl_api.h"
#include "tests/texture/test_pictures.h"

struct Vector3 {
    float x, y, z;
};

inline Vector3 Cross(Vector3 a, Vector3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Each face as the cross shows it: where it sits (column, band counted from the
// top of the picture) and, for a viewer at the centre of the cube in a
// right-handed world, the direction it faces and which way is up when the
// picture is folded round +Z (the middle face): the cross's top band folds up,
// its arms fold to the sides. Right is forward x up.
struct CrossFace {
    GLenum target;
    const char* label;
    int column;
    int band;
    Vector3 forward;
    Vector3 up;
};

inline const CrossFace kFaces[] = {
    {GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB, "+X", 0, 1, {1, 0, 0}, {0, 1, 0}},
    {GL_TEXTURE_CUBE_MAP_NEGATIVE_X_ARB, "-X", 2, 1, {-1, 0, 0}, {0, 1, 0}},
    {GL_TEXTURE_CUBE_MAP_POSITIVE_Y_ARB, "+Y", 1, 0, {0, 1, 0}, {0, 0, -1}},
    {GL_TEXTURE_CUBE_MAP_NEGATIVE_Y_ARB, "-Y", 1, 2, {0, -1, 0}, {0, 0, 1}},
    {GL_TEXTURE_CUBE_MAP_POSITIVE_Z_ARB, "+Z", 1, 1, {0, 0, 1}, {0, 1, 0}},
    {GL_TEXTURE_CUBE_MAP_NEGATIVE_Z_ARB, "-Z", 1, 3, {0, 0, -1}, {0, -1, 0}},
};

// The bytes GL should hold for one face. Five faces are turned: GL's first row
// is the face's top row in the picture, read right to left. -Z is not: GL's
// first row is its bottom row, read left to right.
inline std::vector<uint8_t> ExpectedFace(const CrossFace& face, int bitsPerPixel, int faceSize) {
    const bool turned = face.target != GL_TEXTURE_CUBE_MAP_NEGATIVE_Z_ARB;
    const int bytesPerPixel = bitsPerPixel / 8;
    std::vector<uint8_t> bytes;
    for (int t = 0; t < faceSize; ++t) {
        for (int s = 0; s < faceSize; ++s) {
            int px = face.column * faceSize + (turned ? faceSize - 1 - s : s);
            int py = face.band * faceSize + (turned ? t : faceSize - 1 - t);
            for (int c = 0; c < bytesPerPixel; ++c) {
                bytes.push_back(CrossPictureByte(bitsPerPixel, faceSize, px, py, c));
            }
        }
    }
    return bytes;
}
