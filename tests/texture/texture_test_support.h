// Pictures for the texture tests and read-back of what GL made of them.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "image/image.h"
#include "render/gl_api.h"
#include "tests/support/bytes.h"

inline GLint TexInt(GLenum target, GLenum name, int level = -1) {
    GLint value = -1;
    if (level < 0) glGetTexParameteriv(target, name, &value);
    if (level >= 0) glGetTexLevelParameteriv(target, level, name, &value);
    return value;
}

inline GLint IntegerState(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

// One level of the bound texture (or one cube face), rows packed, first row first.
inline std::vector<uint8_t> ReadTexImage(GLenum target, GLenum format, int bytesPerPixel) {
    std::vector<uint8_t> bytes(static_cast<size_t>(TexInt(target, GL_TEXTURE_WIDTH, 0)) *
                               TexInt(target, GL_TEXTURE_HEIGHT, 0) * bytesPerPixel);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(target, 0, format, GL_UNSIGNED_BYTE, bytes.data());
    return bytes;
}

// Uncompressed TGA, grey (type 3) for 8 bits, else true colour; origin bottom left.
inline bool WriteTga(const std::string& path, int width, int height, int bitsPerPixel,
                     const std::vector<uint8_t>& bytes) {
    Bytes header(18, 0);
    header[2] = bitsPerPixel == 8 ? 3 : 2;
    const int tail[6] = {width, width >> 8, height, height >> 8, bitsPerPixel, bitsPerPixel & 8};
    for (int i = 0; i < 6; ++i)
        header[12 + i] = static_cast<uint8_t>(tail[i]);
    return WriteBytes(path, Cat({header, bytes}));
}

// A byte that tells where it is: pixel column px, row py counted from the top.
// 24/32 bits: blue 255 - px, green py, red px, alpha 128 + py; 8 bits: px + 16 py.
inline uint8_t PositionByte(int bitsPerPixel, int px, int py, int channel) {
    const int values[4] = {255 - px, py, px, 128 + py};
    return static_cast<uint8_t>(bitsPerPixel == 8 ? px + 16 * py : values[channel]);
}

// A width x height picture of position bytes, bottom row first.
inline std::vector<uint8_t> PositionPicture(int bitsPerPixel, int width, int height) {
    std::vector<uint8_t> bytes;
    for (int row = 0; row < height; ++row) {
        for (int px = 0; px < width; ++px) {
            for (int c = 0; c < bitsPerPixel / 8; ++c)
                bytes.push_back(PositionByte(bitsPerPixel, px, height - 1 - row, c));
        }
    }
    return bytes;
}
