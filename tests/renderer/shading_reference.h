// What a frame of the test scene shows, in double precision, straight from
// the formulas and independent of the programs' instruction lists: where the
// view puts things, the vertex program's outputs and the fragment program's
// colour.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/model.h"
#include "tests/renderer/renderer_test_support.h"

// The scene's flat colours. Environment faces +X, -X, +Y, -Y, +Z, -Z: told
// apart in every channel, dark enough that F x reflection + see-through^2
// seldom saturates.
constexpr Rgb kEnvironmentFaces[6] = {{0.50f, 0.10f, 0.10f}, {0.10f, 0.45f, 0.10f},
                                      {0.10f, 0.10f, 0.50f}, {0.40f, 0.40f, 0.05f},
                                      {0.05f, 0.35f, 0.40f}, {0.30f, 0.05f, 0.35f}};
constexpr Rgb kDiffuseFaces[6] = {{0.60f, 0.20f, 0.20f}, {0.20f, 0.55f, 0.20f},
                                  {0.20f, 0.20f, 0.60f}, {0.45f, 0.45f, 0.15f},
                                  {0.15f, 0.40f, 0.45f}, {0.50f, 0.15f, 0.40f}};
// The base texture's two texels, for s in [0, 0.5) and [0.5, 1).
constexpr uint8_t kBaseColours[2][3] = {{150, 128, 100}, {90, 160, 120}};

struct Vec3 {
    double x, y, z;
    friend Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    friend Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    friend Vec3 operator*(double s, Vec3 a) { return {s * a.x, s * a.y, s * a.z}; }
    friend double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
    friend Vec3 Cross(Vec3 a, Vec3 b) {
        return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    }
};

// A frame's view: translate by zoomOffset - 250, then turn by yaw about Y
// followed by pitch about X; a 90-degree projection.
struct ViewReference {
    Vec3 rows[3];     // object to eye, before the translation
    double distance;  // zoomOffset - 250
    int width, height;
};

inline ViewReference MakeViewReference(double yaw, double pitch, double zoom, int w, int h) {
    const double r = 3.14159265358979323846 / 180, cy = std::cos(yaw * r), sy = std::sin(yaw * r);
    const double cp = std::cos(pitch * r), sp = std::sin(pitch * r);
    // pitch x yaw
    return {{{cy, 0, sy}, {sp * sy, cp, -sp * cy}, {-cp * sy, sp, cp * cy}}, zoom - 250, w, h};
}

inline Vec3 RotateToObject(const ViewReference& v, Vec3 e) {
    return e.x * v.rows[0] + e.y * v.rows[1] + e.z * v.rows[2];
}
inline Vec3 EyeInObject(const ViewReference& v) {
    return RotateToObject(v, {0, 0, -v.distance});
}

// The object-space direction through the centre of window pixel (px, py).
inline Vec3 PixelRay(const ViewReference& v, int px, int py) {
    const double aspect = double(v.width) / v.height;
    return RotateToObject(
        v, {((px + 0.5) / v.width * 2 - 1) * aspect, (py + 0.5) / v.height * 2 - 1, -1});
}

// Cube-map face of a direction (+X, -X, +Y, -Y, +Z, -Z), and whether it lies
// so close to an edge that the face is uncertain at the hardware's precision.
inline int CubeFace(Vec3 d, bool* nearEdge) {
    double a[3] = {std::fabs(d.x), std::fabs(d.y), std::fabs(d.z)};
    const int axis = int(std::max_element(a, a + 3) - a);
    const double largest = a[axis];
    a[axis] = 0;
    *nearEdge = largest - std::max({a[0], a[1], a[2]}) < 0.02 * largest;
    const double along[3] = {d.x, d.y, d.z};
    return 2 * axis + (along[axis] >= 0 ? 0 : 1);
}

// A channel of a flat colour as an 8-bit texture holds it.
inline double Stored(const Rgb& colour, int c) {
    return ToByte(c == 0 ? colour.r : c == 1 ? colour.g : colour.b) / 255.0;
}

struct Shade {
    bool covered;    // by a front-facing triangle of the mesh, else the sky
    bool uncertain;  // a look-up falls near a cube or texel edge
    double fresnel;
    double rgb[3];
};

// The test scene (flat cube maps, a base texture of two texels, a flat normal
// map of texel, the sky box around it) at pixel (px, py) with the mesh drawn at bump scale s.
inline Shade ReferencePixel(const ViewReference& view, const Mesh& mesh, const uint8_t (&texel)[3],
                            double s, int px, int py) {
    const Vec3 eye = EyeInObject(view), ray = PixelRay(view, px, py);
    auto at = [](const float* a, int i) { return Vec3{a[3 * i], a[3 * i + 1], a[3 * i + 2]}; };
    // The nearest front-facing triangle on the ray, and its corners' weights
    // there: object-space barycentrics are the perspective-correct ones.
    Shade shade = {};
    double nearest = 1e30, w[3] = {};
    const uint16_t* hit = nullptr;
    for (int f = 0; f < mesh.faceCount; ++f) {
        const uint16_t* v = &mesh.faces[3 * f];
        const Vec3 a = at(mesh.positions, v[0]), e1 = at(mesh.positions, v[1]) - a,
                   e2 = at(mesh.positions, v[2]) - a, p = Cross(ray, e2), o = eye - a,
                   q = Cross(o, e1);
        const double det = Dot(e1, p);  // > 0: counter-clockwise as seen
        if (det <= 0) continue;
        const double u = Dot(o, p) / det, t = Dot(ray, q) / det, depth = Dot(e2, q) / det;
        if (u < 0 || t < 0 || u + t > 1 || depth <= 0 || depth >= nearest) continue;
        nearest = depth, hit = v, w[0] = 1 - u - t, w[1] = u, w[2] = t;
    }
    if (hit == nullptr) {
        // The sky: the face where the ray leaves the box of half-edge 1024.
        const double e[3] = {eye.x, eye.y, eye.z}, r[3] = {ray.x, ray.y, ray.z};
        double to = 1e30;
        for (int i = 0; i < 3; ++i)
            if (r[i] != 0) to = std::min(to, ((r[i] > 0 ? 1024 : -1024) - e[i]) / r[i]);
        const Rgb& sky = kEnvironmentFaces[CubeFace(eye + to * ray, &shade.uncertain)];
        for (int c = 0; c < 3; ++c)
            shade.rgb[c] = Stored(sky, c);
        return shade;
    }
    // The vertex program's outputs, interpolated: the rows of M = [s*T | s*B |
    // N] and the unit vector to the eye.
    Vec3 rows[3] = {}, v = {};
    for (int k = 0; k < 3; ++k) {
        const Vec3 n = at(mesh.normals, hit[k]), t = s * at(mesh.tangents, hit[k]),
                   b = s * at(mesh.binormals, hit[k]), toEye = eye - at(mesh.positions, hit[k]);
        rows[0] = rows[0] + w[k] * Vec3{t.x, b.x, n.x};
        rows[1] = rows[1] + w[k] * Vec3{t.y, b.y, n.y};
        rows[2] = rows[2] + w[k] * Vec3{t.z, b.z, n.z};
        v = v + (w[k] / std::sqrt(Dot(toEye, toEye))) * toEye;
    }
    // The normal-map normal carried into object space by the rows of M.
    const Vec3 n = {2 * texel[0] / 255.0 - 1, 2 * texel[1] / 255.0 - 1, 2 * texel[2] / 255.0 - 1};
    const Vec3 normal = {Dot(rows[0], n), Dot(rows[1], n), Dot(rows[2], n)};
    const double d = Dot(normal, v);
    bool edge[3];
    const Rgb& cr =
        kEnvironmentFaces[CubeFace((2 * d) * normal - Dot(normal, normal) * v, &edge[0])];
    const Rgb& ct = kEnvironmentFaces[CubeFace(-0.9 * v - 0.1 * normal, &edge[1])];
    const Rgb& cd = kDiffuseFaces[CubeFace(normal, &edge[2])];
    double u = 0;  // texture coordinate s, which picks the base texel
    for (int k = 0; k < 3; ++k)
        u += w[k] * mesh.texCoords[2 * hit[k]];
    u -= std::floor(u);
    const bool texelEdge = std::fabs(u - 0.5) < 0.01 || u < 0.01 || u > 0.99;
    const uint8_t* base = kBaseColours[u >= 0.5];
    shade = {true, edge[0] || edge[1] || edge[2] || texelEdge, std::clamp(1 - d, 0.0, 1.0), {}};
    for (int c = 0; c < 3; ++c) {
        const double environment =
            std::clamp(shade.fresnel * Stored(cr, c) + Stored(ct, c) * Stored(ct, c), 0.0, 1.0);
        shade.rgb[c] = std::clamp(base[c] / 255.0 * Stored(cd, c) + environment, 0.0, 1.0);
    }
    return shade;
}

// Largest channel difference between a pixel and a colour, in steps of 1/255.
inline int ChannelDifference(const uint8_t* pixel, const double (&rgb)[3]) {
    int largest = 0;
    for (int c = 0; c < 3; ++c)
        largest = std::max(largest, std::abs(pixel[c] - int(std::lround(rgb[c] * 255))));
    return largest;
}
