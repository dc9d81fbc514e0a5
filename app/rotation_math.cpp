#include "app/rotation_math.h"

#include <cmath>

namespace {

// pi / 180 as the nearest float (0.01745329238474369), so the conversion is the
// same whatever precision the compiler would pick for a double constant.
const float kRadiansPerDegree = 0.017453292f;

}  // namespace

float SinF(float radians) {
    return std::sin(radians);
}

float CosF(float radians) {
    return std::cos(radians);
}

float SqrtF(float value) {
    return std::sqrt(value);
}

void QuaternionFromAxisAngle(Quaternion* out, float angleDegrees, float x, float y, float z) {
    float length = SqrtF(x * x + y * y + z * z);
    float inverseLength = 1.0f / length;
    float halfAngle = angleDegrees * kRadiansPerDegree * 0.5f;
    float s = SinF(halfAngle);
    out->w = CosF(halfAngle);
    out->x = inverseLength * x * s;
    out->y = inverseLength * y * s;
    out->z = inverseLength * z * s;
}

void QuaternionMultiply(const Quaternion& a, const Quaternion& b, Quaternion* out) {
    // Computed into locals first so that out may alias a or b.
    Quaternion product;
    product.w = a.w * b.w - b.x * a.x - b.y * a.y - b.z * a.z;
    product.x = a.x * b.w + b.x * a.w + b.y * a.z - b.z * a.y;
    product.y = a.y * b.w - b.x * a.z + b.y * a.w + b.z * a.x;
    product.z = a.z * b.w + b.x * a.y - b.y * a.x + b.z * a.w;
    *out = product;
}

void QuaternionToMatrix(Quaternion* q, Matrix4* out) {
    float n = 1.0f / SqrtF(q->w * q->w + q->x * q->x + q->y * q->y + q->z * q->z);
    q->w = q->w * n;
    q->x = q->x * n;
    q->y = q->y * n;
    q->z = q->z * n;
    float w = q->w;
    float x = q->x;
    float y = q->y;
    float z = q->z;
    float* m = out->elements;
    m[0] = 1.0f - 2.0f * (y * y + z * z);
    m[1] = 2.0f * (x * y + w * z);
    m[2] = 2.0f * (x * z - w * y);
    m[3] = 0.0f;
    m[4] = 2.0f * (x * y - w * z);
    m[5] = 1.0f - 2.0f * (x * x + z * z);
    m[6] = 2.0f * (y * z + w * x);
    m[7] = 0.0f;
    m[8] = 2.0f * (x * z + w * y);
    m[9] = 2.0f * (y * z - w * x);
    m[10] = 1.0f - 2.0f * (x * x + y * y);
    m[11] = 0.0f;
    m[12] = 0.0f;
    m[13] = 0.0f;
    m[14] = 0.0f;
    m[15] = 1.0f;
}

void InvertRigidMatrix(Matrix4* matrix) {
    float* m = matrix->elements;
    float tx = m[12];
    float ty = m[13];
    float tz = m[14];
    // -R^T t: each new translation component is a column of R dotted with t.
    m[12] = -(tx * m[0] + ty * m[1] + tz * m[2]);
    m[13] = -(tx * m[4] + ty * m[5] + tz * m[6]);
    m[14] = -(tx * m[8] + ty * m[9] + tz * m[10]);
    float swap = m[1];
    m[1] = m[4];
    m[4] = swap;
    swap = m[2];
    m[2] = m[8];
    m[8] = swap;
    swap = m[6];
    m[6] = m[9];
    m[9] = swap;
    m[3] = 0.0f;
    m[7] = 0.0f;
    m[11] = 0.0f;
    m[15] = 1.0f;
}

void TransformVector4(const Matrix4& matrix, Vector4* v) {
    const float* m = matrix.elements;
    Vector4 in = *v;
    v->x = m[0] * in.x + m[4] * in.y + m[8] * in.z + m[12] * in.w;
    v->y = m[1] * in.x + m[5] * in.y + m[9] * in.z + m[13] * in.w;
    v->z = m[2] * in.x + m[6] * in.y + m[10] * in.z + m[14] * in.w;
    v->w = m[3] * in.x + m[7] * in.y + m[11] * in.z + m[15] * in.w;
}
