// The default cube maps as the viewer's loader hands them to GL: closed cubes
// without seams, each face where GL's face selection looks for it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "image/texture.h"
#include "tests/support/offscreen_gl.h"
#include "tests/texture/texture_test_support.h"

namespace {

// Face selection of GL_ARB_texture_cube_map: per face (+X, -X, +Y, -Y, +Z, -Z)
// the major axis and sign, then the axis and sign giving s and t.
//   +X: s = -rz, t = -ry   -X: s = +rz, t = -ry   +Y: s = +rx, t = +rz
//   -Y: s = +rx, t = -rz   +Z: s = +rx, t = -ry   -Z: s = -rx, t = -ry
const int kRules[6][6] = {{0, 1, 2, -1, 1, -1}, {0, -1, 2, 1, 1, -1}, {1, 1, 0, 1, 2, 1},
                          {1, -1, 0, 1, 2, -1}, {2, 1, 0, 1, 1, -1},  {2, -1, 0, -1, 1, -1}};

// The direction (not normalised) through s, t of a face.
void FaceDirection(int face, double s, double t, double d[3]) {
    const int* rule = kRules[face];
    d[rule[0]] = rule[1];
    d[rule[2]] = rule[3] * (2 * s - 1);
    d[rule[4]] = rule[5] * (2 * t - 1);
}

// The face and texel GL samples (nearest) for a direction, on faces of n texels.
int SelectTexel(const double d[3], int n, int* row, int* column) {
    int axis = 0;
    for (int i = 1; i < 3; ++i)
        if (std::fabs(d[i]) > std::fabs(d[axis])) axis = i;
    const int face = 2 * axis + (d[axis] < 0);
    const int* rule = kRules[face];
    const double ma = std::fabs(d[axis]);
    *column = std::clamp(int(std::floor((rule[3] * d[rule[2]] / ma + 1) / 2 * n)), 0, n - 1);
    *row = std::clamp(int(std::floor((rule[5] * d[rule[4]] / ma + 1) / 2 * n)), 0, n - 1);
    return face;
}

// The six faces as uploaded, RGB, first row given to GL first.
struct Cube {
    int n = 0;
    std::vector<uint8_t> faces[6];
    const uint8_t* At(int face, int row, int column) const {
        return &faces[face][(static_cast<size_t>(row) * n + column) * 3];
    }
};

Cube LoadAssetCube(const char* file) {
    Cube cube;
    GLuint name = LoadCubeMap((std::string(VIEWER_SOURCE_DIR "/assets/") + file).c_str());
    EXPECT_NE(name, 0u) << file;
    cube.n = TexInt(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB, GL_TEXTURE_WIDTH, 0);
    for (int face = 0; face < 6; ++face)
        cube.faces[face] = ReadTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB + face, GL_RGB, 3);
    glDeleteTextures(1, &name);
    return cube;
}

double Difference(const uint8_t* a, const uint8_t* b) {
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

TEST(CubeMapAssets, FacesMeetWithoutSeamsAlongEveryEdge) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    const struct {
        const char* file;
        int n;
        double worstAllowed;  // levels of 255
    } cases[] = {{"cubemap/gracecubemap.jpg", 512, 40}, {"cubemap/gracediffusecubemap.tga", 32, 6}};
    for (const auto& c : cases) {
        const Cube cube = LoadAssetCube(c.file);
        ASSERT_EQ(cube.n, c.n) << c.file;
        // Each edge texel (corners left out) against the texel one step outwards
        // found by GL's face selection, and against the next one inwards.
        double across = 0, inside = 0, worst = 0;
        const int n = c.n;
        for (int face = 0; face < 6; ++face) {
            for (int edge = 0; edge < 4; ++edge) {  // left, right, first row, last row
                const int ds = edge == 0 ? -1 : edge == 1 ? 1 : 0;
                const int dt = edge == 2 ? -1 : edge == 3 ? 1 : 0;
                for (int i = 1; i < n - 1; ++i) {
                    const int row = dt < 0 ? 0 : dt > 0 ? n - 1 : i;
                    const int column = ds < 0 ? 0 : ds > 0 ? n - 1 : i;
                    double d[3];
                    FaceDirection(face, (column + 0.5 + ds) / n, (row + 0.5 + dt) / n, d);
                    int r, col;
                    const int other = SelectTexel(d, n, &r, &col);
                    const uint8_t* here = cube.At(face, row, column);
                    const double step = Difference(here, cube.At(other, r, col));
                    across += step;
                    worst = std::max(worst, step);
                    inside += Difference(here, cube.At(face, row - dt, column - ds));
                }
            }
        }
        // Across an edge the picture changes no more than between two texels of
        // one face; a face turned or swapped would differ far more.
        EXPECT_LE(across, 1.5 * inside + 24 * (n - 2)) << c.file;
        EXPECT_LE(worst, c.worstAllowed) << c.file;
    }
}

}  // namespace
