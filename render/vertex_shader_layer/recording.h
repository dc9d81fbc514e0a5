// The records that the GL_EXT_vertex_shader layer keeps: its symbols (generated
// ones and bound GL state) and the checked recording of one shader definition
// between glBeginVertexShaderEXT and glEndVertexShaderEXT. Nothing here calls
// GL: every function checks its arguments against the extension's rules and
// either appends a record or returns the GL error that the extension names
// (GL_INVALID_OPERATION for its ILLEGAL_OPERATION), so the rules can be tested
// without a context.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "render/gl_api.h"

// One id that GenSymbols or one of the Bind*Parameter calls handed out.
struct VertexShaderSymbol {
    GLuint id = 0;
    GLenum dataType = GL_VECTOR_EXT;  // GL_SCALAR_EXT, GL_VECTOR_EXT or GL_MATRIX_EXT
    GLenum storage = GL_LOCAL_EXT;    // GL_VARIANT_EXT, _INVARIANT_, _LOCAL_CONSTANT_ or _LOCAL_
    GLenum range = GL_FULL_RANGE_EXT;
    GLuint blockFirst = 0;  // the GenSymbols call that made it: first id and count
    GLuint blockCount = 1;
    GLuint owner = 0;  // shader whose definition generated it; 0 for symbols made outside one
    int owned = 0;     // 1 when generated inside a definition
    // Bound GL state: the ARB program source that holds it ("state.fog.params",
    // "vertex.normal"), empty for generated symbols. A scalar sits in component.
    std::string binding;
    char component = 'x';
    int zeroW = 0;       // vertex.normal is (x, y, z, 1) to ARB and (x, y, z, 0) here
    int attribute = -1;  // variants: the generic vertex attribute that carries them
    // Invariants: the value set last, column-major for matrices.
    std::array<float, 16> value{};
    // Variant arrays, as glVariantPointerEXT set them.
    GLenum arrayType = GL_FLOAT;
    GLuint arrayStride = 0;
    const void* arrayPointer = nullptr;
    int arrayEnabled = 0;
};

typedef std::map<GLuint, VertexShaderSymbol> VertexShaderSymbolTable;

enum VertexShaderInstructionKind {
    kShaderOp,
    kShaderSwizzle,
    kShaderWriteMask,
    kShaderInsert,
    kShaderExtract
};

// One recorded instruction; number counts from 1 in the order of the calls.
struct VertexShaderInstruction {
    int number = 0;
    VertexShaderInstructionKind kind = kShaderOp;
    GLenum op = 0;  // kShaderOp only
    GLuint result = 0;
    GLuint args[3] = {0, 0, 0};
    int argCount = 0;
    GLenum selectors[4] = {0, 0, 0, 0};  // swizzle selectors or write-mask flags
    GLuint component = 0;                // insert and extract
};

// Everything the translator needs, copied so that it is a pure function: the
// instructions, every symbol they touch (with whole blocks for GL_OP_INDEX_EXT)
// and the local constants set in this definition.
struct VertexShaderRecording {
    GLuint shader = 0;  // the shader being defined; symbols other definitions made are foreign
    std::vector<VertexShaderInstruction> instructions;
    VertexShaderSymbolTable symbols;
    std::map<GLuint, std::array<float, 16>> constants;
};

// Number of the texture coordinate sets an ARB vertex program may write and read
// on the drivers this layer meets (Mesa offers 8).
constexpr int kVertexShaderTextureUnits = 8;

// 1 for GL_OUTPUT_VERTEX_EXT .. GL_OUTPUT_FOG_EXT.
int IsVertexShaderOutput(GLuint id);

// Adds components symbols of one kind to table with consecutive ids taken from
// *nextId, which never hands out an id that is also an output name. Returns the
// first id, or 0 with *error set. Variants do not get their attribute here.
GLuint GenerateVertexShaderSymbols(VertexShaderSymbolTable* table, GLuint* nextId, GLenum dataType,
                                   GLenum storage, GLenum range, GLuint components, GLuint owner,
                                   int owned, GLenum* error);

// The bound-state symbols. kind is what the Bind call names: a light, material
// face, texture unit (with coord for texgen) or nothing. Fill symbol's data
// type, storage, binding text and component; return GL_NO_ERROR, GL_INVALID_ENUM
// for names the extension does not know, GL_INVALID_OPERATION for state an ARB
// vertex program cannot read.
enum VertexShaderBindingKind {
    kBindLight,
    kBindMaterial,
    kBindTexGen,
    kBindTextureUnit,
    kBindParameter
};
GLenum DescribeVertexShaderBinding(VertexShaderBindingKind kind, GLenum target, GLenum coord,
                                   GLenum value, VertexShaderSymbol* symbol);

// The checked appends of Begin..End. Each returns GL_NO_ERROR and appends, or
// returns the error and leaves the recording as it was.
GLenum RecordShaderOp(VertexShaderRecording* recording, const VertexShaderSymbolTable& table,
                      GLenum op, int argCount, GLuint result, const GLuint* args);
GLenum RecordSwizzle(VertexShaderRecording* recording, const VertexShaderSymbolTable& table,
                     GLuint result, GLuint source, const GLenum selectors[4]);
GLenum RecordWriteMask(VertexShaderRecording* recording, const VertexShaderSymbolTable& table,
                       GLuint result, GLuint source, const GLenum flags[4]);
GLenum RecordInsertComponent(VertexShaderRecording* recording, const VertexShaderSymbolTable& table,
                             GLuint result, GLuint source, GLuint component);
GLenum RecordExtractComponent(VertexShaderRecording* recording,
                              const VertexShaderSymbolTable& table, GLuint result, GLuint source,
                              GLuint component);
GLenum RecordLocalConstant(VertexShaderRecording* recording, const VertexShaderSymbolTable& table,
                           GLuint id, const std::array<float, 16>& value);

// Reads 1, 4 or 16 values (by dataType) of a GL type from addr into floats, the
// way the extension maps them: integers as they are for the full range, through
// GL's normalisation (table 2.6) for the normalized range, where floats are
// clamped to [-1, 1]. Returns GL_INVALID_ENUM for an unknown type.
GLenum ConvertVertexShaderValues(GLenum type, const void* addr, GLenum dataType, GLenum range,
                                 std::array<float, 16>* values);

// 1, 4 or 16.
int VertexShaderValueCount(GLenum dataType);
