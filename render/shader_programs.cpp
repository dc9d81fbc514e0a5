#include "render/shader_programs.h"

#include "app/app_state.h"
#include "render/extensions.h"

namespace {

// One local or invariant symbol of the vertex shader, full range, one of it.
GLuint GenSymbol(GLenum dataType, GLenum storageType) {
    return ext::glGenSymbolsEXT(dataType, storageType, GL_FULL_RANGE_EXT, 1);
}

// Hands the fragment shader one row of M = [s*T | s*B | N]: component
// "component" of the scaled tangent, the scaled binormal and the normal.
void EmitMatrixRow(GLuint output, GLuint component, GLuint scaledTangent, GLuint scaledBinormal,
                   GLuint normal, GLuint tangentComponent, GLuint binormalComponent,
                   GLuint normalComponent) {
    ext::glExtractComponentEXT(tangentComponent, scaledTangent, component);
    ext::glExtractComponentEXT(binormalComponent, scaledBinormal, component);
    ext::glExtractComponentEXT(normalComponent, normal, component);
    ext::glInsertComponentEXT(output, tangentComponent, 0);
    ext::glInsertComponentEXT(output, binormalComponent, 1);
    ext::glInsertComponentEXT(output, normalComponent, 2);
}

}  // namespace

void BuildVertexShader(GLuint* shader) {
    // The built-in values are bound outside the definition, in this order.
    const GLuint modelviewMatrix = ext::glBindParameterEXT(GL_MODELVIEW_MATRIX);
    const GLuint projectionMatrix = ext::glBindParameterEXT(GL_PROJECTION_MATRIX);
    const GLuint vertexPosition = ext::glBindParameterEXT(GL_CURRENT_VERTEX_EXT);
    const GLuint vertexNormal = ext::glBindParameterEXT(GL_CURRENT_NORMAL);
    const GLuint vertexColor = ext::glBindParameterEXT(GL_CURRENT_COLOR);
    const GLuint texCoord0 =
        ext::glBindTextureUnitParameterEXT(GL_TEXTURE0_ARB, GL_CURRENT_TEXTURE_COORDS);
    const GLuint texCoord1 =
        ext::glBindTextureUnitParameterEXT(GL_TEXTURE1_ARB, GL_CURRENT_TEXTURE_COORDS);
    const GLuint texCoord2 =
        ext::glBindTextureUnitParameterEXT(GL_TEXTURE2_ARB, GL_CURRENT_TEXTURE_COORDS);

    *shader = ext::glGenVertexShadersEXT(1);
    ext::glBindVertexShaderEXT(*shader);
    ext::glBeginVertexShaderEXT();

    const GLuint eyeSpacePosition = GenSymbol(GL_VECTOR_EXT, GL_LOCAL_EXT);
    const GLuint inverseViewLength = GenSymbol(GL_SCALAR_EXT, GL_LOCAL_EXT);
    const GLuint viewVector = GenSymbol(GL_VECTOR_EXT, GL_LOCAL_EXT);
    const GLuint tangentComponent = GenSymbol(GL_SCALAR_EXT, GL_LOCAL_EXT);
    const GLuint binormalComponent = GenSymbol(GL_SCALAR_EXT, GL_LOCAL_EXT);
    const GLuint normalComponent = GenSymbol(GL_SCALAR_EXT, GL_LOCAL_EXT);
    const GLuint scaledTangent = GenSymbol(GL_VECTOR_EXT, GL_LOCAL_EXT);
    const GLuint scaledBinormal = GenSymbol(GL_VECTOR_EXT, GL_LOCAL_EXT);
    eyePositionInvariant = GenSymbol(GL_VECTOR_EXT, GL_INVARIANT_EXT);
    bumpScaleInvariant = GenSymbol(GL_SCALAR_EXT, GL_INVARIANT_EXT);

    // Clip position, colour and the model's own coordinates.
    ext::glShaderOp2EXT(GL_OP_MULTIPLY_MATRIX_EXT, eyeSpacePosition, modelviewMatrix,
                        vertexPosition);
    ext::glShaderOp2EXT(GL_OP_MULTIPLY_MATRIX_EXT, GL_OUTPUT_VERTEX_EXT, projectionMatrix,
                        eyeSpacePosition);
    ext::glShaderOp1EXT(GL_OP_MOV_EXT, GL_OUTPUT_COLOR0_EXT, vertexColor);
    ext::glShaderOp1EXT(GL_OP_MOV_EXT, GL_OUTPUT_TEXTURE_COORD0_EXT, texCoord0);

    // Sets 1 to 3: the rows of [s*T | s*B | N]; the bump scale tilts only the
    // tangential part of the normal-map normal.
    ext::glShaderOp2EXT(GL_OP_MUL_EXT, scaledTangent, texCoord1, bumpScaleInvariant);
    ext::glShaderOp2EXT(GL_OP_MUL_EXT, scaledBinormal, texCoord2, bumpScaleInvariant);
    const GLuint rowOutputs[3] = {GL_OUTPUT_TEXTURE_COORD1_EXT, GL_OUTPUT_TEXTURE_COORD2_EXT,
                                  GL_OUTPUT_TEXTURE_COORD3_EXT};
    for (GLuint row = 0; row < 3; ++row) {
        EmitMatrixRow(rowOutputs[row], row, scaledTangent, scaledBinormal, vertexNormal,
                      tangentComponent, binormalComponent, normalComponent);
    }

    // Set 4: the unit vector from the vertex to the eye, in object space.
    ext::glShaderOp2EXT(GL_OP_SUB_EXT, viewVector, eyePositionInvariant, vertexPosition);
    ext::glShaderOp2EXT(GL_OP_DOT3_EXT, inverseViewLength, viewVector, viewVector);
    ext::glShaderOp1EXT(GL_OP_RECIP_SQRT_EXT, inverseViewLength, inverseViewLength);
    ext::glShaderOp2EXT(GL_OP_MUL_EXT, GL_OUTPUT_TEXTURE_COORD4_EXT, viewVector, inverseViewLength);

    ext::glEndVertexShaderEXT();
}

namespace {

// Argument modifiers of the fragment program.
constexpr GLuint kNoMod = GL_NONE;
constexpr GLuint kBiasX2 = GL_2X_BIT_ATI | GL_BIAS_BIT_ATI;  // 0..1 becomes -1..1
constexpr GLuint kX2 = GL_2X_BIT_ATI;
constexpr GLuint kNegate = GL_NEGATE_BIT_ATI;
constexpr GLuint kComplement = GL_COMP_BIT_ATI;  // 1 - x

// A destination mask of GL_NONE writes red, green and blue.
constexpr GLuint kAllColour = GL_NONE;

void Sample(GLuint destination, GLuint source) {
    ext::glSampleMapATI(destination, source, GL_SWIZZLE_STR_ATI);
}

void Pass(GLuint destination, GLuint source) {
    ext::glPassTexCoordATI(destination, source, GL_SWIZZLE_STR_ATI);
}

}  // namespace

void BuildFragmentShader(GLuint* shader) {
    // Weight of the view direction in the bent see-through direction; only
    // the first component is read.
    static const GLfloat bentViewWeight[4] = {0.9f, 0.0f, 0.0f, 0.0f};

    *shader = ext::glGenFragmentShadersATI(1);
    ext::glBindFragmentShaderATI(*shader);
    ext::glBeginFragmentShaderATI();
    ext::glSetFragmentShaderConstantATI(GL_CON_0_ATI, bentViewWeight);

    // Pass 1: normal-map texel and the interpolated vectors; look-up
    // directions for pass 2.
    Sample(GL_REG_0_ATI, GL_TEXTURE0_ARB);  // n
    Pass(GL_REG_4_ATI, GL_TEXTURE1_ARB);    // row 1 of M
    Pass(GL_REG_2_ATI, GL_TEXTURE2_ARB);    // row 2 of M
    Pass(GL_REG_3_ATI, GL_TEXTURE3_ARB);    // row 3 of M
    Pass(GL_REG_1_ATI, GL_TEXTURE4_ARB);    // V
    // N' = M (2n - 1), one row per channel.
    ext::glColorFragmentOp2ATI(GL_DOT3_ATI, GL_REG_4_ATI, GL_RED_BIT_ATI, GL_NONE, GL_REG_4_ATI,
                               GL_NONE, kNoMod, GL_REG_0_ATI, GL_NONE, kBiasX2);
    ext::glColorFragmentOp2ATI(GL_DOT3_ATI, GL_REG_4_ATI, GL_GREEN_BIT_ATI, GL_NONE, GL_REG_2_ATI,
                               GL_NONE, kNoMod, GL_REG_0_ATI, GL_NONE, kBiasX2);
    ext::glColorFragmentOp2ATI(GL_DOT3_ATI, GL_REG_4_ATI, GL_BLUE_BIT_ATI, GL_NONE, GL_REG_3_ATI,
                               GL_NONE, kNoMod, GL_REG_0_ATI, GL_NONE, kBiasX2);
    // d = N'.V
    ext::glColorFragmentOp2ATI(GL_DOT3_ATI, GL_REG_0_ATI, kAllColour, GL_NONE, GL_REG_4_ATI,
                               GL_NONE, kNoMod, GL_REG_1_ATI, GL_NONE, kNoMod);
    // R = 2 N' d - V (N'.N'): the mirrored view vector, scaled by |N'|^2.
    ext::glColorFragmentOp2ATI(GL_MUL_ATI, GL_REG_3_ATI, kAllColour, GL_NONE, GL_REG_4_ATI, GL_NONE,
                               kX2, GL_REG_0_ATI, GL_NONE, kNoMod);
    ext::glColorFragmentOp2ATI(GL_DOT3_ATI, GL_REG_2_ATI, kAllColour, GL_NONE, GL_REG_4_ATI,
                               GL_NONE, kNoMod, GL_REG_4_ATI, GL_NONE, kNoMod);
    ext::glColorFragmentOp3ATI(GL_MAD_ATI, GL_REG_2_ATI, kAllColour, GL_NONE, GL_REG_1_ATI, GL_NONE,
                               kNegate, GL_REG_2_ATI, GL_NONE, kNoMod, GL_REG_3_ATI, GL_NONE,
                               kNoMod);
    // Q = 0.9 (-V) + 0.1 (-N'): through the surface, bent toward the inside.
    ext::glColorFragmentOp3ATI(GL_LERP_ATI, GL_REG_3_ATI, kAllColour, GL_NONE, GL_CON_0_ATI, GL_RED,
                               kNoMod, GL_REG_1_ATI, GL_NONE, kNegate, GL_REG_4_ATI, GL_NONE,
                               kNegate);

    // Pass 2: the four colours, then base x diffuse + F x reflection + Ct^2.
    Pass(GL_REG_0_ATI, GL_REG_0_ATI);       // d
    Sample(GL_REG_1_ATI, GL_REG_2_ATI);     // Cr along R
    Sample(GL_REG_2_ATI, GL_REG_3_ATI);     // Ct along Q
    Sample(GL_REG_3_ATI, GL_REG_4_ATI);     // Cd along N'
    Sample(GL_REG_4_ATI, GL_TEXTURE0_ARB);  // Cb at (s, t)
    // F = clamp(1 - d, 0, 1)
    ext::glColorFragmentOp1ATI(GL_MOV_ATI, GL_REG_0_ATI, kAllColour, GL_SATURATE_BIT_ATI,
                               GL_REG_0_ATI, GL_NONE, kComplement);
    ext::glColorFragmentOp2ATI(GL_MUL_ATI, GL_REG_1_ATI, kAllColour, GL_NONE, GL_REG_1_ATI, GL_NONE,
                               kNoMod, GL_REG_0_ATI, GL_NONE, kNoMod);
    ext::glColorFragmentOp2ATI(GL_MUL_ATI, GL_REG_2_ATI, kAllColour, GL_NONE, GL_REG_2_ATI, GL_NONE,
                               kNoMod, GL_REG_2_ATI, GL_NONE, kNoMod);
    ext::glColorFragmentOp2ATI(GL_ADD_ATI, GL_REG_1_ATI, kAllColour, GL_SATURATE_BIT_ATI,
                               GL_REG_1_ATI, GL_NONE, kNoMod, GL_REG_2_ATI, GL_NONE, kNoMod);
    ext::glColorFragmentOp3ATI(GL_MAD_ATI, GL_REG_0_ATI, kAllColour, GL_SATURATE_BIT_ATI,
                               GL_REG_4_ATI, GL_NONE, kNoMod, GL_REG_3_ATI, GL_NONE, kNoMod,
                               GL_REG_1_ATI, GL_NONE, kNoMod);

    ext::glEndFragmentShaderATI();
}
