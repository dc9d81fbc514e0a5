// Small vector helpers shared by the asset generator's renderers.
#pragma once

#include <algorithm>
#include <cmath>

struct Vec3 {
    float x;
    float y;
    float z;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float k) {
    return {a.x * k, a.y * k, a.z * k};
}
inline Vec3 operator*(Vec3 a, Vec3 b) {
    return {a.x * b.x, a.y * b.y, a.z * b.z};
}
inline float Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(Vec3 a) {
    return std::sqrt(Dot(a, a));
}
inline Vec3 Normalize(Vec3 a) {
    float length = Length(a);
    return length > 0.0f ? a * (1.0f / length) : a;
}
inline Vec3 Mix(Vec3 a, Vec3 b, float k) {
    return a + (b - a) * k;
}
inline float Mix(float a, float b, float k) {
    return a + (b - a) * k;
}
inline float Clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}
inline Vec3 Clamp01(Vec3 v) {
    return {Clamp01(v.x), Clamp01(v.y), Clamp01(v.z)};
}
inline float SmoothStep(float edge0, float edge1, float v) {
    float k = Clamp01((v - edge0) / (edge1 - edge0));
    return k * k * (3.0f - 2.0f * k);
}

constexpr float kPi = 3.14159265358979f;

// The generator works in display values (what the picture stores, 0..1) and
// integrates light in linear values; 2.2 is the usual monitor power law.
constexpr float kDisplayGamma = 2.2f;
inline float DisplayToLinear(float v) {
    return std::pow(std::max(v, 0.0f), kDisplayGamma);
}
inline float LinearToDisplay(float v) {
    return std::pow(std::max(v, 0.0f), 1.0f / kDisplayGamma);
}
