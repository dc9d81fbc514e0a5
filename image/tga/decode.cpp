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

#include "image/tga/tga.h"

namespace {

constexpr uint64_t kTgaRlePacketMaxPixels = 128;

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

bool FillRawTgaPixels(const TgaLayout& layout, const uint8_t* palette, TgaCursor* cursor,
                      uint8_t* pixels) {
    const TgaFormat& format = *layout.format;
    size_t pixelCount = layout.pixelCount;
    const uint8_t* source = TakeTgaBytes(cursor, pixelCount * (format.depth / 8));
    if (!source) return false;  // file ends inside the pixel data
    if (format.colourMapped) {
        return LookUpTgaPalette(source, pixelCount, palette, layout.paletteLength, pixels);
    }
    if (format.depth == 16) {
        for (size_t i = 0; i < pixelCount; ++i) {
            WidenTga16(static_cast<uint16_t>(source[2 * i] | (source[2 * i + 1] << 8)),
                       pixels + 3 * i);
        }
        return true;
    }
    std::memcpy(pixels, source, layout.outputBytes);
    return true;
}

bool FillRleTgaPixels(const TgaLayout& layout, const TgaHeader& header, const uint8_t* palette,
                      TgaCursor* cursor, uint8_t* pixels) {
    if (layout.format->colourMapped) {
        // Unpack the indices into the last third of the block, then look up
        // forward in place: no separate index block.
        uint8_t* indices = pixels + 2 * layout.pixelCount;
        DecodeTgaRle(indices, header.width, header.height, 8, cursor);
        if (cursor->overrun) return false;  // file ends inside the packets
        return LookUpTgaPalette(indices, layout.pixelCount, palette, layout.paletteLength, pixels);
    }
    DecodeTgaRle(pixels, header.width, header.height, layout.format->depth, cursor);
    return !cursor->overrun;
}

}  // namespace

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

bool PlanTga(const TgaHeader& header, uint64_t fileSize, TgaLayout* layout) {
    const TgaFormat* format = FindTgaFormat(header.imageType, header.depth);
    if (!format) return false;  // type or depth not decoded
    uint64_t offset = kTgaHeaderBytes + header.idLength;
    uint64_t paletteOffset = 0;
    uint64_t paletteLength = 0;
    if (format->colourMapped) {
        if (header.colourMapType != 1) return false;        // colour-mapped type without a map
        if (header.colourMapEntryBits != 24) return false;  // only blue, green, red entries
        paletteLength = header.colourMapLength;
        paletteOffset = offset;
        offset += 3 * paletteLength;
    } else if (header.colourMapType == 1) {
        // A map declared by a true-colour or grey file is unused, but it sits
        // between the image ID and the pixels all the same.
        offset += uint64_t{header.colourMapLength} * ((header.colourMapEntryBits + 7u) / 8u);
    }
    if (offset > fileSize) return false;  // file ends inside the ID or the colour map
    if (header.width == 0 || header.height == 0) return false;  // no pixels to show
    uint64_t pixelCount = uint64_t{header.width} * header.height;
    uint64_t outputBytes = pixelCount * (format->outputBits / 8);  // at most 2^34: no overflow
    if (outputBytes > SIZE_MAX) return false;  // more than this machine can address
    if (LeastPixelDataBytes(*format, pixelCount) > fileSize - offset) return false;  // too short
    layout->format = format;
    layout->paletteOffset = static_cast<size_t>(paletteOffset);
    layout->paletteLength = static_cast<size_t>(paletteLength);
    layout->pixelDataOffset = static_cast<size_t>(offset);
    layout->pixelCount = static_cast<size_t>(pixelCount);
    layout->outputBytes = static_cast<size_t>(outputBytes);
    return true;
}

int DecodeTga(const uint8_t* data, size_t size, Image* image) {
    TgaCursor cursor{data, size, 0, false};
    TgaHeader header = ReadTgaHeader(&cursor);
    if (cursor.overrun) return 0;  // shorter than the header
    TgaLayout layout;
    if (!PlanTga(header, size, &layout)) return 0;
    const uint8_t* palette = nullptr;
    if (layout.format->colourMapped) {
        SkipTgaBytes(&cursor, layout.paletteOffset - cursor.position);
        palette = TakeTgaBytes(&cursor, 3 * layout.paletteLength);
    }
    SkipTgaBytes(&cursor, layout.pixelDataOffset - cursor.position);
    if (cursor.overrun) return 0;  // cannot happen after PlanTga; kept as the cursor's contract

    uint8_t* pixels = static_cast<uint8_t*>(std::malloc(layout.outputBytes));
    if (!pixels) return 0;  // out of memory
    bool filled = layout.format->rle ? FillRleTgaPixels(layout, header, palette, &cursor, pixels)
                                     : FillRawTgaPixels(layout, palette, &cursor, pixels);
    if (!filled) {
        std::free(pixels);
        return 0;
    }
    image->width = header.width;
    image->height = header.height;
    image->bitsPerPixel = layout.format->outputBits;
    image->pixels = pixels;
    return 1;
}
