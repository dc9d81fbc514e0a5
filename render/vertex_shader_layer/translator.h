// Turns the recording of one GL_EXT_vertex_shader definition into the text of
// a GL_ARB_vertex_program program. A pure function of the recording: no GL
// calls, so it is tested on its own as well as through the driver.
//
// How the extension's values become ARB registers:
// - locals are TEMPs (a matrix is four, one per row); a scalar lives in x and
//   is read as .x, which ARB replicates into all four components;
// - outputs are result.position, .color, .color.secondary, .texcoord[n],
//   .fogcoord;
// - invariants are program local parameters, one per scalar or vector and four
//   rows per matrix, which the layer uploads (see locals below);
// - local constants are literal PARAMs, the value the definition set;
// - variants are generic vertex attributes; normalized-range ones are clamped
//   to [-1, 1] first;
// - bound GL state is the matching ARB binding (vertex.normal gets w = 0);
// - matrices, the ARB way, are four rows; GL_OP_MULTIPLY_MATRIX_EXT is four
//   DP4s of the rows with the vector.
// Every ARB line carries the number of the recorded instruction it comes from.
#pragma once

#include <string>
#include <vector>

#include "render/vertex_shader_layer/recording.h"

// program.local[i] holds row `row` (0 for scalars and vectors) of invariant
// `symbol`.
struct VertexShaderLocalSlot {
    GLuint symbol;
    int row;
};

struct VertexShaderProgram {
    std::string text;
    std::vector<VertexShaderLocalSlot> locals;
};

// GL_NO_ERROR and the program, or GL_INVALID_OPERATION when the recording holds
// something an ARB program cannot say (a local constant that is not finite).
GLenum TranslateVertexShader(const VertexShaderRecording& recording, VertexShaderProgram* program);
