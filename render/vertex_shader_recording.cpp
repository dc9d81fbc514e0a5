#include "render/vertex_shader_recording.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

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
    switch (kind) {
        case kBindParameter:
            switch (value) {
                case GL_CURRENT_VERTEX_EXT:
                    symbol->storage = GL_VARIANT_EXT;
                    text = "vertex.position";
                    return GL_NO_ERROR;
                case GL_CURRENT_NORMAL:
                    symbol->storage = GL_VARIANT_EXT;
                    symbol->zeroW = 1;
                    text = "vertex.normal";
                    return GL_NO_ERROR;
                case GL_CURRENT_COLOR:
                    symbol->storage = GL_VARIANT_EXT;
                    text = "vertex.color";
                    return GL_NO_ERROR;
                case GL_MODELVIEW_MATRIX:
                case GL_PROJECTION_MATRIX:
                case GL_MVP_MATRIX_EXT:
                    symbol->dataType = GL_MATRIX_EXT;
                    text = value == GL_MODELVIEW_MATRIX    ? "state.matrix.modelview"
                           : value == GL_PROJECTION_MATRIX ? "state.matrix.projection"
                                                           : "state.matrix.mvp";
                    return GL_NO_ERROR;
                case GL_COLOR_MATRIX:
                    return GL_INVALID_OPERATION;  // no ARB vertex program binding
                case GL_FOG_COLOR:
                    text = "state.fog.color";
                    return GL_NO_ERROR;
                case GL_FOG_DENSITY:
                case GL_FOG_START:
                case GL_FOG_END:
                    symbol->dataType = GL_SCALAR_EXT;
                    symbol->component = value == GL_FOG_DENSITY ? 'x'
                                        : value == GL_FOG_START ? 'y'
                                                                : 'z';
                    text = "state.fog.params";
                    return GL_NO_ERROR;
                case GL_LIGHT_MODEL_AMBIENT:
                    text = "state.lightmodel.ambient";
                    return GL_NO_ERROR;
                default:
                    if (value >= GL_CLIP_PLANE0 && value <= GL_CLIP_PLANE5) {
                        text = "state.clip[" + std::to_string(value - GL_CLIP_PLANE0) + "].plane";
                        return GL_NO_ERROR;
                    }
                    return GL_INVALID_ENUM;
            }
        case kBindLight: {
            if (target < GL_LIGHT0 || target > GL_LIGHT7) return GL_INVALID_ENUM;
            std::string light = "state.light[" + std::to_string(target - GL_LIGHT0) + "].";
            switch (value) {
                case GL_AMBIENT:
                    text = light + "ambient";
                    return GL_NO_ERROR;
                case GL_DIFFUSE:
                    text = light + "diffuse";
                    return GL_NO_ERROR;
                case GL_SPECULAR:
                    text = light + "specular";
                    return GL_NO_ERROR;
                case GL_POSITION:
                    text = light + "position";
                    return GL_NO_ERROR;
                case GL_SPOT_DIRECTION:
                    text = light + "spot.direction";
                    return GL_NO_ERROR;
                case GL_CONSTANT_ATTENUATION:
                case GL_LINEAR_ATTENUATION:
                case GL_QUADRATIC_ATTENUATION:
                case GL_SPOT_EXPONENT:
                    symbol->dataType = GL_SCALAR_EXT;
                    symbol->component = "xyzw"[value == GL_CONSTANT_ATTENUATION    ? 0
                                               : value == GL_LINEAR_ATTENUATION    ? 1
                                               : value == GL_QUADRATIC_ATTENUATION ? 2
                                                                                   : 3];
                    text = light + "attenuation";
                    return GL_NO_ERROR;
                case GL_SPOT_CUTOFF:
                    return GL_INVALID_OPERATION;  // ARB holds only its cosine
                default:
                    return GL_INVALID_ENUM;
            }
        }
        case kBindMaterial: {
            if (target != GL_FRONT && target != GL_BACK) return GL_INVALID_ENUM;
            std::string material = target == GL_FRONT ? "state.material." : "state.material.back.";
            symbol->storage = GL_VARIANT_EXT;
            switch (value) {
                case GL_AMBIENT:
                    text = material + "ambient";
                    return GL_NO_ERROR;
                case GL_DIFFUSE:
                    text = material + "diffuse";
                    return GL_NO_ERROR;
                case GL_SPECULAR:
                    text = material + "specular";
                    return GL_NO_ERROR;
                case GL_EMISSION:
                    text = material + "emission";
                    return GL_NO_ERROR;
                case GL_SHININESS:
                    symbol->dataType = GL_SCALAR_EXT;
                    text = material + "shininess";
                    return GL_NO_ERROR;
                default:
                    return GL_INVALID_ENUM;
            }
        }
        case kBindTexGen:
        case kBindTextureUnit: {
            if (target < GL_TEXTURE0_ARB || target >= GL_TEXTURE0_ARB + kVertexShaderTextureUnits)
                return GL_INVALID_ENUM;
            std::string unit = std::to_string(target - GL_TEXTURE0_ARB);
            if (kind == kBindTextureUnit) {
                if (value == GL_CURRENT_TEXTURE_COORDS) {
                    symbol->storage = GL_VARIANT_EXT;
                    text = "vertex.texcoord[" + unit + "]";
                    return GL_NO_ERROR;
                }
                if (value == GL_TEXTURE_MATRIX) {
                    symbol->dataType = GL_MATRIX_EXT;
                    text = "state.matrix.texture[" + unit + "]";
                    return GL_NO_ERROR;
                }
                return GL_INVALID_ENUM;
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
