// Every operation the layer translates, with swizzles, write masks, component
// moves, indexing, variants and bound GL state: one small program per row,
// drawn as one point, its texture coordinate set 0 held against a value
// worked out by hand.
#include <cmath>

#include "tests/render/vertex_shader_layer/layer_test_support.h"

namespace {

const GLubyte kBytes[4] = {255, 0, 51, 102};

void Op1(GLenum op, GLuint res, GLuint a1) {
    ext::glShaderOp1EXT(op, res, a1);
}
void Op2(GLenum op, GLuint res, GLuint a1, GLuint a2) {
    ext::glShaderOp2EXT(op, res, a1, a2);
}
void Op3(GLenum op, GLuint res, GLuint a1, GLuint a2, GLuint a3) {
    ext::glShaderOp3EXT(op, res, a1, a2, a3);
}

// Invariants (vector i: 10 i + 10, +11, +12, +13; matrix i: m[e] = e + 1 +
// 100 i) and variants (5, 6, 7, 8; the array kBytes; 2, -3, 0.25, -0.5).
void SetOutsideValues(const Symbols& s) {
    for (int i = 0; i < 3; ++i) {
        const GLint vector[4] = {10 * i + 10, 10 * i + 11, 10 * i + 12, 10 * i + 13};
        ext::glSetInvariantEXT(s.vectors + i, GL_INT, vector);
    }
    for (int i = 0; i < 2; ++i) {
        float matrix[16];
        for (int e = 0; e < 16; ++e)
            matrix[e] = float(e + 1 + 100 * i);
        ext::glSetInvariantEXT(s.matrices + i, GL_FLOAT, matrix);
    }
    const float variant[4] = {5.0f, 6.0f, 7.0f, 8.0f};
    ext::glVariantfvEXT(s.variant, variant);
    ext::glVariantPointerEXT(s.normalized, GL_UNSIGNED_BYTE, 0, kBytes);
    ext::glEnableVariantClientStateEXT(s.normalized);
    const float outOfRange[4] = {2.0f, -3.0f, 0.25f, -0.5f};
    ext::glVariantfvEXT(s.normalized + 1, outOfRange);
}

// Both colours set: each must reach its own fragment input, clamped.
void Colours(const Symbols& s) {
    Op1(GL_OP_MOV_EXT, GL_OUTPUT_COLOR0_EXT, s.a);
    Op1(GL_OP_MOV_EXT, GL_OUTPUT_COLOR1_EXT, s.b);
}

struct Case {
    const char* name;
    void (*record)(const Symbols& s);
    Vec4 want;
    const char* input = "fragment.texcoord[0]";  // what is read back
};

// clang-format off
const Case kCases[] = {
    {"add V=VV", [](const Symbols& s) { Op2(GL_OP_ADD_EXT, kOut, s.a, s.b); }, {1.25f, 2, 2, 2.5f}},
    {"mul V=VS", [](const Symbols& s) { Op2(GL_OP_MUL_EXT, kOut, s.a, s.k + 2); }, {2, -4, 6, 1}},
    {"sub V=VV", [](const Symbols& s) { Op2(GL_OP_SUB_EXT, kOut, s.a, s.b); }, {0.75f, -6, 4, -1.5f}},
    {"madd V=VVV", [](const Symbols& s) { Op3(GL_OP_MADD_EXT, kOut, s.a, s.b, s.a); }, {1.25f, -10, 0, 1.5f}},
    {"max", [](const Symbols& s) { Op2(GL_OP_MAX_EXT, kOut, s.a, s.b); }, {1, 4, 3, 2}},
    {"min", [](const Symbols& s) { Op2(GL_OP_MIN_EXT, kOut, s.a, s.b); }, {0.25f, -2, -1, 0.5f}},
    {"set_ge V=VV", [](const Symbols& s) { Op2(GL_OP_SET_GE_EXT, kOut, s.a, s.b); }, {1, 0, 1, 0}},
    {"set_lt V=VS", [](const Symbols& s) { Op2(GL_OP_SET_LT_EXT, kOut, s.a, s.k + 2); }, {1, 1, 0, 1}},
    {"negate", [](const Symbols& s) { Op1(GL_OP_NEGATE_EXT, kOut, s.a); }, {-1, 2, -3, -0.5f}},
    {"frac", [](const Symbols& s) { Op1(GL_OP_FRAC_EXT, kOut, s.c); }, {0.25f, 0.25f, 0.5f, 0.5f}},
    {"floor", [](const Symbols& s) { Op1(GL_OP_FLOOR_EXT, kOut, s.c); }, {1, -3, 0, -1}},
    {"round", [](const Symbols& s) { Op1(GL_OP_ROUND_EXT, kOut, s.c); }, {1, -3, 1, 0}},
    {"clamp V=VSS", [](const Symbols& s) { Op3(GL_OP_CLAMP_EXT, kOut, s.a, s.k, s.k + 2); }, {1, 0, 2, 0.5f}},
    // z: a1 <= a2 gives a2 although a2 > a3, the extension's order of tests.
    {"clamp V=VVV", [](const Symbols& s) { Op3(GL_OP_CLAMP_EXT, kOut, s.c, s.a, s.b); }, {0.25f, -2, 3, 0.5f}},
    {"clamp S=SSS, result aliasing the bound", [](const Symbols& s) {
         Op1(GL_OP_MOV_EXT, s.q, s.k + 3); Op3(GL_OP_CLAMP_EXT, s.q, s.k + 5, s.k, s.q); Out(s.q); }, {3, 3, 3, 3}},
    {"dot3 S=VV", [](const Symbols& s) { Op2(GL_OP_DOT3_EXT, s.q, s.a, s.b); Out(s.q); }, {-10.75f, -10.75f, -10.75f, -10.75f}},
    {"dot4 V=VV", [](const Symbols& s) { Op2(GL_OP_DOT4_EXT, kOut, s.a, s.b); }, {-9.75f, -9.75f, -9.75f, -9.75f}},
    {"cross product, w = 1", [](const Symbols& s) { Op2(GL_OP_CROSS_PRODUCT_EXT, kOut, s.a, s.b); }, {-10, 1.75f, 4.5f, 1}},
    // Column-major m[e] = e + 1: r[i] = sum a[j] m[4j + i].
    {"multiply matrix", [](const Symbols& s) { Op2(GL_OP_MULTIPLY_MATRIX_EXT, kOut, s.matrices, s.a); }, {24.5f, 27, 29.5f, 32}},
    {"multiply matrix into its own vector", [](const Symbols& s) {
         Op1(GL_OP_MOV_EXT, s.r, s.a); Op2(GL_OP_MULTIPLY_MATRIX_EXT, s.r, s.matrices, s.r); Out(s.r); }, {24.5f, 27, 29.5f, 32}},
    {"exp2", [](const Symbols& s) { Op1(GL_OP_EXP_BASE_2_EXT, s.q, s.k + 3); Out(s.q); }, {8, 8, 8, 8}},
    {"log2", [](const Symbols& s) { Op1(GL_OP_LOG_BASE_2_EXT, s.q, s.k + 5); Out(s.q); }, {3, 3, 3, 3}},
    {"power", [](const Symbols& s) { Op2(GL_OP_POWER_EXT, s.q, s.k + 2, s.k + 3); Out(s.q); }, {8, 8, 8, 8}},
    {"recip", [](const Symbols& s) { Op1(GL_OP_RECIP_EXT, s.q, s.k + 4); Out(s.q); }, {0.25f, 0.25f, 0.25f, 0.25f}},
    {"recip sqrt", [](const Symbols& s) { Op1(GL_OP_RECIP_SQRT_EXT, s.q, s.k + 4); Out(s.q); }, {0.5f, 0.5f, 0.5f, 0.5f}},
    {"primary colour", Colours, {1, 0, 1, 0.5f}, "fragment.color"},
    {"secondary colour", Colours, {0.25f, 1, 0, 1}, "fragment.color.secondary"},
    {"swizzle -z 1 x -1", [](const Symbols& s) {
         ext::glSwizzleEXT(kOut, s.a, GL_NEGATIVE_Z_EXT, GL_ONE_EXT, GL_X_EXT, GL_NEGATIVE_ONE_EXT); }, {-3, 1, 1, -1}},
    {"swizzle w 0 -y y", [](const Symbols& s) {
         ext::glSwizzleEXT(kOut, s.b, GL_W_EXT, GL_ZERO_EXT, GL_NEGATIVE_Y_EXT, GL_Y_EXT); }, {2, 0, -4, 4}},
    {"swizzle -x -w z w into a local", [](const Symbols& s) {
         ext::glSwizzleEXT(s.r, s.a, GL_NEGATIVE_X_EXT, GL_NEGATIVE_W_EXT, GL_Z_EXT, GL_W_EXT); Out(s.r); }, {-1, -0.5f, 3, 0.5f}},
    {"write mask x z", [](const Symbols& s) {
         Out(s.b); ext::glWriteMaskEXT(kOut, s.a, GL_TRUE, GL_FALSE, GL_TRUE, GL_FALSE); }, {1, 4, 3, 2}},
    {"write mask nothing", [](const Symbols& s) {
         Out(s.b); ext::glWriteMaskEXT(kOut, s.a, GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE); }, {0.25f, 4, -1, 2}},
    // Rows a, b, c, a; times a: a.a, b.a, c.a, a.a.
    {"matrix rows in and out", [](const Symbols& s) {
         const GLuint rows[4] = {s.a, s.b, s.c, s.a};
         for (GLuint i = 0; i < 4; ++i) ext::glInsertComponentEXT(s.m, rows[i], i);
         Op2(GL_OP_MULTIPLY_MATRIX_EXT, kOut, s.m, s.a); }, {14.25f, -9.75f, 8, 14.25f}},
    {"extract a matrix row", [](const Symbols& s) { ext::glExtractComponentEXT(kOut, s.matrices + 1, 2); }, {103, 107, 111, 115}},
    {"index invariant vectors", [](const Symbols& s) { Op2(GL_OP_INDEX_EXT, kOut, s.k + 2, s.vectors); }, {30, 31, 32, 33}},
    {"index scalar constants from the middle of the block", [](const Symbols& s) {
         Op2(GL_OP_INDEX_EXT, s.q, s.k + 1, s.k + 4); Out(s.q); }, {8, 8, 8, 8}},
    {"index invariant matrices", [](const Symbols& s) {
         Op2(GL_OP_INDEX_EXT, s.m, s.k + 1, s.matrices); ext::glExtractComponentEXT(kOut, s.m, 1); }, {102, 106, 110, 114}},
    {"variant set per vertex", [](const Symbols& s) { Out(s.variant); }, {5, 6, 7, 8}},
    {"normalized variant array", [](const Symbols& s) { Out(s.normalized); }, {1, 0, 0.2f, 0.4f}},
    {"normalized variant clamped", [](const Symbols& s) { Out(s.normalized + 1); }, {1, -1, 0.25f, -0.5f}},
    {"current normal has w = 0", [](const Symbols& s) { Out(s.normal); }, {0.6f, 0, 0.8f, 0}},
    // Modelview translates by (1, 2, 3); projection is the identity.
    {"mvp matrix", [](const Symbols& s) { Op2(GL_OP_MULTIPLY_MATRIX_EXT, kOut, s.mvp, s.a); }, {1.5f, -1, 4.5f, 0.5f}},
    {"fog start", [](const Symbols& s) { Out(s.fogStart); }, {2.5f, 2.5f, 2.5f, 2.5f}},
    {"light diffuse", [](const Symbols& s) { Out(s.diffuse); }, {0.1f, 0.2f, 0.3f, 0.4f}},
    {"linear attenuation", [](const Symbols& s) { Out(s.attenuation); }, {0.75f, 0.75f, 0.75f, 0.75f}},
    {"back material shininess", [](const Symbols& s) { Out(s.shininess); }, {20, 20, 20, 20}},
    {"texgen object plane", [](const Symbols& s) { Out(s.plane); }, {0.5f, -1, 2, 3}},
    {"texture matrix of unit 1, current coordinates of unit 3", [](const Symbols& s) {
         Op2(GL_OP_MULTIPLY_MATRIX_EXT, kOut, s.textureMatrix, s.texCoord3); }, {2, 4, 6, 1}},
};
// clang-format on

// The GL state that the binding rows read (after whatever an earlier test of
// the process left), and the bindings.
Symbols BindState() {
    glDisableClientState(GL_NORMAL_ARRAY);
    for (int unit = 0; unit < 4; ++unit) {
        ext::glClientActiveTextureARB(GL_TEXTURE0_ARB + unit);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.0f, 2.0f, 3.0f);
    glNormal3f(0.6f, 0.0f, 0.8f);
    glFogf(GL_FOG_START, 2.5f);
    const float diffuse[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightf(GL_LIGHT1, GL_LINEAR_ATTENUATION, 0.75f);
    glMaterialf(GL_BACK, GL_SHININESS, 20.0f);
    const float plane[4] = {0.5f, -1.0f, 2.0f, 3.0f};
    ext::glActiveTextureARB(GL_TEXTURE2_ARB);
    glTexGenfv(GL_T, GL_OBJECT_PLANE, plane);
    ext::glActiveTextureARB(GL_TEXTURE1_ARB);
    glMatrixMode(GL_TEXTURE);
    glScalef(2.0f, 2.0f, 2.0f);
    glMatrixMode(GL_MODELVIEW);
    ext::glActiveTextureARB(GL_TEXTURE0_ARB);
    ext::glMultiTexCoord4fARB(GL_TEXTURE3_ARB, 1.0f, 2.0f, 3.0f, 1.0f);
    Symbols s;
    s.normal = ext::glBindParameterEXT(GL_CURRENT_NORMAL);
    s.mvp = ext::glBindParameterEXT(GL_MVP_MATRIX_EXT);
    s.fogStart = ext::glBindParameterEXT(GL_FOG_START);
    s.diffuse = ext::glBindLightParameterEXT(GL_LIGHT1, GL_DIFFUSE);
    s.attenuation = ext::glBindLightParameterEXT(GL_LIGHT1, GL_LINEAR_ATTENUATION);
    s.shininess = ext::glBindMaterialParameterEXT(GL_BACK, GL_SHININESS);
    s.plane = ext::glBindTexGenParameterEXT(GL_TEXTURE2_ARB, GL_T, GL_OBJECT_PLANE);
    s.textureMatrix = ext::glBindTextureUnitParameterEXT(GL_TEXTURE1_ARB, GL_TEXTURE_MATRIX);
    s.texCoord3 = ext::glBindTextureUnitParameterEXT(GL_TEXTURE3_ARB, GL_CURRENT_TEXTURE_COORDS);
    return s;
}

TEST(VertexLayerOperations, EachTranslatedOperationGivesItsWorkedValue) {
    ASSERT_TRUE(StartVertexLayer());
    const Symbols bound = BindState();
    for (const Case& row : kCases) {
        SCOPED_TRACE(row.name);
        DrainErrors();
        const GLuint shader = ext::glGenVertexShadersEXT(1);
        const Symbols s = BeginDefinition(shader, bound);
        row.record(s);
        ext::glEndVertexShaderEXT();
        EXPECT_EQ(FetchGlError(), GLenum(GL_NO_ERROR));
        SetOutsideValues(s);
        const Vec4 got = DrawOnePoint(row.input);
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(got[c], row.want[c], 1e-5 * (1.0 + std::fabs(row.want[c])))
                << "component " << c;
        ext::glDeleteVertexShaderEXT(shader);
    }
    EXPECT_EQ(FetchGlError(), GLenum(GL_NO_ERROR));
}

}  // namespace
