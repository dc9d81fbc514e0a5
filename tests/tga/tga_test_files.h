// Helpers for the TGA tests: hand-built files, and decoding into a record whose
// untouched state on failure is checked.
#pragma once

#include <cstdlib>
#include <string>

#include "image/tga/tga.h"
#include "tests/support/bytes.h"

// The header fields, most often set first.
struct TgaFields {
    uint8_t imageType = 2, depth = 24;
    uint16_t width = 1, height = 1;
    uint8_t colourMapType = 0, colourMapLength = 0, colourMapEntryBits = 0, colourMapFirst = 0,
            idLength = 0, descriptor = 0;
};

// The 18-byte header, little-endian, then `rest` (ID, colour map, pixels).
inline Bytes BuildTga(const TgaFields& f, const Bytes& rest) {
    return Cat({{f.idLength, f.colourMapType, f.imageType, f.colourMapFirst, 0, f.colourMapLength,
                 0, f.colourMapEntryBits, 0, 0, 0, 0, uint8_t(f.width), uint8_t(f.width >> 8),
                 uint8_t(f.height), uint8_t(f.height >> 8), f.depth, f.descriptor},
                rest});
}

// Result 1 with the pixels copied out; 0 for a failure that left the record
// as it was, -1 for one that changed it.
struct DecodedTga {
    int result, width, height, bitsPerPixel;
    Bytes pixels;
};

// The bytes of `file`, or where it is null the file named.
inline DecodedTga DecodeTgaInto(const Bytes* file, const std::string& fileName = "") {
    static uint8_t sentinel;
    Image image{4321, 1234, 77, &sentinel};
    int result =
        file ? DecodeTga(file->data(), file->size(), &image) : LoadTga(fileName.c_str(), &image);
    bool untouched = image.width == 4321 && image.height == 1234 && image.bitsPerPixel == 77 &&
                     image.pixels == &sentinel;
    if (result != 1) return {result == 0 && untouched ? 0 : -1, 0, 0, 0, {}};
    const size_t size = size_t(image.width) * image.height * (image.bitsPerPixel / 8);
    DecodedTga decoded{1, image.width, image.height, image.bitsPerPixel,
                       Bytes(image.pixels, image.pixels + size)};
    free(image.pixels);
    return decoded;
}

inline DecodedTga DecodeTgaBytes(const Bytes& file) {
    return DecodeTgaInto(&file);
}

inline DecodedTga LoadTgaFile(const std::string& fileName) {
    return DecodeTgaInto(nullptr, fileName);
}
