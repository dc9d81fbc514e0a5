// LoadTga: the file's header is read and checked first, so files that are no
// decodable TGA (a JPEG, say) are refused without reading them whole. Raw 8-,
// 24- and 32-bit pixel data is the decoded block byte for byte, so it is read
// straight into that block; every other file is read whole and decoded from
// memory (tga/decode.cpp says what is decoded and what is refused).
#include <cstdio>
#include <cstdlib>

#include "image/image.h"
#include "image/tga/tga.h"

namespace {

// No TGA the reader decodes comes near this: 65535 x 65535 pixels of one-pixel
// run-length packets at 5 bytes each, plus ID and colour map, is about 2^34.4
// bytes. Larger lengths come from things that are not plain files (a
// directory reports 2^63 - 1) and must not reach malloc.
constexpr uint64_t kLargestTgaFileBytes = uint64_t{1} << 35;

bool FindFileSize(FILE* file, uint64_t* size) {
    if (std::fseek(file, 0, SEEK_END) != 0) return false;
    long length = std::ftell(file);
    if (length < 0) return false;                                            // not seekable
    if (static_cast<uint64_t>(length) > kLargestTgaFileBytes) return false;  // not a TGA
    *size = static_cast<uint64_t>(length);
    return true;
}

// Reads `count` bytes from `offset` into a fresh malloc block.
uint8_t* ReadFileBytes(FILE* file, uint64_t offset, size_t count) {
    if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return nullptr;
    uint8_t* bytes = static_cast<uint8_t*>(std::malloc(count ? count : 1));
    if (!bytes) return nullptr;  // out of memory
    if (std::fread(bytes, 1, count, file) != count) {
        std::free(bytes);  // file shrank since it was measured
        return nullptr;
    }
    return bytes;
}

int LoadOpenTga(FILE* file, Image* image) {
    uint64_t fileSize = 0;
    if (!FindFileSize(file, &fileSize)) return 0;
    uint8_t headerBytes[kTgaHeaderBytes];
    if (fileSize < kTgaHeaderBytes) return 0;  // shorter than the header
    if (std::fseek(file, 0, SEEK_SET) != 0) return 0;
    if (std::fread(headerBytes, 1, kTgaHeaderBytes, file) != kTgaHeaderBytes) return 0;
    TgaCursor cursor{headerBytes, kTgaHeaderBytes, 0, false};
    TgaHeader header = ReadTgaHeader(&cursor);
    TgaLayout layout;
    if (!PlanTga(header, fileSize, &layout)) return 0;

    if (IsTgaStoredAsDecoded(layout)) {
        uint8_t* pixels = ReadFileBytes(file, layout.pixelDataOffset, layout.outputBytes);
        if (!pixels) return 0;
        image->width = header.width;
        image->height = header.height;
        image->bitsPerPixel = layout.format->outputBits;
        image->pixels = pixels;
        return 1;
    }
    size_t size = static_cast<size_t>(fileSize);
    if (size != fileSize) return 0;  // more than this machine can address
    uint8_t* data = ReadFileBytes(file, 0, size);
    if (!data) return 0;
    int result = DecodeTga(data, size, image);
    std::free(data);
    return result;
}

}  // namespace

int LoadTga(const char* fileName, Image* image) {
    FILE* file = std::fopen(fileName, "rb");
    if (!file) return 0;
    int result = LoadOpenTga(file, image);
    std::fclose(file);
    return result;
}
