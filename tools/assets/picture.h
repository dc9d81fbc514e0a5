// Pictures as the generator builds them, and the files it writes them to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/assets/asset_math.h"

// 8-bit samples, rows from the top of the picture down, channels red, green,
// blue (or a single grey channel).
struct Picture {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<uint8_t> samples;
};

Picture MakePicture(int width, int height, int channels);
inline uint8_t* PixelAt(Picture& picture, int x, int y) {
    return &picture.samples[(static_cast<size_t>(y) * picture.width + x) * picture.channels];
}
inline const uint8_t* PixelAt(const Picture& picture, int x, int y) {
    return &picture.samples[(static_cast<size_t>(y) * picture.width + x) * picture.channels];
}
uint8_t ToByte(float displayValue);
void PutColor(Picture& picture, int x, int y, Vec3 displayColor);

// Uncompressed TGA: type 2 (24-bit blue, green, red) or type 3 (8-bit grey),
// rows bottom-up as the format stores them with descriptor bit 5 clear.
bool WriteTga(const std::string& path, const Picture& picture);
// Binary PPM (P6) or PGM (P5), rows top-down: the input of cjpeg and convert.
bool WritePnm(const std::string& path, const Picture& picture);
