// Calls the extension refuses and things an ARB program cannot say: each gives
// its error through FetchGlError, and none leaves a half-built program to draw
// with. Also the queries that read the layer's state back.
#include <cmath>
#include <limits>

#include "tests/vertex_layer/layer_test_support.h"

namespace {

const float kValue[4] = {1.0f, 2.0f, 3.0f, 4.0f};
const GLuint kOut = GL_OUTPUT_TEXTURE_COORD0_EXT;

// What a definition of the table can use.
struct Symbols {
    GLuint position, a, k, r, q, m, invariant, foreign;
};

// Records the good program: position through, constant a to set 0.
void RecordGoodProgram(const Symbols& s) {
    ext::glShaderOp1EXT(GL_OP_MOV_EXT, GL_OUTPUT_VERTEX_EXT, s.position);
    ext::glShaderOp1EXT(GL_OP_MOV_EXT, kOut, s.a);
}

Symbols BeginDefinition(GLuint shader, GLuint position, GLuint foreign) {
    Symbols s;
    s.position = position;
    s.foreign = foreign;
    ext::glBindVertexShaderEXT(shader);
    ext::glBeginVertexShaderEXT();
    s.a = ext::glGenSymbolsEXT(GL_VECTOR_EXT, GL_LOCAL_CONSTANT_EXT, GL_FULL_RANGE_EXT, 1);
    ext::glSetLocalConstantEXT(s.a, GL_FLOAT, kValue);
    s.k = ext::glGenSymbolsEXT(GL_SCALAR_EXT, GL_LOCAL_CONSTANT_EXT, GL_FULL_RANGE_EXT, 1);
    const float one = 1.0f;
    ext::glSetLocalConstantEXT(s.k, GL_FLOAT, &one);
    s.r = ext::glGenSymbolsEXT(GL_VECTOR_EXT, GL_LOCAL_EXT, GL_FULL_RANGE_EXT, 2);
    s.q = ext::glGenSymbolsEXT(GL_SCALAR_EXT, GL_LOCAL_EXT, GL_FULL_RANGE_EXT, 1);
    s.m = ext::glGenSymbolsEXT(GL_MATRIX_EXT, GL_LOCAL_EXT, GL_FULL_RANGE_EXT, 1);
    s.invariant = ext::glGenSymbolsEXT(GL_VECTOR_EXT, GL_INVARIANT_EXT, GL_FULL_RANGE_EXT, 1);
    return s;
}

struct RefusedCall {
    const char* name;
    void (*call)(const Symbols& s);
    GLenum error;
};

// clang-format off
const RefusedCall kRefusedInsideDefinition[] = {
    {"unknown operation", [](const Symbols& s) { ext::glShaderOp2EXT(0x1234, kOut, s.a, s.a); }, GL_INVALID_ENUM},
    {"two-argument operation through ShaderOp1", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_ADD_EXT, kOut, s.a); }, GL_INVALID_OPERATION},
    {"dot3 of a scalar", [](const Symbols& s) { ext::glShaderOp2EXT(GL_OP_DOT3_EXT, s.q, s.k, s.a); }, GL_INVALID_OPERATION},
    {"scalar result of a vector add", [](const Symbols& s) { ext::glShaderOp2EXT(GL_OP_ADD_EXT, s.q, s.a, s.a); }, GL_INVALID_OPERATION},
    {"exp2 of a vector", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_EXP_BASE_2_EXT, s.r, s.a); }, GL_INVALID_OPERATION},
    {"matrix times a scalar", [](const Symbols& s) { ext::glShaderOp2EXT(GL_OP_MULTIPLY_MATRIX_EXT, s.r, s.m, s.k); }, GL_INVALID_OPERATION},
    {"unknown symbol", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_MOV_EXT, s.r, 999999); }, GL_INVALID_VALUE},
    {"symbol of another shader's definition", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_MOV_EXT, s.r, s.foreign); }, GL_INVALID_VALUE},
    {"write to an invariant", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_MOV_EXT, s.invariant, s.a); }, GL_INVALID_OPERATION},
    {"write to bound state", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_MOV_EXT, s.position, s.a); }, GL_INVALID_OPERATION},
    {"read an output", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_MOV_EXT, s.r, GL_OUTPUT_COLOR0_EXT); }, GL_INVALID_OPERATION},
    {"texture coordinate set 9", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_MOV_EXT, GL_OUTPUT_TEXTURE_COORD9_EXT, s.a); }, GL_INVALID_OPERATION},
    {"index into locals", [](const Symbols& s) { ext::glShaderOp2EXT(GL_OP_INDEX_EXT, s.r, s.k, s.r); }, GL_INVALID_OPERATION},
    {"insert component 4", [](const Symbols& s) { ext::glInsertComponentEXT(s.r, s.k, 4); }, GL_INVALID_VALUE},
    {"insert a vector into a vector", [](const Symbols& s) { ext::glInsertComponentEXT(s.r, s.a, 0); }, GL_INVALID_OPERATION},
    {"extract from a scalar", [](const Symbols& s) { ext::glExtractComponentEXT(s.q, s.k, 0); }, GL_INVALID_OPERATION},
    {"swizzle selector", [](const Symbols& s) { ext::glSwizzleEXT(s.r, s.a, GL_X_EXT, GL_TRUE, GL_Z_EXT, GL_W_EXT); }, GL_INVALID_ENUM},
    {"swizzle of a scalar", [](const Symbols& s) { ext::glSwizzleEXT(s.r, s.k, GL_X_EXT, GL_X_EXT, GL_X_EXT, GL_X_EXT); }, GL_INVALID_OPERATION},
    {"write mask flag 2", [](const Symbols& s) { ext::glWriteMaskEXT(s.r, s.a, GL_TRUE, 2, GL_TRUE, GL_TRUE); }, GL_INVALID_ENUM},
    {"write mask into a matrix", [](const Symbols& s) { ext::glWriteMaskEXT(s.m, s.a, GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE); }, GL_INVALID_OPERATION},
    {"local constant set twice", [](const Symbols& s) { ext::glSetLocalConstantEXT(s.a, GL_FLOAT, kValue); }, GL_INVALID_OPERATION},
    {"local constant on a local", [](const Symbols& s) { ext::glSetLocalConstantEXT(s.r, GL_FLOAT, kValue); }, GL_INVALID_OPERATION},
    {"local constant of an unknown type", [](const Symbols&) {
         GLuint c = ext::glGenSymbolsEXT(GL_VECTOR_EXT, GL_LOCAL_CONSTANT_EXT, GL_FULL_RANGE_EXT, 1);
         ext::glSetLocalConstantEXT(c, GL_RGBA, kValue); }, GL_INVALID_ENUM},
    {"symbols of an unknown data type", [](const Symbols&) { ext::glGenSymbolsEXT(GL_RGBA, GL_LOCAL_EXT, GL_FULL_RANGE_EXT, 1); }, GL_INVALID_ENUM},
    {"no symbols", [](const Symbols&) { ext::glGenSymbolsEXT(GL_VECTOR_EXT, GL_LOCAL_EXT, GL_FULL_RANGE_EXT, 0); }, GL_INVALID_VALUE},
    {"matrix variant", [](const Symbols&) { ext::glGenSymbolsEXT(GL_MATRIX_EXT, GL_VARIANT_EXT, GL_FULL_RANGE_EXT, 1); }, GL_INVALID_OPERATION},
    {"more variants than attributes", [](const Symbols&) { ext::glGenSymbolsEXT(GL_VECTOR_EXT, GL_VARIANT_EXT, GL_FULL_RANGE_EXT, 16); }, GL_INVALID_OPERATION},
    {"binding state", [](const Symbols&) { ext::glBindParameterEXT(GL_CURRENT_COLOR); }, GL_INVALID_OPERATION},
    {"setting an invariant", [](const Symbols& s) { ext::glSetInvariantEXT(s.invariant, GL_FLOAT, kValue); }, GL_INVALID_OPERATION},
    {"nested begin", [](const Symbols&) { ext::glBeginVertexShaderEXT(); }, GL_INVALID_OPERATION},
    {"binding a shader", [](const Symbols&) { ext::glBindVertexShaderEXT(0); }, GL_INVALID_OPERATION},
    {"making shaders", [](const Symbols&) { ext::glGenVertexShadersEXT(1); }, GL_INVALID_OPERATION},
};
// clang-format on

// Defines shader with the good program and checks that it draws kValue.
void DefineGoodShader(VertexOutputReader* reader, GLuint shader, GLuint position) {
    Symbols s = BeginDefinition(shader, position, 0);
    RecordGoodProgram(s);
    ext::glEndVertexShaderEXT();
    ASSERT_EQ(FetchGlError(), static_cast<GLenum>(GL_NO_ERROR));
    Vec4 drawn = DrawOnePoint(reader);
    for (int c = 0; c < 4; ++c)
        ASSERT_EQ(drawn[c], kValue[c]);
}

TEST(VertexLayerErrors, RefusedCallInsideADefinitionLeavesNothingToDrawWith) {
    VertexOutputReader* reader = LayerTestReader();
    ASSERT_NE(reader, nullptr);
    DrainErrors();
    GLuint position = ext::glBindParameterEXT(GL_CURRENT_VERTEX_EXT);
    GLuint other = ext::glGenVertexShadersEXT(1);
    ext::glBindVertexShaderEXT(other);
    ext::glBeginVertexShaderEXT();
    GLuint foreign = ext::glGenSymbolsEXT(GL_VECTOR_EXT, GL_LOCAL_EXT, GL_FULL_RANGE_EXT, 1);
    ext::glEndVertexShaderEXT();
    GLuint shader = ext::glGenVertexShadersEXT(1);
    for (const RefusedCall& row : kRefusedInsideDefinition) {
        SCOPED_TRACE(row.name);
        DefineGoodShader(reader, shader, position);
        // The same shader again, with the refused call between good ones.
        Symbols s = BeginDefinition(shader, position, foreign);
        ext::glShaderOp1EXT(GL_OP_MOV_EXT, GL_OUTPUT_VERTEX_EXT, s.position);
        row.call(s);
        EXPECT_EQ(FetchGlError(), row.error);
        ext::glShaderOp1EXT(GL_OP_MOV_EXT, kOut, s.a);
        ext::glEndVertexShaderEXT();
        EXPECT_EQ(FetchGlError(), static_cast<GLenum>(GL_NO_ERROR));
        // Neither the old program nor half of the new one runs.
        Vec4 drawn = DrawOnePoint(reader);
        EXPECT_EQ(drawn[0], kReaderBackground);
        DrainErrors();  // the driver's refusal to draw
    }
    ext::glDeleteVertexShaderEXT(shader);
    ext::glDeleteVertexShaderEXT(other);
}

// Programs that record cleanly but that no ARB program can hold: a constant
// that is not finite (the translator refuses it) and more invariants than the
// driver has local parameters (the driver refuses the text).
TEST(VertexLayerErrors, ProgramThatCannotLoadFailsAtEnd) {
    VertexOutputReader* reader = LayerTestReader();
    ASSERT_NE(reader, nullptr);
    DrainErrors();
    auto getProgramiv =
        reinterpret_cast<PFNGLGETPROGRAMIVARBPROC>(GetGlProcAddress("glGetProgramivARB"));
    GLint localLimit = 0;
    getProgramiv(GL_VERTEX_PROGRAM_ARB, GL_MAX_PROGRAM_LOCAL_PARAMETERS_ARB, &localLimit);
    ASSERT_GT(localLimit, 0);
    ASSERT_LE(localLimit, 4 * 4096);  // one block of matrices can outgrow it
    GLuint position = ext::glBindParameterEXT(GL_CURRENT_VERTEX_EXT);
    GLuint shader = ext::glGenVertexShadersEXT(1);
    for (int oversized = 0; oversized < 2; ++oversized) {
        SCOPED_TRACE(oversized ? "too many invariants" : "infinite constant");
        DefineGoodShader(reader, shader, position);
        Symbols s = BeginDefinition(shader, position, 0);
        RecordGoodProgram(s);
        if (oversized) {
            // Indexing brings in the whole block: four parameters a matrix.
            GLuint matrices = ext::glGenSymbolsEXT(GL_MATRIX_EXT, GL_INVARIANT_EXT,
                                                   GL_FULL_RANGE_EXT, localLimit / 4 + 1);
            ext::glShaderOp2EXT(GL_OP_INDEX_EXT, s.m, s.k, matrices);
        } else {
            GLuint infinite =
                ext::glGenSymbolsEXT(GL_SCALAR_EXT, GL_LOCAL_CONSTANT_EXT, GL_FULL_RANGE_EXT, 1);
            const float value = std::numeric_limits<float>::infinity();
            ext::glSetLocalConstantEXT(infinite, GL_FLOAT, &value);
            ext::glShaderOp2EXT(GL_OP_ADD_EXT, kOut, s.a, infinite);
        }
        EXPECT_EQ(FetchGlError(), static_cast<GLenum>(GL_NO_ERROR));
        // Mesa's parser keeps a few bytes of the text it refuses.
        VIEWER_OFFSCREEN_GL_IGNORE_LEAKS_BEGIN();
        ext::glEndVertexShaderEXT();
        VIEWER_OFFSCREEN_GL_IGNORE_LEAKS_END();
        EXPECT_EQ(FetchGlError(), static_cast<GLenum>(GL_INVALID_OPERATION));
        EXPECT_EQ(DrawOnePoint(reader)[0], kReaderBackground);
        DrainErrors();
    }
    ext::glDeleteVertexShaderEXT(shader);
}

// clang-format off
const RefusedCall kRefusedOutsideDefinition[] = {
    {"operation", [](const Symbols& s) { ext::glShaderOp1EXT(GL_OP_MOV_EXT, kOut, s.a); }, GL_INVALID_OPERATION},
    {"three-argument operation", [](const Symbols& s) { ext::glShaderOp3EXT(GL_OP_MADD_EXT, kOut, s.a, s.a, s.a); }, GL_INVALID_OPERATION},
    {"swizzle", [](const Symbols& s) { ext::glSwizzleEXT(kOut, s.a, GL_X_EXT, GL_Y_EXT, GL_Z_EXT, GL_W_EXT); }, GL_INVALID_OPERATION},
    {"write mask", [](const Symbols& s) { ext::glWriteMaskEXT(kOut, s.a, GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE); }, GL_INVALID_OPERATION},
    {"insert", [](const Symbols& s) { ext::glInsertComponentEXT(kOut, s.k, 0); }, GL_INVALID_OPERATION},
    {"extract", [](const Symbols& s) { ext::glExtractComponentEXT(s.q, s.a, 0); }, GL_INVALID_OPERATION},
    {"local constant", [](const Symbols& s) { ext::glSetLocalConstantEXT(s.a, GL_FLOAT, kValue); }, GL_INVALID_OPERATION},
    {"end without begin", [](const Symbols&) { ext::glEndVertexShaderEXT(); }, GL_INVALID_OPERATION},
    {"invariant of an unknown symbol", [](const Symbols&) { ext::glSetInvariantEXT(999999, GL_FLOAT, kValue); }, GL_INVALID_VALUE},
    {"invariant through a local", [](const Symbols& s) { ext::glSetInvariantEXT(s.r, GL_FLOAT, kValue); }, GL_INVALID_OPERATION},
    {"invariant through bound state", [](const Symbols& s) { ext::glSetInvariantEXT(s.position, GL_FLOAT, kValue); }, GL_INVALID_OPERATION},
    {"invariant of an unknown type", [](const Symbols& s) { ext::glSetInvariantEXT(s.invariant, GL_RGBA, kValue); }, GL_INVALID_ENUM},
    {"invariant from no address", [](const Symbols& s) { ext::glSetInvariantEXT(s.invariant, GL_FLOAT, nullptr); }, GL_INVALID_VALUE},
    {"query of an unknown symbol", [](const Symbols&) { float v[4]; ext::glGetInvariantFloatvEXT(999999, GL_INVARIANT_VALUE_EXT, v); }, GL_INVALID_VALUE},
    {"invariant query of a local constant", [](const Symbols& s) { float v[4]; ext::glGetInvariantFloatvEXT(s.a, GL_INVARIANT_VALUE_EXT, v); }, GL_INVALID_VALUE},
    {"query of an unknown value", [](const Symbols& s) { float v[4]; ext::glGetInvariantFloatvEXT(s.invariant, GL_VARIANT_VALUE_EXT, v); }, GL_INVALID_ENUM},
    {"colour matrix", [](const Symbols&) { EXPECT_EQ(ext::glBindParameterEXT(GL_COLOR_MATRIX), 0u); }, GL_INVALID_OPERATION},
    {"spot cut-off angle", [](const Symbols&) { EXPECT_EQ(ext::glBindLightParameterEXT(GL_LIGHT0, GL_SPOT_CUTOFF), 0u); }, GL_INVALID_OPERATION},
    {"unknown state", [](const Symbols&) { EXPECT_EQ(ext::glBindParameterEXT(GL_RGBA), 0u); }, GL_INVALID_ENUM},
    {"light 8", [](const Symbols&) { ext::glBindLightParameterEXT(GL_LIGHT0 + 8, GL_AMBIENT); }, GL_INVALID_ENUM},
    {"texture unit 8", [](const Symbols&) { ext::glBindTextureUnitParameterEXT(GL_TEXTURE0_ARB + 8, GL_TEXTURE_MATRIX); }, GL_INVALID_ENUM},
    {"no shader names", [](const Symbols&) { EXPECT_EQ(ext::glGenVertexShadersEXT(0), 0u); }, GL_INVALID_VALUE},
    {"variant through an invariant", [](const Symbols& s) { ext::glVariantfvEXT(s.invariant, kValue); }, GL_INVALID_OPERATION},
    {"variant array of an unknown type", [](const Symbols&) {
         GLuint v = ext::glGenSymbolsEXT(GL_VECTOR_EXT, GL_VARIANT_EXT, GL_FULL_RANGE_EXT, 1);
         ext::glVariantPointerEXT(v, GL_RGBA, 0, kValue); }, GL_INVALID_ENUM},
};
// clang-format on

TEST(VertexLayerErrors, RefusedCallOutsideADefinitionLeavesTheBoundShaderDrawing) {
    VertexOutputReader* reader = LayerTestReader();
    ASSERT_NE(reader, nullptr);
    DrainErrors();
    GLuint position = ext::glBindParameterEXT(GL_CURRENT_VERTEX_EXT);
    GLuint shader = ext::glGenVertexShadersEXT(1);
    Symbols s = BeginDefinition(shader, position, 0);
    RecordGoodProgram(s);
    ext::glEndVertexShaderEXT();
    for (const RefusedCall& row : kRefusedOutsideDefinition) {
        SCOPED_TRACE(row.name);
        row.call(s);
        EXPECT_EQ(FetchGlError(), row.error);
        EXPECT_EQ(FetchGlError(), static_cast<GLenum>(GL_NO_ERROR));
        Vec4 drawn = DrawOnePoint(reader);
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(drawn[c], kValue[c]);
    }
    ext::glDeleteVertexShaderEXT(shader);
}

TEST(VertexLayerQueries, InvariantsConstantsAndVariantsReadBack) {
    ASSERT_NE(LayerTestReader(), nullptr);
    DrainErrors();
    GLuint shader = ext::glGenVertexShadersEXT(2);
    ext::glBindVertexShaderEXT(shader);
    ext::glBeginVertexShaderEXT();
    GLuint matrix = ext::glGenSymbolsEXT(GL_MATRIX_EXT, GL_INVARIANT_EXT, GL_FULL_RANGE_EXT, 1);
    GLuint scaled =
        ext::glGenSymbolsEXT(GL_VECTOR_EXT, GL_INVARIANT_EXT, GL_NORMALIZED_RANGE_EXT, 1);
    GLuint constant =
        ext::glGenSymbolsEXT(GL_SCALAR_EXT, GL_LOCAL_CONSTANT_EXT, GL_FULL_RANGE_EXT, 1);
    GLuint variant = ext::glGenSymbolsEXT(GL_VECTOR_EXT, GL_VARIANT_EXT, GL_FULL_RANGE_EXT, 1);
    const GLshort constantValue = -7;
    ext::glSetLocalConstantEXT(constant, GL_SHORT, &constantValue);
    ext::glEndVertexShaderEXT();
    ASSERT_EQ(FetchGlError(), static_cast<GLenum>(GL_NO_ERROR));

    float elements[16];
    for (int e = 0; e < 16; ++e)
        elements[e] = 0.5f * e - 1.6f;
    ext::glSetInvariantEXT(matrix, GL_FLOAT, elements);
    float readMatrix[16];
    GLint readInts[16];
    ext::glGetInvariantFloatvEXT(matrix, GL_INVARIANT_VALUE_EXT, readMatrix);
    ext::glGetInvariantIntegervEXT(matrix, GL_INVARIANT_VALUE_EXT, readInts);
    for (int e = 0; e < 16; ++e) {
        EXPECT_EQ(readMatrix[e], elements[e]);
        EXPECT_EQ(readInts[e], static_cast<GLint>(std::floor(elements[e] + 0.5f)));
    }
    GLint dataType = 0;
    ext::glGetInvariantIntegervEXT(matrix, GL_INVARIANT_DATATYPE_EXT, &dataType);
    EXPECT_EQ(dataType, GL_MATRIX_EXT);

    // Normalized range: GL's (2c + 1) / 255 for signed bytes, floats clamped.
    const GLbyte bytes[4] = {127, -128, 0, 63};
    float readScaled[4];
    ext::glSetInvariantEXT(scaled, GL_BYTE, bytes);
    ext::glGetInvariantFloatvEXT(scaled, GL_INVARIANT_VALUE_EXT, readScaled);
    const float wantScaled[4] = {1.0f, -1.0f, 1.0f / 255.0f, 127.0f / 255.0f};
    for (int c = 0; c < 4; ++c)
        EXPECT_FLOAT_EQ(readScaled[c], wantScaled[c]);
    const float wide[4] = {2.0f, -3.0f, 0.25f, 1.0f};
    GLboolean readBooleans[4];
    ext::glSetInvariantEXT(scaled, GL_FLOAT, wide);
    ext::glGetInvariantFloatvEXT(scaled, GL_INVARIANT_VALUE_EXT, readScaled);
    ext::glGetInvariantBooleanvEXT(scaled, GL_INVARIANT_VALUE_EXT, readBooleans);
    const float wantClamped[4] = {1.0f, -1.0f, 0.25f, 1.0f};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(readScaled[c], wantClamped[c]);
        EXPECT_EQ(readBooleans[c], GL_TRUE);
    }

    float readConstant = 0.0f;
    ext::glGetLocalConstantFloatvEXT(constant, GL_LOCAL_CONSTANT_VALUE_EXT, &readConstant);
    EXPECT_EQ(readConstant, -7.0f);
    ext::glGetLocalConstantIntegervEXT(constant, GL_LOCAL_CONSTANT_DATATYPE_EXT, &dataType);
    EXPECT_EQ(dataType, GL_SCALAR_EXT);

    const GLushort shorts[4] = {1, 2, 3, 65535};
    ext::glVariantusvEXT(variant, shorts);
    float readVariant[4];
    ext::glGetVariantFloatvEXT(variant, GL_VARIANT_VALUE_EXT, readVariant);
    const float wantVariant[4] = {1, 2, 3, 65535};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(readVariant[c], wantVariant[c]);
    const float array[8] = {};
    ext::glVariantPointerEXT(variant, GL_FLOAT, 32, array);
    ext::glEnableVariantClientStateEXT(variant);
    GLint stride = 0, type = 0;
    void* pointer = nullptr;
    ext::glGetVariantIntegervEXT(variant, GL_VARIANT_ARRAY_STRIDE_EXT, &stride);
    ext::glGetVariantIntegervEXT(variant, GL_VARIANT_ARRAY_TYPE_EXT, &type);
    ext::glGetVariantPointervEXT(variant, GL_VARIANT_ARRAY_POINTER_EXT, &pointer);
    EXPECT_EQ(stride, 32);
    EXPECT_EQ(type, GL_FLOAT);
    EXPECT_EQ(pointer, static_cast<const void*>(array));
    EXPECT_EQ(ext::glIsVariantEnabledEXT(variant, GL_VARIANT_ARRAY_EXT), GL_TRUE);
    ext::glDisableVariantClientStateEXT(variant);
    EXPECT_EQ(ext::glIsVariantEnabledEXT(variant, GL_VARIANT_ARRAY_EXT), GL_FALSE);
    EXPECT_EQ(FetchGlError(), static_cast<GLenum>(GL_NO_ERROR));

    // In the context of another shader these symbols are not there.
    ext::glBindVertexShaderEXT(shader + 1);
    ext::glGetInvariantFloatvEXT(matrix, GL_INVARIANT_VALUE_EXT, readMatrix);
    EXPECT_EQ(FetchGlError(), static_cast<GLenum>(GL_INVALID_VALUE));
    // Deleting the shader deletes them.
    ext::glDeleteVertexShaderEXT(shader);
    ext::glDeleteVertexShaderEXT(shader + 1);
    ext::glSetInvariantEXT(matrix, GL_FLOAT, elements);
    EXPECT_EQ(FetchGlError(), static_cast<GLenum>(GL_INVALID_VALUE));
}

}  // namespace
