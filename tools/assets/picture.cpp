#include "tools/assets/picture.h"

#include <cmath>
#include <cstdio>

Picture MakePicture(int width, int height, int channels) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.channels = channels;
    picture.samples.assign(static_cast<size_t>(width) * height * channels, 0);
    return picture;
}

uint8_t ToByte(float displayValue) {
    return static_cast<uint8_t>(std::lround(Clamp01(displayValue) * 255.0f));
}

void PutColor(Picture& picture, int x, int y, Vec3 displayColor) {
    uint8_t* pixel = PixelAt(picture, x, y);
    pixel[0] = ToByte(displayColor.x);
    pixel[1] = ToByte(displayColor.y);
    pixel[2] = ToByte(displayColor.z);
}

bool WriteTga(const std::string& path, const Picture& picture) {
    if (picture.channels != 1 && picture.channels != 3) return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    uint8_t header[18] = {};
    header[2] = picture.channels == 3 ? 2 : 3;  // true colour or grey, uncompressed
    header[12] = static_cast<uint8_t>(picture.width & 0xFF);
    header[13] = static_cast<uint8_t>(picture.width >> 8);
    header[14] = static_cast<uint8_t>(picture.height & 0xFF);
    header[15] = static_cast<uint8_t>(picture.height >> 8);
    header[16] = static_cast<uint8_t>(picture.channels * 8);
    header[17] = 0;  // origin at the lower left: the bottom row comes first
    bool ok = std::fwrite(header, 1, sizeof header, file) == sizeof header;
    std::vector<uint8_t> row(static_cast<size_t>(picture.width) * picture.channels);
    for (int y = picture.height - 1; ok && y >= 0; --y) {
        const uint8_t* source = PixelAt(picture, 0, y);
        for (int x = 0; x < picture.width; ++x) {
            if (picture.channels == 3) {
                row[3 * x + 0] = source[3 * x + 2];
                row[3 * x + 1] = source[3 * x + 1];
                row[3 * x + 2] = source[3 * x + 0];
            } else {
                row[x] = source[x];
            }
        }
        ok = std::fwrite(row.data(), 1, row.size(), file) == row.size();
    }
    return std::fclose(file) == 0 && ok;
}

bool WritePnm(const std::string& path, const Picture& picture) {
    if (picture.channels != 1 && picture.channels != 3) return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::fprintf(file, "P%d\n%d %d\n255\n", picture.channels == 3 ? 6 : 5, picture.width,
                 picture.height);
    bool ok = std::fwrite(picture.samples.data(), 1, picture.samples.size(), file) ==
              picture.samples.size();
    return std::fclose(file) == 0 && ok;
}
