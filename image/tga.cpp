// LoadTga: one read of the whole file, then decoding from memory (see
// tga_decode.cpp for what is decoded and what is refused).
#include <cstdio>
#include <cstdlib>

#include "image/image.h"
#include "image/tga.h"

namespace {

// Reads the whole of an open file into a fresh malloc block.
bool ReadWholeFile(FILE* file, uint8_t** data, size_t* size) {
    if (std::fseek(file, 0, SEEK_END) != 0) return false;
    long length = std::ftell(file);
    if (length < 0) return false;  // not a seekable file
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
