#include "tools/assets/cube_cross.h"

#include <cmath>

Vec3 CubeFaceDirection(int face, float s, float t) {
    float sc = 2.0f * s - 1.0f;
    float tc = 2.0f * t - 1.0f;
    // Inverse of the face-selection table: +X (sc, tc) = (-rz, -ry),
    // -X (+rz, -ry), +Y (+rx, +rz), -Y (+rx, -rz), +Z (+rx, -ry), -Z (-rx, -ry).
    switch (face) {
        case kPositiveX:
            return {1.0f, -tc, -sc};
        case kNegativeX:
            return {-1.0f, -tc, sc};
        case kPositiveY:
            return {sc, 1.0f, tc};
        case kNegativeY:
            return {sc, -1.0f, -tc};
        case kPositiveZ:
            return {sc, -tc, 1.0f};
        default:
            return {-sc, -tc, -1.0f};
    }
}

void SelectCubeFace(Vec3 d, int* face, float* s, float* t) {
    float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
    float sc, tc, ma;
    if (ax >= ay && ax >= az) {
        ma = ax;
        *face = d.x >= 0.0f ? kPositiveX : kNegativeX;
        sc = d.x >= 0.0f ? -d.z : d.z;
        tc = -d.y;
    } else if (ay >= az) {
        ma = ay;
        *face = d.y >= 0.0f ? kPositiveY : kNegativeY;
        sc = d.x;
        tc = d.y >= 0.0f ? d.z : -d.z;
    } else {
        ma = az;
        *face = d.z >= 0.0f ? kPositiveZ : kNegativeZ;
        sc = d.z >= 0.0f ? d.x : -d.x;
        tc = -d.y;
    }
    *s = (sc / ma + 1.0f) * 0.5f;
    *t = (tc / ma + 1.0f) * 0.5f;
}

void CrossPosition(int face, int size, int row, int column, int* x, int* y) {
    // Face rectangles of the cross as (column, band) from the top left.
    static const int kCell[6][2] = {{0, 1}, {2, 1}, {1, 0}, {1, 2}, {1, 1}, {1, 3}};
    int left = kCell[face][0] * size;
    int top = kCell[face][1] * size;
    if (face == kNegativeZ) {
        *x = left + column;
        *y = top + size - 1 - row;
    } else {
        *x = left + size - 1 - column;
        *y = top + row;
    }
}

Picture AssembleCross(const CubeFaces& faces) {
    int n = faces.size;
    Picture cross = MakePicture(3 * n, 4 * n, 3);
    for (int face = 0; face < 6; ++face) {
        for (int row = 0; row < n; ++row) {
            for (int column = 0; column < n; ++column) {
                int x, y;
                CrossPosition(face, n, row, column, &x, &y);
                PutColor(cross, x, y, faces.texels[face][row * n + column]);
            }
        }
    }
    return cross;
}

CubeFaces CutCross(const Picture& cross) {
    CubeFaces faces;
    int n = cross.width / 3;
    faces.size = n;
    for (int face = 0; face < 6; ++face) {
        faces.texels[face].resize(static_cast<size_t>(n) * n);
        for (int row = 0; row < n; ++row) {
            for (int column = 0; column < n; ++column) {
                int x, y;
                CrossPosition(face, n, row, column, &x, &y);
                const uint8_t* pixel = PixelAt(cross, x, y);
                faces.texels[face][row * n + column] = {pixel[0] / 255.0f, pixel[1] / 255.0f,
                                                        pixel[2] / 255.0f};
            }
        }
    }
    return faces;
}

Vec3 SampleCube(const CubeFaces& faces, Vec3 direction) {
    int face;
    float s, t;
    SelectCubeFace(direction, &face, &s, &t);
    int n = faces.size;
    float fx = s * n - 0.5f;
    float fy = t * n - 0.5f;
    float x0f = std::floor(fx), y0f = std::floor(fy);
    float kx = fx - x0f, ky = fy - y0f;
    auto clampIndex = [n](int i) { return i < 0 ? 0 : (i >= n ? n - 1 : i); };
    int x0 = clampIndex(static_cast<int>(x0f)), x1 = clampIndex(static_cast<int>(x0f) + 1);
    int y0 = clampIndex(static_cast<int>(y0f)), y1 = clampIndex(static_cast<int>(y0f) + 1);
    const std::vector<Vec3>& texels = faces.texels[face];
    Vec3 top = Mix(texels[y0 * n + x0], texels[y0 * n + x1], kx);
    Vec3 bottom = Mix(texels[y1 * n + x0], texels[y1 * n + x1], kx);
    return Mix(top, bottom, ky);
}

float TexelSolidAngle(int size, int row, int column) {
    // The face spans -1..1 at distance 1: a texel of side 2/size at (u, v)
    // subtends area / (1 + u^2 + v^2)^(3/2).
    float u = (2.0f * (column + 0.5f)) / size - 1.0f;
    float v = (2.0f * (row + 0.5f)) / size - 1.0f;
    float side = 2.0f / size;
    float r2 = 1.0f + u * u + v * v;
    return side * side / (r2 * std::sqrt(r2));
}

CubeFaces ComputeIrradiance(const CubeFaces& environment, int sourceSize, int outputSize) {
    struct Sample {
        Vec3 direction;
        Vec3 radiance;
        float solidAngle;
    };
    std::vector<Sample> samples;
    int block = environment.size / sourceSize;
    for (int face = 0; face < 6; ++face) {
        for (int row = 0; row < sourceSize; ++row) {
            for (int column = 0; column < sourceSize; ++column) {
                Vec3 sum = {0, 0, 0};
                for (int y = row * block; y < (row + 1) * block; ++y) {
                    for (int x = column * block; x < (column + 1) * block; ++x) {
                        Vec3 c = environment.texels[face][y * environment.size + x];
                        sum = sum + Vec3{DisplayToLinear(c.x), DisplayToLinear(c.y),
                                         DisplayToLinear(c.z)};
                    }
                }
                float s = (column + 0.5f) / sourceSize, t = (row + 0.5f) / sourceSize;
                samples.push_back({Normalize(CubeFaceDirection(face, s, t)),
                                   sum * (1.0f / (block * block)),
                                   TexelSolidAngle(sourceSize, row, column)});
            }
        }
    }
    CubeFaces irradiance;
    irradiance.size = outputSize;
    for (int face = 0; face < 6; ++face) {
        irradiance.texels[face].resize(static_cast<size_t>(outputSize) * outputSize);
        for (int row = 0; row < outputSize; ++row) {
            for (int column = 0; column < outputSize; ++column) {
                Vec3 normal = Normalize(CubeFaceDirection(face, (column + 0.5f) / outputSize,
                                                          (row + 0.5f) / outputSize));
                Vec3 sum = {0, 0, 0};
                float weight = 0.0f;
                for (const Sample& sample : samples) {
                    float cosine = Dot(normal, sample.direction);
                    if (cosine <= 0.0f) continue;
                    float w = cosine * sample.solidAngle;
                    sum = sum + sample.radiance * w;
                    weight += w;
                }
                // Dividing by the summed weights (about pi) rather than by pi
                // makes a uniform environment come out exactly unchanged.
                Vec3 linear = sum * (1.0f / weight);
                irradiance.texels[face][row * outputSize + column] = {LinearToDisplay(linear.x),
                                                                      LinearToDisplay(linear.y),
                                                                      LinearToDisplay(linear.z)};
            }
        }
    }
    return irradiance;
}
