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

// Top-left corner of bit i's block inside a cell, counted from the cell's top.
inline int BitBlockX(int bit) {
    return (bit % 4) * 4;
}
inline int BitBlockY(int bit) {
    return 4 + (bit / 4) * 4;
}

// The 256 x 256 grey font picture as a TGA file.
inline bool WriteTestFont(const std::string& path) {
    const int size = 16 * kFontCell;
    std::vector<uint8_t> pixels(static_cast<size_t>(size) * size, 0);
    for (int code = 0; code < 256; ++code) {
        if (code == '\n' || code == '\r') continue;
        const int cellX = (code % 16) * kFontCell;
        const int cellTop = (code / 16) * kFontCell;
        for (int bit = 0; bit < 8; ++bit) {
            if ((code & (1 << bit)) == 0) continue;
            for (int y = 0; y < 4; ++y) {
                for (int x = 0; x < 4; ++x) {
                    const int rowFromTop = cellTop + BitBlockY(bit) + y;
                    // The file's first row is the picture's bottom row.
                    pixels[static_cast<size_t>(size - 1 - rowFromTop) * size + cellX +
                           BitBlockX(bit) + x] = 255;
                }
            }
        }
    }
    return WriteTga(path, size, size, 8, pixels);
}

// The code whose glyph was drawn with its lower left corner at window pixel
// (x, y), read from the middle of each bit block; 0 for an empty cell. A
// block counts as set when it is bright on a dark background.
inline int ReadGlyph(const Frame& frame, int x, int y) {
    int code = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const int px = x + BitBlockX(bit) + 1;
        const int py = y + kFontCell - 1 - (BitBlockY(bit) + 1);
        if (px < 0 || py < 0 || px >= frame.width || py >= frame.height) return -1;
        if (frame.At(px, py)[1] > 128) code |= 1 << bit;
    }
    return code;
}

// The glyphs of one line from (x, y) up to the first empty cell.
inline std::string ReadLine(const Frame& frame, int x, int y) {
    std::string text;
    for (int cellX = x; cellX + kFontCell <= frame.width; cellX += kFontCell) {
        const int code = ReadGlyph(frame, cellX, y);
        if (code <= 0) break;
        text.push_back(static_cast<char>(code));
    }
    return text;
}
