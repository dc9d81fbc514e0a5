// Calls the extension refuses and things an ARB program cannot say: each gives
// its error through FetchGlError, and none leaves a half-built program to draw
// with.
#include <limits>

#include "tests/render/vertex_shader_layer/layer_test_support.h"

namespace {

const Vec4 kValue = {1.0f, 2.0f, 3.0f, 4.0f};
const GLuint kOut = GL_OUTPUT_TEXTURE_COORD0_EXT;

// What a definition of the tables can use.
struct Symbols {
    GLuint position, a, k, r, q, m, invariant, foreign;
};

// Starts defining shader with symbols of each kind; a holds kValue, k 1.
Symbols BeginDefinition(GLuint shader, GLuint position, GLuint foreign) {
    Symbols s{position, 0, 0, 0, 0, 0, 0, foreign};
    ext::glBindVertexShaderEXT(shader);
    ext::glBeginVertexShaderEXT();
    auto gen = [](GLenum type, GLenum storage) {
        return ext::glGenSymbolsEXT(type, storage, GL_FULL_RANGE_EXT, 1);
    };
    s.a = gen(GL_VECTOR_EXT, GL_LOCAL_CONSTANT_EXT);
    ext::glSetLocalConstantEXT(s.a, GL_FLOAT, kValue.data());
    s.k = gen(GL_SCALAR_EXT, GL_LOCAL_CONSTANT_EXT);
    ext::glSetLocalConstantEXT(s.k, GL_FLOAT, kValue.data());
    s.r = gen(GL_VECTOR_EXT, GL_LOCAL_EXT);
    s.q = gen(GL_SCALAR_EXT, GL_LOCAL_EXT);
    s.m = gen(GL_MATRIX_EXT, GL_LOCAL_EXT);
    s.invariant = gen(GL_VECTOR_EXT, GL_INVARIANT_EXT);
    ext::glShaderOp1EXT(GL_OP_MOV_EXT, GL_OUTPUT_VERTEX_EXT, s.position);
    return s;
}

// Defines shader as the good program (constant a to set 0); true when it
// draws kValue.
bool DefineGoodShader(GLuint shader, GLuint position, Symbols* s) {
    *s = BeginDefinition(shader, position, 0);
    ext::glShaderOp1EXT(GL_OP_MOV_EXT, kOut, s->a);
    ext::glEndVertexShaderEXT();
    return FetchGlError() == GL_NO_ERROR && DrawOnePoint() == kValue;
}

struct RefusedCall {
    bool inside;
    const char* name;
    void (*call)(const Symbols& s);
    GLenum error;
};

// Calls refused inside a definition (true) and outside one (false).
// clang-format off
const RefusedCall kRefusedCalls[] = {
    {true, "unknown operation", [](const Symbols& s) { ext::glShaderOp2EXT(0x1234, kOut, s.a, s.a); }, GL_INVALID_ENUM},
    {true, "two-argument operation through ShaderOp1", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_ADD_EXT, kOut, s.a); }, GL_INVALID_OPERATION},
    {true, "dot3 of a scalar", [](const Symbols& s) { ext::glShaderOp2EXT(GL_OP_DOT3_EXT, s.q, s.k, s.a); }, GL_INVALID_OPERATION},
    {true, "unknown symbol", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_MOV_EXT, s.r, 999999); }, GL_INVALID_VALUE},
    {true, "symbol of another shader's definition", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_MOV_EXT, s.r, s.foreign); }, GL_INVALID_VALUE},
    {true, "write to an invariant", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_MOV_EXT, s.invariant, s.a); }, GL_INVALID_OPERATION},
    {true, "texture coordinate set 9", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_MOV_EXT, GL_OUTPUT_TEXTURE_COORD9_EXT, s.a); }, GL_INVALID_OPERATION},
    {true, "insert component 4", [](const Symbols& s) { ext::glInsertComponentEXT(s.r, s.k, 4); }, GL_INVALID_VALUE},
    {true, "nested begin", [](const Symbols&) { ext::glBeginVertexShaderEXT(); }, GL_INVALID_OPERATION},
    {false, "operation", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_MOV_EXT, kOut, s.a); }, GL_INVALID_OPERATION},
    {false, "swizzle", [](const Symbols& s) { ext::glSwizzleEXT(kOut, s.a, GL_X_EXT, GL_Y_EXT, GL_Z_EXT, GL_W_EXT); }, GL_INVALID_OPERATION},
    {false, "end without begin", [](const Symbols&) { ext::glEndVertexShaderEXT(); }, GL_INVALID_OPERATION},
    {false, "invariant from no address", [](const Symbols& s) { ext::glSetInvariantEXT(s.invariant, GL_FLOAT, nullptr); }, GL_INVALID_VALUE},
    {false, "unknown state", [](const Symbols&) { EXPECT_EQ(ext::glBindParameterEXT(GL_RGBA), 0u); }, GL_INVALID_ENUM},
};
// clang-format on

// A refused call inside a definition leaves the shader with nothing to draw
// (neither the old program nor half of the new one); outside one it leaves
// the bound shader drawing as before.
TEST(VertexLayerErrors, RefusedCallsLeaveNoHalfBuiltProgram) {
    ASSERT_TRUE(StartVertexLayer());
    DrainErrors();
    const GLuint position = ext::glBindParameterEXT(GL_CURRENT_VERTEX_EXT);
    const GLuint other = ext::glGenVertexShadersEXT(1);
    ext::glBindVertexShaderEXT(other);
    ext::glBeginVertexShaderEXT();
    const GLuint foreign = ext::glGenSymbolsEXT(GL_VECTOR_EXT, GL_LOCAL_EXT, GL_FULL_RANGE_EXT, 1);
    ext::glEndVertexShaderEXT();
    const GLuint shader = ext::glGenVertexShadersEXT(1);
    for (const RefusedCall& row : kRefusedCalls) {
        SCOPED_TRACE(row.name);
        Symbols s;
        ASSERT_TRUE(DefineGoodShader(shader, position, &s));
        if (row.inside) s = BeginDefinition(shader, position, foreign);
        row.call(s);
        EXPECT_EQ(FetchGlError(), row.error);
        if (row.inside) {
            ext::glShaderOp1EXT(GL_OP_MOV_EXT, kOut, s.a);
            ext::glEndVertexShaderEXT();
        }
        EXPECT_EQ(FetchGlError(), GLenum(GL_NO_ERROR));
        const Vec4 nothing = {kReaderBackground, kReaderBackground, kReaderBackground,
                              kReaderBackground};
        EXPECT_EQ(DrawOnePoint(), row.inside ? nothing : kValue);
        DrainErrors();  // the driver's refusal to draw
    }
    ext::glDeleteVertexShaderEXT(shader);
    ext::glDeleteVertexShaderEXT(other);
}

// Programs that record cleanly but that no ARB program can hold: a constant
// that is not finite (the translator refuses it) and more invariants than the
// driver has local parameters (the driver refuses the text).
TEST(VertexLayerErrors, ProgramThatCannotLoadFailsAtEnd) {
    ASSERT_TRUE(StartVertexLayer());
    DrainErrors();
    GLint localLimit = 0;
    GlProcNamed<PFNGLGETPROGRAMIVARBPROC>("glGetProgramivARB")(
        GL_VERTEX_PROGRAM_ARB, GL_MAX_PROGRAM_LOCAL_PARAMETERS_ARB, &localLimit);
    ASSERT_GT(localLimit, 0);
    ASSERT_LE(localLimit, 4 * 4096);  // one block of matrices can outgrow it
    const GLuint position = ext::glBindParameterEXT(GL_CURRENT_VERTEX_EXT);
    const GLuint shader = ext::glGenVertexShadersEXT(1);
    for (int oversized = 0; oversized < 2; ++oversized) {
        SCOPED_TRACE(oversized ? "too many invariants" : "infinite constant");
        Symbols s;
        ASSERT_TRUE(DefineGoodShader(shader, position, &s));
        s = BeginDefinition(shader, position, 0);
        ext::glShaderOp1EXT(GL_OP_MOV_EXT, kOut, s.a);
        if (oversized) {
            // Indexing brings in the whole block: four parameters a matrix.
            const GLuint matrices = ext::glGenSymbolsEXT(GL_MATRIX_EXT, GL_INVARIANT_EXT,
                                                         GL_FULL_RANGE_EXT, localLimit / 4 + 1);
            ext::glShaderOp2EXT(GL_OP_INDEX_EXT, s.m, s.k, matrices);
        } else {
            const GLuint infinite =
                ext::glGenSymbolsEXT(GL_SCALAR_EXT, GL_LOCAL_CONSTANT_EXT, GL_FULL_RANGE_EXT, 1);
            const float value = std::numeric_limits<float>::infinity();
            ext::glSetLocalConstantEXT(infinite, GL_FLOAT, &value);
            ext::glShaderOp2EXT(GL_OP_ADD_EXT, kOut, s.a, infinite);
        }
        EXPECT_EQ(FetchGlError(), GLenum(GL_NO_ERROR));
        // Mesa's parser keeps a few bytes of the text it refuses.
        VIEWER_OFFSCREEN_GL_IGNORE_LEAKS_BEGIN();
        ext::glEndVertexShaderEXT();
        VIEWER_OFFSCREEN_GL_IGNORE_LEAKS_END();
        EXPECT_EQ(FetchGlError(), GLenum(GL_INVALID_OPERATION));
        EXPECT_EQ(DrawOnePoint()[0], kReaderBackground);
        DrainErrors();
    }
    ext::glDeleteVertexShaderEXT(shader);
}

}  // namespace
