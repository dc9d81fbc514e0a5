// Hand-built files whose decoded bytes are worked out by hand from the TGA
// format's rules.
#include <gtest/gtest.h>

#include "image/tga.h"
#include "tga_test_files.h"

namespace {

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(TgaRules, TrueColourAndGreyKeepStoredBytesAndOrder) {
    // 2 x 2 pictures, rows stored bottom first; the descriptor's origin bits
    // (0x20 = top left, 0x10 = right to left) must not reorder anything.
    const Bytes bgr = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const Bytes bgra = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    const Bytes grey = {9, 8, 7, 6};
    struct Case {
        uint8_t type, depth, descriptor;
        Bytes stored;
        uint8_t bits;
    } cases[] = {
        {2, 24, 0x00, bgr, 24},  {2, 24, 0x20, bgr, 24},  {2, 24, 0x30, bgr, 24},
        {2, 32, 0x08, bgra, 32}, {2, 32, 0x28, bgra, 32}, {3, 8, 0x00, grey, 8},
        {3, 8, 0x20, grey, 8},
    };
    for (const Case& c : cases) {
        TgaFields fields;
        fields.imageType = c.type;
        fields.depth = c.depth;
        fields.descriptor = c.descriptor;
        fields.width = 2;
        fields.height = 2;
        DecodedTga decoded = DecodeTgaBytes(BuildTga(fields, c.stored));
        SCOPED_TRACE(testing::Message()
                     << "type " << int(c.type) << " descriptor " << int(c.descriptor));
        ASSERT_EQ(1, decoded.result);
        EXPECT_EQ(2, decoded.image.width);
        EXPECT_EQ(2, decoded.image.height);
        EXPECT_EQ(c.bits, decoded.image.bitsPerPixel);
        EXPECT_EQ(c.stored, decoded.pixels);
    }
}

TEST(TgaRules, SixteenBitPixelsWidenWithLowBitsZeroAndAttributeDropped) {
    // Value -> blue, green, red: 5-bit fields shifted up by 3, bit 15 ignored.
    struct Case {
        uint16_t value;
        Bytes expected;
    } cases[] = {
        {0x7FFF, {0xF8, 0xF8, 0xF8}}, {0x8000, {0, 0, 0}},          {0x001F, {0xF8, 0, 0}},
        {0x03E0, {0, 0xF8, 0}},       {0x7C00, {0, 0, 0xF8}},       {0xFFFF, {0xF8, 0xF8, 0xF8}},
        {0x1234, {0xA0, 0x88, 0x20}}, {0x0421, {0x08, 0x08, 0x08}},
    };
    Bytes raw, rle, expected;
    for (const Case& c : cases) {
        Bytes value = {uint8_t(c.value & 0xFF), uint8_t(c.value >> 8)};
        raw.insert(raw.end(), value.begin(), value.end());
        rle.push_back(0x81);  // a run of two of each value
        rle.insert(rle.end(), value.begin(), value.end());
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    }
    TgaFields fields;
    fields.depth = 16;
    fields.width = sizeof(cases) / sizeof(cases[0]);
    DecodedTga decoded = DecodeTgaBytes(BuildTga(fields, raw));
    ASSERT_EQ(1, decoded.result);
    EXPECT_EQ(24, decoded.image.bitsPerPixel);
    EXPECT_EQ(expected, decoded.pixels);

    Bytes doubled;
    for (size_t i = 0; i < expected.size(); i += 3) {
        for (int twice = 0; twice < 2; ++twice) {
            doubled.insert(doubled.end(), expected.begin() + i, expected.begin() + i + 3);
        }
    }
    fields.imageType = 10;
    fields.width = 2 * fields.width;
    decoded = DecodeTgaBytes(BuildTga(fields, rle));
    ASSERT_EQ(1, decoded.result);
    EXPECT_EQ(24, decoded.image.bitsPerPixel);
    EXPECT_EQ(doubled, decoded.pixels);

    // A raw packet of 16-bit values widens just the same.
    fields.width = 3;
    decoded = DecodeTgaBytes(BuildTga(fields, {0x02, 0xFF, 0x7F, 0x00, 0x80, 0x1F, 0x00}));
    ASSERT_EQ(1, decoded.result);
    EXPECT_EQ(Bytes({0xF8, 0xF8, 0xF8, 0, 0, 0, 0xF8, 0, 0}), decoded.pixels);
}

TEST(TgaRules, RlePacketsRepeatCopyAndRunAcrossRowEnds) {
    TgaFields fields;
    fields.imageType = 10;
    fields.depth = 32;
    fields.width = 3;
    fields.height = 2;
    // Run of four (crossing from row 0 into row 1), then a raw packet of two.
    Bytes packets = {0x83, 10, 20, 30, 40, 0x01, 1, 2, 3, 4, 5, 6, 7, 8};
    DecodedTga decoded = DecodeTgaBytes(BuildTga(fields, packets));
    ASSERT_EQ(1, decoded.result);
    EXPECT_EQ(32, decoded.image.bitsPerPixel);
    Bytes expected = {10, 20, 30, 40, 10, 20, 30, 40, 10, 20, 30, 40,
                      10, 20, 30, 40, 1,  2,  3,  4,  5,  6,  7,  8};
    EXPECT_EQ(expected, decoded.pixels);

    // The same picture stored raw decodes to the same bytes.
    fields.imageType = 2;
    EXPECT_EQ(expected, DecodeTgaBytes(BuildTga(fields, expected)).pixels);

    // Grey and 24-bit packets, a raw packet crossing rows.
    fields.imageType = 11;
    fields.depth = 8;
    decoded = DecodeTgaBytes(BuildTga(fields, {0x03, 1, 2, 3, 4, 0x81, 9}));
    ASSERT_EQ(1, decoded.result);
    EXPECT_EQ(Bytes({1, 2, 3, 4, 9, 9}), decoded.pixels);
    fields.imageType = 10;
    fields.depth = 24;
    fields.height = 1;
    decoded = DecodeTgaBytes(BuildTga(fields, {0x80, 1, 2, 3, 0x81, 4, 5, 6}));
    ASSERT_EQ(1, decoded.result);
    EXPECT_EQ(Bytes({1, 2, 3, 4, 5, 6, 4, 5, 6}), decoded.pixels);
}

TEST(TgaRules, RlePacketRunningPastTheBlockIsCutOff) {
    TgaFields fields;
    fields.imageType = 10;
    fields.width = 2;
    fields.height = 2;
    // A run of 128 for a 4-pixel picture, then a raw packet of 3 where 1 fits.
    DecodedTga decoded = DecodeTgaBytes(BuildTga(fields, {0xFF, 1, 2, 3}));
    ASSERT_EQ(1, decoded.result);
    EXPECT_EQ(Bytes({1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3}), decoded.pixels);
    decoded = DecodeTgaBytes(BuildTga(fields, {0x82, 1, 2, 3, 0x02, 4, 5, 6}));
    ASSERT_EQ(1, decoded.result);
    EXPECT_EQ(Bytes({1, 2, 3, 1, 2, 3, 1, 2, 3, 4, 5, 6}), decoded.pixels);

    // The unpacker itself never writes past width * height pixels.
    Bytes block(3 * 4 + 8, 0xEE);
    Bytes source = {0xFF, 7, 7, 7};
    TgaCursor cursor{source.data(), source.size(), 0, false};
    DecodeTgaRle(block.data(), 2, 2, 24, &cursor);
    EXPECT_FALSE(cursor.overrun);
    EXPECT_EQ(Bytes(12, 7), Bytes(block.begin(), block.begin() + 12));
    EXPECT_EQ(Bytes(8, 0xEE), Bytes(block.begin() + 12, block.end()));
}

TEST(TgaRules, ColourMappedIndicesLookUpStoredEntries) {
    // Three blue-green-red entries; the first-entry index field (10) does not
    // shift the lookup: index 0 is the first stored entry.
    const Bytes palette = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    TgaFields fields;
    fields.colourMapType = 1;
    fields.colourMapFirst = 10;
    fields.colourMapLength = 3;
    fields.colourMapEntryBits = 24;
    fields.depth = 8;
    fields.width = 2;
    fields.height = 2;
    const Bytes expected = {7, 8, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    fields.imageType = 1;
    DecodedTga decoded = DecodeTgaBytes(BuildTga(fields, Concat({palette, {2, 0, 1, 2}})));
    ASSERT_EQ(1, decoded.result);
    EXPECT_EQ(24, decoded.image.bitsPerPixel);
    EXPECT_EQ(expected, decoded.pixels);

    fields.imageType = 9;
    decoded = DecodeTgaBytes(BuildTga(fields, Concat({palette, {0x00, 2, 0x81, 0, 0x80, 2}})));
    ASSERT_EQ(1, decoded.result);
    EXPECT_EQ(Bytes({7, 8, 9, 1, 2, 3, 1, 2, 3, 7, 8, 9}), decoded.pixels);

    // Index 3 is one past the map: refused, raw and run-length alike.
    fields.imageType = 1;
    EXPECT_EQ(0, DecodeTgaBytes(BuildTga(fields, Concat({palette, {2, 0, 3, 2}}))).result);
    fields.imageType = 9;
    EXPECT_EQ(0, DecodeTgaBytes(BuildTga(fields, Concat({palette, {0x83, 3}}))).result);
    fields.colourMapLength = 0;
    EXPECT_EQ(0, DecodeTgaBytes(BuildTga(fields, {0x83, 0})).result);
}

TEST(TgaRules, ImageIdAndUnusedColourMapAreSkipped) {
    const Bytes pixel = {11, 22, 33};
    TgaFields fields;
    fields.idLength = 255;
    DecodedTga decoded = DecodeTgaBytes(BuildTga(fields, Concat({Bytes(255, 0xAB), pixel})));
    ASSERT_EQ(1, decoded.result);
    EXPECT_EQ(pixel, decoded.pixels);

    // A true-colour or grey file may carry a colour map it does not use; the
    // map lies before the pixels whatever its entry size.
    struct Case {
        uint8_t type, depth, entryBits;
        uint16_t entries;
        Bytes pixels;
    } cases[] = {
        {2, 24, 24, 2, pixel}, {2, 24, 16, 3, pixel},  {2, 24, 15, 1, pixel},
        {3, 8, 32, 2, {44}},   {10, 24, 24, 2, pixel}, {11, 8, 24, 5, {44}},
    };
    for (const Case& c : cases) {
        TgaFields mapped;
        mapped.idLength = 2;
        mapped.colourMapType = 1;
        mapped.colourMapLength = c.entries;
        mapped.colourMapEntryBits = c.entryBits;
        mapped.imageType = c.type;
        mapped.depth = c.depth;
        Bytes data = c.type >= 9 ? Concat({{0x00}, c.pixels}) : c.pixels;
        size_t mapBytes = size_t(c.entries) * ((c.entryBits + 7) / 8);
        decoded =
            DecodeTgaBytes(BuildTga(mapped, Concat({{0xAB, 0xCD}, Bytes(mapBytes, 0xEE), data})));
        SCOPED_TRACE(testing::Message()
                     << "type " << int(c.type) << " entry bits " << int(c.entryBits));
        ASSERT_EQ(1, decoded.result);
        EXPECT_EQ(c.pixels, decoded.pixels);
    }
}

TEST(TgaRules, UndecodedTypesDepthsAndMapsAreRefusedLeavingTheRecord) {
    struct Case {
        uint8_t type, depth, mapType, mapBits;
    } cases[] = {
        // image types outside 1, 2, 3, 9, 10, 11
        {0, 24, 0, 0},
        {4, 24, 0, 0},
        {5, 24, 0, 0},
        {6, 8, 0, 0},
        {7, 8, 0, 0},
        {8, 8, 0, 0},
        {12, 24, 0, 0},
        {32, 8, 1, 24},
        {33, 8, 1, 24},
        {255, 24, 0, 0},
        // type and depth pairs outside the decoded set
        {2, 8, 0, 0},
        {2, 15, 0, 0},
        {10, 8, 0, 0},
        {3, 16, 0, 0},
        {11, 24, 0, 0},
        {1, 16, 1, 24},
        {9, 24, 1, 24},
        {2, 0, 0, 0},
        // colour-mapped without a 24-bit map
        {1, 8, 0, 24},
        {1, 8, 1, 16},
        {1, 8, 1, 32},
        {9, 8, 1, 15},
        {9, 8, 2, 24},
    };
    for (const Case& c : cases) {
        TgaFields fields;
        fields.imageType = c.type;
        fields.depth = c.depth;
        fields.colourMapType = c.mapType;
        fields.colourMapEntryBits = c.mapBits;
        fields.colourMapLength = c.mapType ? 1 : 0;
        DecodedTga decoded = DecodeTgaBytes(BuildTga(fields, Bytes(64, 0)));
        SCOPED_TRACE(testing::Message() << "type " << int(c.type) << " depth " << int(c.depth));
        EXPECT_EQ(0, decoded.result);
        EXPECT_TRUE(IsSentinelImage(decoded.image));
    }
}

TEST(TgaRules, EmptyOrOversizedPicturesAreRefused) {
    struct Case {
        uint8_t type, depth;
        uint16_t width, height;
        size_t dataBytes;
    } cases[] = {
        {2, 24, 0, 5, 64},           {2, 24, 5, 0, 64},
        {10, 24, 0, 0, 64},          {3, 8, 0, 1, 64},
        {2, 32, 65535, 65535, 4096}, {10, 32, 65535, 65535, 4096},
        {11, 8, 65535, 65535, 4096}, {2, 16, 100, 100, 19999},
        {10, 24, 1000, 1000, 4096},
    };
    for (const Case& c : cases) {
        TgaFields fields;
        fields.imageType = c.type;
        fields.depth = c.depth;
        fields.width = c.width;
        fields.height = c.height;
        DecodedTga decoded = DecodeTgaBytes(BuildTga(fields, Bytes(c.dataBytes, 0x80)));
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        EXPECT_EQ(0, decoded.result);
        EXPECT_TRUE(IsSentinelImage(decoded.image));
    }
}

TEST(TgaRules, LoadTgaReadsFilesAndRefusesMissingOrForeignOnes) {
    TgaFields fields;
    fields.width = 2;
    WriteBytes("rules_plain.tga", BuildTga(fields, {1, 2, 3, 4, 5, 6}));
    DecodedTga decoded = LoadTgaFile("rules_plain.tga");
    ASSERT_EQ(1, decoded.result);
    EXPECT_EQ(Bytes({1, 2, 3, 4, 5, 6}), decoded.pixels);

    EXPECT_EQ(0, LoadTgaFile("no/such/file.tga").result);
    WriteBytes("rules_empty.tga", {});
    EXPECT_EQ(0, LoadTgaFile("rules_empty.tga").result);
    // The start of a JPEG file: SOI, then APP0. Byte 2 (0xFF) is no TGA type.
    WriteBytes("rules_jpeg.tga",
               Concat({{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'}, Bytes(200, 0)}));
    decoded = LoadTgaFile("rules_jpeg.tga");
    EXPECT_EQ(0, decoded.result);
    EXPECT_TRUE(IsSentinelImage(decoded.image));
    EXPECT_EQ(0, LoadTgaFile(".").result);  // a directory
}

}  // namespace
