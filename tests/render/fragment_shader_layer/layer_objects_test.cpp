// The layer's shader objects on the offscreen context: a shader that cannot
// be drawn, one program per combination of targets, and constants that reach
// the program at draw.
#include <gtest/gtest.h>

#include "tests/render/fragment_shader_layer/layer_gl_support.h"

namespace {

using namespace fragment_layer_test;

constexpr GLuint N = GL_NONE, R0 = GL_REG_0_ATI, R1 = GL_REG_1_ATI;

TEST(LayerObjects, AShaderWithAFailedCallDrawsNothingAndSaysSo) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    const Scene scene = MakeScene();
    while (FetchGlError() != GL_NO_ERROR) {
    }
    const GLuint shader = DefineShader(true, [] {
        ext::glSampleMapATI(R0, GL_TEXTURE0_ARB, GL_SWIZZLE_STR_ATI);
        // Two scales at once: refused.
        ext::glColorFragmentOp1ATI(GL_MOV_ATI, R0, N, GL_2X_BIT_ATI | GL_4X_BIT_ATI, R0, N, N);
    });
    EXPECT_EQ(FetchGlError(), GLenum(GL_INVALID_ENUM));  // the refused call
    // The default shader, which nobody defined, draws nothing either.
    for (GLuint drawn : {shader, 0u}) {
        const Pixels pixels = DrawWithShader(scene, drawn);
        EXPECT_EQ(FetchGlError(), GLenum(GL_INVALID_OPERATION));  // the draw
        EXPECT_EQ(LargestDifference(pixels, Pixels(pixels.size(), 0), 15), 0);
    }
}

// One shader drawn with unit 1 as a cube map, a 2D texture and nothing, and
// back: each picture as Mesa's own extension draws it.
TEST(LayerObjects, EachCombinationOfTargetsGetsItsOwnProgram) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    Scene scenes[3] = {MakeScene(), MakeScene(), MakeScene()};
    scenes[1].targets[1] = GL_TEXTURE_2D;
    scenes[1].textures[1] = MakeTexture(GL_TEXTURE_2D, 4);
    scenes[2].targets[1] = GL_NONE;
    Pixels pictures[2][4];
    for (bool throughLayer : {false, true}) {
        const GLuint shader = DefineShader(throughLayer, [] {
            ext::glSampleMapATI(R0, GL_TEXTURE0_ARB, GL_SWIZZLE_STR_ATI);
            ext::glSampleMapATI(R1, GL_TEXTURE1_ARB, GL_SWIZZLE_STR_ATI);
            ext::glColorFragmentOp2ATI(GL_ADD_ATI, R0, N, GL_HALF_BIT_ATI, R0, N, N, R1, N, N);
            ext::glAlphaFragmentOp1ATI(GL_MOV_ATI, R0, N, R1, N, N);
        });
        for (int i = 0; i < 4; ++i)
            pictures[throughLayer][i] = DrawWithShader(scenes[i % 3], shader);
        ext::glDeleteFragmentShaderATI(shader);
    }
    EXPECT_EQ(FetchGlError(), GLenum(GL_NO_ERROR));
    for (int i = 0; i < 4; ++i)
        EXPECT_LE(LargestDifference(pictures[0][i], pictures[1][i], 15), 2) << "draw " << i;
    EXPECT_GT(LargestDifference(pictures[1][0], pictures[1][1]), 20);
    EXPECT_EQ(LargestDifference(pictures[1][0], pictures[1][3], 15), 0);
}

// A global constant set after the shader is bound still reaches it at the
// next draw; a constant the shader sets itself wins over the global one. Mesa
// keeps drawing with the global constant it had at the shader's first draw,
// so only that draw is held against it.
TEST(LayerObjects, GlobalConstantsReachTheProgramAtEachDraw) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    const Scene scene = MakeScene();
    Pixels pictures[2][2];
    for (bool throughLayer : {false, true}) {
        const GLuint shader = DefineShader(throughLayer, [] {
            const float own[4] = {0.25f, 0.5f, 0.75f, 1.0f};
            ext::glSetFragmentShaderConstantATI(GL_CON_1_ATI, own);
            ext::glColorFragmentOp2ATI(GL_ADD_ATI, R0, N, N, GL_CON_3_ATI, N, N, GL_CON_1_ATI, N,
                                       GL_NEGATE_BIT_ATI);
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
    EXPECT_LE(LargestDifference(pictures[0][0], pictures[1][0]), 2);
    const double want[2][3] = {{0.9 - 0.25, 0.8 - 0.5, 0.95 - 0.75},
                               {0.4 - 0.25, 0.85 - 0.5, 0.25}};
    for (int i = 0; i < 2; ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(pictures[1][i][c], want[i][c] * 255, 1.0)
                << "draw " << i << " channel " << c;
}

}  // namespace
