// Pictures made by the texture tests: in-memory Image records (bottom row
// first, as the readers deliver them) and uncompressed TGA files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "image/image.h"

// An Image whose pixels come from malloc, as a reader's would. bytes holds the
// rows bottom row first.
inline Image MakeImage(int width, int height, int bitsPerPixel, const std::vector<uint8_t>& bytes) {
    Image image{};
    image.width = static_cast<uint16_t>(width);
    image.height = static_cast<uint16_t>(height);
    image.bitsPerPixel = static_cast<uint8_t>(bitsPerPixel);
    image.pixels = static_cast<uint8_t*>(std::malloc(bytes.empty() ? 1 : bytes.size()));
    for (size_t i = 0; i < bytes.size(); ++i)
        image.pixels[i] = bytes[i];
    return image;
}

// Writes an uncompressed TGA: type 3 (grey) for 8 bits, type 2 (true colour)
// otherwise, bottom row first, which is the byte order of bytes.
inline bool WriteTga(const std::string& path, int width, int height, int bitsPerPixel,
                     const std::vector<uint8_t>& bytes) {
    uint8_t header[18] = {};
    header[2] = bitsPerPixel == 8 ? 3 : 2;
    header[12] = static_cast<uint8_t>(width & 0xFF);
    header[13] = static_cast<uint8_t>(width >> 8);
    header[14] = static_cast<uint8_t>(height & 0xFF);
    header[15] = static_cast<uint8_t>(height >> 8);
    header[16] = static_cast<uint8_t>(bitsPerPixel);
    header[17] = bitsPerPixel == 32 ? 8 : 0;  // alpha bits; origin bottom left
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool ok = std::fwrite(header, 1, sizeof header, file) == sizeof header &&
              std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

// A vertical cross of faceSize x faceSize faces, 3 faces wide and 4 tall, in
// which every pixel tells where it is: for the pixel in column px and row py
// counted from the top of the picture, a 24- or 32-bit picture holds blue
// 255 - px, green py, red px and alpha 128 + py; an 8-bit one holds
// px + 3 * faceSize * py (unique while the picture has at most 256 pixels).
// Pixels outside the six faces are 0xEE. extraColumns and extraRows widen the
// picture at the right and the top.
struct CrossPicture {
    int width;
    int height;
    int bitsPerPixel;
    std::vector<uint8_t> bytes;  // bottom row first
};

inline uint8_t CrossPictureByte(int bitsPerPixel, int faceSize, int px, int py, int channel) {
    if (bitsPerPixel == 8) return static_cast<uint8_t>(px + 3 * faceSize * py);
    const int values[4] = {255 - px, py, px, 128 + py};
    return static_cast<uint8_t>(values[channel]);
}

inline CrossPicture MakeCrossPicture(int bitsPerPixel, int faceSize, int extraColumns = 0,
                                     int extraRows = 0) {
    CrossPicture cross;
    cross.width = 3 * faceSize + extraColumns;
    cross.height = 4 * faceSize + extraRows;
    cross.bitsPerPixel = bitsPerPixel;
    const int bytesPerPixel = bitsPerPixel / 8;
    cross.bytes.assign(static_cast<size_t>(cross.width) * cross.height * bytesPerPixel, 0xEE);
    for (int py = extraRows; py < cross.height; ++py) {
        const int faceRow = (py - extraRows) / faceSize;
        for (int px = 0; px < 3 * faceSize; ++px) {
            const int faceColumn = px / faceSize;
            if (faceColumn != 1 && faceRow != 1) continue;  // outside the cross
            const int memoryRow = cross.height - 1 - py;
            for (int c = 0; c < bytesPerPixel; ++c) {
                cross.bytes[(static_cast<size_t>(memoryRow) * cross.width + px) * bytesPerPixel +
                            c] = CrossPictureByte(bitsPerPixel, faceSize, px, py - extraRows, c);
            }
        }
    }
    return cross;
}

// A scratch file name in the test's working directory.
inline std::string ScratchPath(const std::string& name) {
    return "texture_test_" + name;
}
