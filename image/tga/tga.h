// Internals of the TGA reader shared by its files, the tools and the fuzzer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/image.h"
#include "image/tga/cursor.h"

constexpr size_t kTgaHeaderBytes = 18;

// The fixed header at the start of every TGA file, fields in file order.
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

// A type and depth pair the reader decodes, and what it gives.
struct TgaFormat {
    uint8_t imageType;
    uint8_t depth;
    uint8_t outputBits;
    bool rle;
    bool colourMapped;
};

// Where a checked file's parts lie and how large its picture is.
struct TgaLayout {
    const TgaFormat* format;
    size_t paletteOffset;    // colour-mapped only: 3 * paletteLength bytes of entries
    size_t paletteLength;    // entries; 0 for types that use no colour map
    size_t pixelDataOffset;  // from the start of the file
    size_t pixelCount;
    size_t outputBytes;
};

TgaHeader ReadTgaHeader(TgaCursor* cursor);

// Checks a header against everything the reader refuses and against a file of
// fileSize bytes, and lays the file out. False when the file is not decoded.
bool PlanTga(const TgaHeader& header, uint64_t fileSize, TgaLayout* layout);

// Raw 8-, 24- and 32-bit pixel data is the decoded block byte for byte.
inline bool IsTgaStoredAsDecoded(const TgaLayout& layout) {
    return !layout.format->rle && !layout.format->colourMapped && layout.format->depth != 16;
}

// Decodes a whole TGA file held in memory; the parsing half of LoadTga. Same
// contract as LoadTga: 1 and a filled record on success; 0 and the record
// untouched on failure.
int DecodeTga(const uint8_t* data, size_t size, Image* image);

// Unpacks run-length packets from `source` until width * height pixels are
// written to `pixels` (1, 3, 3 or 4 bytes per pixel for depth 8, 16, 24 or 32;
// depth 16 is widened as WidenTga16 says). A packet that runs past the end of
// the block is cut off there. Packets run on across row ends. If the source
// ends first, or the depth is none of those, `source->overrun` is raised and
// the rest of the block is left unwritten.
void DecodeTgaRle(uint8_t* pixels, int width, int height, int depth, TgaCursor* source);

// A 16-bit TGA pixel is little-endian: bit 15 attribute (dropped), then 5 bits
// each of red, green and blue. Each 5-bit value goes to the top of its byte and
// the low three bits stay zero. Output order is blue, green, red.
inline void WidenTga16(uint16_t value, uint8_t* out) {
    out[0] = static_cast<uint8_t>((value & 0x1F) << 3);
    out[1] = static_cast<uint8_t>(((value >> 5) & 0x1F) << 3);
    out[2] = static_cast<uint8_t>(((value >> 10) & 0x1F) << 3);
}
