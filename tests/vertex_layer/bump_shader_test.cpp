// The renderer's vertex shader, recorded through the layer on Mesa (which has
// no GL_EXT_vertex_shader), drawn the way the frame draws it, and its outputs
// held against values worked out in double precision.
#include <gtest/gtest.h>

#include <cmath>

#include "render/gl_error.h"
#include "render/vertex_shader_layer.h"
#include "tests/support/offscreen_gl.h"
#include "tests/vertex_layer/bump_vertex_shader.h"
#include "tests/vertex_layer/vertex_output_reader.h"

namespace {

constexpr int kVertices = 4;
const float kPositions[kVertices][3] = {
    {0.5f, -0.3f, 0.2f}, {-0.6f, 0.4f, -0.1f}, {0.1f, 0.7f, 0.5f}, {-0.2f, -0.5f, -0.4f}};
const float kTexCoords[kVertices][2] = {{0.25f, 0.75f}, {1.5f, -0.5f}, {0.0f, 1.0f}, {3.0f, 2.0f}};
const float kColour[4] = {0.2f, 0.4f, 0.6f, 0.8f};
const double kEye[4] = {0.4, 1.3, 2.5, 1.0};
float normals[kVertices][3], tangents[kVertices][3], binormals[kVertices][3];

void Normalize(const double in[3], float out[3]) {
    double length = std::sqrt(in[0] * in[0] + in[1] * in[1] + in[2] * in[2]);
    for (int i = 0; i < 3; ++i)
        out[i] = static_cast<float>(in[i] / length);
}

// Unit normals, tangents and binormals in varied directions.
void MakeFrames() {
    for (int v = 0; v < kVertices; ++v) {
        double n[3] = {0.3 + v, -1.0 + 0.5 * v, 0.8 - 0.3 * v};
        double t[3] = {1.0, 0.2 * v - 0.4, -0.5 + 0.1 * v};
        double b[3] = {-0.3 * v, 1.0, 0.6};
        Normalize(n, normals[v]);
        Normalize(t, tangents[v]);
        Normalize(b, binormals[v]);
    }
}

// The arrays as the frame sets them: positions, normals, set 0 on unit 0,
// tangents as set 1 and binormals as set 2.
void SetArrays() {
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, kPositions);
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, normals);
    const void* sets[3] = {kTexCoords, tangents, binormals};
    for (int set = 0; set < 3; ++set) {
        ext::glClientActiveTextureARB(GL_TEXTURE0_ARB + set);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(set == 0 ? 2 : 3, GL_FLOAT, 0, sets[set]);
    }
    ext::glClientActiveTextureARB(GL_TEXTURE0_ARB);
    glColor4fv(kColour);
}

void SetMatrices() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.5, 0.5, -0.5, 0.5, 1.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.1f, -0.2f, -3.0f);
    glRotatef(35.0f, 0.3f, 1.0f, 0.2f);
}

// column-major m times v, in double.
void Transform(const float* m, const double* v, double* out) {
    for (int r = 0; r < 4; ++r) {
        out[r] = 0.0;
        for (int c = 0; c < 4; ++c)
            out[r] += static_cast<double>(m[c * 4 + r]) * v[c];
    }
}

// Float results of a few operations on values near 1 stay within this of the
// double result; 8-bit or half-float paths would not.
void ExpectNear(const Vec4& got, const double* want, int count, const char* what, int vertex) {
    for (int c = 0; c < count; ++c)
        EXPECT_NEAR(got[c], want[c], 2e-6 * (1.0 + std::fabs(want[c])))
            << what << ", vertex " << vertex << ", component " << c;
}

TEST(BumpVertexShader, OutputsMatchDoublePrecisionAtEachBumpScale) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    FetchMultitextureEntryPoints();
    ASSERT_EQ(ChooseVertexShaderExtension(), 1);
    ASSERT_EQ(VertexShaderExtensionSource(), kExtensionLayer);
    while (FetchGlError() != GL_NO_ERROR) {
    }
    BumpVertexShader bump = RecordBumpVertexShader();
    GLint errorPosition = 0;
    glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &errorPosition);
    EXPECT_EQ(errorPosition, -1);
    EXPECT_EQ(FetchGlError(), static_cast<GLenum>(GL_NO_ERROR));

    VertexOutputReader reader;
    ASSERT_TRUE(OpenVertexOutputReader(&reader));
    MakeFrames();
    SetArrays();
    SetMatrices();
    float modelview[16], projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    const float eye[4] = {static_cast<float>(kEye[0]), static_cast<float>(kEye[1]),
                          static_cast<float>(kEye[2]), static_cast<float>(kEye[3])};

    for (float scale : {0.0f, 0.5f, 2.0f}) {
        SCOPED_TRACE(scale);
        // The frame's order: both invariants first, then bind and enable.
        ext::glSetInvariantEXT(bump.eyePositionInvariant, GL_FLOAT, eye);
        ext::glSetInvariantEXT(bump.bumpScaleInvariant, GL_FLOAT, &scale);
        ext::glBindVertexShaderEXT(bump.shader);
        SetVertexShaderEnabled(1);
        EXPECT_TRUE(glIsEnabled(GL_VERTEX_PROGRAM_ARB));
        float readEye[4], readScale = -1.0f;
        ext::glGetInvariantFloatvEXT(bump.eyePositionInvariant, GL_INVARIANT_VALUE_EXT, readEye);
        ext::glGetInvariantFloatvEXT(bump.bumpScaleInvariant, GL_INVARIANT_VALUE_EXT, &readScale);
        EXPECT_EQ(readScale, scale);
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(readEye[c], eye[c]);

        std::vector<Vec4> window = ReadWindowPositions(kVertices);
        std::vector<Vec4> colours = ReadVertexOutputs(&reader, "fragment.color", kVertices);
        std::vector<Vec4> sets[5];
        for (int set = 0; set < 5; ++set)
            sets[set] = ReadVertexOutputs(&reader, "fragment.texcoord[" + std::to_string(set) + "]",
                                          kVertices);
        SetVertexShaderEnabled(0);
        EXPECT_FALSE(glIsEnabled(GL_VERTEX_PROGRAM_ARB));
        // The next scale is set while no shader is bound: the values must
        // reach the program when it is bound again.
        ext::glBindVertexShaderEXT(0);
        ASSERT_EQ(window.size(), static_cast<size_t>(kVertices));

        for (int v = 0; v < kVertices; ++v) {
            const double p[4] = {kPositions[v][0], kPositions[v][1], kPositions[v][2], 1.0};
            double eyeSpace[4], clip[4];
            Transform(modelview, p, eyeSpace);
            Transform(projection, eyeSpace, clip);
            const double windowWant[4] = {(clip[0] / clip[3] + 1.0) * kReaderSize / 2,
                                          (clip[1] / clip[3] + 1.0) * kReaderSize / 2,
                                          (clip[2] / clip[3] + 1.0) / 2, clip[3]};
            ExpectNear(window[v], windowWant, 4, "window position", v);
            const double colour[4] = {kColour[0], kColour[1], kColour[2], kColour[3]};
            ExpectNear(colours[v], colour, 4, "colour", v);
            const double set0[4] = {kTexCoords[v][0], kTexCoords[v][1], 0.0, 1.0};
            ExpectNear(sets[0][v], set0, 4, "set 0", v);
            for (int row = 0; row < 3; ++row) {
                const double want[3] = {scale * static_cast<double>(tangents[v][row]),
                                        scale * static_cast<double>(binormals[v][row]),
                                        normals[v][row]};
                ExpectNear(sets[1 + row][v], want, 3, "rows of [sT | sB | N]", v);
            }
            double toEye[3], length = 0.0;
            for (int c = 0; c < 3; ++c) {
                toEye[c] = kEye[c] - static_cast<double>(kPositions[v][c]);
                length += toEye[c] * toEye[c];
            }
            for (double& c : toEye)
                c /= std::sqrt(length);
            ExpectNear(sets[4][v], toEye, 3, "unit vector to the eye", v);
        }
    }
    CloseVertexOutputReader(&reader);
    glDisableClientState(GL_NORMAL_ARRAY);
    for (int set = 0; set < 3; ++set) {
        ext::glClientActiveTextureARB(GL_TEXTURE0_ARB + set);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    ext::glClientActiveTextureARB(GL_TEXTURE0_ARB);
    EXPECT_EQ(FetchGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
