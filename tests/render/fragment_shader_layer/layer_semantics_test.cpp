// Each instruction, modifier, replicate, mask and routing swizzle of
// GL_ATI_fragment_shader, run once through Mesa's own extension and once
// through the layer in the same process on the same inputs; the pictures must
// agree within 2 levels in every channel the extension defines. Then the
// layer's shader objects: a shader that cannot be drawn, and constants that
// reach the program at draw.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/render/fragment_shader_layer/layer_gl_support.h"

namespace {

using namespace fragment_layer_test;

constexpr GLuint R0 = GL_REG_0_ATI, R1 = GL_REG_1_ATI, R2 = GL_REG_2_ATI, R3 = GL_REG_3_ATI;
constexpr GLuint C0 = GL_CON_0_ATI, C1 = GL_CON_1_ATI;
constexpr GLuint T0 = GL_TEXTURE0_ARB, T1 = GL_TEXTURE1_ARB, T2 = GL_TEXTURE2_ARB,
                 T3 = GL_TEXTURE3_ARB;
constexpr GLuint PRI = GL_PRIMARY_COLOR_ARB, SEC = GL_SECONDARY_INTERPOLATOR_ATI;
constexpr GLuint N = GL_NONE, STR = GL_SWIZZLE_STR_ATI;
constexpr GLuint BX2 = GL_2X_BIT_ATI | GL_BIAS_BIT_ATI;
constexpr unsigned kRgb = 7, kRgba = 15;

// The recording calls under short names; references, since each provider
// fills the pointers anew.
auto& Col1 = ext::glColorFragmentOp1ATI;
auto& Col2 = ext::glColorFragmentOp2ATI;
auto& Col3 = ext::glColorFragmentOp3ATI;
auto& Alpha2 = ext::glAlphaFragmentOp2ATI;
auto& Alpha3 = ext::glAlphaFragmentOp3ATI;

void Sample(GLuint dst, GLuint source, GLenum swizzle = STR) {
    ext::glSampleMapATI(dst, source, swizzle);
}
void Pass(GLuint dst, GLuint source, GLenum swizzle = STR) {
    ext::glPassTexCoordATI(dst, source, swizzle);
}
void Constants(float a, float b) {
    const float c0[4] = {a, a, a, a};
    const float c1[4] = {b, b, b, b};
    ext::glSetFragmentShaderConstantATI(C0, c0);
    ext::glSetFragmentShaderConstantATI(C1, c1);
}
// r0 = s * 0.25 + 0.5 brings any argument value in [-2, 2] into view.
void ShowScaled(GLuint source, GLuint replicate, GLuint modifiers) {
    Constants(0.25f, 0.5f);
    Col3(GL_MAD_ATI, R0, N, N, source, replicate, modifiers, C0, N, N, C1, N, N);
}

struct Case {
    std::string name;
    std::function<void()> record;
    unsigned channels;
};

std::vector<Case> Cases() {
    // clang-format off
    std::vector<Case> cases = {
    {"MovKeepsSampledAlpha", [] { Sample(R0, T0); Col1(GL_MOV_ATI, R0, N, N, R0, N, N); }, kRgba},
    {"Add", [] { Sample(R0, T0); Col2(GL_ADD_ATI, R0, N, N, R0, N, N, PRI, N, N); }, kRgb},
    {"Sub", [] { Sample(R0, T0); Col2(GL_SUB_ATI, R0, N, N, PRI, N, N, R0, N, N); }, kRgb},
    {"MulOfTwoSamples", [] { Sample(R0, T0); Sample(R1, T1);
        Col2(GL_MUL_ATI, R0, N, N, R0, N, N, R1, N, N); }, kRgb},
    {"Mad", [] { Sample(R0, T0); Constants(0.2f, 0.0f);
        Col3(GL_MAD_ATI, R0, N, N, R0, N, N, PRI, N, N, C0, N, N); }, kRgb},
    {"Lerp", [] { Sample(R0, T0); Sample(R1, T1);
        Col3(GL_LERP_ATI, R0, N, N, PRI, N, N, R0, N, N, R1, N, N); }, kRgb},
    {"CndAboveHalf", [] { Sample(R0, T0); Sample(R1, T1);
        Col3(GL_CND_ATI, R0, N, N, R0, N, N, R1, N, N, PRI, N, N); }, kRgb},
    {"Cnd0NotNegative", [] { Sample(R0, T0); Pass(R2, T2);
        Col3(GL_CND0_ATI, R0, N, N, R0, N, N, PRI, N, N, R2, GL_GREEN, N); }, kRgb},
    // Mesa adds the second argument's blue where the layer adds the third's;
    // with the two the same they agree.
    {"Dot2AddWithTheSecondArgumentThird", [] { Sample(R0, T0); Pass(R2, T2);
        Col3(GL_DOT2_ADD_ATI, R0, N, N, R0, N, N, R2, N, N, R2, N, N); }, kRgb},
    {"Dot3OfExpandedTexel", [] { Sample(R0, T0); Pass(R1, T1);
        Col2(GL_DOT3_ATI, R1, N, N, R1, N, N, R0, N, BX2); ShowScaled(R1, N, N); }, kRgb},
    {"Dot4", [] { Sample(R0, T0); Sample(R1, T1);
        Col2(GL_DOT4_ATI, R0, N, GL_QUARTER_BIT_ATI, R0, N, N, R1, N, N); }, kRgb},
    {"SecondaryColour", [] { Sample(R0, T0);
        Col2(GL_MUL_ATI, R0, N, N, R0, N, N, SEC, N, N); }, kRgb},
    {"ZeroAndOne", [] { Sample(R0, T0);
        Col3(GL_MAD_ATI, R0, N, N, R0, N, GL_COMP_BIT_ATI, GL_ONE, N, N, GL_ZERO, N, N); }, kRgb},
    {"WriteMaskRedBlue", [] { Sample(R0, T0); Sample(R1, T1);
        Col1(GL_MOV_ATI, R0, GL_RED_BIT_ATI | GL_BLUE_BIT_ATI, N, R1, N, N); }, kRgba},
    {"AlphaOperations", [] { Sample(R0, T0); Sample(R1, T1);
        Col2(GL_MUL_ATI, R2, N, N, R0, N, N, R1, N, N);
        Alpha2(GL_ADD_ATI, R2, GL_HALF_BIT_ATI, R0, N, N, PRI, N, N);
        Alpha3(GL_LERP_ATI, R1, N, PRI, N, N, R1, N, N, R0, GL_RED, N);
        Alpha2(GL_SUB_ATI, R0, GL_SATURATE_BIT_ATI, R2, N, N, R1, N, N);
        Col1(GL_MOV_ATI, R0, N, N, R2, N, N);
        Alpha3(GL_MAD_ATI, R0, N, R0, N, N, PRI, GL_BLUE, N, R1, N, GL_2X_BIT_ATI); }, kRgba},
    {"AlphaCndAndMov", [] { Sample(R0, T0); Sample(R1, T1);
        Alpha3(GL_CND_ATI, R2, N, R0, N, N, R1, N, N, PRI, N, N);
        Alpha3(GL_CND0_ATI, R3, N, R0, N, N, R1, N, N, R0, GL_GREEN, BX2);
        Col2(GL_MUL_ATI, R0, N, N, R0, N, N, R1, N, N);
        Alpha2(GL_MUL_ATI, R0, N, R2, N, N, R3, N, N); }, kRgba},
    {"AlphaOfDotsThroughTheLastRegister", [] { Sample(R0, T0); Sample(R1, T1);
        Col2(GL_DOT3_ATI, R2, N, N, R0, N, N, R1, N, N);
        Alpha2(GL_DOT3_ATI, R2, N, R0, N, N, R1, N, N);
        Col2(GL_DOT4_ATI, GL_REG_5_ATI, N, GL_HALF_BIT_ATI, R0, N, N, R1, N, N);
        Alpha2(GL_DOT4_ATI, GL_REG_5_ATI, GL_HALF_BIT_ATI, R0, N, N, R1, N, N);
        Col2(GL_MUL_ATI, R0, N, N, GL_REG_5_ATI, N, N, R2, GL_ALPHA, N);
        Alpha2(GL_MUL_ATI, R0, N, R2, N, N, GL_REG_5_ATI, N, N); }, kRgba},
    {"PassSwizzles", [] {
        Pass(R1, T1, GL_SWIZZLE_STQ_ATI); Pass(R2, T2, GL_SWIZZLE_STR_DR_ATI);
        Pass(R3, T3, GL_SWIZZLE_STQ_DQ_ATI); Constants(0.25f, 0.5f);
        Col3(GL_MAD_ATI, R1, N, N, R1, N, N, C0, N, N, C1, N, N);
        Col3(GL_MAD_ATI, R2, N, GL_QUARTER_BIT_ATI, R2, N, N, C0, N, N, R1, N, N);
        Col3(GL_MAD_ATI, R0, N, N, R3, N, N, C0, N, N, R2, N, N); }, kRgb},
    {"SampleSwizzles", [] {
        Sample(R0, T0, GL_SWIZZLE_STQ_DQ_ATI); Sample(R1, T1, GL_SWIZZLE_STQ_ATI);
        Sample(R2, T2, GL_SWIZZLE_STR_DR_ATI);
        Col3(GL_LERP_ATI, R0, N, N, PRI, N, N, R0, N, N, R1, N, N);
        Col2(GL_ADD_ATI, R0, N, GL_HALF_BIT_ATI, R0, N, N, R2, N, N); }, kRgb},
    {"SecondPassReadsRegisters", [] {
        Pass(R1, T1); Pass(R2, T0); Sample(R3, T3);
        Col2(GL_MUL_ATI, R1, N, GL_4X_BIT_ATI, R1, N, N, R3, N, N);
        Col3(GL_MAD_ATI, R2, N, N, R2, N, N, R2, N, N, R3, N, N);
        Sample(R3, R1); Pass(R2, R2, GL_SWIZZLE_STR_DR_ATI); Sample(R0, T0); Pass(R1, R1);
        Col3(GL_LERP_ATI, R0, N, N, R0, GL_GREEN, N, R3, N, N, R2, N, N);
        Col2(GL_ADD_ATI, R0, N, GL_HALF_BIT_ATI, R0, N, N, R1, N, GL_NEGATE_BIT_ATI); }, kRgb},
    };
    // clang-format on
    // Every argument modifier combination with each replicate, and every
    // destination scale with and without saturation: r1 = (r2 * primary)
    // scaled [and saturated], r0 = r1 scaled back, so that saturation shows
    // whether it came after the scale.
    const GLuint replicates[] = {N, GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
    for (GLuint m = 0; m < 16; ++m) {
        const auto record = [m, r = replicates[m % 5]] {
            Sample(R0, T0);
            ShowScaled(R0, r, m);
        };
        cases.push_back({"ArgumentModifiers" + std::to_string(m), record, kRgb});
    }
    const GLuint scales[][2] = {
        {GL_2X_BIT_ATI, GL_HALF_BIT_ATI},    {GL_4X_BIT_ATI, GL_QUARTER_BIT_ATI},
        {GL_8X_BIT_ATI, GL_EIGHTH_BIT_ATI},  {GL_HALF_BIT_ATI, GL_2X_BIT_ATI},
        {GL_QUARTER_BIT_ATI, GL_4X_BIT_ATI}, {GL_EIGHTH_BIT_ATI, GL_8X_BIT_ATI}};
    for (GLuint i = 0; i < 12; ++i) {
        const GLuint up = scales[i % 6][0] | (i < 6 ? 0 : GL_SATURATE_BIT_ATI),
                     down = scales[i % 6][1];
        const auto record = [up, down] {
            Pass(R2, T2);
            Col2(GL_MUL_ATI, R1, N, up, R2, N, N, PRI, N, N);
            Col1(GL_MOV_ATI, R0, N, down, R1, N, N);
        };
        cases.push_back({"DestinationScale" + std::to_string(i), record, kRgb});
    }
    return cases;
}

void PrintTo(const Case& instructionCase, std::ostream* out) {
    *out << instructionCase.name;
}

class InstructionCase : public testing::TestWithParam<Case> {};

TEST_P(InstructionCase, LayerDrawsWhatTheDriverDraws) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    ASSERT_TRUE(IsExtensionSupported("GL_ATI_fragment_shader"));
    Pixels pictures[2][4];
    for (bool throughLayer : {false, true}) {
        // Unit 1 as a cube map, a 2D texture, nothing, and a cube map again:
        // the layer makes one program for each combination of targets.
        Scene scenes[3] = {MakeScene(throughLayer)};
        scenes[1] = scenes[2] = scenes[0];
        scenes[1].targets[1] = GL_TEXTURE_2D;
        scenes[1].textures[1] = MakeTexture(GL_TEXTURE_2D, 4);
        scenes[2].targets[1] = GL_NONE;
        const GLuint shader = DefineShader(throughLayer, GetParam().record);
        for (int i = 0; i < 4; ++i)
            pictures[throughLayer][i] = DrawWithShader(scenes[i % 3], shader);
        EXPECT_EQ(FetchGlError(), GLenum(GL_NO_ERROR));
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_LE(LargestDifference(pictures[0][i], pictures[1][i], GetParam().channels), 2)
            << "draw " << i;
    // Not a black picture on both sides.
    EXPECT_GT(LargestDifference(pictures[0][0], Pixels(pictures[0][0].size(), 0), kRgb), 20);
}

INSTANTIATE_TEST_SUITE_P(Semantics, InstructionCase, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(LayerShader, AShaderWithAFailedCallDrawsNothingAndSaysSo) {
    const Scene scene = MakeScene();
    while (FetchGlError() != GL_NO_ERROR) {
    }
    const GLuint shader = DefineShader(true, [] {
        Sample(R0, T0);
        // Two scales at once: refused.
        Col1(GL_MOV_ATI, R0, N, GL_2X_BIT_ATI | GL_4X_BIT_ATI, R0, N, N);
    });
    EXPECT_EQ(FetchGlError(), GLenum(GL_INVALID_ENUM));  // the refused call
    // The default shader, which nobody defined, draws nothing either.
    for (GLuint drawn : {shader, 0u}) {
        const Pixels pixels = DrawWithShader(scene, drawn);
        EXPECT_EQ(FetchGlError(), GLenum(GL_INVALID_OPERATION));  // the draw
        EXPECT_EQ(LargestDifference(pixels, Pixels(pixels.size(), 0), 15), 0);
    }
}

// A global constant set after the shader is bound still reaches it at the
// next draw; a constant the shader sets itself wins over the global one. Mesa
// keeps drawing with the global constant it had at the shader's first draw,
// so only that draw is held against it.
TEST(LayerShader, GlobalConstantsReachTheProgramAtEachDraw) {
    const float own[4] = {0.25f, 0.5f, 0.75f, 1.0f}, other[4] = {0, 0, 0, 0};
    const float globals[2][4] = {{0.9f, 0.8f, 0.95f, 1.0f}, {0.4f, 0.85f, 1.0f, 1.0f}};
    Pixels pictures[2][2];
    for (bool throughLayer : {false, true}) {
        const Scene scene = MakeScene(throughLayer);
        const GLuint shader = DefineShader(throughLayer, [&] {
            ext::glSetFragmentShaderConstantATI(C1, own);
            Col2(GL_ADD_ATI, R0, N, N, GL_CON_3_ATI, N, N, C1, N, GL_NEGATE_BIT_ATI);
        });
        ext::glSetFragmentShaderConstantATI(C1, other);  // the shader's own wins
        for (int i = 0; i < 2; ++i) {
            ext::glSetFragmentShaderConstantATI(GL_CON_3_ATI, globals[i]);
            pictures[throughLayer][i] = DrawWithShader(scene, shader);
        }
    }
    EXPECT_EQ(FetchGlError(), GLenum(GL_NO_ERROR));
    EXPECT_LE(LargestDifference(pictures[0][0], pictures[1][0]), 2);
    for (int i = 0; i < 2; ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(pictures[1][i][c], (globals[i][c] - own[c]) * 255, 1.0)
                << "draw " << i << " channel " << c;
}

}  // namespace
