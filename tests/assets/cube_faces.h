// Test-side statement of how the viewer turns a cross picture into cube-map
// faces and how GL picks a face texel for a direction, kept apart from the
// asset generator's own code.
#pragma once

#include <string>
#include <vector>

#include "image/image.h"

// A face as uploaded: row 0 is the first row handed to GL (t near 0).
struct TestFace {
    int size = 0;
    std::vector<float> rgb;  // size * size * 3, 0..255
};

struct TestCube {
    TestFace faces[6];  // +X, -X, +Y, -Y, +Z, -Z
};

// Reads a picture as the viewer does (TGA first, then JPEG). Returns false
// when neither reader takes it.
bool ReadAssetPicture(const std::string& path, Image* image);

// Cuts a vertical cross: faces F = width / 3 by G = height / 4 pixels at
// (x0, y0) in bottom-up rows, turned by 180 degrees except -Z.
TestCube CutCube(const Image& image);

// Direction (not normalised) through face coordinates s, t in 0..1.
void FaceDirection(int face, double s, double t, double direction[3]);
// Face and coordinates GL selects for a direction.
void SelectFace(const double direction[3], int* face, double* s, double* t);

const float* TexelAt(const TestCube& cube, int face, int row, int column);

std::string AssetPath(const char* name);
