#include "render/vertex_shader_layer/layer.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <map>

#include "render/gl_error.h"
#include "render/vertex_shader_layer/recording.h"
#include "render/vertex_shader_layer/translator.h"

// The layer keeps every object of the extension itself (shaders, symbols,
// invariant values, the recording under way) and hands the driver only what
// an ARB vertex program understands: one program object per shader, loaded at
// glEndVertexShaderEXT, whose program local parameters carry the invariants.
// Those parameters belong to whatever program is bound, so they are uploaded
// when a shader is bound and when an invariant of the bound shader is set.

namespace {

ExtensionSource vertexShaderSource = kExtensionMissing;

// The GL_ARB_vertex_program entry points the layer drives.
struct ArbEntryPoints {
    PFNGLGENPROGRAMSARBPROC genPrograms;
    PFNGLBINDPROGRAMARBPROC bindProgram;
    PFNGLDELETEPROGRAMSARBPROC deletePrograms;
    PFNGLPROGRAMSTRINGARBPROC programString;
    PFNGLPROGRAMLOCALPARAMETER4FVARBPROC programLocalParameter;
    PFNGLVERTEXATTRIB4FVARBPROC vertexAttrib;
    PFNGLVERTEXATTRIBPOINTERARBPROC vertexAttribPointer;
    PFNGLENABLEVERTEXATTRIBARRAYARBPROC enableVertexAttribArray;
    PFNGLDISABLEVERTEXATTRIBARRAYARBPROC disableVertexAttribArray;
    PFNGLGETVERTEXATTRIBFVARBPROC getVertexAttrib;
} arb;

// One shader object: its ARB program (0 until first bound) and, once a
// definition loaded, what the program's local parameters hold and the local
// constants the definition set.
struct LayerShader {
    GLuint program = 0;
    int valid = 0;
    std::vector<VertexShaderLocalSlot> locals;
    std::map<GLuint, std::array<float, 16>> constants;
};

std::map<GLuint, LayerShader> shaders;
GLuint boundShader = 0;
int defining = 0;
int recordingFailed = 0;  // a call of this definition was refused
VertexShaderRecording recording;
VertexShaderSymbolTable symbols;
GLuint nextSymbol = 1;
std::map<std::string, GLuint> bindingSymbols;  // one id per distinct bound state

// Generic attributes for variants, those that alias no conventional attribute
// first: 6 and 7 are never aliased, then weight, secondary colour and fog
// coordinate, then the texture coordinates from the top, colour and normal
// last. A program that binds both halves of an aliased pair fails to load.
const int kVariantAttributes[] = {6, 7, 1, 4, 5, 15, 14, 13, 12, 11, 10, 9, 8, 3, 2};
GLuint attributeOwner[16];

// The extension's error, kept where the overlay asks for errors. An error in
// the middle of a definition also spoils that definition.
void Fail(GLenum error) {
    RaiseLayerError(error);
    if (defining) recordingFailed = 1;
}

LayerShader& BoundShader() {
    return shaders[boundShader];
}

void UploadLocal(const LayerShader& shader, size_t index) {
    const VertexShaderLocalSlot& slot = shader.locals[index];
    float row[4] = {0, 0, 0, 0};
    auto found = symbols.find(slot.symbol);
    if (found != symbols.end()) {
        const VertexShaderSymbol& symbol = found->second;
        const std::array<float, 16>& v = symbol.value;
        for (int c = 0; c < 4; ++c) {
            if (symbol.dataType == GL_SCALAR_EXT)
                row[c] = v[0];
            else if (symbol.dataType == GL_MATRIX_EXT)
                row[c] = v[c * 4 + slot.row];  // column-major value, row per parameter
            else
                row[c] = v[c];
        }
    }
    arb.programLocalParameter(GL_VERTEX_PROGRAM_ARB, static_cast<GLuint>(index), row);
}

void UploadLocals(const LayerShader& shader) {
    if (!shader.valid) return;
    for (size_t i = 0; i < shader.locals.size(); ++i)
        UploadLocal(shader, i);
}

// Binds the ARB program of the bound shader, making one on first use.
void BindArbProgram(LayerShader* shader) {
    if (shader->program == 0) arb.genPrograms(1, &shader->program);
    arb.bindProgram(GL_VERTEX_PROGRAM_ARB, shader->program);
}

// Leaves the shader without a program: a fresh ARB name with nothing loaded,
// which the driver refuses to draw with, so a failed definition never runs
// half of itself.
void InvalidateShader(GLuint id, LayerShader* shader) {
    if (shader->program != 0) arb.deletePrograms(1, &shader->program);
    shader->program = 0;
    shader->valid = 0;
    shader->locals.clear();
    shader->constants.clear();
    if (id == boundShader) BindArbProgram(shader);
}

void ReleaseSymbol(const VertexShaderSymbol& symbol) {
    if (symbol.attribute < 0) return;
    if (symbol.arrayEnabled) arb.disableVertexAttribArray(static_cast<GLuint>(symbol.attribute));
    attributeOwner[symbol.attribute] = 0;
}

// Drops the symbols that a definition of shader made.
void ReleaseOwnedSymbols(GLuint shader) {
    for (auto it = symbols.begin(); it != symbols.end();) {
        if (it->second.owned && it->second.owner == shader) {
            ReleaseSymbol(it->second);
            it = symbols.erase(it);
        } else {
            ++it;
        }
    }
}

// The symbol behind id if the bound shader may use it and its storage is
// storage (bound state never counts); else null with the error raised.
VertexShaderSymbol* FindSymbol(GLuint id, GLenum storage, GLenum wrongStorageError) {
    auto found = symbols.find(id);
    if (found == symbols.end() || (found->second.owned && found->second.owner != boundShader)) {
        Fail(GL_INVALID_VALUE);
        return nullptr;
    }
    if (found->second.storage != storage || !found->second.binding.empty()) {
        Fail(wrongStorageError);
        return nullptr;
    }
    return &found->second;
}

// Calls that the extension forbids between Begin and End.
int RefuseWhileDefining() {
    if (!defining) return 0;
    Fail(GL_INVALID_OPERATION);
    return 1;
}

// Calls that only make sense between Begin and End.
int RefuseOutsideDefinition() {
    if (defining) return 0;
    RaiseLayerError(GL_INVALID_OPERATION);
    return 1;
}

void Record(GLenum error) {
    if (error != GL_NO_ERROR) Fail(error);
}

// --- Shader objects ---------------------------------------------------------

GLuint APIENTRY LayerGenVertexShaders(GLuint range) {
    if (RefuseWhileDefining()) return 0;
    if (range == 0 || range > 65536) {
        RaiseLayerError(GL_INVALID_VALUE);
        return 0;
    }
    GLuint first = 1;
    for (const auto& entry : shaders)
        if (entry.first >= first && entry.first - first < range) first = entry.first + 1;
    if (first == 0 || first > UINT_MAX - range) {
        RaiseLayerError(GL_INVALID_VALUE);
        return 0;
    }
    for (GLuint i = 0; i < range; ++i)
        shaders[first + i];
    return first;
}

void APIENTRY LayerBindVertexShader(GLuint id) {
    if (RefuseWhileDefining()) return;
    boundShader = id;
    LayerShader& shader = shaders[id];
    BindArbProgram(&shader);
    UploadLocals(shader);
}

void APIENTRY LayerDeleteVertexShader(GLuint id) {
    if (RefuseWhileDefining()) return;
    auto found = shaders.find(id);
    if (id == 0 || found == shaders.end()) return;
    if (found->second.program != 0) arb.deletePrograms(1, &found->second.program);
    shaders.erase(found);
    ReleaseOwnedSymbols(id);
    if (boundShader == id) LayerBindVertexShader(0);
}

void APIENTRY LayerBeginVertexShader() {
    if (RefuseWhileDefining()) return;
    BoundShader();
    ReleaseOwnedSymbols(boundShader);
    recording = VertexShaderRecording();
    recording.shader = boundShader;
    defining = 1;
    recordingFailed = 0;
}

void APIENTRY LayerEndVertexShader() {
    if (RefuseOutsideDefinition()) return;
    defining = 0;
    LayerShader& shader = BoundShader();
    VertexShaderProgram program;
    GLenum error =
        recordingFailed ? GL_INVALID_OPERATION : TranslateVertexShader(recording, &program);
    if (error == GL_NO_ERROR) {
        BindArbProgram(&shader);
        arb.programString(GL_VERTEX_PROGRAM_ARB, GL_PROGRAM_FORMAT_ASCII_ARB,
                          static_cast<GLsizei>(program.text.size()), program.text.c_str());
        GLint errorPosition = 0;
        glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &errorPosition);
        if (errorPosition != -1) error = GL_INVALID_OPERATION;
    }
    if (error != GL_NO_ERROR) {
        // Refused calls were reported when they were made.
        if (!recordingFailed) RaiseLayerError(error);
        InvalidateShader(boundShader, &shader);
    } else {
        shader.valid = 1;
        shader.locals = program.locals;
        shader.constants = recording.constants;
        UploadLocals(shader);
    }
    recording = VertexShaderRecording();
}

// --- Recording --------------------------------------------------------------

void APIENTRY LayerShaderOp1(GLenum op, GLuint res, GLuint arg1) {
    if (RefuseOutsideDefinition()) return;
    GLuint args[] = {arg1};
    Record(RecordShaderOp(&recording, symbols, op, 1, res, args));
}

void APIENTRY LayerShaderOp2(GLenum op, GLuint res, GLuint arg1, GLuint arg2) {
    if (RefuseOutsideDefinition()) return;
    GLuint args[] = {arg1, arg2};
    Record(RecordShaderOp(&recording, symbols, op, 2, res, args));
}

void APIENTRY LayerShaderOp3(GLenum op, GLuint res, GLuint arg1, GLuint arg2, GLuint arg3) {
    if (RefuseOutsideDefinition()) return;
    GLuint args[] = {arg1, arg2, arg3};
    Record(RecordShaderOp(&recording, symbols, op, 3, res, args));
}

void APIENTRY LayerSwizzle(GLuint res, GLuint in, GLenum outX, GLenum outY, GLenum outZ,
                           GLenum outW) {
    if (RefuseOutsideDefinition()) return;
    GLenum selectors[] = {outX, outY, outZ, outW};
    Record(RecordSwizzle(&recording, symbols, res, in, selectors));
}

void APIENTRY LayerWriteMask(GLuint res, GLuint in, GLenum outX, GLenum outY, GLenum outZ,
                             GLenum outW) {
    if (RefuseOutsideDefinition()) return;
    GLenum flags[] = {outX, outY, outZ, outW};
    Record(RecordWriteMask(&recording, symbols, res, in, flags));
}

void APIENTRY LayerInsertComponent(GLuint res, GLuint src, GLuint num) {
    if (RefuseOutsideDefinition()) return;
    Record(RecordInsertComponent(&recording, symbols, res, src, num));
}

void APIENTRY LayerExtractComponent(GLuint res, GLuint src, GLuint num) {
    if (RefuseOutsideDefinition()) return;
    Record(RecordExtractComponent(&recording, symbols, res, src, num));
}

GLuint APIENTRY LayerGenSymbols(GLenum dataType, GLenum storage, GLenum range, GLuint components) {
    GLenum error = GL_NO_ERROR;
    GLuint first = GenerateVertexShaderSymbols(&symbols, &nextSymbol, dataType, storage, range,
                                               components, boundShader, defining, &error);
    if (first != 0 && storage == GL_VARIANT_EXT) {
        GLuint given = 0;
        for (int attribute : kVariantAttributes) {
            if (given == components) break;
            if (attributeOwner[attribute] != 0) continue;
            attributeOwner[attribute] = first + given;
            symbols[first + given].attribute = attribute;
            ++given;
        }
        if (given < components) {  // more variants than free attributes
            for (GLuint i = 0; i < components; ++i) {
                ReleaseSymbol(symbols[first + i]);
                symbols.erase(first + i);
            }
            first = 0;
            error = GL_INVALID_OPERATION;
        }
    }
    if (error != GL_NO_ERROR) Fail(error);
    return first;
}

void APIENTRY LayerSetLocalConstant(GLuint id, GLenum type, const void* addr) {
    if (RefuseOutsideDefinition()) return;
    auto found = symbols.find(id);
    if (found == symbols.end() || addr == nullptr) return Fail(GL_INVALID_VALUE);
    std::array<float, 16> value;
    GLenum error =
        ConvertVertexShaderValues(type, addr, found->second.dataType, found->second.range, &value);
    if (error == GL_NO_ERROR) error = RecordLocalConstant(&recording, symbols, id, value);
    Record(error);
}

// --- Invariants and variants ------------------------------------------------

void APIENTRY LayerSetInvariant(GLuint id, GLenum type, const void* addr) {
    if (RefuseWhileDefining()) return;
    // Set whichever shader is bound: the frame sets its invariants before it
    // binds the shader that reads them.
    auto found = symbols.find(id);
    if (found == symbols.end() || addr == nullptr) return Fail(GL_INVALID_VALUE);
    VertexShaderSymbol& symbol = found->second;
    if (symbol.storage != GL_INVARIANT_EXT || !symbol.binding.empty())
        return Fail(GL_INVALID_OPERATION);
    std::array<float, 16> value;
    GLenum error = ConvertVertexShaderValues(type, addr, symbol.dataType, symbol.range, &value);
    if (error != GL_NO_ERROR) return Fail(error);
    symbol.value = value;
    const LayerShader& shader = BoundShader();
    if (!shader.valid) return;
    for (size_t i = 0; i < shader.locals.size(); ++i)
        if (shader.locals[i].symbol == id) UploadLocal(shader, i);
}

// The variant behind id, or null with the error raised.
VertexShaderSymbol* FindVariant(GLuint id) {
    if (RefuseWhileDefining()) return nullptr;
    return FindSymbol(id, GL_VARIANT_EXT, GL_INVALID_OPERATION);
}

void SetVariant(GLuint id, GLenum type, const void* addr) {
    VertexShaderSymbol* symbol = FindVariant(id);
    if (symbol == nullptr) return;
    if (addr == nullptr) return Fail(GL_INVALID_VALUE);
    std::array<float, 16> value;
    ConvertVertexShaderValues(type, addr, symbol->dataType, symbol->range, &value);
    if (symbol->dataType == GL_SCALAR_EXT) value[3] = 1.0f;  // (v, 0, 0, 1)
    arb.vertexAttrib(static_cast<GLuint>(symbol->attribute), value.data());
}

void APIENTRY LayerVariantbv(GLuint id, const GLbyte* addr) {
    SetVariant(id, GL_BYTE, addr);
}
void APIENTRY LayerVariantsv(GLuint id, const GLshort* addr) {
    SetVariant(id, GL_SHORT, addr);
}
void APIENTRY LayerVariantiv(GLuint id, const GLint* addr) {
    SetVariant(id, GL_INT, addr);
}
void APIENTRY LayerVariantfv(GLuint id, const GLfloat* addr) {
    SetVariant(id, GL_FLOAT, addr);
}
void APIENTRY LayerVariantdv(GLuint id, const GLdouble* addr) {
    SetVariant(id, GL_DOUBLE, addr);
}
void APIENTRY LayerVariantubv(GLuint id, const GLubyte* addr) {
    SetVariant(id, GL_UNSIGNED_BYTE, addr);
}
void APIENTRY LayerVariantusv(GLuint id, const GLushort* addr) {
    SetVariant(id, GL_UNSIGNED_SHORT, addr);
}
void APIENTRY LayerVariantuiv(GLuint id, const GLuint* addr) {
    SetVariant(id, GL_UNSIGNED_INT, addr);
}

void APIENTRY LayerVariantPointer(GLuint id, GLenum type, GLuint stride, const void* addr) {
    VertexShaderSymbol* symbol = FindVariant(id);
    if (symbol == nullptr) return;
    int integer = type != GL_FLOAT && type != GL_DOUBLE;
    if (integer && type != GL_BYTE && type != GL_UNSIGNED_BYTE && type != GL_SHORT &&
        type != GL_UNSIGNED_SHORT && type != GL_INT && type != GL_UNSIGNED_INT)
        return Fail(GL_INVALID_ENUM);
    if (stride > INT_MAX) return Fail(GL_INVALID_VALUE);
    symbol->arrayType = type;
    symbol->arrayStride = stride;
    symbol->arrayPointer = addr;
    // Four components whatever the data type, as the extension fixes it.
    GLboolean normalized = integer && symbol->range == GL_NORMALIZED_RANGE_EXT;
    arb.vertexAttribPointer(static_cast<GLuint>(symbol->attribute), 4, type, normalized,
                            static_cast<GLsizei>(stride), addr);
}

void SetVariantArrayEnabled(GLuint id, int enabled) {
    VertexShaderSymbol* symbol = FindVariant(id);
    if (symbol == nullptr) return;
    symbol->arrayEnabled = enabled;
    if (enabled)
        arb.enableVertexAttribArray(static_cast<GLuint>(symbol->attribute));
    else
        arb.disableVertexAttribArray(static_cast<GLuint>(symbol->attribute));
}

void APIENTRY LayerEnableVariantClientState(GLuint id) {
    SetVariantArrayEnabled(id, 1);
}

void APIENTRY LayerDisableVariantClientState(GLuint id) {
    SetVariantArrayEnabled(id, 0);
}

// --- Bound GL state ---------------------------------------------------------

GLuint BindState(VertexShaderBindingKind kind, GLenum target, GLenum coord, GLenum value) {
    if (RefuseWhileDefining()) return 0;
    VertexShaderSymbol described;
    GLenum error = DescribeVertexShaderBinding(kind, target, coord, value, &described);
    if (error != GL_NO_ERROR) {
        Fail(error);
        return 0;
    }
    std::string key = described.binding + "." + described.component;
    auto known = bindingSymbols.find(key);
    if (known != bindingSymbols.end()) return known->second;
    GLuint id = GenerateVertexShaderSymbols(&symbols, &nextSymbol, described.dataType,
                                            described.storage, GL_FULL_RANGE_EXT, 1, 0, 0, &error);
    if (id == 0) {
        Fail(error);
        return 0;
    }
    VertexShaderSymbol& symbol = symbols[id];
    symbol.binding = described.binding;
    symbol.component = described.component;
    symbol.zeroW = described.zeroW;
    bindingSymbols[key] = id;
    return id;
}

GLuint APIENTRY LayerBindLightParameter(GLenum light, GLenum value) {
    return BindState(kBindLight, light, 0, value);
}
GLuint APIENTRY LayerBindMaterialParameter(GLenum face, GLenum value) {
    return BindState(kBindMaterial, face, 0, value);
}
GLuint APIENTRY LayerBindTexGenParameter(GLenum unit, GLenum coord, GLenum value) {
    return BindState(kBindTexGen, unit, coord, value);
}
GLuint APIENTRY LayerBindTextureUnitParameter(GLenum unit, GLenum value) {
    return BindState(kBindTextureUnit, unit, 0, value);
}
GLuint APIENTRY LayerBindParameter(GLenum value) {
    return BindState(kBindParameter, 0, 0, value);
}

// --- Queries ----------------------------------------------------------------

// Where the Get*v calls write: one of the three GL types.
struct QueryTarget {
    GLboolean* booleans;
    GLint* integers;
    GLfloat* floats;
};

void Store(const QueryTarget& target, const float* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (target.booleans) target.booleans[i] = values[i] != 0.0f ? GL_TRUE : GL_FALSE;
        if (target.integers) {
            double rounded = std::floor(static_cast<double>(values[i]) + 0.5);
            target.integers[i] = static_cast<GLint>(std::isnan(rounded) ? 0
                                                    : rounded > INT_MAX ? INT_MAX
                                                    : rounded < INT_MIN ? INT_MIN
                                                                        : rounded);
        }
        if (target.floats) target.floats[i] = values[i];
    }
}

void StoreEnum(const QueryTarget& target, GLenum value) {
    if (target.booleans) target.booleans[0] = value != 0 ? GL_TRUE : GL_FALSE;
    if (target.integers) target.integers[0] = static_cast<GLint>(value);
    if (target.floats) target.floats[0] = static_cast<GLfloat>(value);
}

int HasTarget(const QueryTarget& target) {
    if (target.booleans || target.integers || target.floats) return 1;
    Fail(GL_INVALID_VALUE);
    return 0;
}

void GetVariant(GLuint id, GLenum value, const QueryTarget& target) {
    VertexShaderSymbol* symbol = FindSymbol(id, GL_VARIANT_EXT, GL_INVALID_VALUE);
    if (symbol == nullptr || RefuseWhileDefining() || !HasTarget(target)) return;
    switch (value) {
        case GL_VARIANT_VALUE_EXT: {
            float current[4];
            arb.getVertexAttrib(static_cast<GLuint>(symbol->attribute),
                                GL_CURRENT_VERTEX_ATTRIB_ARB, current);
            return Store(target, current, VertexShaderValueCount(symbol->dataType));
        }
        case GL_VARIANT_DATATYPE_EXT:
            return StoreEnum(target, symbol->dataType);
        case GL_VARIANT_ARRAY_STRIDE_EXT:
            return StoreEnum(target, symbol->arrayStride);
        case GL_VARIANT_ARRAY_TYPE_EXT:
            return StoreEnum(target, symbol->arrayType);
        default:
            return Fail(GL_INVALID_ENUM);
    }
}

void GetInvariant(GLuint id, GLenum value, const QueryTarget& target) {
    VertexShaderSymbol* symbol = FindSymbol(id, GL_INVARIANT_EXT, GL_INVALID_VALUE);
    if (symbol == nullptr || RefuseWhileDefining() || !HasTarget(target)) return;
    if (value == GL_INVARIANT_VALUE_EXT)
        return Store(target, symbol->value.data(), VertexShaderValueCount(symbol->dataType));
    if (value == GL_INVARIANT_DATATYPE_EXT) return StoreEnum(target, symbol->dataType);
    Fail(GL_INVALID_ENUM);
}

void GetLocalConstant(GLuint id, GLenum value, const QueryTarget& target) {
    VertexShaderSymbol* symbol = FindSymbol(id, GL_LOCAL_CONSTANT_EXT, GL_INVALID_VALUE);
    if (symbol == nullptr || RefuseWhileDefining() || !HasTarget(target)) return;
    if (value == GL_LOCAL_CONSTANT_VALUE_EXT) {
        const LayerShader& shader = BoundShader();
        auto set = shader.constants.find(id);
        std::array<float, 16> values{};
        if (set != shader.constants.end()) values = set->second;
        return Store(target, values.data(), VertexShaderValueCount(symbol->dataType));
    }
    if (value == GL_LOCAL_CONSTANT_DATATYPE_EXT) return StoreEnum(target, symbol->dataType);
    Fail(GL_INVALID_ENUM);
}

GLboolean APIENTRY LayerIsVariantEnabled(GLuint id, GLenum cap) {
    VertexShaderSymbol* symbol = FindVariant(id);
    if (symbol == nullptr) return GL_FALSE;
    if (cap != GL_VARIANT_ARRAY_EXT) {
        Fail(GL_INVALID_ENUM);
        return GL_FALSE;
    }
    return symbol->arrayEnabled ? GL_TRUE : GL_FALSE;
}

void APIENTRY LayerGetVariantBooleanv(GLuint id, GLenum value, GLboolean* data) {
    GetVariant(id, value, {data, nullptr, nullptr});
}
void APIENTRY LayerGetVariantIntegerv(GLuint id, GLenum value, GLint* data) {
    GetVariant(id, value, {nullptr, data, nullptr});
}
void APIENTRY LayerGetVariantFloatv(GLuint id, GLenum value, GLfloat* data) {
    GetVariant(id, value, {nullptr, nullptr, data});
}

void APIENTRY LayerGetVariantPointerv(GLuint id, GLenum value, void** data) {
    VertexShaderSymbol* symbol = FindSymbol(id, GL_VARIANT_EXT, GL_INVALID_VALUE);
    if (symbol == nullptr || RefuseWhileDefining()) return;
    if (data == nullptr) return Fail(GL_INVALID_VALUE);
    if (value != GL_VARIANT_ARRAY_POINTER_EXT) return Fail(GL_INVALID_ENUM);
    *data = const_cast<void*>(symbol->arrayPointer);
}

void APIENTRY LayerGetInvariantBooleanv(GLuint id, GLenum value, GLboolean* data) {
    GetInvariant(id, value, {data, nullptr, nullptr});
}
void APIENTRY LayerGetInvariantIntegerv(GLuint id, GLenum value, GLint* data) {
    GetInvariant(id, value, {nullptr, data, nullptr});
}
void APIENTRY LayerGetInvariantFloatv(GLuint id, GLenum value, GLfloat* data) {
    GetInvariant(id, value, {nullptr, nullptr, data});
}
void APIENTRY LayerGetLocalConstantBooleanv(GLuint id, GLenum value, GLboolean* data) {
    GetLocalConstant(id, value, {data, nullptr, nullptr});
}
void APIENTRY LayerGetLocalConstantIntegerv(GLuint id, GLenum value, GLint* data) {
    GetLocalConstant(id, value, {nullptr, data, nullptr});
}
void APIENTRY LayerGetLocalConstantFloatv(GLuint id, GLenum value, GLfloat* data) {
    GetLocalConstant(id, value, {nullptr, nullptr, data});
}

// --- The group --------------------------------------------------------------

struct LayerProc {
    const char* name;
    GlProc address;
};

#define LAYER_PROC(name, function) \
    { #name, reinterpret_cast < GlProc>(&function) }
const LayerProc kLayerProcs[] = {
    LAYER_PROC(glBeginVertexShaderEXT, LayerBeginVertexShader),
    LAYER_PROC(glEndVertexShaderEXT, LayerEndVertexShader),
    LAYER_PROC(glBindVertexShaderEXT, LayerBindVertexShader),
    LAYER_PROC(glGenVertexShadersEXT, LayerGenVertexShaders),
    LAYER_PROC(glDeleteVertexShaderEXT, LayerDeleteVertexShader),
    LAYER_PROC(glShaderOp1EXT, LayerShaderOp1),
    LAYER_PROC(glShaderOp2EXT, LayerShaderOp2),
    LAYER_PROC(glShaderOp3EXT, LayerShaderOp3),
    LAYER_PROC(glSwizzleEXT, LayerSwizzle),
    LAYER_PROC(glWriteMaskEXT, LayerWriteMask),
    LAYER_PROC(glInsertComponentEXT, LayerInsertComponent),
    LAYER_PROC(glExtractComponentEXT, LayerExtractComponent),
    LAYER_PROC(glGenSymbolsEXT, LayerGenSymbols),
    LAYER_PROC(glSetInvariantEXT, LayerSetInvariant),
    LAYER_PROC(glSetLocalConstantEXT, LayerSetLocalConstant),
    LAYER_PROC(glVariantbvEXT, LayerVariantbv),
    LAYER_PROC(glVariantsvEXT, LayerVariantsv),
    LAYER_PROC(glVariantivEXT, LayerVariantiv),
    LAYER_PROC(glVariantfvEXT, LayerVariantfv),
    LAYER_PROC(glVariantdvEXT, LayerVariantdv),
    LAYER_PROC(glVariantubvEXT, LayerVariantubv),
    LAYER_PROC(glVariantusvEXT, LayerVariantusv),
    LAYER_PROC(glVariantuivEXT, LayerVariantuiv),
    LAYER_PROC(glVariantPointerEXT, LayerVariantPointer),
    LAYER_PROC(glEnableVariantClientStateEXT, LayerEnableVariantClientState),
    LAYER_PROC(glDisableVariantClientStateEXT, LayerDisableVariantClientState),
    LAYER_PROC(glBindLightParameterEXT, LayerBindLightParameter),
    LAYER_PROC(glBindMaterialParameterEXT, LayerBindMaterialParameter),
    LAYER_PROC(glBindTexGenParameterEXT, LayerBindTexGenParameter),
    LAYER_PROC(glBindTextureUnitParameterEXT, LayerBindTextureUnitParameter),
    LAYER_PROC(glBindParameterEXT, LayerBindParameter),
    LAYER_PROC(glIsVariantEnabledEXT, LayerIsVariantEnabled),
    LAYER_PROC(glGetVariantBooleanvEXT, LayerGetVariantBooleanv),
    LAYER_PROC(glGetVariantIntegervEXT, LayerGetVariantIntegerv),
    LAYER_PROC(glGetVariantFloatvEXT, LayerGetVariantFloatv),
    LAYER_PROC(glGetVariantPointervEXT, LayerGetVariantPointerv),
    LAYER_PROC(glGetInvariantBooleanvEXT, LayerGetInvariantBooleanv),
    LAYER_PROC(glGetInvariantIntegervEXT, LayerGetInvariantIntegerv),
    LAYER_PROC(glGetInvariantFloatvEXT, LayerGetInvariantFloatv),
    LAYER_PROC(glGetLocalConstantBooleanvEXT, LayerGetLocalConstantBooleanv),
    LAYER_PROC(glGetLocalConstantIntegervEXT, LayerGetLocalConstantIntegerv),
    LAYER_PROC(glGetLocalConstantFloatvEXT, LayerGetLocalConstantFloatv),
};
#undef LAYER_PROC

template <typename EntryPoint>
int FetchArb(const char* name, EntryPoint* entryPoint) {
    GlProc address = GetGlProcAddress(name);
    *entryPoint = reinterpret_cast<EntryPoint>(address);
    return address != nullptr;
}

// The ARB entry points, 1 when all are there.
int FetchArbEntryPoints() {
    int found = FetchArb("glGenProgramsARB", &arb.genPrograms);
    found &= FetchArb("glBindProgramARB", &arb.bindProgram);
    found &= FetchArb("glDeleteProgramsARB", &arb.deletePrograms);
    found &= FetchArb("glProgramStringARB", &arb.programString);
    found &= FetchArb("glProgramLocalParameter4fvARB", &arb.programLocalParameter);
    found &= FetchArb("glVertexAttrib4fvARB", &arb.vertexAttrib);
    found &= FetchArb("glVertexAttribPointerARB", &arb.vertexAttribPointer);
    found &= FetchArb("glEnableVertexAttribArrayARB", &arb.enableVertexAttribArray);
    found &= FetchArb("glDisableVertexAttribArrayARB", &arb.disableVertexAttribArray);
    found &= FetchArb("glGetVertexAttribfvARB", &arb.getVertexAttrib);
    return found;
}

}  // namespace

int ChooseVertexShaderExtension() {
    vertexShaderSource = ChooseExtensionSource("GL_EXT_vertex_shader", "GL_ARB_vertex_program",
                                               FetchVertexShaderEntryPoints,
                                               LookUpVertexShaderLayerProc, FetchArbEntryPoints);
    return vertexShaderSource != kExtensionMissing;
}

ExtensionSource VertexShaderExtensionSource() {
    return vertexShaderSource;
}

GlProc LookUpVertexShaderLayerProc(const char* name) {
    if (name == nullptr) return nullptr;
    for (const LayerProc& proc : kLayerProcs)
        if (std::strcmp(proc.name, name) == 0) return proc.address;
    return nullptr;
}

void SetVertexShaderEnabled(int enabled) {
    GLenum target =
        vertexShaderSource == kExtensionLayer ? GL_VERTEX_PROGRAM_ARB : GL_VERTEX_SHADER_EXT;
    if (vertexShaderSource == kExtensionMissing) return;
    if (enabled)
        glEnable(target);
    else
        glDisable(target);
}
