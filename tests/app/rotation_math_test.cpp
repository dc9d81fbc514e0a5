#include "app/rotation_math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Vector3d {
    double x, y, z;
};

// Rodrigues' formula in double precision: shares nothing with the quaternion path.
Vector3d RotateAboutAxis(Vector3d v, double angleDegrees, Vector3d axis) {
    double length = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
    Vector3d k = {axis.x / length, axis.y / length, axis.z / length};
    double a = angleDegrees * M_PI / 180.0, c = std::cos(a), s = std::sin(a);
    double dot = k.x * v.x + k.y * v.y + k.z * v.z;
    return {v.x * c + (k.y * v.z - k.z * v.y) * s + k.x * dot * (1 - c),
            v.y * c + (k.z * v.x - k.x * v.z) * s + k.y * dot * (1 - c),
            v.z * c + (k.x * v.y - k.y * v.x) * s + k.z * dot * (1 - c)};
}

Vector4 Apply(const Matrix4& m, Vector4 v) {
    TransformVector4(m, &v);
    return v;
}

// The rotation by a about u, then by b about v, as one matrix: the product
// of their quaternions.
Matrix4 Rotation(float a, Vector3d u, float b, Vector3d v) {
    Quaternion first, then;
    QuaternionFromAxisAngle(&first, a, float(u.x), float(u.y), float(u.z));
    QuaternionFromAxisAngle(&then, b, float(v.x), float(v.y), float(v.z));
    QuaternionMultiply(first, then, &then);  // the output may alias an operand
    Matrix4 m;
    QuaternionToMatrix(&then, &m);
    return m;
}

void ExpectNear(const Vector4& got, Vector3d expected, double tolerance) {
    EXPECT_NEAR(got.x, expected.x, tolerance);
    EXPECT_NEAR(got.y, expected.y, tolerance);
    EXPECT_NEAR(got.z, expected.z, tolerance);
}

// The view's yaw about y then pitch about x, and axes of any length.
TEST(RotationMath, MatricesMatchDoublePrecisionRotation) {
    const Vector3d probes[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0.3, -0.7, 2.5}};
    const auto check = [&](float a, Vector3d u, float b, Vector3d v) {
        Matrix4 m = Rotation(a, u, b, v);
        for (const auto& p : probes) {
            Vector4 got = Apply(m, {float(p.x), float(p.y), float(p.z), 1.0f});
            SCOPED_TRACE(testing::Message() << a << " " << b);
            ExpectNear(got, RotateAboutAxis(RotateAboutAxis(p, a, u), b, v),
                       1.2e-5 * (1 + std::fabs(a) / 360 + std::fabs(b) / 360));
            EXPECT_EQ(got.w, 1.0f);
        }
    };
    const float angles[][2] = {{0, 0},      {37.5f, -12.25f},  {-170, 45}, {359, 1},
                               {720, -360}, {123.456f, 78.9f}, {10, 200},  {1e-3f, 5e-4f}};
    for (const auto& a : angles)
        check(a[0], {0, 1, 0}, a[1], {1, 0, 0});
    const float axes[][4] = {{90, 1, 1, 0}, {-33, 0.2f, -5, 1}, {180, 0, 0, -3}, {271, 1, 2, 3}};
    for (const auto& c : axes)
        check(c[0], {c[1], c[2], c[3]}, -75, {0.5, -1, 0.25});
    // The product need not be a unit quaternion: (3, 3, 3, 3) is normalised in
    // place to (1, 1, 1, 1) / 2, 120 degrees about (1, 1, 1), taking x to y.
    Quaternion cyclic = {3, 3, 3, 3};
    Matrix4 m;
    QuaternionToMatrix(&cyclic, &m);
    EXPECT_FLOAT_EQ(cyclic.w, 0.5f);
    ExpectNear(Apply(m, {1, 0, 0, 0}), {0, 1, 0}, 1e-7);
}

TEST(RotationMath, RigidInverseUndoesModelViewAndResetsBottomRow) {
    Matrix4 modelView = Rotation(63, {0, 1, 0}, -21, {1, 0, 0});
    modelView.elements[12] = 4.0f;
    modelView.elements[13] = -7.5f;
    modelView.elements[14] = -180.0f;
    Matrix4 inverse = modelView;
    InvertRigidMatrix(&inverse);
    for (const Vector4& p : {Vector4{0, 0, 0, 1}, Vector4{10, -20, 30, 1}, Vector4{1, 1, 1, 0}}) {
        Vector4 back = Apply(inverse, Apply(modelView, p));
        ExpectNear(back, {p.x, p.y, p.z}, 3e-5);
        EXPECT_EQ(back.w, p.w);
    }
    // A pure translation with a junk bottom row: the eye goes back by -t.
    Matrix4 m = {{1, 0, 0, 5, 0, 1, 0, 6, 0, 0, 1, 7, 1, 2, -250, 8}};
    InvertRigidMatrix(&m);
    const float expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, -2, 250, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m.elements[i], expected[i]) << i;
}

}  // namespace
