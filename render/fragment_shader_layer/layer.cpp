#include "render/fragment_shader_layer/layer.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "render/fragment_shader_layer/recording.h"
#include "render/fragment_shader_layer/translator.h"
#include "render/gl_error.h"

// The layer's side of GL_ATI_fragment_shader: shader objects with their
// recordings and their ARB programs, the global constants, and the entry
// points. The definition calls only record (recording.h); an
// ARB program is made from a recording when a draw needs it, for the targets
// then enabled on the sampled units, and kept for the next draw with the same
// targets. Constants reach the bound ARB program in PrepareFragmentShaderForDraw.

namespace {

struct ProgramVariant {
    FragmentTargetKey key;
    GLuint program;  // 0 when the program could not be made
};

struct LayerShader {
    FragmentShaderRecording recording;
    bool valid = false;  // defined, ended, and no call of the definition failed
    std::vector<ProgramVariant> variants;
};

ExtensionSource fragmentShaderSource = kExtensionMissing;

// Name 0 is the default shader, made on first use like any other.
std::map<GLuint, LayerShader> shaders;
GLuint boundShader = 0;
bool defining = false;
float globalConstants[kFragmentConstantCount][4] = {};
bool layerEnabled = false;
int textureUnits = 0;
bool rectangleTextures = false;
GLuint drawNothingProgram = 0;

PFNGLGENPROGRAMSARBPROC genPrograms = nullptr;
PFNGLDELETEPROGRAMSARBPROC deletePrograms = nullptr;
PFNGLBINDPROGRAMARBPROC bindProgram = nullptr;
PFNGLPROGRAMSTRINGARBPROC programString = nullptr;
PFNGLPROGRAMLOCALPARAMETER4FVARBPROC programLocalParameter = nullptr;

template <typename Pointer>
bool Fetch(Pointer* pointer, const char* name) {
    *pointer = reinterpret_cast<Pointer>(GetGlProcAddress(name));
    return *pointer != nullptr;
}

// The ARB entry points and limits the layer needs, once the driver is known
// to offer GL_ARB_fragment_program; 1 when all entry points are there.
int PrepareDriverSide() {
    const bool fetched =
        Fetch(&genPrograms, "glGenProgramsARB") && Fetch(&deletePrograms, "glDeleteProgramsARB") &&
        Fetch(&bindProgram, "glBindProgramARB") && Fetch(&programString, "glProgramStringARB") &&
        Fetch(&programLocalParameter, "glProgramLocalParameter4fvARB");
    if (!fetched) return 0;
    // The ARB program reads coordinate sets and image units, whose counts
    // can exceed the fixed-function unit count (4 on some drivers that offer
    // 8 coordinate sets and 16 or more image units).
    GLint coordinateSets = 0;
    GLint imageUnits = 0;
    glGetIntegerv(GL_MAX_TEXTURE_COORDS_ARB, &coordinateSets);
    glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS_ARB, &imageUnits);
    textureUnits = coordinateSets < imageUnits ? coordinateSets : imageUnits;
    rectangleTextures = IsExtensionSupported("GL_ARB_texture_rectangle") ||
                        IsExtensionSupported("GL_NV_texture_rectangle") ||
                        IsExtensionSupported("GL_EXT_texture_rectangle");
    return 1;
}

// Loads program text into a new ARB program; 0 when the driver refuses it.
GLuint MakeProgram(const std::string& text) {
    GLuint program = 0;
    genPrograms(1, &program);
    bindProgram(GL_FRAGMENT_PROGRAM_ARB, program);
    programString(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_FORMAT_ASCII_ARB, GLsizei(text.size()),
                  text.c_str());
    GLint errorPosition = -1;
    glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &errorPosition);
    if (errorPosition == -1) return program;
    deletePrograms(1, &program);
    return 0;
}

void DeleteVariants(LayerShader* shader) {
    for (const ProgramVariant& variant : shader->variants) {
        if (variant.program != 0) deletePrograms(1, &variant.program);
    }
    shader->variants.clear();
}

// A draw with a shader that is invalid, or that the layer could not make,
// raises GL_INVALID_OPERATION and draws nothing, as an invalid ARB program does.
void RefuseDraw() {
    if (drawNothingProgram == 0) {
        drawNothingProgram = MakeProgram("!!ARBfp1.0\nMOV result.color, 0;\nKIL -1;\nEND\n");
    }
    bindProgram(GL_FRAGMENT_PROGRAM_ARB, drawNothingProgram);
    RaiseLayerError(GL_INVALID_OPERATION);
}

// The target the fixed-function pipeline would sample on the active unit,
// by its precedence; GL_NONE when nothing is enabled there.
GLenum EnabledTarget() {
    if (glIsEnabled(GL_TEXTURE_CUBE_MAP_ARB)) return GL_TEXTURE_CUBE_MAP_ARB;
    if (glIsEnabled(GL_TEXTURE_3D)) return GL_TEXTURE_3D;
    if (rectangleTextures && glIsEnabled(GL_TEXTURE_RECTANGLE_ARB)) {
        return GL_TEXTURE_RECTANGLE_ARB;
    }
    if (glIsEnabled(GL_TEXTURE_2D)) return GL_TEXTURE_2D;
    if (glIsEnabled(GL_TEXTURE_1D)) return GL_TEXTURE_1D;
    return GL_NONE;
}

FragmentTargetKey CurrentKey(unsigned sampledUnits) {
    FragmentTargetKey key;
    if (sampledUnits == 0) return key;
    GLint activeUnit = GL_TEXTURE0_ARB;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &activeUnit);
    for (int unit = 0; unit < kFragmentRegisterCount; ++unit) {
        if (!(sampledUnits & (1u << unit))) continue;
        ext::glActiveTextureARB(GL_TEXTURE0_ARB + unit);
        key.targets[unit] = EnabledTarget();
    }
    ext::glActiveTextureARB(GLenum(activeUnit));
    return key;
}

const ProgramVariant& VariantFor(LayerShader* shader, const FragmentTargetKey& key) {
    for (const ProgramVariant& variant : shader->variants) {
        if (variant.key == key) return variant;
    }
    std::string text;
    GLuint program = 0;
    if (TranslateFragmentShader(shader->recording, key, &text)) program = MakeProgram(text);
    shader->variants.push_back({key, program});
    return shader->variants.back();
}

void LoadConstants(const FragmentShaderRecording& recording) {
    const unsigned read = FragmentConstantsRead(recording);
    for (int i = 0; i < kFragmentConstantCount; ++i) {
        if (!(read & (1u << i))) continue;
        const float* value =
            (recording.constantsSet & (1u << i)) ? recording.constants[i] : globalConstants[i];
        GLfloat clamped[4];
        for (int c = 0; c < 4; ++c) {
            clamped[c] = value[c] < 0.0f ? 0.0f : value[c] > 1.0f ? 1.0f : value[c];
        }
        programLocalParameter(GL_FRAGMENT_PROGRAM_ARB, GLuint(i), clamped);
    }
}

// The calls of a definition need one under way; the others must not come
// inside one.
bool Defining() {
    if (!defining) RaiseLayerError(GL_INVALID_OPERATION);
    return defining;
}

bool NotDefining() {
    if (defining) RaiseLayerError(GL_INVALID_OPERATION);
    return !defining;
}

void Report(GLenum error) {
    if (error != GL_NO_ERROR) RaiseLayerError(error);
}

FragmentShaderRecording* Recording() {
    return &shaders[boundShader].recording;
}

// The entry points.

GLuint APIENTRY LayerGenFragmentShaders(GLuint range) {
    if (!NotDefining()) return 0;
    if (range == 0) {
        RaiseLayerError(GL_INVALID_VALUE);
        return 0;
    }
    const GLuint first = shaders.empty() ? 1 : shaders.rbegin()->first + 1;
    if (first == 0 || range > ~GLuint(0) - first + 1) return 0;  // no such run of names left
    for (GLuint i = 0; i < range; ++i)
        shaders[first + i];
    return first;
}

void APIENTRY LayerBindFragmentShader(GLuint id) {
    if (!NotDefining()) return;
    shaders[id];
    boundShader = id;
}

void APIENTRY LayerDeleteFragmentShader(GLuint id) {
    if (!NotDefining()) return;
    auto found = shaders.find(id);
    if (id == 0 || found == shaders.end()) return;  // silently ignored
    DeleteVariants(&found->second);
    shaders.erase(found);
    if (boundShader == id) boundShader = 0;
}

void APIENTRY LayerBeginFragmentShader() {
    if (!NotDefining()) return;
    LayerShader& shader = shaders[boundShader];
    DeleteVariants(&shader);
    StartFragmentRecording(&shader.recording, textureUnits);
    shader.valid = false;
    defining = true;
}

void APIENTRY LayerEndFragmentShader() {
    if (!Defining()) return;
    defining = false;
    LayerShader& shader = shaders[boundShader];
    Report(FinishFragmentRecording(&shader.recording));
    shader.valid = !shader.recording.failed;
}

void APIENTRY LayerPassTexCoord(GLuint dst, GLuint coord, GLenum swizzle) {
    if (Defining()) Report(RecordPassTexCoord(Recording(), dst, coord, swizzle));
}

void APIENTRY LayerSampleMap(GLuint dst, GLuint interp, GLenum swizzle) {
    if (Defining()) Report(RecordSampleMap(Recording(), dst, interp, swizzle));
}

void APIENTRY LayerColorFragmentOp1(GLenum op, GLuint dst, GLuint dstMask, GLuint dstMod,
                                    GLuint arg1, GLuint arg1Rep, GLuint arg1Mod) {
    const FragmentArgument arguments[] = {{arg1, arg1Rep, arg1Mod}};
    if (Defining()) {
        Report(RecordColorOperation(Recording(), op, dst, dstMask, dstMod, 1, arguments));
    }
}

void APIENTRY LayerColorFragmentOp2(GLenum op, GLuint dst, GLuint dstMask, GLuint dstMod,
                                    GLuint arg1, GLuint arg1Rep, GLuint arg1Mod, GLuint arg2,
                                    GLuint arg2Rep, GLuint arg2Mod) {
    const FragmentArgument arguments[] = {{arg1, arg1Rep, arg1Mod}, {arg2, arg2Rep, arg2Mod}};
    if (Defining()) {
        Report(RecordColorOperation(Recording(), op, dst, dstMask, dstMod, 2, arguments));
    }
}

void APIENTRY LayerColorFragmentOp3(GLenum op, GLuint dst, GLuint dstMask, GLuint dstMod,
                                    GLuint arg1, GLuint arg1Rep, GLuint arg1Mod, GLuint arg2,
                                    GLuint arg2Rep, GLuint arg2Mod, GLuint arg3, GLuint arg3Rep,
                                    GLuint arg3Mod) {
    const FragmentArgument arguments[] = {
        {arg1, arg1Rep, arg1Mod}, {arg2, arg2Rep, arg2Mod}, {arg3, arg3Rep, arg3Mod}};
    if (Defining()) {
        Report(RecordColorOperation(Recording(), op, dst, dstMask, dstMod, 3, arguments));
    }
}

void APIENTRY LayerAlphaFragmentOp1(GLenum op, GLuint dst, GLuint dstMod, GLuint arg1,
                                    GLuint arg1Rep, GLuint arg1Mod) {
    const FragmentArgument arguments[] = {{arg1, arg1Rep, arg1Mod}};
    if (Defining()) Report(RecordAlphaOperation(Recording(), op, dst, dstMod, 1, arguments));
}

void APIENTRY LayerAlphaFragmentOp2(GLenum op, GLuint dst, GLuint dstMod, GLuint arg1,
                                    GLuint arg1Rep, GLuint arg1Mod, GLuint arg2, GLuint arg2Rep,
                                    GLuint arg2Mod) {
    const FragmentArgument arguments[] = {{arg1, arg1Rep, arg1Mod}, {arg2, arg2Rep, arg2Mod}};
    if (Defining()) Report(RecordAlphaOperation(Recording(), op, dst, dstMod, 2, arguments));
}

void APIENTRY LayerAlphaFragmentOp3(GLenum op, GLuint dst, GLuint dstMod, GLuint arg1,
                                    GLuint arg1Rep, GLuint arg1Mod, GLuint arg2, GLuint arg2Rep,
                                    GLuint arg2Mod, GLuint arg3, GLuint arg3Rep, GLuint arg3Mod) {
    const FragmentArgument arguments[] = {
        {arg1, arg1Rep, arg1Mod}, {arg2, arg2Rep, arg2Mod}, {arg3, arg3Rep, arg3Mod}};
    if (Defining()) Report(RecordAlphaOperation(Recording(), op, dst, dstMod, 3, arguments));
}

// Inside a definition the constant belongs to the shader; outside it is the
// global one, used by every shader that does not set its own.
void APIENTRY LayerSetFragmentShaderConstant(GLuint dst, const GLfloat* value) {
    if (defining) {
        Report(RecordConstant(Recording(), dst, value));
        return;
    }
    if (dst < GL_CON_0_ATI || dst > GL_CON_7_ATI) return RaiseLayerError(GL_INVALID_ENUM);
    if (value == nullptr) return RaiseLayerError(GL_INVALID_VALUE);
    std::memcpy(globalConstants[dst - GL_CON_0_ATI], value, sizeof globalConstants[0]);
}

struct NamedProc {
    const char* name;
    GlProc proc;
};

template <typename Function>
GlProc AsProc(Function function) {
    return reinterpret_cast<GlProc>(function);
}

const NamedProc kLayerProcs[] = {
    {"glGenFragmentShadersATI", AsProc(LayerGenFragmentShaders)},
    {"glBindFragmentShaderATI", AsProc(LayerBindFragmentShader)},
    {"glDeleteFragmentShaderATI", AsProc(LayerDeleteFragmentShader)},
    {"glBeginFragmentShaderATI", AsProc(LayerBeginFragmentShader)},
    {"glEndFragmentShaderATI", AsProc(LayerEndFragmentShader)},
    {"glPassTexCoordATI", AsProc(LayerPassTexCoord)},
    {"glSampleMapATI", AsProc(LayerSampleMap)},
    {"glColorFragmentOp1ATI", AsProc(LayerColorFragmentOp1)},
    {"glColorFragmentOp2ATI", AsProc(LayerColorFragmentOp2)},
    {"glColorFragmentOp3ATI", AsProc(LayerColorFragmentOp3)},
    {"glAlphaFragmentOp1ATI", AsProc(LayerAlphaFragmentOp1)},
    {"glAlphaFragmentOp2ATI", AsProc(LayerAlphaFragmentOp2)},
    {"glAlphaFragmentOp3ATI", AsProc(LayerAlphaFragmentOp3)},
    {"glSetFragmentShaderConstantATI", AsProc(LayerSetFragmentShaderConstant)},
};

}  // namespace

int ChooseFragmentShaderExtension() {
    fragmentShaderSource = ChooseExtensionSource(
        "GL_ATI_fragment_shader", "GL_ARB_fragment_program", FetchFragmentShaderEntryPoints,
        LookUpFragmentShaderLayerProc, PrepareDriverSide);
    return fragmentShaderSource != kExtensionMissing;
}

int UseFragmentShaderLayer() {
    if (!IsExtensionSupported("GL_ARB_fragment_program") || !PrepareDriverSide()) return 0;
    FetchFragmentShaderEntryPoints(LookUpFragmentShaderLayerProc);
    fragmentShaderSource = kExtensionLayer;
    return 1;
}

ExtensionSource FragmentShaderExtensionSource() {
    return fragmentShaderSource;
}

GlProc LookUpFragmentShaderLayerProc(const char* name) {
    if (name == nullptr) return nullptr;
    for (const NamedProc& entry : kLayerProcs) {
        if (std::strcmp(entry.name, name) == 0) return entry.proc;
    }
    return nullptr;
}

void SetFragmentShaderEnabled(int enabled) {
    if (fragmentShaderSource != kExtensionLayer) {
        if (enabled)
            glEnable(GL_FRAGMENT_SHADER_ATI);
        else
            glDisable(GL_FRAGMENT_SHADER_ATI);
        return;
    }
    layerEnabled = enabled != 0;
    if (enabled)
        glEnable(GL_FRAGMENT_PROGRAM_ARB);
    else
        glDisable(GL_FRAGMENT_PROGRAM_ARB);
}

void PrepareFragmentShaderForDraw() {
    if (fragmentShaderSource != kExtensionLayer || !layerEnabled) return;
    LayerShader& shader = shaders[boundShader];
    // A shader under definition is invalid for drawing, as is one whose
    // definition raised an error.
    if (defining || !shader.valid) return RefuseDraw();
    const FragmentTargetKey key = CurrentKey(FragmentSampledUnits(shader.recording));
    const ProgramVariant& variant = VariantFor(&shader, key);
    if (variant.program == 0) return RefuseDraw();
    bindProgram(GL_FRAGMENT_PROGRAM_ARB, variant.program);
    LoadConstants(shader.recording);
}
