// The two cube maps, cut as the viewer cuts them, must form closed cubes: the
// texels on both sides of every shared edge (found through GL's face
// selection, not through the generator's layout) agree. The diffuse map must
// be the cosine-weighted integral of the environment it belongs to.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "tests/assets/cube_faces.h"

namespace {

struct EdgeStatistics {
    double meanAcross = 0;    // edge texel against its neighbour on the next face
    double meanInside = 0;    // edge texel against the next texel inwards
    double meanReversed = 0;  // against the neighbour of the mirrored edge texel
    double worstAcross = 0;
};

double Difference(const float* a, const float* b) {
    return std::max({std::fabs(a[0] - b[0]), std::fabs(a[1] - b[1]), std::fabs(a[2] - b[2])});
}

// Texel reached by stepping one texel outwards over edge `edge` (0 left,
// 1 right, 2 first row, 3 last row) from texel (row, column) of `face`.
void NeighbourAcross(const TestCube& cube, int face, int row, int column, int edge,
                     int* neighbourFace, int* neighbourRow, int* neighbourColumn) {
    int n = cube.faces[face].size;
    double s = (column + 0.5) / n, t = (row + 0.5) / n;
    if (edge == 0) s -= 1.0 / n;
    if (edge == 1) s += 1.0 / n;
    if (edge == 2) t -= 1.0 / n;
    if (edge == 3) t += 1.0 / n;
    double direction[3];
    FaceDirection(face, s, t, direction);
    double s2, t2;
    SelectFace(direction, neighbourFace, &s2, &t2);
    *neighbourColumn = std::clamp(static_cast<int>(std::floor(s2 * n)), 0, n - 1);
    *neighbourRow = std::clamp(static_cast<int>(std::floor(t2 * n)), 0, n - 1);
}

EdgeStatistics MeasureEdges(const TestCube& cube) {
    EdgeStatistics stats;
    int n = cube.faces[0].size;
    int count = 0;
    for (int face = 0; face < 6; ++face) {
        for (int edge = 0; edge < 4; ++edge) {
            // Corner texels touch two edges at once; the rest suffice.
            for (int i = 1; i < n - 1; ++i) {
                auto place = [edge, n](int index, int* row, int* column) {
                    *row = edge == 2 ? 0 : (edge == 3 ? n - 1 : index);
                    *column = edge == 0 ? 0 : (edge == 1 ? n - 1 : index);
                };
                int row, column, mirroredRow, mirroredColumn;
                place(i, &row, &column);
                place(n - 1 - i, &mirroredRow, &mirroredColumn);
                int g, r, c;
                NeighbourAcross(cube, face, row, column, edge, &g, &r, &c);
                EXPECT_NE(face, g);
                const float* here = TexelAt(cube, face, row, column);
                double across = Difference(here, TexelAt(cube, g, r, c));
                NeighbourAcross(cube, face, mirroredRow, mirroredColumn, edge, &g, &r, &c);
                double reversed = Difference(here, TexelAt(cube, g, r, c));
                int inRow = row + (edge == 2 ? 1 : (edge == 3 ? -1 : 0));
                int inColumn = column + (edge == 0 ? 1 : (edge == 1 ? -1 : 0));
                double inside = Difference(here, TexelAt(cube, face, inRow, inColumn));
                stats.meanAcross += across;
                stats.meanInside += inside;
                stats.meanReversed += reversed;
                stats.worstAcross = std::max(stats.worstAcross, across);
                ++count;
            }
        }
    }
    stats.meanAcross /= count;
    stats.meanInside /= count;
    stats.meanReversed /= count;
    return stats;
}

TEST(CubeMapAssets, FacesMeetWithoutSeamsAlongEveryEdge) {
    struct Case {
        const char* file;
        int faceSize;
        double worstAllowed;  // levels of 255
    };
    const Case cases[] = {
        {"cubemap/gracecubemap.jpg", 512, 40.0},
        {"cubemap/gracediffusecubemap.tga", 32, 6.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Image image;
        ASSERT_TRUE(ReadAssetPicture(AssetPath(c.file), &image));
        ASSERT_EQ(3 * c.faceSize, image.width);
        ASSERT_EQ(4 * c.faceSize, image.height);
        TestCube cube = CutCube(image);
        std::free(image.pixels);
        EdgeStatistics stats = MeasureEdges(cube);
        // Across an edge the picture changes no more than between two texels
        // of one face; a face turned or swapped would differ far more.
        EXPECT_LE(stats.meanAcross, 1.5 * stats.meanInside + 1.0);
        EXPECT_LE(stats.worstAcross, c.worstAllowed);
        EXPECT_GE(stats.meanReversed, 3.0 * stats.meanAcross + 1.0)
            << "the environment is too uniform for this check to notice a turned face";
    }
}

double ToLinear(float byteValue) {
    return std::pow(byteValue / 255.0, 2.2);
}

// Exact solid angle of the part of a unit face (at distance 1) from (-1, -1)
// to (x, y).
double CornerArea(double x, double y) {
    return std::atan2(x * y, std::sqrt(x * x + y * y + 1));
}

TEST(CubeMapAssets, DiffuseMapIsTheCosineIntegralOfTheEnvironment) {
    Image environmentImage, diffuseImage;
    ASSERT_TRUE(ReadAssetPicture(AssetPath("cubemap/gracecubemap.jpg"), &environmentImage));
    ASSERT_TRUE(ReadAssetPicture(AssetPath("cubemap/gracediffusecubemap.tga"), &diffuseImage));
    TestCube environment = CutCube(environmentImage);
    TestCube diffuse = CutCube(diffuseImage);
    std::free(environmentImage.pixels);
    std::free(diffuseImage.pixels);

    // Every environment texel as a unit direction, its solid angle and its
    // radiance in linear values (the files hold values for a 2.2 display).
    struct Sample {
        double direction[3];
        double solidAngle;
        double radiance[3];
    };
    std::vector<Sample> samples;
    int n = environment.faces[0].size;
    for (int face = 0; face < 6; ++face) {
        for (int row = 0; row < n; ++row) {
            for (int column = 0; column < n; ++column) {
                Sample sample;
                FaceDirection(face, (column + 0.5) / n, (row + 0.5) / n, sample.direction);
                double length = std::sqrt(sample.direction[0] * sample.direction[0] +
                                          sample.direction[1] * sample.direction[1] +
                                          sample.direction[2] * sample.direction[2]);
                for (double& component : sample.direction)
                    component /= length;
                double x0 = 2.0 * column / n - 1, x1 = 2.0 * (column + 1) / n - 1;
                double y0 = 2.0 * row / n - 1, y1 = 2.0 * (row + 1) / n - 1;
                sample.solidAngle = CornerArea(x1, y1) - CornerArea(x0, y1) - CornerArea(x1, y0) +
                                    CornerArea(x0, y0);
                const float* texel = TexelAt(environment, face, row, column);
                for (int k = 0; k < 3; ++k)
                    sample.radiance[k] = ToLinear(texel[k]);
                samples.push_back(sample);
            }
        }
    }

    struct Probe {
        int face;
        int row;
        int column;
    };
    const int m = diffuse.faces[0].size;
    const Probe probes[] = {{0, m / 2, m / 2}, {1, m / 2, m / 2}, {2, m / 2, m / 2},
                            {3, m / 2, m / 2}, {4, m / 2, m / 2}, {5, m / 2, m / 2},
                            {4, 3, m - 4},     {2, m - 2, 1},     {5, 6, m / 3}};
    double totalSolidAngle = 0;
    for (const Sample& sample : samples)
        totalSolidAngle += sample.solidAngle;
    EXPECT_NEAR(4.0 * M_PI, totalSolidAngle, 1e-6);

    for (const Probe& probe : probes) {
        SCOPED_TRACE(testing::Message() << "face " << probe.face << " row " << probe.row
                                        << " column " << probe.column);
        double normal[3];
        FaceDirection(probe.face, (probe.column + 0.5) / m, (probe.row + 0.5) / m, normal);
        double length =
            std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
        double sum[3] = {0, 0, 0};
        for (const Sample& sample : samples) {
            double cosine = (normal[0] * sample.direction[0] + normal[1] * sample.direction[1] +
                             normal[2] * sample.direction[2]) /
                            length;
            if (cosine <= 0) continue;
            for (int k = 0; k < 3; ++k)
                sum[k] += sample.radiance[k] * cosine * sample.solidAngle;
        }
        const float* stored = TexelAt(diffuse, probe.face, probe.row, probe.column);
        for (int k = 0; k < 3; ++k) {
            // Irradiance over pi: a white surrounding gives white.
            double expected = 255.0 * std::pow(sum[k] / M_PI, 1.0 / 2.2);
            EXPECT_NEAR(expected, stored[k], 3.0) << "channel " << k;
        }
    }
}

}  // namespace
