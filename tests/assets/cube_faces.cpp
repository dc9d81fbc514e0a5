#include "tests/assets/cube_faces.h"

#include <cmath>
#include <cstdlib>

namespace {

// The face-selection table of GL_ARB_texture_cube_map as data: for each face
// the major axis and its sign, and which axis (with which sign) gives sc and
// tc.
//   +X: sc = -rz, tc = -ry     -X: sc = +rz, tc = -ry
//   +Y: sc = +rx, tc = +rz     -Y: sc = +rx, tc = -rz
//   +Z: sc = +rx, tc = -ry     -Z: sc = -rx, tc = -ry
struct FaceRule {
    int majorAxis;
    int majorSign;
    int sAxis;
    int sSign;
    int tAxis;
    int tSign;
};
const FaceRule kRules[6] = {
    {0, +1, 2, -1, 1, -1}, {0, -1, 2, +1, 1, -1}, {1, +1, 0, +1, 2, +1},
    {1, -1, 0, +1, 2, -1}, {2, +1, 0, +1, 1, -1}, {2, -1, 0, -1, 1, -1},
};

// Rectangles of the cross in pixels from the left and rows from the bottom,
// in units of the face size; all but -Z are turned by 180 degrees.
const int kCutX[6] = {0, 2, 1, 1, 1, 1};
const int kCutY[6] = {2, 2, 3, 1, 2, 0};

}  // namespace

bool ReadAssetPicture(const std::string& path, Image* image) {
    *image = Image{};
    if (LoadTga(path.c_str(), image)) return true;
    *image = Image{};
    return LoadJpeg(path.c_str(), image) == 1;
}

TestCube CutCube(const Image& image) {
    TestCube cube;
    int f = image.width / 3;
    int g = image.height / 4;
    int bytes = image.bitsPerPixel / 8;
    for (int face = 0; face < 6; ++face) {
        TestFace& out = cube.faces[face];
        out.size = f;
        out.rgb.resize(static_cast<size_t>(f) * g * 3);
        bool turned = face != 5;
        for (int row = 0; row < g; ++row) {
            for (int column = 0; column < f; ++column) {
                int sourceRow = kCutY[face] * g + (turned ? g - 1 - row : row);
                int sourceColumn = kCutX[face] * f + (turned ? f - 1 - column : column);
                const uint8_t* pixel =
                    image.pixels +
                    (static_cast<size_t>(sourceRow) * image.width + sourceColumn) * bytes;
                float* texel = &out.rgb[(static_cast<size_t>(row) * f + column) * 3];
                if (bytes >= 3) {  // blue, green, red
                    texel[0] = pixel[2];
                    texel[1] = pixel[1];
                    texel[2] = pixel[0];
                } else {
                    texel[0] = texel[1] = texel[2] = pixel[0];
                }
            }
        }
    }
    return cube;
}

void FaceDirection(int face, double s, double t, double direction[3]) {
    const FaceRule& rule = kRules[face];
    direction[rule.majorAxis] = rule.majorSign;
    direction[rule.sAxis] = rule.sSign * (2.0 * s - 1.0);
    direction[rule.tAxis] = rule.tSign * (2.0 * t - 1.0);
}

void SelectFace(const double direction[3], int* face, double* s, double* t) {
    int axis = 0;
    for (int i = 1; i < 3; ++i) {
        if (std::fabs(direction[i]) > std::fabs(direction[axis])) axis = i;
    }
    int sign = direction[axis] >= 0.0 ? 1 : -1;
    for (int f = 0; f < 6; ++f) {
        const FaceRule& rule = kRules[f];
        if (rule.majorAxis != axis || rule.majorSign != sign) continue;
        double ma = std::fabs(direction[axis]);
        *face = f;
        *s = (rule.sSign * direction[rule.sAxis] / ma + 1.0) / 2.0;
        *t = (rule.tSign * direction[rule.tAxis] / ma + 1.0) / 2.0;
        return;
    }
}

const float* TexelAt(const TestCube& cube, int face, int row, int column) {
    const TestFace& f = cube.faces[face];
    return &f.rgb[(static_cast<size_t>(row) * f.size + column) * 3];
}

std::string AssetPath(const char* name) {
    return std::string(VIEWER_SOURCE_DIR "/assets/") + name;
}
