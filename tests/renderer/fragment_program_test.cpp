// The fragment program alone, fed by the fixed-function vertex pipeline with
// texture coordinates that are affine across the screen, so every pixel's
// interpolated inputs are known exactly and the program's colour can be held
// against the reference everywhere.
#include <gtest/gtest.h>

#include <cstdio>

#include "render/extensions.h"
#include "render/fragment_shader_layer.h"
#include "render/shader_programs.h"
#include "tests/renderer/renderer_test_support.h"
#include "tests/renderer/scene_colours.h"
#include "tests/renderer/shading_reference.h"

namespace {

constexpr int kSize = 48;

// The inputs at normalised device coordinates (x, y), each affine in x and y.
struct AffineInputs {
    double bumpScale;
    Vec3 rows[3];
    Vec3 toEye;
};

AffineInputs InputsAt(double bumpScale, double x, double y) {
    // T = (1, 0, 0), B = (0, 1, 0), N = (0.9x, 0.9y, 0.5): a bulge, so the
    // reflection sweeps over several faces; V turns far enough that the
    // see-through direction crosses face edges and N.V runs from about 0
    // (F near 1) to past 1 (F 0).
    const Vec3 normal = {0.9 * x, 0.9 * y, 0.5};
    AffineInputs in;
    in.bumpScale = bumpScale;
    in.rows[0] = {bumpScale, 0.0, normal.x};
    in.rows[1] = {0.0, bumpScale, normal.y};
    in.rows[2] = {0.0, 0.0, normal.z};
    in.toEye = {-0.3 * x, 0.8 * y, 0.75};
    return in;
}

void DrawQuad(double bumpScale) {
    const double corners[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    glBegin(GL_TRIANGLE_STRIP);
    for (const auto& corner : corners) {
        const AffineInputs in = InputsAt(bumpScale, corner[0], corner[1]);
        ext::glMultiTexCoord2fARB(GL_TEXTURE0_ARB, 0.5f, 0.5f);
        for (int row = 0; row < 3; ++row) {
            ext::glMultiTexCoord3dARB(GL_TEXTURE1_ARB + row, in.rows[row].x, in.rows[row].y,
                                      in.rows[row].z);
        }
        ext::glMultiTexCoord3dARB(GL_TEXTURE4_ARB, in.toEye.x, in.toEye.y, in.toEye.z);
        glVertex2d(corner[0], corner[1]);
    }
    glEnd();
}

struct Case {
    uint8_t normalTexel[3];
    double bumpScale;
};

TEST(FragmentProgram, MatchesReferenceAcrossTheScreen) {
    // A flat texel (127, 127, 254 is the normal map's flat spot) and a tilted
    // one, where the bump scale and the bias-and-double of both first
    // channels count.
    const Case cases[] = {{{127, 127, 254}, 1.0}, {{190, 90, 220}, 0.7}, {{60, 200, 235}, 1.8}};
    ASSERT_TRUE(UseOffscreenSize(kSize, kSize));
    ASSERT_TRUE(FetchMultitextureEntryPoints());
    ASSERT_TRUE(ChooseFragmentShaderExtension());
    GLuint shader = 0;
    BuildFragmentShader(&shader);
    ASSERT_NE(shader, 0u);
    const FaceColours colours = StoredFaceColours();
    const GLuint environment = MakeFlatCubeMap(kEnvironmentFaces);
    const GLuint diffuse = MakeFlatCubeMap(kDiffuseFaces);
    const GLuint base = MakeFlatTexture(kBaseColour);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "bump scale " << c.bumpScale);
        const GLuint normalMap = MakeFlatTexture(c.normalTexel);
        const GLuint textures[5] = {normalMap, environment, environment, diffuse, base};
        const GLenum targets[5] = {GL_TEXTURE_2D, GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_CUBE_MAP_ARB,
                                   GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_2D};
        glClear(GL_COLOR_BUFFER_BIT);
        ext::glBindFragmentShaderATI(shader);
        SetFragmentShaderEnabled(1);
        for (int unit = 0; unit < 5; ++unit) {
            ext::glActiveTextureARB(GL_TEXTURE0_ARB + unit);
            glBindTexture(targets[unit], textures[unit]);
            glEnable(targets[unit]);
        }
        PrepareFragmentShaderForDraw();
        DrawQuad(c.bumpScale);
        for (int unit = 4; unit >= 0; --unit) {
            ext::glActiveTextureARB(GL_TEXTURE0_ARB + unit);
            glDisable(targets[unit]);
        }
        SetFragmentShaderEnabled(0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        const Frame frame = ReadFrame();
        glDeleteTextures(1, &normalMap);

        int compared = 0, worst = 0;
        double lowestF = 1, highestF = 0;
        for (int py = 0; py < kSize; ++py) {
            for (int px = 0; px < kSize; ++px) {
                const double x = (px + 0.5) / kSize * 2 - 1;
                const double y = (py + 0.5) / kSize * 2 - 1;
                const AffineInputs in = InputsAt(c.bumpScale, x, y);
                PixelInputs pixel = {
                    {c.normalTexel[0] / 255.0, c.normalTexel[1] / 255.0, c.normalTexel[2] / 255.0},
                    {in.rows[0], in.rows[1], in.rows[2]},
                    in.toEye,
                    colours.base,
                    colours.environment,
                    colours.diffuse};
                const PixelResult expected = ReferencePixel(pixel);
                if (expected.uncertain) continue;
                ++compared;
                lowestF = std::min(lowestF, expected.fresnel);
                highestF = std::max(highestF, expected.fresnel);
                const int difference = ChannelDifference(frame.At(px, py), expected.color);
                worst = std::max(worst, difference);
                ASSERT_LE(difference, 2) << "pixel " << px << ", " << py;
            }
        }
        // The comparison covered most of the screen, and F varied over it.
        EXPECT_GT(compared, kSize * kSize / 2);
        EXPECT_GT(highestF - lowestF, 0.3);
        std::printf("bump scale %.1f: %d pixels, F %.2f to %.2f, worst difference %d\n",
                    c.bumpScale, compared, lowestF, highestF, worst);
    }
    const GLuint leftovers[3] = {environment, diffuse, base};
    glDeleteTextures(3, leftovers);
    ext::glDeleteFragmentShaderATI(shader);
}

}  // namespace
