#include "render/fragment_shader_layer/recording.h"

// The checks follow the error list of the extension; where it is silent (a
// destination mask with unknown bits, a null constant) the call is refused as
// GL refuses unknown values.

namespace {

bool IsRegister(GLenum value) {
    return value >= GL_REG_0_ATI && value <= GL_REG_5_ATI;
}

bool IsConstant(GLenum value) {
    return value >= GL_CON_0_ATI && value <= GL_CON_7_ATI;
}

bool IsTexCoordSource(GLenum value) {
    return value >= GL_TEXTURE0_ARB && value < GL_TEXTURE0_ARB + kFragmentTexCoordSourceCount;
}

bool IsDotOperation(GLenum op) {
    return op == GL_DOT2_ADD_ATI || op == GL_DOT3_ATI || op == GL_DOT4_ATI;
}

bool IsOperationOfArity(GLenum op, int argumentCount) {
    switch (argumentCount) {
        case 1:
            return op == GL_MOV_ATI;
        case 2:
            return op == GL_ADD_ATI || op == GL_MUL_ATI || op == GL_SUB_ATI || op == GL_DOT3_ATI ||
                   op == GL_DOT4_ATI;
        case 3:
            return op == GL_MAD_ATI || op == GL_LERP_ATI || op == GL_CND_ATI || op == GL_CND0_ATI ||
                   op == GL_DOT2_ADD_ATI;
        default:
            return false;
    }
}

bool IsValidDstModifier(GLuint dstMod) {
    switch (dstMod & ~GLuint(GL_SATURATE_BIT_ATI)) {
        case GL_NONE:
        case GL_2X_BIT_ATI:
        case GL_4X_BIT_ATI:
        case GL_8X_BIT_ATI:
        case GL_HALF_BIT_ATI:
        case GL_QUARTER_BIT_ATI:
        case GL_EIGHTH_BIT_ATI:
            return true;
        default:
            return false;  // two scales at once, or bits the extension does not know
    }
}

bool IsValidArgumentSource(GLenum source) {
    return IsRegister(source) || IsConstant(source) || source == GL_ZERO || source == GL_ONE ||
           source == GL_PRIMARY_COLOR_ARB || source == GL_SECONDARY_INTERPOLATOR_ATI;
}

bool IsValidReplicate(GLenum replicate) {
    return replicate == GL_NONE || replicate == GL_RED || replicate == GL_GREEN ||
           replicate == GL_BLUE || replicate == GL_ALPHA;
}

constexpr GLuint kArgumentModifierBits =
    GL_2X_BIT_ATI | GL_COMP_BIT_ATI | GL_NEGATE_BIT_ATI | GL_BIAS_BIT_ATI;

GLenum Refuse(FragmentShaderRecording* recording, GLenum error) {
    recording->failed = true;
    return error;
}

GLenum RecordSetup(FragmentShaderRecording* recording, bool sample, GLuint dst, GLuint source,
                   GLenum swizzle) {
    if (!IsRegister(dst) || int(dst - GL_REG_0_ATI) >= recording->textureUnits) {
        return Refuse(recording, GL_INVALID_ENUM);
    }
    const bool fromRegister = IsRegister(source);
    if (!fromRegister &&
        !(IsTexCoordSource(source) && int(source - GL_TEXTURE0_ARB) < recording->textureUnits)) {
        return Refuse(recording, GL_INVALID_ENUM);
    }
    if (swizzle < GL_SWIZZLE_STR_ATI || swizzle > GL_SWIZZLE_STQ_DQ_ATI) {
        return Refuse(recording, GL_INVALID_ENUM);
    }
    // Routing after the instructions of pass 1 opens pass 2; after those of
    // pass 2 there is no third pass.
    if (recording->stage == 3) return Refuse(recording, GL_INVALID_OPERATION);
    const int stage = recording->stage == 1 ? 2 : recording->stage;
    FragmentPass& pass = recording->passes[stage / 2];
    const int index = int(dst - GL_REG_0_ATI);
    for (const FragmentSetup& setup : pass.setups) {
        if (setup.dst == index) return Refuse(recording, GL_INVALID_OPERATION);
    }
    // Registers can be routed only into pass 2, and only as STR or STR_DR.
    const bool stq = swizzle == GL_SWIZZLE_STQ_ATI || swizzle == GL_SWIZZLE_STQ_DQ_ATI;
    if (fromRegister && (stage == 0 || stq)) return Refuse(recording, GL_INVALID_OPERATION);
    // A coordinate set draws on STR or on STQ throughout the shader; only the
    // projection may change.
    if (!fromRegister) {
        int& family = recording->texCoordFamily[source - GL_TEXTURE0_ARB];
        const int wanted = stq ? 2 : 1;
        if (family != 0 && family != wanted) return Refuse(recording, GL_INVALID_OPERATION);
        family = wanted;
    }
    recording->stage = stage;
    recording->lastWasColour = false;
    pass.setups.push_back({sample, index, source, swizzle, ++recording->callCount});
    return GL_NO_ERROR;
}

// The checks common to colour and alpha instructions.
GLenum CheckOperation(GLenum op, GLuint dst, GLuint dstMod, int argumentCount,
                      const FragmentArgument* arguments, bool alpha) {
    if (!IsOperationOfArity(op, argumentCount)) return GL_INVALID_ENUM;
    if (!IsRegister(dst)) return GL_INVALID_ENUM;
    if (!IsValidDstModifier(dstMod)) return GL_INVALID_ENUM;
    for (int i = 0; i < argumentCount; ++i) {
        const FragmentArgument& argument = arguments[i];
        if (!IsValidArgumentSource(argument.source)) return GL_INVALID_ENUM;
        if (!IsValidReplicate(argument.replicate)) return GL_INVALID_ENUM;
        if ((argument.modifiers & ~kArgumentModifierBits) != 0) return GL_INVALID_ENUM;
    }
    // The secondary colour has no alpha; an alpha instruction (or a colour
    // DOT4, which reads alpha) must pick one of its colour channels.
    for (int i = 0; i < argumentCount; ++i) {
        if (arguments[i].source != GL_SECONDARY_INTERPOLATOR_ATI) continue;
        const GLenum replicate = arguments[i].replicate;
        const bool readsAlpha =
            replicate == GL_ALPHA || (replicate == GL_NONE && (alpha || op == GL_DOT4_ATI));
        if (readsAlpha) return GL_INVALID_OPERATION;
    }
    if (argumentCount == 3 && IsConstant(arguments[0].source) && IsConstant(arguments[1].source) &&
        IsConstant(arguments[2].source) && arguments[0].source != arguments[1].source &&
        arguments[0].source != arguments[2].source && arguments[1].source != arguments[2].source) {
        return GL_INVALID_OPERATION;  // at most two different constants per instruction
    }
    return GL_NO_ERROR;
}

FragmentOperation MakeOperation(GLenum op, GLuint dst, GLuint dstMask, GLuint dstMod,
                                int argumentCount, const FragmentArgument* arguments, int number) {
    FragmentOperation operation = {};
    operation.op = op;
    operation.dst = int(dst - GL_REG_0_ATI);
    operation.mask = dstMask;
    operation.dstModifiers = dstMod;
    operation.argumentCount = argumentCount;
    for (int i = 0; i < argumentCount; ++i)
        operation.arguments[i] = arguments[i];
    operation.number = number;
    return operation;
}

// The pass that an instruction recorded now belongs to, without changing the
// recording.
int OperationStage(const FragmentShaderRecording& recording) {
    return recording.stage == 0 || recording.stage == 2 ? recording.stage + 1 : recording.stage;
}

}  // namespace

void StartFragmentRecording(FragmentShaderRecording* recording, int textureUnits) {
    *recording = FragmentShaderRecording();
    recording->textureUnits = textureUnits;
}

GLenum RecordPassTexCoord(FragmentShaderRecording* recording, GLuint dst, GLuint coord,
                          GLenum swizzle) {
    return RecordSetup(recording, false, dst, coord, swizzle);
}

GLenum RecordSampleMap(FragmentShaderRecording* recording, GLuint dst, GLuint interp,
                       GLenum swizzle) {
    return RecordSetup(recording, true, dst, interp, swizzle);
}

GLenum RecordColorOperation(FragmentShaderRecording* recording, GLenum op, GLuint dst,
                            GLuint dstMask, GLuint dstMod, int argumentCount,
                            const FragmentArgument* arguments) {
    GLenum error = CheckOperation(op, dst, dstMod, argumentCount, arguments, false);
    if (error == GL_NO_ERROR &&
        (dstMask & ~GLuint(GL_RED_BIT_ATI | GL_GREEN_BIT_ATI | GL_BLUE_BIT_ATI)) != 0) {
        error = GL_INVALID_ENUM;
    }
    if (error != GL_NO_ERROR) return Refuse(recording, error);
    const int stage = OperationStage(*recording);
    FragmentPass& pass = recording->passes[stage / 2];
    if (int(pass.pairs.size()) == kFragmentPairsPerPass) {
        return Refuse(recording, GL_INVALID_OPERATION);
    }
    recording->stage = stage;
    FragmentPair pair = {};
    pair.colour =
        MakeOperation(op, dst, dstMask, dstMod, argumentCount, arguments, ++recording->callCount);
    pass.pairs.push_back(pair);
    recording->lastWasColour = true;
    return GL_NO_ERROR;
}

GLenum RecordAlphaOperation(FragmentShaderRecording* recording, GLenum op, GLuint dst,
                            GLuint dstMod, int argumentCount, const FragmentArgument* arguments) {
    const GLenum error = CheckOperation(op, dst, dstMod, argumentCount, arguments, true);
    if (error != GL_NO_ERROR) return Refuse(recording, error);
    const int stage = OperationStage(*recording);
    FragmentPass& pass = recording->passes[stage / 2];
    // An alpha instruction right after a colour instruction completes its pair.
    const bool joins =
        recording->lastWasColour && !pass.pairs.empty() && pass.pairs.back().alpha.op == 0;
    const GLenum colourOp = joins ? pass.pairs.back().colour.op : 0;
    if (IsDotOperation(op) && colourOp != op) return Refuse(recording, GL_INVALID_OPERATION);
    if (colourOp == GL_DOT4_ATI && op != GL_DOT4_ATI) {
        return Refuse(recording, GL_INVALID_OPERATION);
    }
    if (!joins && int(pass.pairs.size()) == kFragmentPairsPerPass) {
        return Refuse(recording, GL_INVALID_OPERATION);
    }
    recording->stage = stage;
    if (!joins) pass.pairs.push_back(FragmentPair{});
    pass.pairs.back().alpha =
        MakeOperation(op, dst, GL_NONE, dstMod, argumentCount, arguments, ++recording->callCount);
    recording->lastWasColour = false;
    return GL_NO_ERROR;
}

GLenum RecordConstant(FragmentShaderRecording* recording, GLuint dst, const float* value) {
    if (!IsConstant(dst)) return Refuse(recording, GL_INVALID_ENUM);
    if (value == nullptr) return Refuse(recording, GL_INVALID_VALUE);
    const int index = int(dst - GL_CON_0_ATI);
    for (int i = 0; i < 4; ++i)
        recording->constants[index][i] = value[i];
    recording->constantsSet |= 1u << index;
    return GL_NO_ERROR;
}

GLenum FinishFragmentRecording(FragmentShaderRecording* recording) {
    // The colour interpolators exist only in the last pass.
    if (FragmentPassCount(*recording) == 2) {
        for (const FragmentPair& pair : recording->passes[0].pairs) {
            for (const FragmentOperation* operation : {&pair.colour, &pair.alpha}) {
                for (int i = 0; i < operation->argumentCount; ++i) {
                    const GLenum source = operation->arguments[i].source;
                    if (source == GL_PRIMARY_COLOR_ARB || source == GL_SECONDARY_INTERPOLATOR_ATI) {
                        return Refuse(recording, GL_INVALID_OPERATION);
                    }
                }
            }
        }
    }
    return GL_NO_ERROR;
}

int FragmentPassCount(const FragmentShaderRecording& recording) {
    return recording.stage >= 2 ? 2 : 1;
}

unsigned FragmentSampledUnits(const FragmentShaderRecording& recording) {
    unsigned units = 0;
    for (const FragmentPass& pass : recording.passes) {
        for (const FragmentSetup& setup : pass.setups) {
            if (setup.sample) units |= 1u << setup.dst;
        }
    }
    return units;
}

unsigned FragmentConstantsRead(const FragmentShaderRecording& recording) {
    unsigned constants = 0;
    for (const FragmentPass& pass : recording.passes) {
        for (const FragmentPair& pair : pass.pairs) {
            for (const FragmentOperation* operation : {&pair.colour, &pair.alpha}) {
                // An alpha DOT takes the colour's result; its arguments are not read.
                if (operation == &pair.alpha && IsDotOperation(operation->op)) continue;
                for (int i = 0; i < operation->argumentCount; ++i) {
                    const GLenum source = operation->arguments[i].source;
                    if (IsConstant(source)) constants |= 1u << (source - GL_CON_0_ATI);
                }
            }
        }
    }
    return constants;
}
