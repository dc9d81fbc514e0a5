// The recording's checks and the translator's text, without GL: calls in,
// errors and program text out.
#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>

#include "render/fragment_shader_recording.h"
#include "render/fragment_shader_translator.h"

namespace {

using Recording = FragmentShaderRecording;

constexpr GLuint N = GL_NONE;
constexpr GLuint BX2 = GL_2X_BIT_ATI | GL_BIAS_BIT_ATI;

GLuint Reg(int i) {
    return GL_REG_0_ATI + i;
}
GLuint Tex(int i) {
    return GL_TEXTURE0_ARB + i;
}
GLenum Pass(Recording* r, int dst, GLuint source, GLenum swizzle = GL_SWIZZLE_STR_ATI) {
    return RecordPassTexCoord(r, Reg(dst), source, swizzle);
}
GLenum Sample(Recording* r, int dst, GLuint source, GLenum swizzle = GL_SWIZZLE_STR_ATI) {
    return RecordSampleMap(r, Reg(dst), source, swizzle);
}
GLenum Colour(Recording* r, GLenum op, int dst, GLuint mask, GLuint dstMod,
              std::initializer_list<FragmentArgument> arguments) {
    return RecordColorOperation(r, op, Reg(dst), mask, dstMod, int(arguments.size()),
                                arguments.begin());
}
GLenum Alpha(Recording* r, GLenum op, int dst, GLuint dstMod,
             std::initializer_list<FragmentArgument> arguments) {
    return RecordAlphaOperation(r, op, Reg(dst), dstMod, int(arguments.size()), arguments.begin());
}
FragmentArgument Arg(GLuint source, GLuint replicate = N, GLuint modifiers = N) {
    return {source, replicate, modifiers};
}
// r0 = r0, a colour instruction that is always accepted.
GLenum Move(Recording* r) {
    return Colour(r, GL_MOV_ATI, 0, N, N, {Arg(Reg(0))});
}

struct ErrorCase {
    const char* name;
    // Makes the calls before the one under test (each must succeed) and
    // returns the error of the last call.
    GLenum (*calls)(Recording*);
    GLenum expected;
};

#define OK(call) \
    if ((call) != GL_NO_ERROR) return GLenum(0xDEAD)

// clang-format off
const ErrorCase kErrorCases[] = {
    {"DestinationNotARegister", [](Recording* r) {
        return RecordPassTexCoord(r, GL_CON_0_ATI, Tex(0), GL_SWIZZLE_STR_ATI); }, GL_INVALID_ENUM},
    {"DestinationBeyondTheTextureUnits", [](Recording* r) {
        return Sample(r, 5, Tex(0)); }, GL_INVALID_ENUM},
    {"CoordinateBeyondTheTextureUnits", [](Recording* r) {
        return Pass(r, 0, Tex(4)); }, GL_INVALID_ENUM},
    {"CoordinateNotASource", [](Recording* r) {
        return Pass(r, 0, GL_CON_1_ATI); }, GL_INVALID_ENUM},
    {"UnknownSwizzle", [](Recording* r) {
        return Pass(r, 0, Tex(0), GL_SWIZZLE_STR_ATI - 1); }, GL_INVALID_ENUM},
    {"RegisterCoordinateInPassOne", [](Recording* r) {
        return Pass(r, 0, Reg(1)); }, GL_INVALID_OPERATION},
    {"RegisterCoordinateAsStq", [](Recording* r) {
        OK(Move(r)); return Sample(r, 1, Reg(1), GL_SWIZZLE_STQ_ATI); }, GL_INVALID_OPERATION},
    {"RegisterCoordinateAsStqDq", [](Recording* r) {
        OK(Move(r)); return Pass(r, 1, Reg(1), GL_SWIZZLE_STQ_DQ_ATI); }, GL_INVALID_OPERATION},
    {"RegisterCoordinateAsStrDrInPassTwo", [](Recording* r) {
        OK(Move(r)); return Pass(r, 1, Reg(1), GL_SWIZZLE_STR_DR_ATI); }, GL_NO_ERROR},
    {"SameDestinationTwiceInAPass", [](Recording* r) {
        OK(Pass(r, 2, Tex(0))); return Sample(r, 2, Tex(1)); }, GL_INVALID_OPERATION},
    {"SameDestinationOncePerPass", [](Recording* r) {
        OK(Pass(r, 2, Tex(0))); OK(Move(r)); return Sample(r, 2, Tex(1)); }, GL_NO_ERROR},
    {"CoordinateSetAsStrThenStq", [](Recording* r) {
        OK(Pass(r, 1, Tex(2))); OK(Move(r));
        return Sample(r, 1, Tex(2), GL_SWIZZLE_STQ_ATI); }, GL_INVALID_OPERATION},
    {"CoordinateSetAsStrThenStrDr", [](Recording* r) {
        OK(Pass(r, 1, Tex(2))); return Sample(r, 2, Tex(2), GL_SWIZZLE_STR_DR_ATI); },
        GL_NO_ERROR},
    {"ThirdPass", [](Recording* r) {
        OK(Pass(r, 0, Tex(0))); OK(Move(r)); OK(Pass(r, 0, Reg(0))); OK(Move(r));
        return Pass(r, 1, Tex(1)); }, GL_INVALID_OPERATION},
    {"NinthPairOfAPass", [](Recording* r) {
        for (int i = 0; i < 8; ++i) {
            OK(Move(r)); OK(Alpha(r, GL_MOV_ATI, 0, N, {Arg(Reg(0))}));
        }
        return Alpha(r, GL_MOV_ATI, 0, N, {Arg(Reg(0))}); }, GL_INVALID_OPERATION},
    {"EightPairsInEachPass", [](Recording* r) {
        for (int i = 0; i < 8; ++i) OK(Move(r));
        OK(Pass(r, 0, Reg(0)));
        for (int i = 0; i < 7; ++i) OK(Move(r));
        return Alpha(r, GL_MOV_ATI, 0, N, {Arg(Reg(0))}); }, GL_NO_ERROR},
    {"OperationOfTheWrongArity", [](Recording* r) {
        return Colour(r, GL_MAD_ATI, 0, N, N, {Arg(Reg(0)), Arg(Reg(1))}); }, GL_INVALID_ENUM},
    {"DestinationNotARegisterForAnOperation", [](Recording* r) {
        return RecordColorOperation(r, GL_MOV_ATI, GL_CON_0_ATI, N, N, 1, nullptr); },
        GL_INVALID_ENUM},
    {"TwoDestinationScales", [](Recording* r) {
        return Colour(r, GL_MOV_ATI, 0, N, GL_2X_BIT_ATI | GL_HALF_BIT_ATI, {Arg(Reg(0))}); },
        GL_INVALID_ENUM},
    {"ScaleWithSaturation", [](Recording* r) {
        return Colour(r, GL_MOV_ATI, 0, N, GL_8X_BIT_ATI | GL_SATURATE_BIT_ATI,
                      {Arg(Reg(0))}); }, GL_NO_ERROR},
    {"UnknownMaskBit", [](Recording* r) {
        return Colour(r, GL_MOV_ATI, 0, 8, N, {Arg(Reg(0))}); }, GL_INVALID_ENUM},
    {"ArgumentNotASource", [](Recording* r) {
        return Colour(r, GL_MOV_ATI, 0, N, N, {Arg(Tex(0))}); }, GL_INVALID_ENUM},
    {"UnknownReplicate", [](Recording* r) {
        return Colour(r, GL_MOV_ATI, 0, N, N, {Arg(Reg(0), GL_RGB)}); }, GL_INVALID_ENUM},
    {"UnknownArgumentModifier", [](Recording* r) {
        return Colour(r, GL_MOV_ATI, 0, N, N, {Arg(Reg(0), N, 16)}); }, GL_INVALID_ENUM},
    {"SecondaryColourAlphaInColour", [](Recording* r) {
        return Colour(r, GL_MOV_ATI, 0, N, N, {Arg(GL_SECONDARY_INTERPOLATOR_ATI, GL_ALPHA)}); },
        GL_INVALID_OPERATION},
    {"SecondaryColourUnreplicatedInAlpha", [](Recording* r) {
        return Alpha(r, GL_MOV_ATI, 0, N, {Arg(GL_SECONDARY_INTERPOLATOR_ATI)}); },
        GL_INVALID_OPERATION},
    {"SecondaryColourBlueInAlpha", [](Recording* r) {
        return Alpha(r, GL_MOV_ATI, 0, N, {Arg(GL_SECONDARY_INTERPOLATOR_ATI, GL_BLUE)}); },
        GL_NO_ERROR},
    {"SecondaryColourUnreplicatedInDot4", [](Recording* r) {
        return Colour(r, GL_DOT4_ATI, 0, N, N,
                      {Arg(GL_SECONDARY_INTERPOLATOR_ATI), Arg(Reg(0))}); },
        GL_INVALID_OPERATION},
    {"ThreeDifferentConstants", [](Recording* r) {
        return Colour(r, GL_MAD_ATI, 0, N, N,
                      {Arg(GL_CON_0_ATI), Arg(GL_CON_1_ATI), Arg(GL_CON_2_ATI)}); },
        GL_INVALID_OPERATION},
    {"TwoDifferentConstants", [](Recording* r) {
        return Colour(r, GL_MAD_ATI, 0, N, N,
                      {Arg(GL_CON_0_ATI), Arg(GL_CON_1_ATI), Arg(GL_CON_0_ATI)}); }, GL_NO_ERROR},
    {"AlphaDotWithoutItsColourDot", [](Recording* r) {
        OK(Move(r)); return Alpha(r, GL_DOT3_ATI, 0, N, {Arg(Reg(0)), Arg(Reg(0))}); },
        GL_INVALID_OPERATION},
    {"AlphaDotAfterAnotherAlpha", [](Recording* r) {
        OK(Colour(r, GL_DOT3_ATI, 0, N, N, {Arg(Reg(0)), Arg(Reg(1))}));
        OK(Alpha(r, GL_DOT3_ATI, 0, N, {Arg(Reg(0)), Arg(Reg(1))}));
        return Alpha(r, GL_DOT3_ATI, 0, N, {Arg(Reg(0)), Arg(Reg(1))}); },
        GL_INVALID_OPERATION},
    {"AlphaMovAfterColourDot4", [](Recording* r) {
        OK(Colour(r, GL_DOT4_ATI, 0, N, N, {Arg(Reg(0)), Arg(Reg(1))}));
        return Alpha(r, GL_MOV_ATI, 1, N, {Arg(Reg(0))}); }, GL_INVALID_OPERATION},
    {"ColourAfterColourDot4", [](Recording* r) {
        OK(Colour(r, GL_DOT4_ATI, 0, N, N, {Arg(Reg(0)), Arg(Reg(1))}));
        return Move(r); }, GL_NO_ERROR},
    {"ConstantNotAConstant", [](Recording* r) {
        const float value[4] = {};
        return RecordConstant(r, GL_REG_0_ATI, value); }, GL_INVALID_ENUM},
    {"PrimaryColourInPassOneOfTwo", [](Recording* r) {
        OK(Colour(r, GL_MOV_ATI, 1, N, N, {Arg(GL_PRIMARY_COLOR_ARB)}));
        OK(Pass(r, 1, Reg(1))); OK(Move(r));
        return FinishFragmentRecording(r); }, GL_INVALID_OPERATION},
    {"PrimaryColourInAOnePassShader", [](Recording* r) {
        OK(Colour(r, GL_MOV_ATI, 1, N, N, {Arg(GL_PRIMARY_COLOR_ARB)}));
        return FinishFragmentRecording(r); }, GL_NO_ERROR},
};
// clang-format on

TEST(Recording, EachCallIsCheckedAsTheExtensionSays) {
    for (const ErrorCase& c : kErrorCases) {
        Recording recording;
        StartFragmentRecording(&recording, 4);
        EXPECT_EQ(c.calls(&recording), c.expected) << c.name;
        // A refused call leaves the shader invalid; an accepted one does not.
        EXPECT_EQ(recording.failed, c.expected != GL_NO_ERROR) << c.name;
    }
}

TEST(Recording, ARefusedCallRecordsNothing) {
    Recording recording;
    StartFragmentRecording(&recording, 8);
    ASSERT_EQ(Sample(&recording, 0, Tex(0)), GLenum(GL_NO_ERROR));
    ASSERT_EQ(Colour(&recording, GL_MOV_ATI, 0, N, GL_2X_BIT_ATI | GL_4X_BIT_ATI, {Arg(Reg(0))}),
              GLenum(GL_INVALID_ENUM));
    ASSERT_EQ(Pass(&recording, 0, Tex(1)), GLenum(GL_INVALID_OPERATION));
    EXPECT_EQ(recording.passes[0].setups.size(), 1u);
    EXPECT_TRUE(recording.passes[0].pairs.empty());
    EXPECT_EQ(recording.stage, 0);
    EXPECT_EQ(recording.callCount, 1);
}

// The renderer's fragment program, call by call as BuildFragmentShader makes
// it.
Recording BumpProgram() {
    Recording r;
    StartFragmentRecording(&r, 8);
    const float weight[4] = {0.9f, 0, 0, 0};
    RecordConstant(&r, GL_CON_0_ATI, weight);
    Sample(&r, 0, Tex(0));
    Pass(&r, 4, Tex(1));
    Pass(&r, 2, Tex(2));
    Pass(&r, 3, Tex(3));
    Pass(&r, 1, Tex(4));
    Colour(&r, GL_DOT3_ATI, 4, GL_RED_BIT_ATI, N, {Arg(Reg(4)), Arg(Reg(0), N, BX2)});
    Colour(&r, GL_DOT3_ATI, 4, GL_GREEN_BIT_ATI, N, {Arg(Reg(2)), Arg(Reg(0), N, BX2)});
    Colour(&r, GL_DOT3_ATI, 4, GL_BLUE_BIT_ATI, N, {Arg(Reg(3)), Arg(Reg(0), N, BX2)});
    Colour(&r, GL_DOT3_ATI, 0, N, N, {Arg(Reg(4)), Arg(Reg(1))});
    Colour(&r, GL_MUL_ATI, 3, N, N, {Arg(Reg(4), N, GL_2X_BIT_ATI), Arg(Reg(0))});
    Colour(&r, GL_DOT3_ATI, 2, N, N, {Arg(Reg(4)), Arg(Reg(4))});
    Colour(&r, GL_MAD_ATI, 2, N, N, {Arg(Reg(1), N, GL_NEGATE_BIT_ATI), Arg(Reg(2)), Arg(Reg(3))});
    Colour(&r, GL_LERP_ATI, 3, N, N,
           {Arg(GL_CON_0_ATI, GL_RED), Arg(Reg(1), N, GL_NEGATE_BIT_ATI),
            Arg(Reg(4), N, GL_NEGATE_BIT_ATI)});
    Pass(&r, 0, Reg(0));
    Sample(&r, 1, Reg(2));
    Sample(&r, 2, Reg(3));
    Sample(&r, 3, Reg(4));
    Sample(&r, 4, Tex(0));
    Colour(&r, GL_MOV_ATI, 0, N, GL_SATURATE_BIT_ATI, {Arg(Reg(0), N, GL_COMP_BIT_ATI)});
    Colour(&r, GL_MUL_ATI, 1, N, N, {Arg(Reg(1)), Arg(Reg(0))});
    Colour(&r, GL_MUL_ATI, 2, N, N, {Arg(Reg(2)), Arg(Reg(2))});
    Colour(&r, GL_ADD_ATI, 1, N, GL_SATURATE_BIT_ATI, {Arg(Reg(1)), Arg(Reg(2))});
    Colour(&r, GL_MAD_ATI, 0, N, GL_SATURATE_BIT_ATI, {Arg(Reg(4)), Arg(Reg(3)), Arg(Reg(1))});
    return r;
}

// The two instructions that keep dest (base with a write mask) in the
// registers' range [-8, 8].
std::string Clamp(const std::string& dest, const std::string& base) {
    return "MIN " + dest + ", " + base + ", 8;\nMAX " + dest + ", " + base + ", -8;\n";
}

FragmentTargetKey BumpTargets() {
    FragmentTargetKey key;
    const GLenum targets[] = {GL_TEXTURE_2D, GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_CUBE_MAP_ARB,
                              GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_2D};
    for (int i = 0; i < 5; ++i)
        key.targets[i] = targets[i];
    return key;
}

// The instruction of the program line that carries comment "# number",
// or the empty string.
std::string InstructionsOf(const std::string& text, int number) {
    std::istringstream lines(text);
    std::string line, found;
    const std::string tag = "# " + std::to_string(number);
    while (std::getline(lines, line)) {
        const size_t at = line.find(tag);
        if (at == std::string::npos || line.find(';') == std::string::npos) continue;
        const std::string rest = line.substr(at + tag.size());
        if (!rest.empty() && rest[0] != ' ') continue;  // "# 1" is not "# 13"
        found += line.substr(0, line.find(';') + 1) + "\n";
    }
    return found;
}

TEST(Translator, TheBumpProgramReadsAsTheListing) {
    const Recording recording = BumpProgram();
    ASSERT_FALSE(recording.failed);
    std::string text;
    ASSERT_TRUE(TranslateFragmentShader(recording, BumpTargets(), &text));
    const struct {
        int number;
        std::string instructions;
    } expected[] = {
        {1, "TEX r0, fragment.texcoord[0], texture[0], 2D;\n"},
        {2, "MOV r4, fragment.texcoord[1];\n" + Clamp("r4", "r4")},
        {6, "MAD a1, r0, 2, -1;\nDP3 r4.x, r4, a1;\n" + Clamp("r4.x", "r4")},
        {10, "MUL a0, r4, 2;\nMUL r3.xyz, a0, r0;\n" + Clamp("r3.xyz", "r3")},
        {12, "MAD r2.xyz, -r1, r2, r3;\n" + Clamp("r2.xyz", "r2")},
        {13, "LRP r3.xyz, c0.x, -r1, -r4;\n" + Clamp("r3.xyz", "r3")},
        {14, ""},  // r0 routed to itself: nothing to do
        {15, "TEX r1, r2, texture[1], CUBE;\n"},
        {18, "TEX r4, fragment.texcoord[0], texture[4], 2D;\n"},
        {19, "MAD a0, r0, -1, 1;\nMOV_SAT r0.xyz, a0;\n"},
        {22, "ADD_SAT r1.xyz, r1, r2;\n"},
        {23, "MAD_SAT r0.xyz, r4, r3, r1;\n"},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(InstructionsOf(text, e.number), e.instructions) << "instruction " << e.number;
    }
    EXPECT_NE(text.find("PARAM c0 = program.local[0];\n"), std::string::npos) << text;
    EXPECT_NE(text.find("MOV result.color, r0;\nEND\n"), std::string::npos) << text;
    EXPECT_EQ(text.rfind("!!ARBfp1.0\n", 0), 0u);
    // Every instruction line but the final copy names its source instruction.
    std::istringstream lines(text);
    std::string line;
    int instructions = 0;
    while (std::getline(lines, line)) {
        if (line.find(';') == std::string::npos || line[0] == '#' || line.rfind("PARAM", 0) == 0 ||
            line.rfind("TEMP", 0) == 0 || line.rfind("MOV result", 0) == 0) {
            continue;
        }
        ++instructions;
        const size_t comment = line.find("# ", line.find(';'));
        EXPECT_TRUE(comment != std::string::npos && std::isdigit(line[comment + 2])) << line;
    }
    EXPECT_GE(instructions, 23);
}

TEST(Translator, TargetsComeFromTheKey) {
    const Recording recording = BumpProgram();
    FragmentTargetKey key = BumpTargets();
    key.targets[1] = GL_TEXTURE_2D;
    key.targets[4] = GL_TEXTURE_3D;
    std::string text;
    ASSERT_TRUE(TranslateFragmentShader(recording, key, &text));
    EXPECT_EQ(InstructionsOf(text, 15), "TEX r1, r2, texture[1], 2D;\n");
    EXPECT_EQ(InstructionsOf(text, 18), "TEX r4, fragment.texcoord[0], texture[4], 3D;\n");
    // A unit with nothing enabled reads black, as Mesa's own extension has it.
    key.targets[3] = GL_NONE;
    ASSERT_TRUE(TranslateFragmentShader(recording, key, &text));
    EXPECT_EQ(InstructionsOf(text, 17), "MOV r3, {0, 0, 0, 1};\n");
    // A target the program language cannot name.
    key.targets[3] = GL_TEXTURE_2D_ARRAY_EXT;
    EXPECT_FALSE(TranslateFragmentShader(recording, key, &text));
    EXPECT_TRUE(text.empty());
}

// Complement, bias, scale and negation fold into m*s + c in that order; the
// extension's own example: -(2 * ((1 - s) - 0.5)) = 2s - 1.
TEST(Translator, ArgumentModifiersFoldInTheExtensionsOrder) {
    const struct {
        GLuint modifiers;
        const char* operand;  // what the MOV reads, after any preparing MAD
    } cases[] = {
        {N, "MOV r0.xyz, r1;"},
        {GL_NEGATE_BIT_ATI, "MOV r0.xyz, -r1;"},
        {GL_COMP_BIT_ATI, "MAD a0, r1, -1, 1;"},
        {GL_BIAS_BIT_ATI, "MAD a0, r1, 1, -0.5;"},
        {GL_2X_BIT_ATI | GL_NEGATE_BIT_ATI, "MUL a0, r1, -2;"},
        {GL_COMP_BIT_ATI | GL_BIAS_BIT_ATI, "MAD a0, r1, -1, 0.5;"},
        {GL_COMP_BIT_ATI | GL_BIAS_BIT_ATI | GL_2X_BIT_ATI | GL_NEGATE_BIT_ATI,
         "MAD a0, r1, 2, -1;"},
    };
    for (const auto& c : cases) {
        Recording r;
        StartFragmentRecording(&r, 8);
        ASSERT_EQ(Colour(&r, GL_MOV_ATI, 0, N, N, {Arg(Reg(1), N, c.modifiers)}),
                  GLenum(GL_NO_ERROR));
        std::string text;
        ASSERT_TRUE(TranslateFragmentShader(r, FragmentTargetKey(), &text));
        EXPECT_EQ(InstructionsOf(text, 1).substr(0, std::string(c.operand).size()), c.operand)
            << "modifiers " << c.modifiers << "\n"
            << text;
    }
}

// Scale before saturation, and the halves of a pair and the routing of a pass
// each read what was there before any of them wrote.
TEST(Translator, ScaleThenSaturateAndParallelReads) {
    Recording r;
    StartFragmentRecording(&r, 8);
    ASSERT_EQ(Colour(&r, GL_MUL_ATI, 1, GL_RED_BIT_ATI | GL_BLUE_BIT_ATI,
                     GL_4X_BIT_ATI | GL_SATURATE_BIT_ATI, {Arg(Reg(1)), Arg(Reg(2))}),
              GLenum(GL_NO_ERROR));
    ASSERT_EQ(Alpha(&r, GL_MOV_ATI, 1, N, {Arg(Reg(1), GL_BLUE)}), GLenum(GL_NO_ERROR));
    ASSERT_EQ(Pass(&r, 2, Reg(1)), GLenum(GL_NO_ERROR));
    ASSERT_EQ(Pass(&r, 1, Reg(2)), GLenum(GL_NO_ERROR));
    std::string text;
    ASSERT_TRUE(TranslateFragmentShader(r, FragmentTargetKey(), &text));
    EXPECT_EQ(InstructionsOf(text, 1), "MUL c.xz, r1, r2;\nMUL_SAT c.xz, c, 4;\nMOV r1.xz, c;\n");
    EXPECT_EQ(InstructionsOf(text, 2), "MOV r1.w, r1.z;\n" + Clamp("r1.w", "r1"));
    EXPECT_EQ(InstructionsOf(text, 4), "MOV l2, r2;\nMOV r1, l2;\n");
    EXPECT_EQ(InstructionsOf(text, 3), "MOV r2, r1;\n");
}

}  // namespace
