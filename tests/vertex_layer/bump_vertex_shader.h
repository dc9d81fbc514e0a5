// The renderer's bump-mapping vertex shader, call for call, kept here so that
// the layer is tested against exactly what start-up records: eight bound
// values, ten symbols, 28 instructions.
#pragma once

#include "render/extensions.h"

struct BumpVertexShader {
    GLuint shader;
    GLuint eyePositionInvariant;
    GLuint bumpScaleInvariant;
};

inline BumpVertexShader RecordBumpVertexShader() {
    GLuint modelviewMatrix = ext::glBindParameterEXT(GL_MODELVIEW_MATRIX);
    GLuint projectionMatrix = ext::glBindParameterEXT(GL_PROJECTION_MATRIX);
    GLuint vertexPosition = ext::glBindParameterEXT(GL_CURRENT_VERTEX_EXT);
    GLuint vertexNormal = ext::glBindParameterEXT(GL_CURRENT_NORMAL);
    GLuint vertexColor = ext::glBindParameterEXT(GL_CURRENT_COLOR);
    GLuint texCoord0 =
        ext::glBindTextureUnitParameterEXT(GL_TEXTURE0_ARB, GL_CURRENT_TEXTURE_COORDS);
    GLuint texCoord1 =
        ext::glBindTextureUnitParameterEXT(GL_TEXTURE1_ARB, GL_CURRENT_TEXTURE_COORDS);
    GLuint texCoord2 =
        ext::glBindTextureUnitParameterEXT(GL_TEXTURE2_ARB, GL_CURRENT_TEXTURE_COORDS);

    BumpVertexShader built;
    built.shader = ext::glGenVertexShadersEXT(1);
    ext::glBindVertexShaderEXT(built.shader);
    ext::glBeginVertexShaderEXT();
    auto local = [](GLenum dataType) {
        return ext::glGenSymbolsEXT(dataType, GL_LOCAL_EXT, GL_FULL_RANGE_EXT, 1);
    };
    GLuint eyeSpacePosition = local(GL_VECTOR_EXT);
    GLuint inverseViewLength = local(GL_SCALAR_EXT);
    GLuint viewVector = local(GL_VECTOR_EXT);
    GLuint tangentComponent = local(GL_SCALAR_EXT);
    GLuint binormalComponent = local(GL_SCALAR_EXT);
    GLuint normalComponent = local(GL_SCALAR_EXT);
    GLuint scaledTangent = local(GL_VECTOR_EXT);
    GLuint scaledBinormal = local(GL_VECTOR_EXT);
    built.eyePositionInvariant =
        ext::glGenSymbolsEXT(GL_VECTOR_EXT, GL_INVARIANT_EXT, GL_FULL_RANGE_EXT, 1);
    built.bumpScaleInvariant =
        ext::glGenSymbolsEXT(GL_SCALAR_EXT, GL_INVARIANT_EXT, GL_FULL_RANGE_EXT, 1);

    ext::glShaderOp2EXT(GL_OP_MULTIPLY_MATRIX_EXT, eyeSpacePosition, modelviewMatrix,
                        vertexPosition);
    ext::glShaderOp2EXT(GL_OP_MULTIPLY_MATRIX_EXT, GL_OUTPUT_VERTEX_EXT, projectionMatrix,
                        eyeSpacePosition);
    ext::glShaderOp1EXT(GL_OP_MOV_EXT, GL_OUTPUT_COLOR0_EXT, vertexColor);
    ext::glShaderOp1EXT(GL_OP_MOV_EXT, GL_OUTPUT_TEXTURE_COORD0_EXT, texCoord0);
    ext::glShaderOp2EXT(GL_OP_MUL_EXT, scaledTangent, texCoord1, built.bumpScaleInvariant);
    ext::glShaderOp2EXT(GL_OP_MUL_EXT, scaledBinormal, texCoord2, built.bumpScaleInvariant);
    const GLuint rows[3] = {GL_OUTPUT_TEXTURE_COORD1_EXT, GL_OUTPUT_TEXTURE_COORD2_EXT,
                            GL_OUTPUT_TEXTURE_COORD3_EXT};
    for (GLuint component = 0; component < 3; ++component) {
        ext::glExtractComponentEXT(tangentComponent, scaledTangent, component);
        ext::glExtractComponentEXT(binormalComponent, scaledBinormal, component);
        ext::glExtractComponentEXT(normalComponent, vertexNormal, component);
        ext::glInsertComponentEXT(rows[component], tangentComponent, 0);
        ext::glInsertComponentEXT(rows[component], binormalComponent, 1);
        ext::glInsertComponentEXT(rows[component], normalComponent, 2);
    }
    ext::glShaderOp2EXT(GL_OP_SUB_EXT, viewVector, built.eyePositionInvariant, vertexPosition);
    ext::glShaderOp2EXT(GL_OP_DOT3_EXT, inverseViewLength, viewVector, viewVector);
    ext::glShaderOp1EXT(GL_OP_RECIP_SQRT_EXT, inverseViewLength, inverseViewLength);
    ext::glShaderOp2EXT(GL_OP_MUL_EXT, GL_OUTPUT_TEXTURE_COORD4_EXT, viewVector, inverseViewLength);
    ext::glEndVertexShaderEXT();
    return built;
}
