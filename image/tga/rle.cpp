// Run-length unpacking of TGA image types 9, 10 and 11. Each packet starts with
// a header byte: bit 7 set is a run (one pixel value repeated), clear is a raw
// packet (that many pixel values follow); the low 7 bits hold count - 1, so a
// packet covers 1 to 128 pixels.
#include <cstring>

#include "image/tga/tga.h"

namespace {

// Pixels copied as stored; kBytes is fixed per instance so the copies inline.
template <size_t kBytes>
void UnpackRle(uint8_t* pixels, size_t total, TgaCursor* source) {
    size_t written = 0;
    while (written < total) {
        uint8_t header = ReadTgaByte(source);
        if (source->overrun) return;
        size_t bytes = ((header & 0x7Fu) + 1) * kBytes;
        if (bytes > total - written) bytes = total - written;  // cut off at the block's end
        uint8_t* out = pixels + written;
        if (header & 0x80) {
            const uint8_t* value = TakeTgaBytes(source, kBytes);
            if (!value) return;
            for (size_t k = 0; k < bytes; k += kBytes)
                std::memcpy(out + k, value, kBytes);
        } else {
            const uint8_t* values = TakeTgaBytes(source, bytes);
            if (!values) return;
            std::memcpy(out, values, bytes);
        }
        written += bytes;
    }
}

// 16-bit pixels, widened to three bytes each as they are written.
void UnpackRle16(uint8_t* pixels, size_t pixelCount, TgaCursor* source) {
    size_t written = 0;
    while (written < pixelCount) {
        uint8_t header = ReadTgaByte(source);
        if (source->overrun) return;
        size_t count = (header & 0x7Fu) + 1;
        if (count > pixelCount - written) count = pixelCount - written;
        uint8_t* out = pixels + 3 * written;
        if (header & 0x80) {
            uint8_t value[3];
            WidenTga16(ReadTgaU16(source), value);
            if (source->overrun) return;
            for (size_t k = 0; k < count; ++k)
                std::memcpy(out + 3 * k, value, 3);
        } else {
            const uint8_t* values = TakeTgaBytes(source, 2 * count);
            if (!values) return;
            for (size_t k = 0; k < count; ++k) {
                WidenTga16(static_cast<uint16_t>(values[2 * k] | (values[2 * k + 1] << 8)),
                           out + 3 * k);
            }
        }
        written += count;
    }
}

}  // namespace

void DecodeTgaRle(uint8_t* pixels, int width, int height, int depth, TgaCursor* source) {
    if (width <= 0 || height <= 0) return;
    size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
    switch (depth) {
        case 8:
            UnpackRle<1>(pixels, pixelCount, source);
            return;
        case 16:
            UnpackRle16(pixels, pixelCount, source);
            return;
        case 24:
            UnpackRle<3>(pixels, pixelCount * 3, source);
            return;
        case 32:
            UnpackRle<4>(pixels, pixelCount * 4, source);
            return;
        default:
            source->overrun = true;
            return;  // no such packet layout
    }
}
