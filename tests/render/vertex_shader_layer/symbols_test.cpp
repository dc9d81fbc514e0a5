// The recording's rules of symbol ids and value conversion, without GL.
#include <gtest/gtest.h>

#include "render/vertex_shader_layer/recording.h"

namespace {

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
