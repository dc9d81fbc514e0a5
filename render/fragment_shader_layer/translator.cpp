#include "render/fragment_shader_layer/translator.h"

#include <cstdio>
#include <set>

// How the ATI pipeline maps onto an ARB program:
// - Registers REG_i are temporaries ri, which hold [-8, 8] as the
//   extension's registers do: every value written to one that is not
//   saturated is clamped to that range, texture coordinates passed in and
//   results of instructions alike (Mesa's own implementation leaves the
//   float range). Sampled colours need no clamp, nor saturated results.
// - Constants CON_i are program.local[i]; the layer clamps them to [0, 1] when
//   it loads them, the only range the extension defines for them.
// - Argument modifiers (complement, bias, 2x, negate, in that order) fold
//   into one affine map m*s + c, emitted as one MAD (or MUL) into a scratch
//   register.
// - A destination scale is applied after the operation and before
//   saturation: the extension saturates "after any modulation".
// - The colour and the alpha instruction of a pair run in parallel, and so do
//   the routing instructions of a pass; where a later one would read what an
//   earlier one wrote, the value is kept in a scratch register first.
// - The final colour is r0.

namespace {

struct Operand {
    std::string base;
    std::string swizzle = "xyzw";
    bool negate = false;
};

std::string OperandText(const Operand& operand) {
    std::string text = operand.negate ? "-" + operand.base : operand.base;
    if (operand.swizzle == "xyzw") return text;
    const std::string& s = operand.swizzle;
    if (s[0] == s[1] && s[1] == s[2] && s[2] == s[3]) return text + "." + s[0];
    return text + "." + s;
}

std::string ComponentText(const Operand& operand, int component) {
    // GL_ZERO and GL_ONE are literal scalars, the same in every component.
    if (operand.base == "0" || operand.base == "1") return operand.base;
    return (operand.negate ? "-" : "") + operand.base + "." + operand.swizzle[component];
}

// A scalar constant as an ARB operand; negative values through the operand's
// negation, which is the only way the grammar allows.
std::string Scalar(float value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", double(value < 0 ? -value : value));
    return value < 0 ? std::string("-") + buffer : std::string(buffer);
}

// The range of the extension's registers.
constexpr int kRegisterLimit = 8;

struct ProgramWriter {
    std::string body;
    std::set<std::string> temporaries;
};

const std::string& Temporary(ProgramWriter* writer, const std::string& name) {
    return *writer->temporaries.insert(name).first;
}

void Emit(ProgramWriter* writer, const std::string& instruction, int number,
          const std::string& note) {
    std::string line = instruction + ";";
    if (line.size() < 48) line.resize(48, ' ');
    line += " # " + std::to_string(number) + (note.empty() ? "" : " " + note);
    writer->body += line + "\n";
}

// Clamps the components of dest (base with a write mask) to the registers'
// range.
void EmitRegisterClamp(ProgramWriter* writer, const std::string& dest, const std::string& base,
                       int number) {
    const std::string limit = std::to_string(kRegisterLimit);
    Emit(writer, "MIN " + dest + ", " + base + ", " + limit, number, "register range");
    Emit(writer, "MAX " + dest + ", " + base + ", -" + limit, number, "register range");
}

std::string RegisterName(ProgramWriter* writer, int index) {
    return Temporary(writer, "r" + std::to_string(index));
}

const char* TargetName(GLenum target) {
    switch (target) {
        case GL_TEXTURE_1D:
            return "1D";
        case GL_TEXTURE_2D:
            return "2D";
        case GL_TEXTURE_3D:
            return "3D";
        case GL_TEXTURE_CUBE_MAP_ARB:
            return "CUBE";
        case GL_TEXTURE_RECTANGLE_ARB:
            return "RECT";
        default:
            return nullptr;
    }
}

const char* SwizzleName(GLenum swizzle) {
    switch (swizzle) {
        case GL_SWIZZLE_STR_ATI:
            return "str";
        case GL_SWIZZLE_STQ_ATI:
            return "stq";
        case GL_SWIZZLE_STR_DR_ATI:
            return "str_dr";
        default:
            return "stq_dq";
    }
}

// The routing instructions of one pass. sourceNames holds, for each register,
// the name under which routing reads it: a copy where an earlier routing
// instruction of the pass overwrites it.
void EmitSetups(ProgramWriter* writer, const std::vector<FragmentSetup>& setups,
                const FragmentTargetKey& key) {
    std::string sourceNames[kFragmentRegisterCount];
    for (int i = 0; i < kFragmentRegisterCount; ++i)
        sourceNames[i] = "r" + std::to_string(i);
    for (size_t i = 0; i < setups.size(); ++i) {
        if (setups[i].source < GL_REG_0_ATI || setups[i].source > GL_REG_5_ATI) continue;
        const int read = int(setups[i].source - GL_REG_0_ATI);
        for (size_t j = 0; j < i; ++j) {
            if (setups[j].dst != read || sourceNames[read][0] == 'l') continue;
            sourceNames[read] = Temporary(writer, "l" + std::to_string(read));
            Emit(writer, "MOV " + sourceNames[read] + ", " + RegisterName(writer, read),
                 setups[i].number, "keeps r" + std::to_string(read) + " for routing");
        }
    }
    for (const FragmentSetup& setup : setups) {
        const bool fromRegister = setup.source >= GL_REG_0_ATI && setup.source <= GL_REG_5_ATI;
        Operand source;
        if (fromRegister) {
            source.base = sourceNames[setup.source - GL_REG_0_ATI];
            Temporary(writer, "r" + std::to_string(setup.source - GL_REG_0_ATI));
        } else {
            source.base =
                "fragment.texcoord[" + std::to_string(setup.source - GL_TEXTURE0_ARB) + "]";
        }
        const std::string dst = RegisterName(writer, setup.dst);
        const std::string what = std::string(setup.sample ? "sample " : "pass ") +
                                 SwizzleName(setup.swizzle) + " from " +
                                 (fromRegister ? source.base : source.base.substr(9));
        const bool divided =
            setup.swizzle == GL_SWIZZLE_STR_DR_ATI || setup.swizzle == GL_SWIZZLE_STQ_DQ_ATI;
        if (divided) {
            // (s/r, t/r, 1/r) or (s/q, t/q, 1/q).
            const std::string t = Temporary(writer, "t");
            const char divisor = setup.swizzle == GL_SWIZZLE_STR_DR_ATI ? 'z' : 'w';
            Emit(writer, "RCP " + t + ".z, " + source.base + "." + divisor, setup.number, what);
            Emit(writer, "MUL " + t + ".xy, " + source.base + ", " + t + ".z", setup.number, "");
            source = Operand{t};
        } else if (setup.swizzle == GL_SWIZZLE_STQ_ATI) {
            source.swizzle = "xywz";
        }
        if (setup.sample && key.targets[setup.dst] == GL_NONE) {
            // Like a fixed-function unit, a unit with no target enabled
            // contributes no texture: it reads (0, 0, 0, 1).
            Emit(writer, "MOV " + dst + ", {0, 0, 0, 1}", setup.number,
                 what + ", unit " + std::to_string(setup.dst) + " has no texture enabled");
        } else if (setup.sample) {
            Emit(writer,
                 "TEX " + dst + ", " + OperandText(source) + ", texture[" +
                     std::to_string(setup.dst) + "], " + TargetName(key.targets[setup.dst]),
                 setup.number, what);
        } else if (source.base == dst && source.swizzle == "xyzw") {
            writer->body += "# " + std::to_string(setup.number) + " " + dst + " keeps its value\n";
        } else {
            const std::string mask = divided ? ".xyz" : "";
            Emit(writer, "MOV " + dst + mask + ", " + OperandText(source), setup.number, what);
            // A register passed on is in range already.
            if (!fromRegister || divided) EmitRegisterClamp(writer, dst + mask, dst, setup.number);
        }
    }
}

bool IsDot(GLenum op) {
    return op == GL_DOT2_ADD_ATI || op == GL_DOT3_ATI || op == GL_DOT4_ATI;
}

const char* OperationName(GLenum op) {
    static const char* const kNames[] = {"MOV",  "?",   "ADD",  "MUL", "SUB",  "DOT3",
                                         "DOT4", "MAD", "LERP", "CND", "CND0", "DOT2_ADD"};
    return op >= GL_MOV_ATI && op <= GL_DOT2_ADD_ATI ? kNames[op - GL_MOV_ATI] : "NOP";
}

// The argument as an operand, its modifiers applied in a scratch register
// aN when they are more than a negation.
Operand PrepareArgument(ProgramWriter* writer, const FragmentArgument& argument, bool alpha,
                        int index, int number) {
    Operand operand;
    const GLenum source = argument.source;
    if (source >= GL_REG_0_ATI && source <= GL_REG_5_ATI) {
        operand.base = RegisterName(writer, int(source - GL_REG_0_ATI));
    } else if (source >= GL_CON_0_ATI && source <= GL_CON_7_ATI) {
        operand.base = "c" + std::to_string(source - GL_CON_0_ATI);
    } else if (source == GL_ZERO) {
        operand.base = "0";
    } else if (source == GL_ONE) {
        operand.base = "1";
    } else if (source == GL_PRIMARY_COLOR_ARB) {
        operand.base = "fragment.color.primary";
    } else {
        operand.base = "fragment.color.secondary";
    }
    const bool uniform = source == GL_ZERO || source == GL_ONE;
    switch (argument.replicate) {
        case GL_RED:
            operand.swizzle = "xxxx";
            break;
        case GL_GREEN:
            operand.swizzle = "yyyy";
            break;
        case GL_BLUE:
            operand.swizzle = "zzzz";
            break;
        case GL_ALPHA:
            operand.swizzle = "wwww";
            break;
        default:
            operand.swizzle = alpha ? "wwww" : "xyzw";
            break;
    }
    if (uniform) operand.swizzle = "xyzw";

    float m = 1.0f;
    float c = 0.0f;
    const GLuint modifiers = argument.modifiers;
    if (modifiers & GL_COMP_BIT_ATI) {
        m = -m;
        c = 1.0f - c;
    }
    if (modifiers & GL_BIAS_BIT_ATI) c -= 0.5f;
    if (modifiers & GL_2X_BIT_ATI) {
        m *= 2.0f;
        c *= 2.0f;
    }
    if (modifiers & GL_NEGATE_BIT_ATI) {
        m = -m;
        c = -c;
    }
    if (c == 0.0f && (m == 1.0f || m == -1.0f)) {
        operand.negate = m < 0.0f;
        return operand;
    }
    const std::string scratch = Temporary(writer, "a" + std::to_string(index));
    const std::string scaled = scratch + ", " + OperandText(operand) + ", " + Scalar(m);
    Emit(writer, c == 0.0f ? "MUL " + scaled : "MAD " + scaled + ", " + Scalar(c), number,
         "argument " + std::to_string(index + 1));
    return Operand{scratch};
}

float DestinationScale(GLuint dstMod) {
    switch (dstMod & ~GLuint(GL_SATURATE_BIT_ATI)) {
        case GL_2X_BIT_ATI:
            return 2.0f;
        case GL_4X_BIT_ATI:
            return 4.0f;
        case GL_8X_BIT_ATI:
            return 8.0f;
        case GL_HALF_BIT_ATI:
            return 0.5f;
        case GL_QUARTER_BIT_ATI:
            return 0.25f;
        case GL_EIGHTH_BIT_ATI:
            return 0.125f;
        default:
            return 1.0f;
    }
}

// dest = op(operands), then scaled and saturated as dstMod says. dest is a
// register name with its write mask; base is the register name alone.
void EmitOperation(ProgramWriter* writer, const FragmentOperation& operation,
                   const Operand* operands, const std::string& base, const std::string& mask,
                   GLuint dstMod, const std::string& note) {
    const float scale = DestinationScale(dstMod);
    const bool saturate = (dstMod & GL_SATURATE_BIT_ATI) != 0;
    const std::string sat = saturate && scale == 1.0f ? "_SAT" : "";
    const std::string dest = base + mask;
    const int n = operation.number;
    std::string a[3];
    for (int i = 0; i < operation.argumentCount; ++i)
        a[i] = OperandText(operands[i]);
    switch (operation.op) {
        case GL_MOV_ATI:
            Emit(writer, "MOV" + sat + " " + dest + ", " + a[0], n, note);
            break;
        case GL_ADD_ATI:
        case GL_SUB_ATI:
        case GL_MUL_ATI:
        case GL_DOT3_ATI:
        case GL_DOT4_ATI: {
            const char* name = operation.op == GL_ADD_ATI    ? "ADD"
                               : operation.op == GL_SUB_ATI  ? "SUB"
                               : operation.op == GL_MUL_ATI  ? "MUL"
                               : operation.op == GL_DOT3_ATI ? "DP3"
                                                             : "DP4";
            Emit(writer, name + sat + " " + dest + ", " + a[0] + ", " + a[1], n, note);
            break;
        }
        case GL_MAD_ATI:
            Emit(writer, "MAD" + sat + " " + dest + ", " + a[0] + ", " + a[1] + ", " + a[2], n,
                 note);
            break;
        case GL_LERP_ATI:
            Emit(writer, "LRP" + sat + " " + dest + ", " + a[0] + ", " + a[1] + ", " + a[2], n,
                 note);
            break;
        case GL_CND_ATI: {
            // a3 > 0.5 ? a1 : a2, as (0.5 - a3) < 0 ? a1 : a2.
            const std::string t = Temporary(writer, "t");
            Emit(writer, "SUB " + t + ", 0.5, " + a[2], n, note);
            Emit(writer, "CMP" + sat + " " + dest + ", " + t + ", " + a[0] + ", " + a[1], n, "");
            break;
        }
        case GL_CND0_ATI:
            // a3 >= 0 ? a1 : a2, as a3 < 0 ? a2 : a1.
            Emit(writer, "CMP" + sat + " " + dest + ", " + a[2] + ", " + a[1] + ", " + a[0], n,
                 note);
            break;
        case GL_DOT2_ADD_ATI: {
            // a1.r * a2.r + a1.g * a2.g + a3.b
            const std::string t = Temporary(writer, "t");
            Emit(writer,
                 "MUL " + t + ".x, " + ComponentText(operands[0], 0) + ", " +
                     ComponentText(operands[1], 0),
                 n, note);
            Emit(writer,
                 "MAD " + t + ".x, " + ComponentText(operands[0], 1) + ", " +
                     ComponentText(operands[1], 1) + ", " + t + ".x",
                 n, "");
            Emit(writer,
                 "ADD" + sat + " " + dest + ", " + t + ".x, " + ComponentText(operands[2], 2), n,
                 "");
            break;
        }
        default:
            break;
    }
    if (scale != 1.0f) {
        Emit(
            writer,
            std::string(saturate ? "MUL_SAT " : "MUL ") + dest + ", " + base + ", " + Scalar(scale),
            n, "destination modifier");
    }
    if (!saturate) EmitRegisterClamp(writer, dest, base, n);
}

std::string ColourMask(GLuint mask) {
    if (mask == GL_NONE) return ".xyz";
    std::string text = ".";
    if (mask & GL_RED_BIT_ATI) text += 'x';
    if (mask & GL_GREEN_BIT_ATI) text += 'y';
    if (mask & GL_BLUE_BIT_ATI) text += 'z';
    return text;
}

bool ColourWrites(GLuint mask, int component) {
    return mask == GL_NONE || (mask & (1u << component)) != 0;
}

std::string Describe(const FragmentOperation& operation, bool alpha) {
    return std::string(alpha ? "alpha " : "colour ") + OperationName(operation.op) + " r" +
           std::to_string(operation.dst);
}

void EmitPair(ProgramWriter* writer, const FragmentPair& pair) {
    const FragmentOperation& colour = pair.colour;
    const FragmentOperation& alpha = pair.alpha;
    Operand operands[3];
    if (alpha.op != 0 && IsDot(alpha.op)) {
        // The alpha half of a DOT takes the colour's dot product; each half
        // applies its own destination modifier.
        for (int i = 0; i < colour.argumentCount; ++i) {
            operands[i] = PrepareArgument(writer, colour.arguments[i], false, i, colour.number);
        }
        const std::string t = Temporary(writer, "t");
        EmitOperation(writer, colour, operands, t, "", GL_NONE, Describe(colour, false));
        const std::string colourDst = RegisterName(writer, colour.dst) + ColourMask(colour.mask);
        const std::string alphaDst = RegisterName(writer, alpha.dst) + ".w";
        const struct {
            const std::string& dst;
            std::string base;
            GLuint dstMod;
            int number;
            std::string note;
        } halves[] = {
            {colourDst, RegisterName(writer, colour.dst), colour.dstModifiers, colour.number, ""},
            {alphaDst, RegisterName(writer, alpha.dst), alpha.dstModifiers, alpha.number,
             Describe(alpha, true)}};
        for (const auto& half : halves) {
            const float scale = DestinationScale(half.dstMod);
            const bool saturate = (half.dstMod & GL_SATURATE_BIT_ATI) != 0;
            const std::string sat = saturate ? "_SAT" : "";
            if (scale == 1.0f) {
                Emit(writer, "MOV" + sat + " " + half.dst + ", " + t, half.number, half.note);
            } else {
                Emit(writer, "MUL" + sat + " " + half.dst + ", " + t + ", " + Scalar(scale),
                     half.number, half.note);
            }
            if (!saturate) EmitRegisterClamp(writer, half.dst, half.base, half.number);
        }
        return;
    }
    // Does the alpha half read a channel the colour half writes?
    bool conflict = false;
    for (int i = 0; colour.op != 0 && i < alpha.argumentCount; ++i) {
        const FragmentArgument& argument = alpha.arguments[i];
        const int component = argument.replicate == GL_RED     ? 0
                              : argument.replicate == GL_GREEN ? 1
                              : argument.replicate == GL_BLUE  ? 2
                                                               : 3;
        if (argument.source == GLenum(GL_REG_0_ATI + colour.dst) && component < 3 &&
            ColourWrites(colour.mask, component)) {
            conflict = true;
        }
    }
    if (colour.op != 0) {
        for (int i = 0; i < colour.argumentCount; ++i) {
            operands[i] = PrepareArgument(writer, colour.arguments[i], false, i, colour.number);
        }
        const std::string base =
            conflict ? Temporary(writer, "c") : RegisterName(writer, colour.dst);
        EmitOperation(writer, colour, operands, base, ColourMask(colour.mask), colour.dstModifiers,
                      Describe(colour, false));
    }
    if (alpha.op != 0) {
        for (int i = 0; i < alpha.argumentCount; ++i) {
            operands[i] = PrepareArgument(writer, alpha.arguments[i], true, i, alpha.number);
        }
        EmitOperation(writer, alpha, operands, RegisterName(writer, alpha.dst), ".w",
                      alpha.dstModifiers, Describe(alpha, true));
    }
    if (conflict) {
        const std::string mask = ColourMask(colour.mask);
        Emit(writer, "MOV " + RegisterName(writer, colour.dst) + mask + ", c", colour.number,
             "after the alpha half has read r" + std::to_string(colour.dst));
    }
}

}  // namespace

bool TranslateFragmentShader(const FragmentShaderRecording& recording, const FragmentTargetKey& key,
                             std::string* text) {
    text->clear();
    const unsigned sampled = FragmentSampledUnits(recording);
    std::string targets;
    for (int unit = 0; unit < kFragmentRegisterCount; ++unit) {
        if (!(sampled & (1u << unit))) continue;
        const char* name = key.targets[unit] == GL_NONE ? "none" : TargetName(key.targets[unit]);
        if (name == nullptr) return false;
        targets += " " + std::to_string(unit) + ":" + name;
    }

    ProgramWriter writer;
    RegisterName(&writer, 0);
    const int passCount = FragmentPassCount(recording);
    for (int p = 0; p < passCount; ++p) {
        writer.body += "# pass " + std::to_string(p + 1) + "\n";
        EmitSetups(&writer, recording.passes[p].setups, key);
        for (const FragmentPair& pair : recording.passes[p].pairs)
            EmitPair(&writer, pair);
    }

    std::string program = "!!ARBfp1.0\n";
    program += "# GL_ATI_fragment_shader, " + std::to_string(passCount) +
               (passCount == 1 ? " pass" : " passes") +
               (targets.empty() ? std::string() : "; sampled units" + targets) + "\n";
    const unsigned constants = FragmentConstantsRead(recording);
    for (int i = 0; i < kFragmentConstantCount; ++i) {
        if (constants & (1u << i)) {
            program +=
                "PARAM c" + std::to_string(i) + " = program.local[" + std::to_string(i) + "];\n";
        }
    }
    std::string declared;
    for (const std::string& name : writer.temporaries) {
        declared += (declared.empty() ? "TEMP " : ", ") + name;
    }
    program += declared + ";\n";
    program += writer.body;
    program += "MOV result.color, r0;\nEND\n";
    *text = program;
    return true;
}
