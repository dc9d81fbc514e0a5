// The layer's shader objects on the offscreen context: a shader that cannot
// be drawn, one program per combination of targets, and constants that reach
// the program at draw.
#include <gtest/gtest.h>

#include "tests/render/fragment_shader_layer/layer_gl_support.h"

namespace {

using namespace fragment_layer_test;

constexpr GLuint N = GL_NONE;

bool StartLayer() {
    if (!MakeOffscreenGlCurrent() || !UseFragmentShaderLayer()) return false;
    FetchMultitextureEntryPoints();
    while (FetchGlError() != GL_NO_ERROR) {
    }
    return true;
}

TEST(LayerObjects, AShaderWithAFailedCallDrawsNothingAndSaysSo) {
    ASSERT_TRUE(StartLayer());
    const Scene scene = MakeScene();
    const GLuint shader = DefineShader([] {
        ext::glSampleMapATI(GL_REG_0_ATI, GL_TEXTURE0_ARB, GL_SWIZZLE_STR_ATI);
        // Two scales at once: refused.
        ext::glColorFragmentOp1ATI(GL_MOV_ATI, GL_REG_0_ATI, N, GL_2X_BIT_ATI | GL_4X_BIT_ATI,
                                   GL_REG_0_ATI, N, N);
    });
    EXPECT_EQ(FetchGlError(), GLenum(GL_INVALID_ENUM));  // the refused call
    const Pixels pixels = DrawWithShader(scene, shader);
    EXPECT_EQ(FetchGlError(), GLenum(GL_INVALID_OPERATION));  // the draw
    EXPECT_EQ(LargestDifference(pixels, Pixels(pixels.size(), 0), 15), 0);
    // So does the default shader, which nobody defined.
    const Pixels unbound = DrawWithShader(scene, 0);
    EXPECT_EQ(FetchGlError(), GLenum(GL_INVALID_OPERATION));
    EXPECT_EQ(LargestDifference(unbound, Pixels(pixels.size(), 0), 15), 0);
}

// One shader drawn with unit 1 as a cube map, a 2D texture and nothing, and
// back: each picture as Mesa's own extension draws it.
TEST(LayerObjects, EachCombinationOfTargetsGetsItsOwnProgram) {
    ASSERT_TRUE(StartLayer());
    Scene scenes[3] = {MakeScene(), MakeScene(), MakeScene()};
    scenes[1].targets[1] = GL_TEXTURE_2D;
    scenes[1].textures[1] = MakeTexture(GL_TEXTURE_2D, 4);
    scenes[2].targets[1] = GL_NONE;
    const auto record = [] {
        ext::glSampleMapATI(GL_REG_0_ATI, GL_TEXTURE0_ARB, GL_SWIZZLE_STR_ATI);
        ext::glSampleMapATI(GL_REG_1_ATI, GL_TEXTURE1_ARB, GL_SWIZZLE_STR_ATI);
        ext::glColorFragmentOp2ATI(GL_ADD_ATI, GL_REG_0_ATI, N, GL_HALF_BIT_ATI, GL_REG_0_ATI, N, N,
                                   GL_REG_1_ATI, N, N);
        ext::glAlphaFragmentOp1ATI(GL_MOV_ATI, GL_REG_0_ATI, N, GL_REG_1_ATI, N, N);
    };
    Pixels pictures[2][4];
    for (bool throughLayer : {false, true}) {
        ChooseProvider(throughLayer);
        const GLuint shader = DefineShader(record);
        for (int i = 0; i < 4; ++i)
            pictures[throughLayer][i] = DrawWithShader(scenes[i % 3], shader);
        ext::glDeleteFragmentShaderATI(shader);
    }
    EXPECT_EQ(FetchGlError(), GLenum(GL_NO_ERROR));
    for (int i = 0; i < 4; ++i) {
        EXPECT_LE(LargestDifference(pictures[0][i], pictures[1][i], 15), 2) << "draw " << i;
    }
    EXPECT_GT(LargestDifference(pictures[1][0], pictures[1][1]), 20);
    EXPECT_EQ(LargestDifference(pictures[1][0], pictures[1][3], 15), 0);
}

// A global constant set after the shader is bound still reaches it at the
// next draw; a constant the shader sets itself wins over the global one.
TEST(LayerObjects, GlobalConstantsReachTheProgramAtEachDraw) {
    ASSERT_TRUE(StartLayer());
    const Scene scene = MakeScene();
    Pixels pictures[2][2];
    for (bool throughLayer : {false, true}) {
        ChooseProvider(throughLayer);
        const GLuint shader = DefineShader([] {
            const float own[4] = {0.25f, 0.5f, 0.75f, 1.0f};
            ext::glSetFragmentShaderConstantATI(GL_CON_1_ATI, own);
            ext::glColorFragmentOp2ATI(GL_ADD_ATI, GL_REG_0_ATI, N, N, GL_CON_3_ATI, N, N,
                                       GL_CON_1_ATI, N, GL_NEGATE_BIT_ATI);
        });
        const float globals[2][4] = {{0.9f, 0.8f, 0.95f, 1.0f}, {0.4f, 0.85f, 1.0f, 1.0f}};
        const float other[4] = {0, 0, 0, 0};
        ext::glSetFragmentShaderConstantATI(GL_CON_1_ATI, other);  // the shader's own wins
        for (int i = 0; i < 2; ++i) {
            ext::glSetFragmentShaderConstantATI(GL_CON_3_ATI, globals[i]);
            pictures[throughLayer][i] = DrawWithShader(scene, shader);
        }
        ext::glDeleteFragmentShaderATI(shader);
    }
    EXPECT_EQ(FetchGlError(), GLenum(GL_NO_ERROR));
    // The first draw as Mesa draws it. Mesa keeps drawing with the global
    // constant it had when the shader was first drawn; the layer follows the
    // extension: (0.9 - 0.25, 0.8 - 0.5, 0.95 - 0.75), then
    // (0.4 - 0.25, 0.85 - 0.5, 1 - 0.75).
    EXPECT_LE(LargestDifference(pictures[0][0], pictures[1][0]), 2);
    EXPECT_EQ(LargestDifference(pictures[0][0], pictures[0][1]), 0);
    EXPECT_NEAR(pictures[1][0][0], 0.65 * 255, 1.0);
    EXPECT_NEAR(pictures[1][0][1], 0.3 * 255, 1.0);
    EXPECT_NEAR(pictures[1][1][0], 0.15 * 255, 1.0);
    EXPECT_NEAR(pictures[1][1][1], 0.35 * 255, 1.0);
    EXPECT_NEAR(pictures[1][1][2], 0.25 * 255, 1.0);
}

}  // namespace
