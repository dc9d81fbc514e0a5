// The recording and the translator without GL: records in, program text out,
// and the rules of symbol ids and value conversion.
#include <gtest/gtest.h>

#include "render/vertex_shader_layer/recording.h"
#include "render/vertex_shader_layer/translator.h"

namespace {

GLuint AddBinding(VertexShaderSymbolTable* table, GLuint* nextId, GLenum value) {
    VertexShaderSymbol described;
    EXPECT_EQ(DescribeVertexShaderBinding(kBindParameter, 0, 0, value, &described),
              GLenum(GL_NO_ERROR));
    GLenum error;
    const GLuint id = GenerateVertexShaderSymbols(
        table, nextId, described.dataType, described.storage, GL_FULL_RANGE_EXT, 1, 0, 0, &error);
    (*table)[id].binding = described.binding;
    (*table)[id].component = described.component;
    (*table)[id].zeroW = described.zeroW;
    return id;
}

GLuint Add(VertexShaderSymbolTable* table, GLuint* nextId, GLenum dataType, GLenum storage) {
    GLenum error;
    return GenerateVertexShaderSymbols(table, nextId, dataType, storage, GL_FULL_RANGE_EXT, 1, 7, 1,
                                       &error);
}

// One small program whose every line is read: bound state, a normal with
// w = 0, a scalar invariant replicated, a matrix invariant as four parameter
// rows, a constant, a matrix product into its own vector, a swizzle, and a
// scalar binding read from its component.
TEST(VertexShaderTranslator, WritesOneReadableArbLinePerStep) {
    VertexShaderSymbolTable table;
    GLuint nextId = 1;
    AddBinding(&table, &nextId, GL_CURRENT_VERTEX_EXT);  // unread: declares nothing
    const GLuint normal = AddBinding(&table, &nextId, GL_CURRENT_NORMAL);
    const GLuint fogEnd = AddBinding(&table, &nextId, GL_FOG_END);
    const GLuint eye = Add(&table, &nextId, GL_VECTOR_EXT, GL_LOCAL_EXT);
    const GLuint scale = Add(&table, &nextId, GL_SCALAR_EXT, GL_INVARIANT_EXT);
    const GLuint rows = Add(&table, &nextId, GL_MATRIX_EXT, GL_INVARIANT_EXT);
    const GLuint constant = Add(&table, &nextId, GL_VECTOR_EXT, GL_LOCAL_CONSTANT_EXT);

    VertexShaderRecording recording;
    recording.shader = 7;
    const std::array<float, 16> value = {0.5f, -2.0f, 1e-7f, 3.0f};
    const GLuint scaled[] = {normal, scale}, aliased[] = {rows, eye};
    const GLuint fog[] = {fogEnd};
    const GLenum selectors[] = {GL_NEGATIVE_X_EXT, GL_ONE_EXT, GL_ZERO_EXT, GL_W_EXT};
    const GLenum none = GL_NO_ERROR;
    ASSERT_EQ(RecordLocalConstant(&recording, table, constant, value), none);
    ASSERT_EQ(RecordShaderOp(&recording, table, GL_OP_MUL_EXT, 2, eye, scaled), none);
    ASSERT_EQ(RecordShaderOp(&recording, table, GL_OP_MULTIPLY_MATRIX_EXT, 2, eye, aliased), none);
    ASSERT_EQ(RecordSwizzle(&recording, table, GL_OUTPUT_COLOR1_EXT, constant, selectors), none);
    ASSERT_EQ(RecordShaderOp(&recording, table, GL_OP_RECIP_EXT, 1, GL_OUTPUT_FOG_EXT, fog), none);

    VertexShaderProgram program;
    ASSERT_EQ(TranslateVertexShader(recording, &program), none);
    EXPECT_EQ(program.text,
              "!!ARBvp1.0\n"
              "# GL_EXT_vertex_shader program, 4 instructions\n"
              "PARAM inv[5] = { program.local[0..4] };\n"
              "PARAM con[1] = {\n"
              "    {0.5, -2, 1.00000001e-07, 3} };\n"
              "TEMP v2;\n"
              "PARAM p3 = state.fog.params;\n"
              "TEMP t4;\n"
              "TEMP scratch;\n"
              "SWZ v2, vertex.normal, x, y, z, 0;  # symbol 2 with w = 0\n"
              "MUL t4, v2, inv[0].x;  # 1\n"
              "DP4 scratch.x, inv[1], t4;  # 2\n"
              "DP4 scratch.y, inv[2], t4;  # 2\n"
              "DP4 scratch.z, inv[3], t4;  # 2\n"
              "DP4 scratch.w, inv[4], t4;  # 2\n"
              "MOV t4, scratch;  # 2\n"
              "SWZ result.color.secondary, con[0], -x, 1, 0, w;  # 3\n"
              "RCP result.fogcoord.x, p3.z;  # 4\n"
              "END\n");
}

TEST(VertexShaderSymbols, BlocksNeverTakeOutputNamesNorWrapAround) {
    VertexShaderSymbolTable table;
    GLuint nextId = GL_OUTPUT_VERTEX_EXT - 2;
    GLenum error;
    auto generate = [&](GLuint count) {
        return GenerateVertexShaderSymbols(&table, &nextId, GL_VECTOR_EXT, GL_LOCAL_EXT,
                                           GL_FULL_RANGE_EXT, count, 0, 0, &error);
    };
    EXPECT_EQ(generate(2), GLuint(GL_OUTPUT_VERTEX_EXT - 2));
    const GLuint first = generate(3);
    EXPECT_EQ(first, GLuint(GL_OUTPUT_FOG_EXT + 1));
    EXPECT_EQ(table.at(first + 2).blockFirst, first);
    EXPECT_EQ(table.at(first + 2).blockCount, 3u);
    EXPECT_EQ(generate(1u << 30), 0u);
    EXPECT_EQ(error, GLenum(GL_INVALID_VALUE));
    nextId = 0xFFFFFFF0u;
    EXPECT_EQ(generate(64), 0u);
    EXPECT_EQ(error, GLenum(GL_INVALID_OPERATION));
}

TEST(VertexShaderSymbols, ValuesConvertAsTheExtensionMapsThem) {
    const GLubyte ubytes[4] = {0, 255, 51, 1};
    const GLshort shorts[4] = {-32768, 32767, 0, -1};
    const GLuint uints[4] = {0, 4294967295u, 1, 2};
    const double doubles[4] = {-4.0, 0.5, 1.5, 0.0};
    const struct {
        GLenum type;
        const void* data;
        GLenum range;
        float want[4];
    } kCases[] = {
        {GL_UNSIGNED_BYTE, ubytes, GL_FULL_RANGE_EXT, {0, 255, 51, 1}},
        {GL_UNSIGNED_BYTE, ubytes, GL_NORMALIZED_RANGE_EXT, {0, 1, 0.2f, 1.0f / 255}},
        {GL_SHORT, shorts, GL_NORMALIZED_RANGE_EXT, {-1, 1, 1.0f / 65535, -1.0f / 65535}},
        {GL_SHORT, shorts, GL_FULL_RANGE_EXT, {-32768, 32767, 0, -1}},
        {GL_UNSIGNED_INT,
         uints,
         GL_NORMALIZED_RANGE_EXT,
         {0, 1, 1 / 4294967295.0f, 2 / 4294967295.0f}},
        {GL_DOUBLE, doubles, GL_FULL_RANGE_EXT, {-4, 0.5f, 1.5f, 0}},
        {GL_DOUBLE, doubles, GL_NORMALIZED_RANGE_EXT, {-1, 0.5f, 1, 0}},
    };
    std::array<float, 16> values;
    for (const auto& row : kCases) {
        ASSERT_EQ(ConvertVertexShaderValues(row.type, row.data, GL_VECTOR_EXT, row.range, &values),
                  GLenum(GL_NO_ERROR));
        for (int c = 0; c < 16; ++c)
            EXPECT_FLOAT_EQ(values[c], c < 4 ? row.want[c] : 0.0f) << row.type << " " << c;
    }
    EXPECT_EQ(ConvertVertexShaderValues(GL_RGBA, ubytes, GL_VECTOR_EXT, GL_FULL_RANGE_EXT, &values),
              GLenum(GL_INVALID_ENUM));
    // A scalar reads one value only: the rest of a short block stays unread.
    ASSERT_EQ(ConvertVertexShaderValues(GL_UNSIGNED_BYTE, ubytes + 3, GL_SCALAR_EXT,
                                        GL_FULL_RANGE_EXT, &values),
              GLenum(GL_NO_ERROR));
    EXPECT_EQ(values[0], 1.0f);
}

}  // namespace
