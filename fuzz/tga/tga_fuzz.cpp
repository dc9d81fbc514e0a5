// Fuzzes the TGA parsing from memory, the part of LoadTga that sees the file's
// bytes. A successful decode must hand out a block of exactly the size its
// record describes, every byte written (the sanitizers check the reads).
#include <cstdint>
#include <cstdlib>

#include "image/tga/tga.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Image image{};
    if (!DecodeTga(data, size, &image)) {
        if (image.width || image.height || image.bitsPerPixel || image.pixels) std::abort();
        return 0;
    }
    const int bits = image.bitsPerPixel;
    if (!image.pixels || !image.width || !image.height || (bits != 8 && bits != 24 && bits != 32))
        std::abort();
    volatile unsigned sum = 0;
    for (size_t i = 0; i < size_t{image.width} * image.height * (bits / 8); ++i)
        sum = sum + image.pixels[i];
    std::free(image.pixels);
    return 0;
}
