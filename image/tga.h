// Internals of the TGA reader shared by its files, the tools and the fuzzer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/image.h"
#include "image/tga_cursor.h"

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
