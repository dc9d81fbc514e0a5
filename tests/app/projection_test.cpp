#include "app/projection.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/offscreen_gl.h"

namespace {

// gluPerspective's matrix worked out by hand in double precision: 90 degrees
// gives a cotangent of 1; near is the float 0.1 widened.
void ExpectPerspective(double aspect, const char* what) {
    const double nearPlane = static_cast<double>(0.1f), farPlane = 4096.0;
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(m[0], 1.0 / aspect, 1e-6) << what;
    EXPECT_NEAR(m[5], 1.0, 1e-6) << what;
    EXPECT_NEAR(m[10], -(farPlane + nearPlane) / (farPlane - nearPlane), 1e-6) << what;
    EXPECT_NEAR(m[11], -1.0, 1e-6) << what;
    EXPECT_NEAR(m[14], -2.0 * farPlane * nearPlane / (farPlane - nearPlane), 1e-6) << what;
    EXPECT_EQ(m[15], 0.0) << what;
}

TEST(ResizeScene, EverySizeIncludingZeroGivesAPerspectiveAndNoError) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    struct Case {
        int width, height;
        double aspect;
        GLint viewportHeight;
    } cases[] = {
        {800, 600, 800.0 / 600.0, 600},
        {400, 300, 400.0 / 300.0, 300},
        {640, 0, 640.0, 1},  // height 0 taken as 1
        {0, 0, 1.0, 1},      // minimised: no division by zero, still a perspective
        {0, 480, 1.0 / 480.0, 480},
    };
    for (const Case& c : cases) {
        ResizeScene(c.width, c.height);
        ExpectPerspective(c.aspect,
                          (std::to_string(c.width) + " x " + std::to_string(c.height)).c_str());
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], c.width);
        EXPECT_EQ(viewport[3], c.viewportHeight);
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

}  // namespace
