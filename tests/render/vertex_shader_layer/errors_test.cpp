// Calls the extension refuses: each gives its error through FetchGlError, and
// none leaves a half-built program to draw with.
#include "tests/render/vertex_shader_layer/layer_test_support.h"

namespace {

GLuint foreign;  // a symbol of another shader's definition

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
    {true, "symbol of another shader's definition", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_MOV_EXT, s.r, foreign); }, GL_INVALID_VALUE},
    {true, "write to an invariant", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_MOV_EXT, s.vectors, s.a); }, GL_INVALID_OPERATION},
    {true, "texture coordinate set 9", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_MOV_EXT, GL_OUTPUT_TEXTURE_COORD9_EXT, s.a); }, GL_INVALID_OPERATION},
    {true, "insert component 4", [](const Symbols& s) { ext::glInsertComponentEXT(s.r, s.k, 4); }, GL_INVALID_VALUE},
    {true, "nested begin", [](const Symbols&) { ext::glBeginVertexShaderEXT(); }, GL_INVALID_OPERATION},
    {false, "operation", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_MOV_EXT, kOut, s.a); }, GL_INVALID_OPERATION},
    {false, "swizzle", [](const Symbols& s) { ext::glSwizzleEXT(kOut, s.a, GL_X_EXT, GL_Y_EXT, GL_Z_EXT, GL_W_EXT); }, GL_INVALID_OPERATION},
    {false, "end without begin", [](const Symbols&) { ext::glEndVertexShaderEXT(); }, GL_INVALID_OPERATION},
    {false, "invariant from no address", [](const Symbols& s) { ext::glSetInvariantEXT(s.vectors, GL_FLOAT, nullptr); }, GL_INVALID_VALUE},
    {false, "unknown state", [](const Symbols&) { EXPECT_EQ(ext::glBindParameterEXT(GL_RGBA), 0u); }, GL_INVALID_ENUM},
};
// clang-format on

// A refused call inside a definition leaves the shader with nothing to draw
// (neither the old program nor half of the new one); outside one it leaves
// the bound shader drawing as before.
TEST(VertexLayerErrors, RefusedCallsLeaveNoHalfBuiltProgram) {
    ASSERT_TRUE(StartVertexLayer());
    DrainErrors();
    const GLuint other = ext::glGenVertexShadersEXT(1);
    BeginDefinition(other);
    foreign = ext::glGenSymbolsEXT(GL_VECTOR_EXT, GL_LOCAL_EXT, GL_FULL_RANGE_EXT, 1);
    ext::glEndVertexShaderEXT();
    const GLuint shader = ext::glGenVertexShadersEXT(1);
    for (const RefusedCall& row : kRefusedCalls) {
        SCOPED_TRACE(row.name);
        Symbols s = BeginDefinition(shader);
        Out(s.a);
        ext::glEndVertexShaderEXT();
        ASSERT_EQ(FetchGlError(), GLenum(GL_NO_ERROR));
        ASSERT_EQ(DrawOnePoint(), kA);
        if (row.inside) s = BeginDefinition(shader);
        row.call(s);
        EXPECT_EQ(FetchGlError(), row.error);
        if (row.inside) {
            Out(s.a);
            ext::glEndVertexShaderEXT();
        }
        EXPECT_EQ(FetchGlError(), GLenum(GL_NO_ERROR));
        EXPECT_EQ(DrawOnePoint(), row.inside ? kNothingDrawn : kA);
        DrainErrors();  // the driver's refusal to draw
    }
    ext::glDeleteVertexShaderEXT(shader);
    ext::glDeleteVertexShaderEXT(other);
}

}  // namespace
