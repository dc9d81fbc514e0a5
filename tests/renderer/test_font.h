// A font whose glyphs read back unambiguously: the cell of code c holds the
// eight bits of c as eight opaque 4 x 4 blocks (bit i at column i mod 4, row
// i div 4 of the cell's middle band); the cells of line feed and carriage
// return are empty, as a real font's are.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/renderer/renderer_test_support.h"
#include "tests/texture/texture_test_support.h"

constexpr int kFontCell = 16;

// The 256 x 256 grey font picture as a TGA file (first row at the bottom).
inline bool WriteTestFont(const std::string& path) {
    std::vector<uint8_t> pixels(256 * 256, 0);
    for (int code = 0; code < 256; ++code) {
        for (int bit = 0; bit < 8 && code != '\n' && code != '\r'; ++bit) {
            for (int i = 0; (code & (1 << bit)) != 0 && i < 16; ++i) {
                const int rowFromTop = (code / 16) * kFontCell + 4 + (bit / 4) * 4 + i / 4;
                pixels[(255 - rowFromTop) * 256 + (code % 16) * kFontCell + (bit % 4) * 4 + i % 4] =
                    255;
            }
        }
    }
    return WriteTga(path, 256, 256, 8, pixels);
}

// The code whose glyph was drawn with its lower left corner at window pixel
// (x, y), read from the middle of each bit block; 0 for an empty cell, -1 off
// the frame.
inline int ReadGlyph(const Frame& frame, int x, int y) {
    int code = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const int px = x + (bit % 4) * 4 + 1, py = y + kFontCell - 6 - (bit / 4) * 4;
        if (px < 0 || py < 0 || px >= frame.width || py >= frame.height) return -1;
        if (frame.At(px, py)[1] > 128) code |= 1 << bit;
    }
    return code;
}

// The glyphs of one line from (x, y) up to the first empty cell.
inline std::string ReadLine(const Frame& frame, int x, int y) {
    std::string text;
    for (int code; (code = ReadGlyph(frame, x, y)) > 0; x += kFontCell)
        text.push_back(static_cast<char>(code));
    return text;
}
