// Hand-built files whose decoded bytes are worked out by hand from the TGA
// format's rules, every file the reader refuses, and damaged files.
#include <gtest/gtest.h>

#include <cstdio>

#include "tga_test_files.h"

namespace {

// Header, `skipped` bytes of ID or unused map, hex `data`; "" expects refusal.
void ExpectDecode(const char* name, TgaFields fields, int skipped, const char* data, int bits,
                  const char* expected) {
    SCOPED_TRACE(name);
    DecodedTga decoded = DecodeTgaBytes(BuildTga(fields, Cat(Bytes(skipped, 0xEE), Hex(data))));
    ASSERT_EQ(*expected ? 1 : 0, decoded.result);
    if (!*expected) return;
    EXPECT_EQ((std::vector<int>{fields.width, fields.height, bits}),
              (std::vector<int>{decoded.width, decoded.height, decoded.bitsPerPixel}));
    EXPECT_EQ(Hex(expected), decoded.pixels);
}

TEST(TgaRules, HandBuiltFilesDecodeToTheHandWorkedBytes) {
    // Rows and channels stay in stored order whatever the origin bits say.
    ExpectDecode("24-bit, origin bits set", {2, 24, 2, 2, 0x30}, 0, "010203 040506 070809 0A0B0C",
                 24, "010203 040506 070809 0A0B0C");
    // 16 bits little-endian: attribute bit dropped, 5-bit fields to the top of
    // blue, green, red, the low three bits zero.
    ExpectDecode("16-bit raw", {2, 16, 6, 1}, 0, "FF7F 0080 1F00 E003 007C 3412", 24,
                 "F8F8F8 000000 F80000 00F800 0000F8 A08820");
    ExpectDecode("16-bit run and raw", {10, 16, 3, 1}, 0, "81 3412 00 2184", 24,
                 "A08820 A08820 080808");
    // Packets run on across row ends; a packet past the last pixel is cut off.
    ExpectDecode("32-bit run across a row end", {10, 32, 3, 2}, 0,
                 "83 0A141E28 01 01020304 05060708", 32,
                 "0A141E28 0A141E28 0A141E28 0A141E28 01020304 05060708");
    ExpectDecode("run of 128 cut off", {10, 24, 2, 2}, 0, "FF 010203", 24,
                 "010203 010203 010203 010203");
    ExpectDecode("raw packet cut off", {10, 24, 2, 2}, 0, "82 010203 02 040506", 24,
                 "010203 010203 010203 040506");
    // Index k is the k-th stored entry whatever the first-entry field (10) says.
    const TgaFields mapped{1, 8, 2, 2, 0, 1, 3, 24, 10}, mappedRle{9, 8, 2, 2, 0, 1, 3, 24};
    ExpectDecode("colour-mapped", mapped, 0, "010203 040506 070809 02000102", 24,
                 "070809 010203 040506 070809");
    ExpectDecode("index past the map", mapped, 0, "010203 040506 070809 02000302", 0, "");
    ExpectDecode("run-length index past the map", mappedRle, 0, "010203 040506 070809 8303", 0, "");
    ExpectDecode("index into an empty map", {9, 8, 2, 2, 0, 1, 0, 24}, 0, "8300", 0, "");
    // The image ID and a map a true-colour or grey file does not use lie
    // before the pixels, whatever the map's entry size.
    ExpectDecode("255-byte image ID", {2, 24, 1, 1, 0, 0, 0, 0, 0, 255}, 255, "0B1621", 24,
                 "0B1621");
    ExpectDecode("unused 15-bit map", {2, 24, 1, 1, 0, 1, 1, 15}, 2, "0B1621", 24, "0B1621");
    ExpectDecode("unused 32-bit map, run-length", {11, 8, 1, 1, 0, 1, 2, 32}, 8, "002C", 8, "2C");
}

TEST(TgaRules, RefusedFilesLeaveTheRecordUntouched) {
    // Type, depth, width, height, map type, length, entry bits, data bytes (by
    // default 1 x 1, no map, 64 bytes): undecoded types and type/depth pairs,
    // maps other than 24-bit, no pixels, more pixels than the file holds.
    std::istringstream rows(
        "0 24, 4 24, 5 24, 6 8, 7 8, 8 8, 12 24, 255 24, 32 8 1 1 1 1 24, 33 8 1 1 1 1 24, "
        "2 8, 2 15, 2 0, 10 8, 3 16, 11 24, 1 16 1 1 1 1 24, 9 24 1 1 1 1 24, "
        "1 8 1 1 0 1 24, 1 8 1 1 1 1 16, 1 8 1 1 1 1 32, 9 8 1 1 1 1 15, 9 8 1 1 2 1 24, "
        "2 24 0 5, 2 24 5 0, 10 24 0 0, 3 8 0 1, 2 32 65535 65535 0 0 0 4096, "
        "10 32 65535 65535 0 0 0 4096, 11 8 65535 65535 0 0 0 4096, "
        "2 16 100 100 0 0 0 19999, 10 24 1000 1000 0 0 0 4096");
    for (std::string row; std::getline(rows, row, ',');) {
        TgaFields f;  // 1 x 1 unless the row says otherwise
        int dataBytes = 64;
        sscanf(row.c_str(), "%hhu %hhu %hu %hu %hhu %hhu %hhu %d", &f.imageType, &f.depth, &f.width,
               &f.height, &f.colourMapType, &f.colourMapLength, &f.colourMapEntryBits, &dataBytes);
        EXPECT_EQ(0, DecodeTgaBytes(BuildTga(f, Bytes(dataBytes, 0x80))).result) << row;
    }
    WriteBytes("rules_empty.tga", {});
    // A JPEG's third byte, 0xFF, is no TGA type.
    WriteBytes("rules_jpeg.tga", Cat(Hex("FFD8FFE000104A464946"), Bytes(200, 0)));
    for (const char* name : {"no/such/file.tga", "rules_empty.tga", "rules_jpeg.tga", "."})
        EXPECT_EQ(0, LoadTgaFile(name).result) << name;
}

// Every decoded type and depth with an image ID and a colour map, used or not;
// run-length files hold a run across the row end, a raw packet, another run.
std::vector<Bytes> WellFormedFiles() {
    std::vector<Bytes> files;
    // Type << 8 | depth.
    for (int kind :
         {0x0108, 0x0908, 0x0210, 0x0A10, 0x0218, 0x0A18, 0x0220, 0x0A20, 0x0308, 0x0B08}) {
        uint8_t type = uint8_t(kind >> 8), depth = uint8_t(kind);
        auto pixel = [&](int k) { return Bytes(depth / 8, uint8_t(17 * k % 4)); };
        Bytes data;
        for (int k = 0; k < (type < 9 ? 15 : 4); ++k)
            data = Cat(data, pixel(k));
        if (type >= 9)
            data = Cat(Cat(Cat({0x86}, pixel(1)), Cat({0x03}, data)), Cat({0x83}, pixel(3)));
        Bytes idAndMap = Cat({'i', 'd', '!'}, Hex("282930 313233 343536 373839"));
        files.push_back(BuildTga({type, depth, 5, 3, 0, 1, 4, 24, 0, 3}, Cat(idAndMap, data)));
    }
    return files;
}

// Every prefix is refused, from memory and from a file (LoadTga reads raw 8-,
// 24- and 32-bit pixels straight into the block). Flipped bytes are the
// fuzzer's (fuzz/tga).
TEST(TgaDamage, CutFilesAreRefused) {
    for (const Bytes& file : WellFormedFiles()) {
        SCOPED_TRACE(testing::Message() << "type " << int(file[2]) << " depth " << int(file[16]));
        DecodedTga whole = DecodeTgaBytes(file);
        WriteBytes("damage.tga", file);
        DecodedTga loaded = LoadTgaFile("damage.tga");
        ASSERT_EQ(1, whole.result);
        EXPECT_EQ(whole.bitsPerPixel, loaded.bitsPerPixel);
        EXPECT_EQ(whole.pixels, loaded.pixels);
        for (size_t length = 0; length < file.size(); ++length) {
            Bytes cut(file.begin(), file.begin() + long(length));
            WriteBytes("damage.tga", cut);
            EXPECT_EQ(0, DecodeTgaBytes(cut).result) << length;
            EXPECT_EQ(0, LoadTgaFile("damage.tga").result) << length;
        }
    }
}

}  // namespace
