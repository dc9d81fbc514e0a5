#include "render/vertex_shader_layer/translator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace {

// One register as instructions read or write it.
struct Operand {
    std::string name;  // vectors and scalars
    std::string rows[4];
    char type = 'V';  // 'S', 'V' or 'M'
    char component = 'x';
};

// Where each symbol ended up, and the lines the program is made of.
struct Translation {
    std::map<GLuint, Operand> operands;
    std::string declarations;
    std::string prologue;
    std::string body;
    int usesScratch = 0;  // scratch temps needed: 0, 1 or 2
    int usesAddress = 0;
};

std::string Number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

std::string Vector(const float* value) {
    return "{" + Number(value[0]) + ", " + Number(value[1]) + ", " + Number(value[2]) + ", " +
           Number(value[3]) + "}";
}

const char* OutputName(GLuint id) {
    static const char* const kTextureCoords[kVertexShaderTextureUnits] = {
        "result.texcoord[0]", "result.texcoord[1]", "result.texcoord[2]", "result.texcoord[3]",
        "result.texcoord[4]", "result.texcoord[5]", "result.texcoord[6]", "result.texcoord[7]"};
    switch (id) {
        case GL_OUTPUT_VERTEX_EXT:
            return "result.position";
        case GL_OUTPUT_COLOR0_EXT:
            return "result.color";
        case GL_OUTPUT_COLOR1_EXT:
            return "result.color.secondary";
        case GL_OUTPUT_FOG_EXT:
            return "result.fogcoord";
        default:
            return kTextureCoords[id - GL_OUTPUT_TEXTURE_COORD0_EXT];
    }
}

char TypeLetter(GLenum dataType) {
    return dataType == GL_SCALAR_EXT ? 'S' : dataType == GL_MATRIX_EXT ? 'M' : 'V';
}

// Names and declarations for every symbol of the recording. Invariants and
// constants go into one array each, in id order, so that the blocks that
// GL_OP_INDEX_EXT walks stay contiguous.
GLenum DeclareSymbols(const VertexShaderRecording& recording, Translation* out,
                      std::vector<VertexShaderLocalSlot>* locals) {
    std::string constants;
    int constantCount = 0;
    for (const auto& entry : recording.symbols) {
        const VertexShaderSymbol& symbol = entry.second;
        std::string id = std::to_string(symbol.id);
        Operand operand;
        operand.type = TypeLetter(symbol.dataType);
        operand.component = symbol.component;
        int rowCount = operand.type == 'M' ? 4 : 1;
        if (!symbol.binding.empty()) {
            if (symbol.binding.compare(0, 7, "vertex.") != 0) {
                operand.name = "p" + id;
                out->declarations += operand.type == 'M'
                                         ? "PARAM p" + id + "[4] = { " + symbol.binding + " };\n"
                                         : "PARAM p" + id + " = " + symbol.binding + ";\n";
                for (int r = 0; r < 4; ++r)
                    operand.rows[r] = "p" + id + "[" + std::to_string(r) + "]";
            } else if (symbol.zeroW) {
                operand.name = "v" + id;
                out->declarations += "TEMP v" + id + ";\n";
                out->prologue += "SWZ v" + id + ", " + symbol.binding + ", x, y, z, 0;  # symbol " +
                                 id + " with w = 0\n";
            } else {
                operand.name = symbol.binding;
            }
        } else if (symbol.storage == GL_LOCAL_EXT) {
            operand.name = "t" + id;
            if (operand.type == 'M') {
                out->declarations += "TEMP t" + id + "r0, t" + id + "r1, t" + id + "r2, t" + id +
                                     "r3;  # symbol " + id + "\n";
                for (int r = 0; r < 4; ++r)
                    operand.rows[r] = "t" + id + "r" + std::to_string(r);
            } else {
                out->declarations += "TEMP t" + id + ";\n";
            }
        } else if (symbol.storage == GL_INVARIANT_EXT) {
            int slot = static_cast<int>(locals->size());
            operand.name = "inv[" + std::to_string(slot) + "]";
            for (int r = 0; r < rowCount; ++r) {
                locals->push_back({symbol.id, r});
                operand.rows[r] = "inv[" + std::to_string(slot + r) + "]";
            }
        } else if (symbol.storage == GL_LOCAL_CONSTANT_EXT) {
            std::array<float, 16> value{};
            auto set = recording.constants.find(symbol.id);
            if (set != recording.constants.end()) value = set->second;
            for (float v : value)
                if (!std::isfinite(v)) return GL_INVALID_OPERATION;
            operand.name = "con[" + std::to_string(constantCount) + "]";
            for (int r = 0; r < rowCount; ++r) {
                // Matrix rows out of the column-major value.
                float row[4];
                for (int c = 0; c < 4; ++c)
                    row[c] = operand.type == 'M' ? value[c * 4 + r] : value[c];
                if (operand.type == 'S') row[1] = row[2] = row[3] = row[0];
                constants += (constantCount == 0 ? "    " : ",\n    ") + Vector(row);
                operand.rows[r] = "con[" + std::to_string(constantCount) + "]";
                ++constantCount;
            }
        } else {  // a generated variant
            std::string attribute = "vertex.attrib[" + std::to_string(symbol.attribute) + "]";
            if (symbol.range == GL_NORMALIZED_RANGE_EXT) {
                operand.name = "v" + id;
                out->declarations += "TEMP v" + id + ";\n";
                out->prologue += "MAX v" + id + ", " + attribute +
                                 ", {-1, -1, -1, -1};  # symbol " + id + " clamped to [-1, 1]\n";
                out->prologue += "MIN v" + id + ", v" + id + ", {1, 1, 1, 1};\n";
            } else {
                operand.name = attribute;
            }
        }
        out->operands[symbol.id] = operand;
    }
    std::string head;
    if (!locals->empty()) {
        int count = static_cast<int>(locals->size());
        head += "PARAM inv[" + std::to_string(count) + "] = { program.local[0" +
                (count > 1 ? ".." + std::to_string(count - 1) : std::string()) + "] };\n";
    }
    if (constantCount > 0)
        head += "PARAM con[" + std::to_string(constantCount) + "] = {\n" + constants + " };\n";
    out->declarations = head + out->declarations;
    return GL_NO_ERROR;
}

Operand ResultOperand(const Translation& translation, GLuint id) {
    if (!IsVertexShaderOutput(id)) return translation.operands.at(id);
    Operand output;
    output.name = OutputName(id);
    output.type = id == GL_OUTPUT_FOG_EXT ? 'S' : 'V';
    return output;
}

// A source as a full vector read; a scalar is replicated from its component.
std::string Read(const Operand& operand) {
    return operand.type == 'S' ? operand.name + "." + operand.component : operand.name;
}

// A whole-register write; a scalar writes x only.
std::string Write(const Operand& operand) {
    return operand.type == 'S' ? operand.name + ".x" : operand.name;
}

void Emit(Translation* out, const VertexShaderInstruction& instruction, const std::string& line) {
    out->body += line + ";  # " + std::to_string(instruction.number) + "\n";
}

const char* ComponentwiseOpcode(GLenum op) {
    switch (op) {
        case GL_OP_MOV_EXT:
        case GL_OP_NEGATE_EXT:
            return "MOV";
        case GL_OP_ADD_EXT:
            return "ADD";
        case GL_OP_SUB_EXT:
            return "SUB";
        case GL_OP_MUL_EXT:
            return "MUL";
        case GL_OP_MADD_EXT:
            return "MAD";
        case GL_OP_MAX_EXT:
            return "MAX";
        case GL_OP_MIN_EXT:
            return "MIN";
        case GL_OP_SET_GE_EXT:
            return "SGE";
        case GL_OP_SET_LT_EXT:
            return "SLT";
        case GL_OP_FRAC_EXT:
            return "FRC";
        case GL_OP_FLOOR_EXT:
            return "FLR";
        case GL_OP_EXP_BASE_2_EXT:
            return "EX2";
        case GL_OP_LOG_BASE_2_EXT:
            return "LG2";
        case GL_OP_POWER_EXT:
            return "POW";
        case GL_OP_RECIP_EXT:
            return "RCP";
        case GL_OP_RECIP_SQRT_EXT:
            return "RSQ";
        case GL_OP_DOT3_EXT:
            return "DP3";
        case GL_OP_DOT4_EXT:
            return "DP4";
        default:
            return nullptr;
    }
}

// value(arg1) picks a symbol of arg2's block: an ARB address register into the
// invariant or constant array.
void TranslateIndex(const VertexShaderRecording& recording, const VertexShaderInstruction& in,
                    const Operand& result, const Operand& index, Translation* out) {
    const VertexShaderSymbol& base = recording.symbols.at(in.args[1]);
    const Operand& element = out->operands.at(in.args[1]);
    int size = base.dataType == GL_MATRIX_EXT ? 4 : 1;
    // Slot of arg2 in its array: the digits between '[' and ']' of its name.
    std::string array = element.name.substr(0, element.name.find('['));
    int slot = std::stoi(element.name.substr(array.size() + 1));
    std::string slotText = "{" + std::to_string(slot) + "}.x";
    if (size == 1) {
        Emit(out, in, "ADD scratch.x, " + Read(index) + ", " + slotText);
    } else {
        Emit(out, in, "FLR scratch.x, " + Read(index));
        Emit(out, in, "MAD scratch.x, scratch.x, {4}.x, " + slotText);
    }
    Emit(out, in, "ARL A0.x, scratch.x");
    out->usesScratch = std::max(out->usesScratch, 1);
    out->usesAddress = 1;
    if (result.type == 'M') {
        for (int r = 0; r < 4; ++r)
            Emit(out, in,
                 "MOV " + result.rows[r] + ", " + array + "[A0.x + " + std::to_string(r) + "]");
    } else {
        std::string source = array + "[A0.x]";
        if (base.dataType == GL_SCALAR_EXT) source += ".x";
        Emit(out, in, "MOV " + Write(result) + ", " + source);
    }
}

void TranslateOp(const VertexShaderRecording& recording, const VertexShaderInstruction& in,
                 Translation* out) {
    Operand result = ResultOperand(*out, in.result);
    Operand args[3];
    for (int i = 0; i < in.argCount; ++i)
        args[i] = out->operands.at(in.args[i]);
    std::string dst = Write(result);
    switch (in.op) {
        case GL_OP_INDEX_EXT:
            TranslateIndex(recording, in, result, args[0], out);
            return;
        case GL_OP_NEGATE_EXT:
            Emit(out, in, "MOV " + dst + ", -" + Read(args[0]));
            return;
        case GL_OP_ROUND_EXT:
            out->usesScratch = std::max(out->usesScratch, 1);
            Emit(out, in, "ADD scratch, " + Read(args[0]) + ", 0.5");
            Emit(out, in, "FLR " + dst + ", scratch");
            return;
        case GL_OP_CLAMP_EXT:
            // a1 <= a2 ? a2 : min(a1, a3), the extension's order of tests even
            // when a2 > a3. Each select multiplies by an exact 0 or 1, so the
            // value picked comes through unrounded.
            out->usesScratch = 2;
            Emit(out, in, "MIN scratch, " + Read(args[0]) + ", " + Read(args[2]));
            Emit(out, in, "SLT scratch2, " + Read(args[1]) + ", " + Read(args[0]));
            Emit(out, in, "MUL scratch, scratch, scratch2");
            Emit(out, in, "SGE scratch2, " + Read(args[1]) + ", " + Read(args[0]));
            Emit(out, in, "MAD " + dst + ", scratch2, " + Read(args[1]) + ", scratch");
            return;
        case GL_OP_CROSS_PRODUCT_EXT:
            Emit(out, in, "XPD " + result.name + ".xyz, " + Read(args[0]) + ", " + Read(args[1]));
            Emit(out, in, "SWZ " + result.name + ".w, " + Read(args[0]) + ", 0, 0, 0, 1");
            return;
        case GL_OP_MULTIPLY_MATRIX_EXT: {
            // Rows are dotted with the vector one by one, so a result that is
            // also the vector goes through scratch.
            int aliased = in.result == in.args[1];
            std::string target = aliased ? "scratch" : result.name;
            for (int r = 0; r < 4; ++r)
                Emit(out, in,
                     "DP4 " + target + "." + "xyzw"[r] + ", " + args[0].rows[r] + ", " +
                         Read(args[1]));
            if (aliased) {
                out->usesScratch = std::max(out->usesScratch, 1);
                Emit(out, in, "MOV " + result.name + ", scratch");
            }
            return;
        }
        default: {
            std::string line = std::string(ComponentwiseOpcode(in.op)) + " " + dst;
            for (int i = 0; i < in.argCount; ++i)
                line += ", " + Read(args[i]);
            Emit(out, in, line);
            return;
        }
    }
}

void TranslateInstruction(const VertexShaderRecording& recording, const VertexShaderInstruction& in,
                          Translation* out) {
    Operand result = ResultOperand(*out, in.result);
    const Operand source = out->operands.at(in.args[0]);
    const char* xyzw = "xyzw";
    switch (in.kind) {
        case kShaderOp:
            TranslateOp(recording, in, out);
            return;
        case kShaderSwizzle: {
            std::string line = "SWZ " + result.name + ", " + source.name;
            for (GLenum selector : in.selectors) {
                switch (selector) {
                    case GL_ZERO_EXT:
                        line += ", 0";
                        break;
                    case GL_ONE_EXT:
                        line += ", 1";
                        break;
                    case GL_NEGATIVE_ONE_EXT:
                        line += ", -1";
                        break;
                    default:
                        line += selector >= GL_NEGATIVE_X_EXT ? ", -" : ", ";
                        line += xyzw[(selector - GL_X_EXT) % 4];
                }
            }
            Emit(out, in, line);
            return;
        }
        case kShaderWriteMask: {
            std::string mask;
            for (int i = 0; i < 4; ++i)
                if (in.selectors[i] == GL_TRUE) mask += xyzw[i];
            if (mask.empty()) {
                out->body += "# " + std::to_string(in.number) + ": empty write mask\n";
                return;
            }
            Emit(out, in, "MOV " + result.name + "." + mask + ", " + source.name);
            return;
        }
        case kShaderInsert:
            if (result.type == 'M')
                Emit(out, in, "MOV " + result.rows[in.component] + ", " + source.name);
            else
                Emit(out, in,
                     "MOV " + result.name + "." + xyzw[in.component] + ", " + Read(source));
            return;
        case kShaderExtract:
            if (source.type == 'M')
                Emit(out, in, "MOV " + Write(result) + ", " + source.rows[in.component]);
            else
                Emit(out, in,
                     "MOV " + Write(result) + ", " + source.name + "." + xyzw[in.component]);
            return;
    }
}

}  // namespace

GLenum TranslateVertexShader(const VertexShaderRecording& recording, VertexShaderProgram* program) {
    Translation translation;
    program->locals.clear();
    GLenum error = DeclareSymbols(recording, &translation, &program->locals);
    if (error != GL_NO_ERROR) return error;
    for (const VertexShaderInstruction& instruction : recording.instructions)
        TranslateInstruction(recording, instruction, &translation);
    std::string text = "!!ARBvp1.0\n# GL_EXT_vertex_shader program, " +
                       std::to_string(recording.instructions.size()) + " instructions\n";
    text += translation.declarations;
    if (translation.usesScratch > 0)
        text += translation.usesScratch > 1 ? "TEMP scratch, scratch2;\n" : "TEMP scratch;\n";
    if (translation.usesAddress) text += "ADDRESS A0;\n";
    text += translation.prologue + translation.body + "END\n";
    program->text = text;
    return GL_NO_ERROR;
}
