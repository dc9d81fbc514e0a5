// The renderer's vertex shader (BuildVertexShader), recorded through the layer
// on Mesa (which has no GL_EXT_vertex_shader), drawn the way the frame draws
// it, and its outputs held against values worked out in double precision.
// Where its positions land is left to the frame tests' shading reference.
#include <cmath>

#include "app/app_state.h"
#include "render/shader_programs.h"
#include "tests/render/vertex_shader_layer/layer_test_support.h"

namespace {

constexpr int kVertices = 4;
const float kPositions[kVertices][3] = {
    {0.5f, -0.3f, 0.2f}, {-0.6f, 0.4f, -0.1f}, {0.1f, 0.7f, 0.5f}, {-0.2f, -0.5f, -0.4f}};
const float kTexCoords[kVertices][2] = {{0.25f, 0.75f}, {1.5f, -0.5f}, {0.0f, 1.0f}, {3.0f, 2.0f}};
const float kColour[4] = {0.2f, 0.4f, 0.6f, 0.8f};
const float kEye[4] = {0.4f, 1.3f, 2.5f, 1.0f};

// Unit normals, tangents and binormals in varied directions: frames[0][v] is
// the normal of vertex v, [1] the tangent, [2] the binormal.
float frames[3][kVertices][3];

void MakeFrames() {
    for (int v = 0; v < kVertices; ++v) {
        const double in[3][3] = {{0.3 + v, -1.0 + 0.5 * v, 0.8 - 0.3 * v},
                                 {1.0, 0.2 * v - 0.4, -0.5 + 0.1 * v},
                                 {-0.3 * v, 1.0, 0.6}};
        for (int f = 0; f < 3; ++f) {
            const double length =
                std::sqrt(in[f][0] * in[f][0] + in[f][1] * in[f][1] + in[f][2] * in[f][2]);
            for (int c = 0; c < 3; ++c)
                frames[f][v][c] = float(in[f][c] / length);
        }
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
    ASSERT_TRUE(StartVertexLayer());
    DrainErrors();
    GLuint shader = 0;
    BuildVertexShader(&shader);
    GLint errorPosition = 0;
    glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &errorPosition);
    EXPECT_EQ(errorPosition, -1);
    EXPECT_EQ(FetchGlError(), GLenum(GL_NO_ERROR));

    // The arrays as the frame sets them: set 0 on unit 0, tangents as set 1
    // and binormals as set 2.
    MakeFrames();
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, kPositions);
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, frames[0]);
    const void* sets[3] = {kTexCoords, frames[1], frames[2]};
    for (int set = 0; set < 3; ++set) {
        ext::glClientActiveTextureARB(GL_TEXTURE0_ARB + set);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(set == 0 ? 2 : 3, GL_FLOAT, 0, sets[set]);
    }
    glColor4fv(kColour);

    for (float scale : {0.0f, 0.5f, 2.0f}) {
        SCOPED_TRACE(scale);
        // The frame's order: both invariants first, then bind and enable. The
        // values are set while no shader is bound: they must still reach it.
        ext::glBindVertexShaderEXT(0);
        ext::glSetInvariantEXT(eyePositionInvariant, GL_FLOAT, kEye);
        ext::glSetInvariantEXT(bumpScaleInvariant, GL_FLOAT, &scale);
        ext::glBindVertexShaderEXT(shader);
        SetVertexShaderEnabled(1);
        std::vector<Vec4> outputs[6];
        outputs[5] = ReadVertexOutputs("fragment.color", kVertices);
        for (int set = 0; set < 5; ++set)
            outputs[set] =
                ReadVertexOutputs("fragment.texcoord[" + std::to_string(set) + "]", kVertices);
        SetVertexShaderEnabled(0);
        for (int v = 0; v < kVertices; ++v) {
            const double colour[4] = {kColour[0], kColour[1], kColour[2], kColour[3]};
            ExpectNear(outputs[5][v], colour, 4, "colour", v);
            const double set0[4] = {kTexCoords[v][0], kTexCoords[v][1], 0.0, 1.0};
            ExpectNear(outputs[0][v], set0, 4, "set 0", v);
            for (int row = 0; row < 3; ++row) {
                const double want[3] = {scale * double(frames[1][v][row]),
                                        scale * double(frames[2][v][row]), frames[0][v][row]};
                ExpectNear(outputs[1 + row][v], want, 3, "rows of [sT | sB | N]", v);
            }
            double toEye[3], length = 0.0;
            for (int c = 0; c < 3; ++c) {
                toEye[c] = double(kEye[c]) - kPositions[v][c];
                length += toEye[c] * toEye[c];
            }
            for (double& c : toEye)
                c /= std::sqrt(length);
            ExpectNear(outputs[4][v], toEye, 3, "unit vector to the eye", v);
        }
    }
    EXPECT_EQ(FetchGlError(), GLenum(GL_NO_ERROR));
}

}  // namespace
