// The pixel work behind texture creation; no GL here.
#include <cmath>
#include <cstddef>
#include <cstring>

#include "image/texture.h"

namespace {

// 1 / 255 as the nearest float.
const float kInverse255 = 0.003921569f;

// 127, not 127.5: the bytes stay in 0..254 and a flat normal's z is 254.
uint8_t NormalComponentToByte(float component) {
    return static_cast<uint8_t>(static_cast<int>((component + 1.0f) * 127.0f));
}

}  // namespace

void HeightToNormalMap(int bytesPerPixel, const uint8_t* source, uint8_t* destination, int width,
                       int height) {
    const size_t stride = static_cast<size_t>(bytesPerPixel);
    for (int y = 0; y < height; ++y) {
        const size_t row = static_cast<size_t>(y) * width;
        const size_t nextRow = static_cast<size_t>((y + 1) % height) * width;
        for (int x = 0; x < width; ++x) {
            const size_t pixel = row + x;
            const int h = source[pixel * stride];
            const int hx = source[(row + (x + 1) % width) * stride];
            const int hy = source[(nextRow + x) * stride];
            const float dx = static_cast<float>(5 * h - 5 * hx) * kInverse255;
            const float dy = static_cast<float>(5 * hy - 5 * h) * kInverse255;
            const float k = 1.0f / std::sqrt(dx * dx + dy * dy + 1.0f);
            const float nx = dx * k;
            const float ny = dy * k;
            uint8_t* out = destination + pixel * 4;
            out[0] = NormalComponentToByte(nx);
            out[1] = NormalComponentToByte(ny);
            out[2] = NormalComponentToByte(k);
            out[3] = bytesPerPixel == 4 ? source[pixel * stride + 3] : 255;
        }
    }
}

void CopyImageRect(int bytesPerPixel, const uint8_t* source, uint8_t* destination, int x0, int y0,
                   int sourceRowLength, int width, int height) {
    const size_t rowBytes = static_cast<size_t>(width) * bytesPerPixel;
    for (int r = 0; r < height; ++r) {
        const size_t first = (static_cast<size_t>(y0 + r) * sourceRowLength + x0) * bytesPerPixel;
        std::memcpy(destination + r * rowBytes, source + first, rowBytes);
    }
}

void RotateImage180(int bytesPerPixel, uint8_t* pixels, int width, int height) {
    // A half turn of a packed picture reverses the order of its pixels, so
    // swapping from both ends needs no scratch block (and cannot fail).
    const size_t count = static_cast<size_t>(width) * height;
    const size_t stride = static_cast<size_t>(bytesPerPixel);
    for (size_t front = 0, back = count; front + 1 < back; ++front) {
        --back;
        uint8_t* a = pixels + front * stride;
        uint8_t* b = pixels + back * stride;
        for (size_t i = 0; i < stride; ++i) {
            uint8_t swap = a[i];
            a[i] = b[i];
            b[i] = swap;
        }
    }
}
