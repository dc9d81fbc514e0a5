#include "render/vertex_shader_layer/recording.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// More than any program fits; a bound keeps a wild count from eating memory.
constexpr GLuint kMaxSymbolsPerCall = 4096;

// 'S', 'V' or 'M' for a data type.
char TypeLetter(GLenum dataType) {
    return dataType == GL_SCALAR_EXT ? 'S' : dataType == GL_MATRIX_EXT ? 'M' : 'V';
}

// The operations, with the result and argument types the extension's table of
// operations allows ("S=VV": scalar result of two vectors).
struct OperationRule {
    GLenum op;
    int argCount;
    const char* signatures[10];
};

#define UNARY \
    { "S=S", "V=S", "V=V" }
#define BINARY \
    { "S=SS", "V=SS", "V=SV", "V=VS", "V=VV" }
const OperationRule kOperationRules[] = {
    {GL_OP_INDEX_EXT, 2, {"S=SS", "V=SV", "M=SM"}},
    {GL_OP_NEGATE_EXT, 1, UNARY},
    {GL_OP_DOT3_EXT, 2, {"S=VV", "V=VV"}},
    {GL_OP_DOT4_EXT, 2, {"S=VV", "V=VV"}},
    {GL_OP_MUL_EXT, 2, BINARY},
    {GL_OP_ADD_EXT, 2, BINARY},
    {GL_OP_MADD_EXT,
     3,
     {"S=SSS", "V=SSS", "V=SVV", "V=VSV", "V=SSV", "V=VVS", "V=VSS", "V=SVS", "V=VVV"}},
    {GL_OP_FRAC_EXT, 1, UNARY},
    {GL_OP_MAX_EXT, 2, BINARY},
    {GL_OP_MIN_EXT, 2, BINARY},
    {GL_OP_SET_GE_EXT, 2, BINARY},
    {GL_OP_SET_LT_EXT, 2, BINARY},
    {GL_OP_CLAMP_EXT, 3, {"S=SSS", "V=SSS", "V=VSS", "V=VVS", "V=VSV", "V=VVV"}},
    {GL_OP_FLOOR_EXT, 1, UNARY},
    {GL_OP_ROUND_EXT, 1, UNARY},
    {GL_OP_EXP_BASE_2_EXT, 1, {"S=S"}},
    {GL_OP_LOG_BASE_2_EXT, 1, {"S=S"}},
    {GL_OP_POWER_EXT, 2, {"S=SS"}},
    {GL_OP_RECIP_EXT, 1, {"S=S"}},
    {GL_OP_RECIP_SQRT_EXT, 1, {"S=S"}},
    {GL_OP_SUB_EXT, 2, BINARY},
    {GL_OP_CROSS_PRODUCT_EXT, 2, {"V=VV"}},
    {GL_OP_MULTIPLY_MATRIX_EXT, 2, {"V=MV"}},
    {GL_OP_MOV_EXT, 1, UNARY},
};
#undef UNARY
#undef BINARY

const OperationRule* FindOperationRule(GLenum op) {
    for (const OperationRule& rule : kOperationRules)
        if (rule.op == op) return &rule;
    return nullptr;
}

// The symbol behind id if this definition may use it, else null.
const VertexShaderSymbol* FindUsableSymbol(const VertexShaderRecording& recording,
                                           const VertexShaderSymbolTable& table, GLuint id) {
    auto found = table.find(id);
    if (found == table.end()) return nullptr;
    const VertexShaderSymbol& symbol = found->second;
    if (symbol.owned && symbol.owner != recording.shader) return nullptr;
    return &symbol;
}

// Data type letter of a result, or 0 with *error set. Results are outputs
// (texture coordinates an ARB program has) or locals.
char CheckResult(const VertexShaderRecording& recording, const VertexShaderSymbolTable& table,
                 GLuint id, GLenum* error) {
    if (IsVertexShaderOutput(id)) {
        if (id >= GL_OUTPUT_TEXTURE_COORD0_EXT + kVertexShaderTextureUnits &&
            id <= GL_OUTPUT_TEXTURE_COORD31_EXT) {
            *error = GL_INVALID_OPERATION;
            return 0;
        }
        return id == GL_OUTPUT_FOG_EXT ? 'S' : 'V';
    }
    const VertexShaderSymbol* symbol = FindUsableSymbol(recording, table, id);
    if (symbol == nullptr) {
        *error = GL_INVALID_VALUE;
        return 0;
    }
    if (symbol->storage != GL_LOCAL_EXT || !symbol->binding.empty()) {
        *error = GL_INVALID_OPERATION;
        return 0;
    }
    return TypeLetter(symbol->dataType);
}

// Data type letter of a source, or 0 with *error set. Outputs are write-only.
char CheckSource(const VertexShaderRecording& recording, const VertexShaderSymbolTable& table,
                 GLuint id, GLenum* error) {
    if (IsVertexShaderOutput(id)) {
        *error = GL_INVALID_OPERATION;
        return 0;
    }
    const VertexShaderSymbol* symbol = FindUsableSymbol(recording, table, id);
    if (symbol == nullptr) {
        *error = GL_INVALID_VALUE;
        return 0;
    }
    return TypeLetter(symbol->dataType);
}

// Copies the symbols an appended instruction touches (whole block for index).
void CopySymbols(VertexShaderRecording* recording, const VertexShaderSymbolTable& table,
                 const VertexShaderInstruction& instruction) {
    GLuint ids[4] = {instruction.result, instruction.args[0], instruction.args[1],
                     instruction.args[2]};
    for (int i = 0; i < 1 + instruction.argCount; ++i) {
        auto found = table.find(ids[i]);
        if (found != table.end()) recording->symbols[ids[i]] = found->second;
    }
    if (instruction.kind == kShaderOp && instruction.op == GL_OP_INDEX_EXT) {
        const VertexShaderSymbol& base = table.at(instruction.args[1]);
        for (GLuint i = 0; i < base.blockCount; ++i) {
            GLuint id = base.blockFirst + i;
            recording->symbols[id] = table.at(id);
        }
    }
}

void Append(VertexShaderRecording* recording, const VertexShaderSymbolTable& table,
            VertexShaderInstruction instruction) {
    instruction.number = static_cast<int>(recording->instructions.size()) + 1;
    CopySymbols(recording, table, instruction);
    recording->instructions.push_back(instruction);
}

// GL's mapping of b-bit integers into [-1, 1] or [0, 1] (table 2.6 of GL 1.2):
// (2c + 1) / (2^b - 1) when signed, c / (2^b - 1) when not.
float Normalize(double value, double twoToBitsLessOne, int isSigned) {
    return static_cast<float>(isSigned ? (2.0 * value + 1.0) / twoToBitsLessOne
                                       : value / twoToBitsLessOne);
}

template <typename T>
void ConvertIntegers(const void* addr, int count, int normalize, double twoToBitsLessOne,
                     std::array<float, 16>* values) {
    T items[16];
    std::memcpy(items, addr, sizeof(T) * count);
    for (int i = 0; i < count; ++i) {
        double value = static_cast<double>(items[i]);
        (*values)[i] = normalize ? Normalize(value, twoToBitsLessOne, T(-1) < T(0))
                                 : static_cast<float>(value);
    }
}

// A piece of GL state a symbol can be bound to: the rows of the extension's
// bind tables (data and storage type) with the ARB binding that holds it.
// Scalars sit in one component of an ARB vector.
struct BoundState {
    GLenum value;
    const char* name;  // the ARB binding, or its part after the light, material or unit
    GLenum dataType;
    char component;
    GLenum storage;  // GL_VARIANT_EXT for per-vertex attributes
};

const BoundState kParameterStates[] = {
    {GL_CURRENT_VERTEX_EXT, "vertex.position", GL_VECTOR_EXT, 'x', GL_VARIANT_EXT},
    {GL_CURRENT_NORMAL, "vertex.normal", GL_VECTOR_EXT, 'x', GL_VARIANT_EXT},
    {GL_CURRENT_COLOR, "vertex.color", GL_VECTOR_EXT, 'x', GL_VARIANT_EXT},
    {GL_MODELVIEW_MATRIX, "state.matrix.modelview", GL_MATRIX_EXT, 'x', GL_INVARIANT_EXT},
    {GL_PROJECTION_MATRIX, "state.matrix.projection", GL_MATRIX_EXT, 'x', GL_INVARIANT_EXT},
    {GL_MVP_MATRIX_EXT, "state.matrix.mvp", GL_MATRIX_EXT, 'x', GL_INVARIANT_EXT},
    {GL_FOG_COLOR, "state.fog.color", GL_VECTOR_EXT, 'x', GL_INVARIANT_EXT},
    {GL_FOG_DENSITY, "state.fog.params", GL_SCALAR_EXT, 'x', GL_INVARIANT_EXT},
    {GL_FOG_START, "state.fog.params", GL_SCALAR_EXT, 'y', GL_INVARIANT_EXT},
    {GL_FOG_END, "state.fog.params", GL_SCALAR_EXT, 'z', GL_INVARIANT_EXT},
    {GL_LIGHT_MODEL_AMBIENT, "state.lightmodel.ambient", GL_VECTOR_EXT, 'x', GL_INVARIANT_EXT},
};

const BoundState kLightStates[] = {
    {GL_AMBIENT, "ambient", GL_VECTOR_EXT, 'x', GL_INVARIANT_EXT},
    {GL_DIFFUSE, "diffuse", GL_VECTOR_EXT, 'x', GL_INVARIANT_EXT},
    {GL_SPECULAR, "specular", GL_VECTOR_EXT, 'x', GL_INVARIANT_EXT},
    {GL_POSITION, "position", GL_VECTOR_EXT, 'x', GL_INVARIANT_EXT},
    {GL_SPOT_DIRECTION, "spot.direction", GL_VECTOR_EXT, 'x', GL_INVARIANT_EXT},
    {GL_CONSTANT_ATTENUATION, "attenuation", GL_SCALAR_EXT, 'x', GL_INVARIANT_EXT},
    {GL_LINEAR_ATTENUATION, "attenuation", GL_SCALAR_EXT, 'y', GL_INVARIANT_EXT},
    {GL_QUADRATIC_ATTENUATION, "attenuation", GL_SCALAR_EXT, 'z', GL_INVARIANT_EXT},
    {GL_SPOT_EXPONENT, "attenuation", GL_SCALAR_EXT, 'w', GL_INVARIANT_EXT},
};

const BoundState kMaterialStates[] = {
    {GL_AMBIENT, "ambient", GL_VECTOR_EXT, 'x', GL_VARIANT_EXT},
    {GL_DIFFUSE, "diffuse", GL_VECTOR_EXT, 'x', GL_VARIANT_EXT},
    {GL_SPECULAR, "specular", GL_VECTOR_EXT, 'x', GL_VARIANT_EXT},
    {GL_EMISSION, "emission", GL_VECTOR_EXT, 'x', GL_VARIANT_EXT},
    {GL_SHININESS, "shininess", GL_SCALAR_EXT, 'x', GL_VARIANT_EXT},
};

// Names are followed by "[unit]".
const BoundState kTextureUnitStates[] = {
    {GL_CURRENT_TEXTURE_COORDS, "vertex.texcoord", GL_VECTOR_EXT, 'x', GL_VARIANT_EXT},
    {GL_TEXTURE_MATRIX, "state.matrix.texture", GL_MATRIX_EXT, 'x', GL_INVARIANT_EXT},
};

template <size_t N>
const BoundState* FindBoundState(const BoundState (&states)[N], GLenum value) {
    for (const BoundState& state : states)
        if (state.value == value) return &state;
    return nullptr;
}

void SetBoundState(const BoundState& state, std::string binding, VertexShaderSymbol* symbol) {
    symbol->dataType = state.dataType;
    symbol->component = state.component;
    symbol->storage = state.storage;
    symbol->binding = std::move(binding);
}

}  // namespace

int IsVertexShaderOutput(GLuint id) {
    return id >= GL_OUTPUT_VERTEX_EXT && id <= GL_OUTPUT_FOG_EXT;
}

int VertexShaderValueCount(GLenum dataType) {
    return dataType == GL_SCALAR_EXT ? 1 : dataType == GL_MATRIX_EXT ? 16 : 4;
}

GLuint GenerateVertexShaderSymbols(VertexShaderSymbolTable* table, GLuint* nextId, GLenum dataType,
                                   GLenum storage, GLenum range, GLuint components, GLuint owner,
                                   int owned, GLenum* error) {
    *error = GL_NO_ERROR;
    if (dataType != GL_SCALAR_EXT && dataType != GL_VECTOR_EXT && dataType != GL_MATRIX_EXT)
        *error = GL_INVALID_ENUM;
    else if (storage != GL_VARIANT_EXT && storage != GL_INVARIANT_EXT &&
             storage != GL_LOCAL_CONSTANT_EXT && storage != GL_LOCAL_EXT)
        *error = GL_INVALID_ENUM;
    else if (range != GL_NORMALIZED_RANGE_EXT && range != GL_FULL_RANGE_EXT)
        *error = GL_INVALID_ENUM;
    else if (components == 0 || components > kMaxSymbolsPerCall)
        *error = GL_INVALID_VALUE;
    else if (storage == GL_VARIANT_EXT && dataType == GL_MATRIX_EXT)
        *error = GL_INVALID_OPERATION;  // would take four attributes per vertex
    if (*error != GL_NO_ERROR) return 0;

    GLuint first = std::max<GLuint>(*nextId, 1);
    // A block never overlaps the output names, which share the id space.
    if (first <= GL_OUTPUT_FOG_EXT && first + components > GL_OUTPUT_VERTEX_EXT)
        first = GL_OUTPUT_FOG_EXT + 1;
    if (first > UINT32_MAX - components) {
        *error = GL_INVALID_OPERATION;
        return 0;
    }
    for (GLuint i = 0; i < components; ++i) {
        VertexShaderSymbol symbol;
        symbol.id = first + i;
        symbol.dataType = dataType;
        symbol.storage = storage;
        symbol.range = range;
        symbol.blockFirst = first;
        symbol.blockCount = components;
        symbol.owner = owner;
        symbol.owned = owned;
        (*table)[symbol.id] = symbol;
    }
    *nextId = first + components;
    return first;
}

GLenum DescribeVertexShaderBinding(VertexShaderBindingKind kind, GLenum target, GLenum coord,
                                   GLenum value, VertexShaderSymbol* symbol) {
    symbol->storage = GL_INVARIANT_EXT;
    symbol->dataType = GL_VECTOR_EXT;
    symbol->component = 'x';
    symbol->zeroW = 0;
    std::string& text = symbol->binding;
    const BoundState* state = nullptr;
    switch (kind) {
        case kBindParameter:
            if (value == GL_COLOR_MATRIX) return GL_INVALID_OPERATION;  // no ARB binding
            if (value >= GL_CLIP_PLANE0 && value <= GL_CLIP_PLANE5) {
                text = "state.clip[" + std::to_string(value - GL_CLIP_PLANE0) + "].plane";
                return GL_NO_ERROR;
            }
            state = FindBoundState(kParameterStates, value);
            if (state == nullptr) return GL_INVALID_ENUM;
            symbol->zeroW = value == GL_CURRENT_NORMAL;
            SetBoundState(*state, state->name, symbol);
            return GL_NO_ERROR;
        case kBindLight:
            if (target < GL_LIGHT0 || target > GL_LIGHT7) return GL_INVALID_ENUM;
            if (value == GL_SPOT_CUTOFF) return GL_INVALID_OPERATION;  // ARB holds only its cosine
            state = FindBoundState(kLightStates, value);
            if (state == nullptr) return GL_INVALID_ENUM;
            SetBoundState(*state,
                          "state.light[" + std::to_string(target - GL_LIGHT0) + "]." + state->name,
                          symbol);
            return GL_NO_ERROR;
        case kBindMaterial:
            if (target != GL_FRONT && target != GL_BACK) return GL_INVALID_ENUM;
            state = FindBoundState(kMaterialStates, value);
            if (state == nullptr) return GL_INVALID_ENUM;
            SetBoundState(*state,
                          (target == GL_FRONT ? "state.material." : "state.material.back.") +
                              std::string(state->name),
                          symbol);
            return GL_NO_ERROR;
        case kBindTexGen:
        case kBindTextureUnit: {
            if (target < GL_TEXTURE0_ARB || target >= GL_TEXTURE0_ARB + kVertexShaderTextureUnits)
                return GL_INVALID_ENUM;
            std::string unit = std::to_string(target - GL_TEXTURE0_ARB);
            if (kind == kBindTextureUnit) {
                state = FindBoundState(kTextureUnitStates, value);
                if (state == nullptr) return GL_INVALID_ENUM;
                SetBoundState(*state, state->name + ("[" + unit + "]"), symbol);
                return GL_NO_ERROR;
            }
            const char* coords = "strq";
            if (coord < GL_S || coord > GL_Q) return GL_INVALID_ENUM;
            if (value != GL_EYE_PLANE && value != GL_OBJECT_PLANE) return GL_INVALID_ENUM;
            text = "state.texgen[" + unit + "]." + (value == GL_EYE_PLANE ? "eye." : "object.") +
                   coords[coord - GL_S];
            return GL_NO_ERROR;
        }
    }
    return GL_INVALID_ENUM;
}

GLenum RecordShaderOp(VertexShaderRecording* recording, const VertexShaderSymbolTable& table,
                      GLenum op, int argCount, GLuint result, const GLuint* args) {
    const OperationRule* rule = FindOperationRule(op);
    if (rule == nullptr) return GL_INVALID_ENUM;
    if (rule->argCount != argCount) return GL_INVALID_OPERATION;
    GLenum error = GL_NO_ERROR;
    char signature[6] = {CheckResult(*recording, table, result, &error), '='};
    for (int i = 0; i < argCount && error == GL_NO_ERROR; ++i)
        signature[2 + i] = CheckSource(*recording, table, args[i], &error);
    if (error != GL_NO_ERROR) return error;
    int allowed = 0;
    for (const char* candidate : rule->signatures)
        if (candidate != nullptr && std::strcmp(candidate, signature) == 0) allowed = 1;
    if (!allowed) return GL_INVALID_OPERATION;
    if (op == GL_OP_INDEX_EXT) {
        // Only parameter arrays can be indexed by an ARB program: the block
        // must hold invariants or local constants the program declares itself.
        const VertexShaderSymbol& base = table.at(args[1]);
        if (!base.binding.empty() ||
            (base.storage != GL_INVARIANT_EXT && base.storage != GL_LOCAL_CONSTANT_EXT))
            return GL_INVALID_OPERATION;
    }
    VertexShaderInstruction instruction;
    instruction.kind = kShaderOp;
    instruction.op = op;
    instruction.result = result;
    instruction.argCount = argCount;
    for (int i = 0; i < argCount; ++i)
        instruction.args[i] = args[i];
    Append(recording, table, instruction);
    return GL_NO_ERROR;
}

GLenum RecordSwizzle(VertexShaderRecording* recording, const VertexShaderSymbolTable& table,
                     GLuint result, GLuint source, const GLenum selectors[4]) {
    for (int i = 0; i < 4; ++i)
        if (selectors[i] < GL_X_EXT || selectors[i] > GL_NEGATIVE_ONE_EXT) return GL_INVALID_ENUM;
    GLenum error = GL_NO_ERROR;
    char resultType = CheckResult(*recording, table, result, &error);
    char sourceType = error == GL_NO_ERROR ? CheckSource(*recording, table, source, &error) : 0;
    if (error != GL_NO_ERROR) return error;
    if (resultType != 'V' || sourceType != 'V') return GL_INVALID_OPERATION;
    VertexShaderInstruction instruction;
    instruction.kind = kShaderSwizzle;
    instruction.result = result;
    instruction.args[0] = source;
    instruction.argCount = 1;
    for (int i = 0; i < 4; ++i)
        instruction.selectors[i] = selectors[i];
    Append(recording, table, instruction);
    return GL_NO_ERROR;
}

GLenum RecordWriteMask(VertexShaderRecording* recording, const VertexShaderSymbolTable& table,
                       GLuint result, GLuint source, const GLenum flags[4]) {
    for (int i = 0; i < 4; ++i)
        if (flags[i] != GL_TRUE && flags[i] != GL_FALSE) return GL_INVALID_ENUM;
    GLenum error = GL_NO_ERROR;
    char resultType = CheckResult(*recording, table, result, &error);
    char sourceType = error == GL_NO_ERROR ? CheckSource(*recording, table, source, &error) : 0;
    if (error != GL_NO_ERROR) return error;
    if (resultType != 'V' || sourceType != 'V') return GL_INVALID_OPERATION;
    VertexShaderInstruction instruction;
    instruction.kind = kShaderWriteMask;
    instruction.result = result;
    instruction.args[0] = source;
    instruction.argCount = 1;
    for (int i = 0; i < 4; ++i)
        instruction.selectors[i] = flags[i];
    Append(recording, table, instruction);
    return GL_NO_ERROR;
}

namespace {

// Insert puts a scalar into a vector or a vector into a matrix row; extract
// takes them out again. small and large are the two types of the pair.
GLenum RecordComponent(VertexShaderRecording* recording, const VertexShaderSymbolTable& table,
                       VertexShaderInstructionKind kind, GLuint result, GLuint source,
                       GLuint component) {
    if (component > 3) return GL_INVALID_VALUE;
    GLenum error = GL_NO_ERROR;
    char resultType = CheckResult(*recording, table, result, &error);
    char sourceType = error == GL_NO_ERROR ? CheckSource(*recording, table, source, &error) : 0;
    if (error != GL_NO_ERROR) return error;
    char whole = kind == kShaderInsert ? resultType : sourceType;
    char part = kind == kShaderInsert ? sourceType : resultType;
    if (!((whole == 'V' && part == 'S') || (whole == 'M' && part == 'V')))
        return GL_INVALID_OPERATION;
    VertexShaderInstruction instruction;
    instruction.kind = kind;
    instruction.result = result;
    instruction.args[0] = source;
    instruction.argCount = 1;
    instruction.component = component;
    Append(recording, table, instruction);
    return GL_NO_ERROR;
}

}  // namespace

GLenum RecordInsertComponent(VertexShaderRecording* recording, const VertexShaderSymbolTable& table,
                             GLuint result, GLuint source, GLuint component) {
    return RecordComponent(recording, table, kShaderInsert, result, source, component);
}

GLenum RecordExtractComponent(VertexShaderRecording* recording,
                              const VertexShaderSymbolTable& table, GLuint result, GLuint source,
                              GLuint component) {
    return RecordComponent(recording, table, kShaderExtract, result, source, component);
}

GLenum RecordLocalConstant(VertexShaderRecording* recording, const VertexShaderSymbolTable& table,
                           GLuint id, const std::array<float, 16>& value) {
    const VertexShaderSymbol* symbol = FindUsableSymbol(*recording, table, id);
    if (symbol == nullptr) return GL_INVALID_VALUE;
    if (symbol->storage != GL_LOCAL_CONSTANT_EXT || !symbol->binding.empty())
        return GL_INVALID_OPERATION;
    if (recording->constants.count(id) != 0) return GL_INVALID_OPERATION;  // set once only
    recording->constants[id] = value;
    recording->symbols[id] = *symbol;
    return GL_NO_ERROR;
}

GLenum ConvertVertexShaderValues(GLenum type, const void* addr, GLenum dataType, GLenum range,
                                 std::array<float, 16>* values) {
    values->fill(0.0f);
    int count = VertexShaderValueCount(dataType);
    int normalize = range == GL_NORMALIZED_RANGE_EXT;
    switch (type) {
        case GL_BYTE:
            ConvertIntegers<GLbyte>(addr, count, normalize, 255.0, values);
            break;
        case GL_UNSIGNED_BYTE:
            ConvertIntegers<GLubyte>(addr, count, normalize, 255.0, values);
            break;
        case GL_SHORT:
            ConvertIntegers<GLshort>(addr, count, normalize, 65535.0, values);
            break;
        case GL_UNSIGNED_SHORT:
            ConvertIntegers<GLushort>(addr, count, normalize, 65535.0, values);
            break;
        case GL_INT:
            ConvertIntegers<GLint>(addr, count, normalize, 4294967295.0, values);
            break;
        case GL_UNSIGNED_INT:
            ConvertIntegers<GLuint>(addr, count, normalize, 4294967295.0, values);
            break;
        case GL_FLOAT:
        case GL_DOUBLE:
            for (int i = 0; i < count; ++i) {
                double value;
                if (type == GL_FLOAT) {
                    GLfloat item;
                    std::memcpy(&item, static_cast<const GLfloat*>(addr) + i, sizeof item);
                    value = item;
                } else {
                    std::memcpy(&value, static_cast<const GLdouble*>(addr) + i, sizeof value);
                }
                if (normalize) value = std::min(1.0, std::max(-1.0, value));
                (*values)[i] = static_cast<float>(value);
            }
            break;
        default:
            return GL_INVALID_ENUM;
    }
    return GL_NO_ERROR;
}
