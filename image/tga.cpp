// LoadTga: one read of the whole file, then decoding from memory (see
// tga_decode.cpp for what is decoded and what is refused).
#include <cstdio>
#include <cstdlib>

#include "image/image.h"
#include "image/tga.h"

namespace {

// No TGA the reader decodes comes near this: 65535 x 65535 pixels of one-pixel
// run-length packets at 5 bytes each, plus ID and colour map, is about 2^34.4
// bytes. Larger lengths come from things that are not plain files (a
// directory reports 2^63 - 1) and must not reach malloc.
constexpr uint64_t kLargestTgaFileBytes = uint64_t{1} << 35;

// Reads the whole of an open file into a fresh malloc block.
bool ReadWholeFile(FILE* file, uint8_t** data, size_t* size) {
    if (std::fseek(file, 0, SEEK_END) != 0) return false;
    long length = std::ftell(file);
    if (length < 0) return false;                                            // not seekable
    if (static_cast<uint64_t>(length) > kLargestTgaFileBytes) return false;  // not a TGA
    if (std::fseek(file, 0, SEEK_SET) != 0) return false;
    size_t byteCount = static_cast<size_t>(length);
    uint8_t* bytes = static_cast<uint8_t*>(std::malloc(byteCount ? byteCount : 1));
    if (!bytes) return false;
    if (std::fread(bytes, 1, byteCount, file) != byteCount) {
        std::free(bytes);
        return false;
    }
    *data = bytes;
    *size = byteCount;
    return true;
}

}  // namespace

int LoadTga(const char* fileName, Image* image) {
    FILE* file = std::fopen(fileName, "rb");
    if (!file) return 0;
    uint8_t* data = nullptr;
    size_t size = 0;
    bool read = ReadWholeFile(file, &data, &size);
    std::fclose(file);
    if (!read) return 0;
    int result = DecodeTga(data, size, image);
    std::free(data);
    return result;
}
