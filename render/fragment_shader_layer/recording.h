// What a GL_ATI_fragment_shader definition holds, as the layer records it
// between glBeginFragmentShaderATI and glEndFragmentShaderATI. Each Record*
// call checks its arguments the way the extension does and either appends one
// record (GL_NO_ERROR) or appends nothing and returns the extension's error for
// the call. Nothing here talks to GL; the translator turns a finished
// recording into program text.
#pragma once

#include <vector>

#include "render/gl_api.h"

// The extension's fixed resources.
constexpr int kFragmentRegisterCount = 6;        // GL_REG_0_ATI .. GL_REG_5_ATI
constexpr int kFragmentConstantCount = 8;        // GL_CON_0_ATI .. GL_CON_7_ATI
constexpr int kFragmentPairsPerPass = 8;         // colour/alpha pairs per pass
constexpr int kFragmentTexCoordSourceCount = 8;  // GL_TEXTURE0_ARB .. GL_TEXTURE7_ARB

// glPassTexCoordATI or glSampleMapATI: routes a texture coordinate set or (in
// the second pass) a first-pass register into register dst at the start of a
// pass; a sample looks the coordinates up in the texture of unit dst.
struct FragmentSetup {
    bool sample;     // glSampleMapATI, else glPassTexCoordATI
    int dst;         // register (and, for a sample, texture unit) 0..5
    GLenum source;   // GL_TEXTUREi_ARB or GL_REG_i_ATI
    GLenum swizzle;  // GL_SWIZZLE_STR_ATI .. GL_SWIZZLE_STQ_DQ_ATI
    int number;      // place of the call in the definition, from 1
};

struct FragmentArgument {
    GLenum source;     // GL_REG_i_ATI, GL_CON_i_ATI, GL_ZERO, GL_ONE, GL_PRIMARY_COLOR_ARB,
                       // GL_SECONDARY_INTERPOLATOR_ATI
    GLenum replicate;  // GL_NONE, GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA
    GLuint modifiers;  // GL_2X_BIT_ATI | GL_COMP_BIT_ATI | GL_NEGATE_BIT_ATI | GL_BIAS_BIT_ATI
};

// One colour or alpha instruction.
struct FragmentOperation {
    GLenum op;    // GL_MOV_ATI .. GL_DOT2_ADD_ATI, 0 for the automatic no-op
    int dst;      // register 0..5
    GLuint mask;  // colour: GL_RED_BIT_ATI | GL_GREEN_BIT_ATI | GL_BLUE_BIT_ATI, GL_NONE = all
    GLuint dstModifiers;  // one scale bit, optionally | GL_SATURATE_BIT_ATI
    int argumentCount;
    FragmentArgument arguments[3];
    int number;
};

// A colour instruction and the alpha instruction beside it, executed in
// parallel: neither sees what the other writes.
struct FragmentPair {
    FragmentOperation colour;
    FragmentOperation alpha;
};

struct FragmentPass {
    std::vector<FragmentSetup> setups;
    std::vector<FragmentPair> pairs;
};

struct FragmentShaderRecording {
    FragmentPass passes[2];
    // 0: routing of pass 1, 1: instructions of pass 1, 2: routing of pass 2,
    // 3: instructions of pass 2. The pass count is 2 once stage reaches 2.
    int stage = 0;
    int callCount = 0;           // numbers the recorded calls
    bool lastWasColour = false;  // the last recorded call was a colour op
    // Constants set inside the definition; they override the global ones
    // while the shader is bound.
    float constants[kFragmentConstantCount][4] = {};
    unsigned constantsSet = 0;
    // Per texture coordinate set: 0 unused, 1 drawn on as STR, 2 as STQ.
    int texCoordFamily[kFragmentTexCoordSourceCount] = {};
    int textureUnits = kFragmentRegisterCount;  // the implementation's unit count, for dst checks
    bool failed = false;                        // a call of the definition raised an error
};

// A fresh definition for an implementation with textureUnits texture units.
void StartFragmentRecording(FragmentShaderRecording* recording, int textureUnits);

GLenum RecordPassTexCoord(FragmentShaderRecording* recording, GLuint dst, GLuint coord,
                          GLenum swizzle);
GLenum RecordSampleMap(FragmentShaderRecording* recording, GLuint dst, GLuint interp,
                       GLenum swizzle);
GLenum RecordColorOperation(FragmentShaderRecording* recording, GLenum op, GLuint dst,
                            GLuint dstMask, GLuint dstMod, int argumentCount,
                            const FragmentArgument* arguments);
GLenum RecordAlphaOperation(FragmentShaderRecording* recording, GLenum op, GLuint dst,
                            GLuint dstMod, int argumentCount, const FragmentArgument* arguments);
GLenum RecordConstant(FragmentShaderRecording* recording, GLuint dst, const float* value);

// The checks that need the whole definition (glEndFragmentShaderATI).
GLenum FinishFragmentRecording(FragmentShaderRecording* recording);

int FragmentPassCount(const FragmentShaderRecording& recording);

// Bit u set when texture unit u is sampled by some glSampleMapATI.
unsigned FragmentSampledUnits(const FragmentShaderRecording& recording);

// Bit i set when GL_CON_i_ATI is read by some instruction.
unsigned FragmentConstantsRead(const FragmentShaderRecording& recording);
