// The recording and the translator without GL: records in, program text out,
// and the rules of symbol ids and value conversion.
#include <gtest/gtest.h>

#include "render/vertex_shader_recording.h"
#include "render/vertex_shader_translator.h"

namespace {

GLuint AddBinding(VertexShaderSymbolTable* table, GLuint* nextId, VertexShaderBindingKind kind,
                  GLenum target, GLenum value) {
    VertexShaderSymbol described;
    EXPECT_EQ(DescribeVertexShaderBinding(kind, target, 0, value, &described),
              static_cast<GLenum>(GL_NO_ERROR));
    GLenum error;
    GLuint id = GenerateVertexShaderSymbols(table, nextId, described.dataType, described.storage,
                                            GL_FULL_RANGE_EXT, 1, 0, 0, &error);
    (*table)[id].binding = described.binding;
    (*table)[id].component = described.component;
    (*table)[id].zeroW = described.zeroW;
    return id;
}

GLuint Add(VertexShaderSymbolTable* table, GLuint* nextId, GLenum dataType, GLenum storage,
           GLuint count = 1) {
    GLenum error;
    return GenerateVertexShaderSymbols(table, nextId, dataType, storage, GL_FULL_RANGE_EXT, count,
                                       7, 1, &error);
}

TEST(VertexShaderTranslator, WritesOneReadableArbLinePerStep) {
    VertexShaderSymbolTable table;
    GLuint nextId = 1;
    GLuint modelview = AddBinding(&table, &nextId, kBindParameter, 0, GL_MODELVIEW_MATRIX);
    GLuint position = AddBinding(&table, &nextId, kBindParameter, 0, GL_CURRENT_VERTEX_EXT);
    GLuint normal = AddBinding(&table, &nextId, kBindParameter, 0, GL_CURRENT_NORMAL);
    GLuint fogEnd = AddBinding(&table, &nextId, kBindParameter, 0, GL_FOG_END);
    GLuint eye = Add(&table, &nextId, GL_VECTOR_EXT, GL_LOCAL_EXT);
    GLuint scale = Add(&table, &nextId, GL_SCALAR_EXT, GL_INVARIANT_EXT);
    GLuint rows = Add(&table, &nextId, GL_MATRIX_EXT, GL_INVARIANT_EXT);
    GLuint constant = Add(&table, &nextId, GL_VECTOR_EXT, GL_LOCAL_CONSTANT_EXT);
    GLuint index = Add(&table, &nextId, GL_SCALAR_EXT, GL_LOCAL_CONSTANT_EXT);

    VertexShaderRecording recording;
    recording.shader = 7;
    std::array<float, 16> value{};
    value[0] = 0.5f;
    value[1] = -2.0f;
    value[2] = 1e-7f;
    value[3] = 3.0f;
    ASSERT_EQ(RecordLocalConstant(&recording, table, constant, value), GLenum(GL_NO_ERROR));
    const GLuint multiply[] = {modelview, position};
    const GLuint scaled[] = {normal, scale};
    const GLuint product[] = {rows, eye};
    const GLuint indexed[] = {index, rows};
    const GLuint fog[] = {fogEnd};
    const GLenum selectors[] = {GL_NEGATIVE_X_EXT, GL_ONE_EXT, GL_ZERO_EXT, GL_W_EXT};
    ASSERT_EQ(RecordShaderOp(&recording, table, GL_OP_MULTIPLY_MATRIX_EXT, 2, eye, multiply),
              GLenum(GL_NO_ERROR));
    ASSERT_EQ(
        RecordShaderOp(&recording, table, GL_OP_MUL_EXT, 2, GL_OUTPUT_TEXTURE_COORD2_EXT, scaled),
        GLenum(GL_NO_ERROR));
    ASSERT_EQ(RecordShaderOp(&recording, table, GL_OP_MULTIPLY_MATRIX_EXT, 2, eye, product),
              GLenum(GL_NO_ERROR));
    ASSERT_EQ(RecordSwizzle(&recording, table, GL_OUTPUT_COLOR1_EXT, constant, selectors),
              GLenum(GL_NO_ERROR));
    ASSERT_EQ(RecordInsertComponent(&recording, table, GL_OUTPUT_TEXTURE_COORD7_EXT, fogEnd, 3),
              GLenum(GL_NO_ERROR));
    ASSERT_EQ(RecordShaderOp(&recording, table, GL_OP_RECIP_EXT, 1, GL_OUTPUT_FOG_EXT, fog),
              GLenum(GL_NO_ERROR));
    ASSERT_EQ(RecordShaderOp(&recording, table, GL_OP_INDEX_EXT, 2, eye, indexed),
              GLenum(GL_INVALID_OPERATION));  // a matrix block indexed into a vector
    ASSERT_EQ(recording.instructions.size(), 6u);

    VertexShaderProgram program;
    ASSERT_EQ(TranslateVertexShader(recording, &program), GLenum(GL_NO_ERROR));
    EXPECT_EQ(program.text,
              "!!ARBvp1.0\n"
              "# GL_EXT_vertex_shader program, 6 instructions\n"
              "PARAM inv[5] = { program.local[0..4] };\n"
              "PARAM con[1] = {\n"
              "    {0.5, -2, 1.00000001e-07, 3} };\n"
              "PARAM p1[4] = { state.matrix.modelview };\n"
              "TEMP v3;\n"
              "PARAM p4 = state.fog.params;\n"
              "TEMP t5;\n"
              "TEMP scratch;\n"
              "SWZ v3, vertex.normal, x, y, z, 0;  # symbol 3 with w = 0\n"
              "DP4 t5.x, p1[0], vertex.position;  # 1\n"
              "DP4 t5.y, p1[1], vertex.position;  # 1\n"
              "DP4 t5.z, p1[2], vertex.position;  # 1\n"
              "DP4 t5.w, p1[3], vertex.position;  # 1\n"
              "MUL result.texcoord[2], v3, inv[0].x;  # 2\n"
              "DP4 scratch.x, inv[1], t5;  # 3\n"
              "DP4 scratch.y, inv[2], t5;  # 3\n"
              "DP4 scratch.z, inv[3], t5;  # 3\n"
              "DP4 scratch.w, inv[4], t5;  # 3\n"
              "MOV t5, scratch;  # 3\n"
              "SWZ result.color.secondary, con[0], -x, 1, 0, w;  # 4\n"
              "MOV result.texcoord[7].w, p4.z;  # 5\n"
              "RCP result.fogcoord.x, p4.z;  # 6\n"
              "END\n");
    // Parameter i of the program holds these rows of these invariants.
    ASSERT_EQ(program.locals.size(), 5u);
    EXPECT_EQ(program.locals[0].symbol, scale);
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(program.locals[1 + r].symbol, rows);
        EXPECT_EQ(program.locals[1 + r].row, r);
    }
}

TEST(VertexShaderSymbols, BlocksNeverTakeOutputNames) {
    VertexShaderSymbolTable table;
    GLuint nextId = GL_OUTPUT_VERTEX_EXT - 2;
    GLenum error;
    GLuint first = GenerateVertexShaderSymbols(&table, &nextId, GL_VECTOR_EXT, GL_LOCAL_EXT,
                                               GL_FULL_RANGE_EXT, 2, 0, 0, &error);
    EXPECT_EQ(first, GLuint(GL_OUTPUT_VERTEX_EXT - 2));
    first = GenerateVertexShaderSymbols(&table, &nextId, GL_VECTOR_EXT, GL_LOCAL_EXT,
                                        GL_FULL_RANGE_EXT, 3, 0, 0, &error);
    EXPECT_EQ(first, GLuint(GL_OUTPUT_FOG_EXT + 1));
    EXPECT_EQ(table.at(first + 2).blockFirst, first);
    EXPECT_EQ(table.at(first + 2).blockCount, 3u);
    EXPECT_EQ(GenerateVertexShaderSymbols(&table, &nextId, GL_VECTOR_EXT, GL_LOCAL_EXT,
                                          GL_FULL_RANGE_EXT, 1u << 30, 0, 0, &error),
              0u);
    EXPECT_EQ(error, GLenum(GL_INVALID_VALUE));
    nextId = 0xFFFFFFF0u;
    EXPECT_EQ(GenerateVertexShaderSymbols(&table, &nextId, GL_VECTOR_EXT, GL_LOCAL_EXT,
                                          GL_FULL_RANGE_EXT, 64, 0, 0, &error),
              0u);
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
         {0, 1, 1.0f / 4294967295.0f, 2.0f / 4294967295.0f}},
        {GL_DOUBLE, doubles, GL_FULL_RANGE_EXT, {-4, 0.5f, 1.5f, 0}},
        {GL_DOUBLE, doubles, GL_NORMALIZED_RANGE_EXT, {-1, 0.5f, 1, 0}},
    };
    for (const auto& row : kCases) {
        std::array<float, 16> values;
        ASSERT_EQ(ConvertVertexShaderValues(row.type, row.data, GL_VECTOR_EXT, row.range, &values),
                  GLenum(GL_NO_ERROR));
        for (int c = 0; c < 4; ++c)
            EXPECT_FLOAT_EQ(values[c], row.want[c]) << row.type << " " << c;
        for (int c = 4; c < 16; ++c)
            EXPECT_EQ(values[c], 0.0f);
    }
    std::array<float, 16> values;
    EXPECT_EQ(ConvertVertexShaderValues(GL_RGBA, ubytes, GL_VECTOR_EXT, GL_FULL_RANGE_EXT, &values),
              GLenum(GL_INVALID_ENUM));
    // A scalar reads one value only: the rest of a short block stays unread.
    ASSERT_EQ(ConvertVertexShaderValues(GL_UNSIGNED_BYTE, ubytes + 3, GL_SCALAR_EXT,
                                        GL_FULL_RANGE_EXT, &values),
              GLenum(GL_NO_ERROR));
    EXPECT_EQ(values[0], 1.0f);
}

}  // namespace
