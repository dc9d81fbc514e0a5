// The recording's checks without GL: calls in, errors out.
#include <gtest/gtest.h>

#include "render/fragment_shader_layer/recording.h"

namespace {

using Recording = FragmentShaderRecording;

constexpr GLuint N = GL_NONE;

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

// Makes the calls before the one under test (each must succeed) and returns
// the error of the last call.
struct ErrorCase {
    const char* name;
    GLenum (*calls)(Recording*);
    GLenum expected;
};

#define OK(call) \
    if ((call) != GL_NO_ERROR) return GLenum(0xDEAD)

// clang-format off
const ErrorCase kErrorCases[] = {
    {"DestinationJustPastTheTextureUnits", [](Recording* r) { return Sample(r, 4, Tex(0)); }, GL_INVALID_ENUM},
    {"DestinationPastTheLastRegister", [](Recording* r) { return Colour(r, GL_MOV_ATI, 6, N, N, {Arg(Reg(0))}); }, GL_INVALID_ENUM},
    {"RegisterCoordinateInPassOne", [](Recording* r) { return Pass(r, 0, Reg(1)); }, GL_INVALID_OPERATION},
    {"RegisterCoordinateAsStrDrInPassTwo", [](Recording* r) {
        OK(Move(r)); return Pass(r, 1, Reg(1), GL_SWIZZLE_STR_DR_ATI); }, GL_NO_ERROR},
    {"SameDestinationTwiceInAPass", [](Recording* r) {
        OK(Pass(r, 2, Tex(0))); return Sample(r, 2, Tex(1)); }, GL_INVALID_OPERATION},
    {"ThirdPass", [](Recording* r) {
        OK(Pass(r, 0, Tex(0))); OK(Move(r)); OK(Pass(r, 0, Reg(0))); OK(Move(r));
        return Pass(r, 1, Tex(1)); }, GL_INVALID_OPERATION},
    {"NinthPairOfAPass", [](Recording* r) {
        for (int i = 0; i < 8; ++i) { OK(Move(r)); OK(Alpha(r, GL_MOV_ATI, 0, N, {Arg(Reg(0))})); }
        return Alpha(r, GL_MOV_ATI, 0, N, {Arg(Reg(0))}); }, GL_INVALID_OPERATION},
    {"TwoDestinationScales", [](Recording* r) {
        return Colour(r, GL_MOV_ATI, 0, N, GL_2X_BIT_ATI | GL_HALF_BIT_ATI, {Arg(Reg(0))}); }, GL_INVALID_ENUM},
    {"ScaleWithSaturation", [](Recording* r) {
        return Colour(r, GL_MOV_ATI, 0, N, GL_8X_BIT_ATI | GL_SATURATE_BIT_ATI, {Arg(Reg(0))}); }, GL_NO_ERROR},
    {"SecondaryColourUnreplicatedInAlpha", [](Recording* r) {
        return Alpha(r, GL_MOV_ATI, 0, N, {Arg(GL_SECONDARY_INTERPOLATOR_ATI)}); }, GL_INVALID_OPERATION},
    {"ThreeDifferentConstants", [](Recording* r) {
        return Colour(r, GL_MAD_ATI, 0, N, N, {Arg(GL_CON_0_ATI), Arg(GL_CON_1_ATI), Arg(GL_CON_2_ATI)}); },
        GL_INVALID_OPERATION},
    {"AlphaDotWithoutItsColourDot", [](Recording* r) {
        OK(Move(r)); return Alpha(r, GL_DOT3_ATI, 0, N, {Arg(Reg(0)), Arg(Reg(0))}); }, GL_INVALID_OPERATION},
    {"PrimaryColourInPassOneOfTwo", [](Recording* r) {
        OK(Colour(r, GL_MOV_ATI, 1, N, N, {Arg(GL_PRIMARY_COLOR_ARB)}));
        OK(Pass(r, 1, Reg(1))); OK(Move(r)); return FinishFragmentRecording(r); }, GL_INVALID_OPERATION},
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

}  // namespace
