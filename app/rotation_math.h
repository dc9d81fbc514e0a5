// Single-precision rotation and matrix math for the view: the user's yaw and
// pitch become quaternions, their product a matrix for glMultMatrixf, and the
// model-view matrix's rigid inverse carries the eye into object space.
//
// Everything is float on purpose: the per-frame results must come out the same
// on every build, so each routine performs its operations in a fixed order and
// rounds every stored component to single precision. No state, no allocation.
#pragma once

// Rotation by angle a about the unit axis u: (cos(a/2), u sin(a/2)), scalar first.
struct Quaternion {
    float w;
    float x;
    float y;
    float z;
};

// Column-major, exactly as glMultMatrixf and glGetFloatv use it: row r,
// column c is at elements[4 * c + r]; 12, 13, 14 hold the translation.
struct Matrix4 {
    float elements[16];
};

// A column vector.
struct Vector4 {
    float x;
    float y;
    float z;
    float w;
};

// The only trigonometric and root functions the routines below use; angles in
// radians, results rounded to single precision.
float SinF(float radians);
float CosF(float radians);
float SqrtF(float value);

// The axis need not have unit length; a zero axis yields non-finite values.
void QuaternionFromAxisAngle(Quaternion* out, float angleDegrees, float x, float y, float z);

// out = b * a (Hamilton product, b on the left): as a rotation, a is applied
// first and b second. out may be the same record as a or b.
void QuaternionMultiply(const Quaternion& a, const Quaternion& b, Quaternion* out);

// Normalises q in place, then writes its rotation matrix to out.
void QuaternionToMatrix(Quaternion* q, Matrix4* out);

// Replaces a rotation-then-translation matrix with its inverse. Scale, shear
// and projection are not undone; the bottom row always becomes (0, 0, 0, 1).
void InvertRigidMatrix(Matrix4* m);

// v = m * v.
void TransformVector4(const Matrix4& m, Vector4* v);
