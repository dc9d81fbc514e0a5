// A decoded picture, as the TGA and JPEG readers deliver it and texture
// creation consumes it. Rows are packed without gaps and the first row in
// memory is the bottom row of the picture. Pixels are blue, green, red
// (, alpha); an 8-bit picture has one channel.
#pragma once

#include <cstdint>

struct Image {
    uint16_t width;
    uint16_t height;
    uint8_t bitsPerPixel;  // 8, 24 or 32
    uint8_t* pixels;       // width * height * bitsPerPixel / 8 bytes, from malloc
};

// Both readers expect a zeroed record and return 1 on success, 0 on failure.
// After success the caller owns pixels and releases it with free().
int LoadTga(const char* fileName, Image* image);
int LoadJpeg(const char* fileName, Image* image);
