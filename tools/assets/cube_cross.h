// Cube-map faces and the vertical-cross picture that holds them.
//
// A face is kept as the viewer uploads it: row 0 is the first row given to GL
// (texture coordinate t near 0), column 0 is s near 0. The direction of a
// texel follows GL's cube-map face selection (major axis, then
// s = (sc/|ma| + 1) / 2 and t = (tc/|ma| + 1) / 2).
//
// The cross is three faces wide and four tall: +Y on top, then +X, +Z, -X,
// then -Y, then -Z at the bottom. The viewer cuts each face from the
// bottom-up rows of the file and turns all but -Z by 180 degrees, so a turned
// face's first row is its top row in the picture read right to left, and
// -Z's first row is its bottom row read left to right.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/assets/asset_math.h"
#include "tools/assets/picture.h"

enum CubeFace { kPositiveX, kNegativeX, kPositiveY, kNegativeY, kPositiveZ, kNegativeZ };

struct CubeFaces {
    int size = 0;
    std::vector<Vec3> texels[6];  // size * size each, row by row
};

// The (unnormalised) direction through face coordinates s, t in 0..1.
Vec3 CubeFaceDirection(int face, float s, float t);
// Face and face coordinates that GL selects for a direction.
void SelectCubeFace(Vec3 direction, int* face, float* s, float* t);

// Position (x from the left, y from the top) in a cross picture of faces of
// `size` pixels of texel (row, column) of a face as uploaded.
void CrossPosition(int face, int size, int row, int column, int* x, int* y);

Picture AssembleCross(const CubeFaces& faces);
CubeFaces CutCross(const Picture& cross);

// Bilinear within the selected face, clamped at its edges, as GL samples a
// cube map with edge clamping.
Vec3 SampleCube(const CubeFaces& faces, Vec3 direction);

// Solid angle of texel (row, column) of a face of `size` texels.
float TexelSolidAngle(int size, int row, int column);

// Cosine-weighted irradiance of `environment` (display values) over the
// hemisphere around each texel direction of faces of `outputSize`, from a box
// average of the environment at `sourceSize` texels per face, integrated in
// linear values and returned as display values. A white environment gives
// white.
CubeFaces ComputeIrradiance(const CubeFaces& environment, int sourceSize, int outputSize);
