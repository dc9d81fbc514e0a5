// Reading textures back from the offscreen context.
#pragma once

#include <cstdint>
#include <vector>

#include "render/gl_api.h"

inline GLint TexLevelParameter(GLenum target, int level, GLenum name) {
    GLint value = -1;
    glGetTexLevelParameteriv(target, level, name, &value);
    return value;
}

inline GLint TexParameter(GLenum target, GLenum name) {
    GLint value = -1;
    glGetTexParameteriv(target, name, &value);
    return value;
}

inline GLint IntegerState(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

// The bytes of one level of the texture bound to target (a face target for a
// cube map), rows packed without gaps, first row first.
inline std::vector<uint8_t> ReadTexImage(GLenum target, int level, GLenum format,
                                         int bytesPerPixel) {
    const GLint width = TexLevelParameter(target, level, GL_TEXTURE_WIDTH);
    const GLint height = TexLevelParameter(target, level, GL_TEXTURE_HEIGHT);
    if (width <= 0 || height <= 0) return {};
    std::vector<uint8_t> bytes(static_cast<size_t>(width) * height * bytesPerPixel);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(target, level, format, GL_UNSIGNED_BYTE, bytes.data());
    return bytes;
}
