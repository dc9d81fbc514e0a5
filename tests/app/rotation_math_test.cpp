#include "app/rotation_math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Vector3d {
    double x, y, z;
};

// Rodrigues' rotation formula in double precision: an oracle that shares no
// code or representation with the quaternion path.
Vector3d RotateAboutAxis(Vector3d v, double angleDegrees, Vector3d axis) {
    double length = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
    Vector3d k = {axis.x / length, axis.y / length, axis.z / length};
    double a = angleDegrees * M_PI / 180.0;
    double c = std::cos(a), s = std::sin(a);
    double dot = k.x * v.x + k.y * v.y + k.z * v.z;
    Vector3d cross = {k.y * v.z - k.z * v.y, k.z * v.x - k.x * v.z, k.x * v.y - k.y * v.x};
    return {v.x * c + cross.x * s + k.x * dot * (1 - c),
            v.y * c + cross.y * s + k.y * dot * (1 - c),
            v.z * c + cross.z * s + k.z * dot * (1 - c)};
}

Vector4 Apply(const Matrix4& m, Vector4 v) {
    TransformVector4(m, &v);
    return v;
}

void ExpectIdentity(const Matrix4& m, float tolerance) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(m.elements[i], (i % 5 == 0) ? 1.0f : 0.0f, tolerance) << "element " << i;
    }
}

TEST(RotationMath, ZeroAngleGivesUnitQuaternionAndIdentityMatrix) {
    const float axes[][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {3, -4, 12}};
    for (const auto& axis : axes) {
        Quaternion q;
        QuaternionFromAxisAngle(&q, 0.0f, axis[0], axis[1], axis[2]);
        EXPECT_EQ(q.w, 1.0f);
        EXPECT_EQ(q.x, 0.0f);
        EXPECT_EQ(q.y, 0.0f);
        EXPECT_EQ(q.z, 0.0f);
        Matrix4 m;
        QuaternionToMatrix(&q, &m);
        ExpectIdentity(m, 0.0f);
    }
}

TEST(RotationMath, AxisLengthDoesNotMatter) {
    Quaternion unit, longer;
    QuaternionFromAxisAngle(&unit, 90.0f, 0.0f, 1.0f, 0.0f);
    QuaternionFromAxisAngle(&longer, 90.0f, 0.0f, 2.0f, 0.0f);
    EXPECT_FLOAT_EQ(longer.w, 0.70710677f);
    EXPECT_EQ(longer.x, 0.0f);
    EXPECT_FLOAT_EQ(longer.y, 0.70710677f);
    EXPECT_EQ(longer.z, 0.0f);
    EXPECT_EQ(unit.w, longer.w);
    EXPECT_EQ(unit.y, longer.y);
}

TEST(RotationMath, FullTurnUsesSinglePrecisionDegreeFactor) {
    // 360 * 0.017453292f / 2 rounds to the float nearest pi, 3.14159274, which
    // lies 8.742278e-8 above pi: its sine is -8.742278e-8, not the 1e-16 that a
    // double-precision pi / 180 would give.
    Quaternion q;
    QuaternionFromAxisAngle(&q, 360.0f, 1.0f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(q.w, -1.0f);
    EXPECT_FLOAT_EQ(q.x, -8.742278e-8f);
    EXPECT_EQ(q.y, 0.0f);
    Matrix4 m;
    QuaternionToMatrix(&q, &m);
    ExpectIdentity(m, 1e-6f);
}

TEST(RotationMath, MatrixNormalisesQuaternionInPlace) {
    Quaternion q = {2.0f, 0.0f, 0.0f, 0.0f};
    Matrix4 m;
    QuaternionToMatrix(&q, &m);
    EXPECT_EQ(q.w, 1.0f);
    EXPECT_EQ(q.x, 0.0f);
    ExpectIdentity(m, 0.0f);

    // (1, 1, 1, 1) / 2 is 120 degrees about (1, 1, 1): it cycles the axes.
    Quaternion cyclic = {3.0f, 3.0f, 3.0f, 3.0f};
    QuaternionToMatrix(&cyclic, &m);
    EXPECT_FLOAT_EQ(cyclic.w, 0.5f);
    EXPECT_FLOAT_EQ(cyclic.z, 0.5f);
    Vector4 x = Apply(m, {1, 0, 0, 0});
    EXPECT_NEAR(x.x, 0.0f, 1e-7f);
    EXPECT_NEAR(x.y, 1.0f, 1e-7f);
    EXPECT_NEAR(x.z, 0.0f, 1e-7f);
}

TEST(RotationMath, ProductAppliesFirstOperandFirst) {
    Quaternion yaw, pitch, product;
    QuaternionFromAxisAngle(&yaw, 90.0f, 0.0f, 1.0f, 0.0f);
    QuaternionFromAxisAngle(&pitch, 90.0f, 1.0f, 0.0f, 0.0f);
    QuaternionMultiply(yaw, pitch, &product);
    Matrix4 m;
    QuaternionToMatrix(&yaw, &m);
    Vector4 afterYaw = Apply(m, {1, 0, 0, 1});
    EXPECT_NEAR(afterYaw.x, 0.0f, 1e-6f);
    EXPECT_NEAR(afterYaw.z, -1.0f, 1e-6f);
    QuaternionToMatrix(&product, &m);
    Vector4 both = Apply(m, {1, 0, 0, 1});
    EXPECT_NEAR(both.x, 0.0f, 1e-6f);
    EXPECT_NEAR(both.y, 1.0f, 1e-6f);
    EXPECT_NEAR(both.z, 0.0f, 1e-6f);
    EXPECT_EQ(both.w, 1.0f);
}

TEST(RotationMath, ProductMayOverwriteAnOperand) {
    Quaternion a, b, separate;
    QuaternionFromAxisAngle(&a, 30.0f, 1.0f, 2.0f, 3.0f);
    QuaternionFromAxisAngle(&b, -75.0f, 0.5f, -1.0f, 0.25f);
    QuaternionMultiply(a, b, &separate);
    Quaternion aliasA = a, aliasB = b;
    QuaternionMultiply(aliasA, b, &aliasA);
    QuaternionMultiply(a, aliasB, &aliasB);
    EXPECT_EQ(aliasA.w, separate.w);
    EXPECT_EQ(aliasA.x, separate.x);
    EXPECT_EQ(aliasB.y, separate.y);
    EXPECT_EQ(aliasB.z, separate.z);
}

TEST(RotationMath, YawThenPitchMatchesDoublePrecisionRotation) {
    const float angles[][2] = {{0, 0},     {90, 0},   {0, 90},       {37.5f, -12.25f},
                               {-170, 45}, {359, 1},  {720, -360},   {123.456f, 78.9f},
                               {-45, -45}, {10, 200}, {1e-3f, 5e-4f}};
    const Vector3d probes[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0.3, -0.7, 2.5}};
    for (const auto& angle : angles) {
        Quaternion yaw, pitch, product;
        QuaternionFromAxisAngle(&yaw, angle[0], 0.0f, 1.0f, 0.0f);
        QuaternionFromAxisAngle(&pitch, angle[1], 1.0f, 0.0f, 0.0f);
        QuaternionMultiply(yaw, pitch, &product);
        Matrix4 m;
        QuaternionToMatrix(&product, &m);
        for (const auto& p : probes) {
            Vector3d expected =
                RotateAboutAxis(RotateAboutAxis(p, angle[0], {0, 1, 0}), angle[1], {1, 0, 0});
            Vector4 got = Apply(m, {float(p.x), float(p.y), float(p.z), 1.0f});
            double tolerance = 4e-6 * (1 + std::fabs(angle[0]) / 360 + std::fabs(angle[1]) / 360);
            EXPECT_NEAR(got.x, expected.x, tolerance * 3) << angle[0] << " " << angle[1];
            EXPECT_NEAR(got.y, expected.y, tolerance * 3) << angle[0] << " " << angle[1];
            EXPECT_NEAR(got.z, expected.z, tolerance * 3) << angle[0] << " " << angle[1];
            EXPECT_EQ(got.w, 1.0f);
        }
    }
}

TEST(RotationMath, ArbitraryAxisMatchesDoublePrecisionRotation) {
    const float cases[][4] = {{90, 1, 1, 0}, {-33, 0.2f, -5, 1}, {180, 0, 0, -3}, {271, 1, 2, 3}};
    for (const auto& c : cases) {
        Quaternion q;
        QuaternionFromAxisAngle(&q, c[0], c[1], c[2], c[3]);
        Matrix4 m;
        QuaternionToMatrix(&q, &m);
        for (int column = 0; column < 3; ++column) {
            Vector3d basis = {column == 0 ? 1.0 : 0.0, column == 1 ? 1.0 : 0.0,
                              column == 2 ? 1.0 : 0.0};
            Vector3d expected = RotateAboutAxis(basis, c[0], {c[1], c[2], c[3]});
            EXPECT_NEAR(m.elements[4 * column + 0], expected.x, 2e-6) << c[0];
            EXPECT_NEAR(m.elements[4 * column + 1], expected.y, 2e-6) << c[0];
            EXPECT_NEAR(m.elements[4 * column + 2], expected.z, 2e-6) << c[0];
        }
    }
}

TEST(RotationMath, RigidInverseOfTranslationMovesEyeBack) {
    Matrix4 m = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -250, 1}};
    InvertRigidMatrix(&m);
    EXPECT_EQ(m.elements[12], 0.0f);
    EXPECT_EQ(m.elements[13], 0.0f);
    EXPECT_EQ(m.elements[14], 250.0f);
    Vector4 eye = Apply(m, {0, 0, 0, 1});
    EXPECT_EQ(eye.x, 0.0f);
    EXPECT_EQ(eye.y, 0.0f);
    EXPECT_EQ(eye.z, 250.0f);
    EXPECT_EQ(eye.w, 1.0f);
}

TEST(RotationMath, RigidInverseUndoesRotationAndTranslation) {
    // The frame's model-view: translate by (0, 0, zoom - 250), then yaw and pitch.
    Quaternion yaw, pitch, product;
    QuaternionFromAxisAngle(&yaw, 63.0f, 0.0f, 1.0f, 0.0f);
    QuaternionFromAxisAngle(&pitch, -21.0f, 1.0f, 0.0f, 0.0f);
    QuaternionMultiply(yaw, pitch, &product);
    Matrix4 modelView;
    QuaternionToMatrix(&product, &modelView);
    modelView.elements[12] = 4.0f;
    modelView.elements[13] = -7.5f;
    modelView.elements[14] = -180.0f;
    Matrix4 inverse = modelView;
    InvertRigidMatrix(&inverse);
    const Vector4 points[] = {{0, 0, 0, 1}, {10, -20, 30, 1}, {1, 1, 1, 0}};
    for (const auto& p : points) {
        Vector4 back = Apply(inverse, Apply(modelView, p));
        EXPECT_NEAR(back.x, p.x, 3e-5f);
        EXPECT_NEAR(back.y, p.y, 3e-5f);
        EXPECT_NEAR(back.z, p.z, 3e-5f);
        EXPECT_EQ(back.w, p.w);
    }
    // The eye in object space is -R^T t, worked out here column by column.
    const float* r = modelView.elements;
    Vector4 eye = Apply(inverse, {0, 0, 0, 1});
    EXPECT_NEAR(eye.x, -(r[0] * 4.0f + r[1] * -7.5f + r[2] * -180.0f), 1e-5f);
    EXPECT_NEAR(eye.y, -(r[4] * 4.0f + r[5] * -7.5f + r[6] * -180.0f), 1e-5f);
    EXPECT_NEAR(eye.z, -(r[8] * 4.0f + r[9] * -7.5f + r[10] * -180.0f), 1e-5f);
}

TEST(RotationMath, RigidInverseResetsBottomRow) {
    Matrix4 m = {{1, 0, 0, 5, 0, 1, 0, 6, 0, 0, 1, 7, 1, 2, 3, 8}};
    InvertRigidMatrix(&m);
    EXPECT_EQ(m.elements[3], 0.0f);
    EXPECT_EQ(m.elements[7], 0.0f);
    EXPECT_EQ(m.elements[11], 0.0f);
    EXPECT_EQ(m.elements[15], 1.0f);
    EXPECT_EQ(m.elements[12], -1.0f);
    EXPECT_EQ(m.elements[13], -2.0f);
    EXPECT_EQ(m.elements[14], -3.0f);
}

TEST(RotationMath, TransformUsesColumnMajorLayout) {
    Matrix4 m;
    for (int i = 0; i < 16; ++i)
        m.elements[i] = float(i + 1);
    Vector4 origin = Apply(m, {0, 0, 0, 1});
    EXPECT_EQ(origin.x, 13.0f);
    EXPECT_EQ(origin.y, 14.0f);
    EXPECT_EQ(origin.z, 15.0f);
    EXPECT_EQ(origin.w, 16.0f);
    // Row 0 is elements 0, 4, 8, 12: 1*1 + 5*2 + 9*3 + 13*4 = 90.
    Vector4 mixed = Apply(m, {1, 2, 3, 4});
    EXPECT_EQ(mixed.x, 90.0f);
    EXPECT_EQ(mixed.y, 100.0f);
    EXPECT_EQ(mixed.z, 110.0f);
    EXPECT_EQ(mixed.w, 120.0f);
}

}  // namespace
