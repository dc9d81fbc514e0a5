// Turns a finished GL_ATI_fragment_shader recording into the text of a
// GL_ARB_fragment_program program. A pure function: the same recording and
// targets always give the same text, and nothing here talks to GL.
//
// The ATI shader samples "whatever the unit has enabled", while an ARB program
// names each sample's target, so the targets are an input: one program per
// combination of targets on the sampled units.
#pragma once

#include <string>

#include "render/fragment_shader_layer/recording.h"

// The texture target enabled on each sampled unit (GL_TEXTURE_1D,
// GL_TEXTURE_2D, GL_TEXTURE_3D, GL_TEXTURE_CUBE_MAP_ARB,
// GL_TEXTURE_RECTANGLE_ARB), GL_NONE where none is; GL_NONE also for units
// the shader does not sample.
struct FragmentTargetKey {
    GLenum targets[kFragmentRegisterCount] = {};
};

inline bool operator==(const FragmentTargetKey& a, const FragmentTargetKey& b) {
    for (int i = 0; i < kFragmentRegisterCount; ++i) {
        if (a.targets[i] != b.targets[i]) return false;
    }
    return true;
}

// Writes the program text to *text and returns true, or returns false when a
// sampled unit's target is not one of the five above or GL_NONE (the program
// could not name it). One ARB instruction per line, each commented with the number of
// the recorded call it comes from.
bool TranslateFragmentShader(const FragmentShaderRecording& recording, const FragmentTargetKey& key,
                             std::string* text);
