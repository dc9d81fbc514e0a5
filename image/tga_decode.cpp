// TGA decoding from memory.
//
// Decodes: colour-mapped (types 1 and 9) with 8-bit indices into a 24-bit
// colour map; true colour (types 2 and 10) at 16, 24 and 32 bits; grey (types
// 3 and 11) at 8 bits; raw and run-length encoded. 16-bit and colour-mapped
// pictures come out as 24 bits. Rows stay in stored order (no flip on the
// descriptor's origin bits) and channels in stored order (blue, green, red,
// alpha).
//
// Refuses: every other image type (so a JPEG, whose third byte is 255, is
// refused) and type/depth pair; colour maps with entries other than 24 bits;
// a colour index at or beyond the colour-map length; a width or height of 0
// (a picture with no pixels is no picture); files that end before the last
// pixel; sizes the file cannot hold; failed allocations.
#include <cstdlib>
#include <cstring>

#include "image/tga.h"

namespace {

constexpr size_t kTgaRlePacketMaxPixels = 128;

// The type and depth pairs decoded, and the depth each one gives.
struct TgaFormat {
    uint8_t imageType;
    uint8_t depth;
    uint8_t outputBits;
    bool rle;
    bool colourMapped;
};

constexpr TgaFormat kTgaFormats[] = {
    {1, 8, 24, false, true},   {9, 8, 24, true, true},    {2, 16, 24, false, false},
    {10, 16, 24, true, false}, {2, 24, 24, false, false}, {10, 24, 24, true, false},
    {2, 32, 32, false, false}, {10, 32, 32, true, false}, {3, 8, 8, false, false},
    {11, 8, 8, true, false},
};

const TgaFormat* FindTgaFormat(uint8_t imageType, uint8_t depth) {
    for (const TgaFormat& format : kTgaFormats) {
        if (format.imageType == imageType && format.depth == depth) return &format;
    }
    return nullptr;
}

struct TgaHeader {
    uint8_t idLength;
    uint8_t colourMapType;
    uint8_t imageType;
    uint16_t colourMapFirst;
    uint16_t colourMapLength;
    uint8_t colourMapEntryBits;
    uint16_t xOrigin;
    uint16_t yOrigin;
    uint16_t width;
    uint16_t height;
    uint8_t depth;
    uint8_t descriptor;
};

// The fixed 18-byte header, in file order.
TgaHeader ReadTgaHeader(TgaCursor* cursor) {
    TgaHeader header;
    header.idLength = ReadTgaByte(cursor);
    header.colourMapType = ReadTgaByte(cursor);
    header.imageType = ReadTgaByte(cursor);
    header.colourMapFirst = ReadTgaU16(cursor);
    header.colourMapLength = ReadTgaU16(cursor);
    header.colourMapEntryBits = ReadTgaByte(cursor);
    header.xOrigin = ReadTgaU16(cursor);
    header.yOrigin = ReadTgaU16(cursor);
    header.width = ReadTgaU16(cursor);
    header.height = ReadTgaU16(cursor);
    header.depth = ReadTgaByte(cursor);
    header.descriptor = ReadTgaByte(cursor);
    return header;
}

// Fewest bytes the pixel data can take: raw is exact; run-length needs at
// least one header and one value per 128 pixels.
uint64_t LeastPixelDataBytes(const TgaFormat& format, uint64_t pixelCount) {
    uint64_t valueBytes = format.depth / 8;
    if (!format.rle) return pixelCount * valueBytes;
    uint64_t packets = (pixelCount + kTgaRlePacketMaxPixels - 1) / kTgaRlePacketMaxPixels;
    return packets * (1 + valueBytes);
}

// Palette entry k is index k whatever the header's first-entry index says.
// `indices` may be the tail of `pixels` (the last pixelCount bytes): each index
// is read before its three output bytes are written, and those bytes never
// reach a later index.
bool LookUpTgaPalette(const uint8_t* indices, size_t pixelCount, const uint8_t* palette,
                      size_t paletteLength, uint8_t* pixels) {
    for (size_t i = 0; i < pixelCount; ++i) {
        size_t k = indices[i];
        if (k >= paletteLength) return false;
        const uint8_t* entry = palette + 3 * k;
        pixels[3 * i] = entry[0];
        pixels[3 * i + 1] = entry[1];
        pixels[3 * i + 2] = entry[2];
    }
    return true;
}

bool FillRawTgaPixels(const TgaFormat& format, size_t pixelCount, const uint8_t* palette,
                      size_t paletteLength, TgaCursor* cursor, uint8_t* pixels) {
    const uint8_t* source = TakeTgaBytes(cursor, pixelCount * (format.depth / 8));
    if (!source) return false;  // file ends inside the pixel data
    if (format.colourMapped) {
        return LookUpTgaPalette(source, pixelCount, palette, paletteLength, pixels);
    }
    if (format.depth == 16) {
        for (size_t i = 0; i < pixelCount; ++i) {
            WidenTga16(static_cast<uint16_t>(source[2 * i] | (source[2 * i + 1] << 8)),
                       pixels + 3 * i);
        }
        return true;
    }
    std::memcpy(pixels, source, pixelCount * (format.depth / 8));
    return true;
}

bool FillRleTgaPixels(const TgaFormat& format, const TgaHeader& header, size_t pixelCount,
                      const uint8_t* palette, size_t paletteLength, TgaCursor* cursor,
                      uint8_t* pixels) {
    if (format.colourMapped) {
        // Unpack the indices into the last third of the block, then look up
        // forward in place: no separate index block.
        uint8_t* indices = pixels + 2 * pixelCount;
        DecodeTgaRle(indices, header.width, header.height, 8, cursor);
        if (cursor->overrun) return false;  // file ends inside the packets
        return LookUpTgaPalette(indices, pixelCount, palette, paletteLength, pixels);
    }
    DecodeTgaRle(pixels, header.width, header.height, format.depth, cursor);
    return !cursor->overrun;
}

}  // namespace

int DecodeTga(const uint8_t* data, size_t size, Image* image) {
    TgaCursor cursor{data, size, 0, false};
    TgaHeader header = ReadTgaHeader(&cursor);
    if (cursor.overrun) return 0;  // shorter than the header
    SkipTgaBytes(&cursor, header.idLength);
    const TgaFormat* format = FindTgaFormat(header.imageType, header.depth);
    if (!format) return 0;  // type or depth not decoded

    const uint8_t* palette = nullptr;
    size_t paletteLength = 0;
    if (format->colourMapped) {
        if (header.colourMapType != 1) return 0;        // colour-mapped type without a map
        if (header.colourMapEntryBits != 24) return 0;  // only blue, green, red entries
        paletteLength = header.colourMapLength;
        palette = TakeTgaBytes(&cursor, 3 * paletteLength);
    } else if (header.colourMapType == 1) {
        // A map declared by a true-colour or grey file is unused, but it sits
        // between the image ID and the pixels all the same.
        size_t entryBytes = (header.colourMapEntryBits + 7u) / 8u;
        SkipTgaBytes(&cursor, entryBytes * header.colourMapLength);
    }
    if (cursor.overrun) return 0;  // file ends inside the ID or the colour map

    if (header.width == 0 || header.height == 0) return 0;  // no pixels to show
    uint64_t pixelCount = uint64_t{header.width} * header.height;
    uint64_t outputBytes = pixelCount * (format->outputBits / 8);  // at most 2^34: no overflow
    if (outputBytes > SIZE_MAX) return 0;  // larger than this machine can address
    if (LeastPixelDataBytes(*format, pixelCount) > TgaBytesLeft(&cursor)) return 0;  // too short

    uint8_t* pixels = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(outputBytes)));
    if (!pixels) return 0;  // out of memory
    bool filled = format->rle ? FillRleTgaPixels(*format, header, static_cast<size_t>(pixelCount),
                                                 palette, paletteLength, &cursor, pixels)
                              : FillRawTgaPixels(*format, static_cast<size_t>(pixelCount), palette,
                                                 paletteLength, &cursor, pixels);
    if (!filled) {
        std::free(pixels);
        return 0;
    }
    image->width = header.width;
    image->height = header.height;
    image->bitsPerPixel = format->outputBits;
    image->pixels = pixels;
    return 1;
}
