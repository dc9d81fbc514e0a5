// What the bump-mapping programs compute, in double precision, straight from
// their formulas: the vertex outputs and the per-pixel colour. Independent of
// the programs' instruction lists, so a wrong register, mask or modifier
// shows as a colour that differs from this one.
#pragma once

#include <algorithm>
#include <cmath>

struct Vec3 {
    double x;
    double y;
    double z;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(double s, Vec3 a) {
    return {s * a.x, s * a.y, s * a.z};
}
inline double Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The vertex program's interpolated outputs: sets 1 to 3 are the rows of
// M = [s*T | s*B | N], set 4 the unit vector to the eye.
struct VertexOutputs {
    Vec3 rows[3];
    Vec3 toEye;
};

inline VertexOutputs ReferenceVertex(Vec3 position, Vec3 normal, Vec3 tangent, Vec3 binormal,
                                     double bumpScale, Vec3 eye) {
    const Vec3 t = bumpScale * tangent;
    const Vec3 b = bumpScale * binormal;
    VertexOutputs out;
    out.rows[0] = {t.x, b.x, normal.x};
    out.rows[1] = {t.y, b.y, normal.y};
    out.rows[2] = {t.z, b.z, normal.z};
    const Vec3 view = eye - position;
    out.toEye = (1.0 / std::sqrt(Dot(view, view))) * view;
    return out;
}

// Cube-map face of a direction in GL's order +X, -X, +Y, -Y, +Z, -Z, and
// whether the direction lies so close to an edge of the cube that the face
// is not certain at the precision of the hardware.
inline int CubeFace(Vec3 d, bool* nearEdge) {
    const double ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
    const double largest = std::max({ax, ay, az});
    const double second = ax == largest   ? std::max(ay, az)
                          : ay == largest ? std::max(ax, az)
                                          : std::max(ax, ay);
    if (nearEdge != nullptr) *nearEdge = largest - second < 0.02 * largest;
    if (ax == largest) return d.x >= 0 ? 0 : 1;
    if (ay == largest) return d.y >= 0 ? 2 : 3;
    return d.z >= 0 ? 4 : 5;
}

struct ColorRgb {
    double c[3];
};

// Per pixel: n the normal-map texel (0..1 per channel), rows and toEye the
// interpolated vertex outputs, Cb the base colour; the three cube maps are
// flat per face. Returns the colour; uncertain is set when any look-up falls
// near a cube edge.
struct PixelInputs {
    double normalTexel[3];
    Vec3 rows[3];
    Vec3 toEye;
    ColorRgb base;
    const ColorRgb* environmentFaces;  // 6
    const ColorRgb* diffuseFaces;      // 6
};

struct PixelResult {
    ColorRgb color;
    double fresnel;
    bool uncertain;
};

inline PixelResult ReferencePixel(const PixelInputs& in) {
    const Vec3 n = {2 * in.normalTexel[0] - 1, 2 * in.normalTexel[1] - 1,
                    2 * in.normalTexel[2] - 1};
    // The normal-map normal carried into object space by the rows of M.
    const Vec3 normal = {Dot(in.rows[0], n), Dot(in.rows[1], n), Dot(in.rows[2], n)};
    const Vec3 v = in.toEye;
    const double d = Dot(normal, v);
    const Vec3 reflection = (2 * d) * normal - Dot(normal, normal) * v;
    const Vec3 seeThrough = -0.9 * v - 0.1 * normal;
    bool edge[3];
    const ColorRgb& cr = in.environmentFaces[CubeFace(reflection, &edge[0])];
    const ColorRgb& ct = in.environmentFaces[CubeFace(seeThrough, &edge[1])];
    const ColorRgb& cd = in.diffuseFaces[CubeFace(normal, &edge[2])];
    PixelResult result;
    result.fresnel = std::clamp(1 - d, 0.0, 1.0);
    result.uncertain = edge[0] || edge[1] || edge[2];
    for (int c = 0; c < 3; ++c) {
        const double environment =
            std::clamp(result.fresnel * cr.c[c] + ct.c[c] * ct.c[c], 0.0, 1.0);
        result.color.c[c] = std::clamp(in.base.c[c] * cd.c[c] + environment, 0.0, 1.0);
    }
    return result;
}
