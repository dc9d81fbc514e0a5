// Hand-built files whose decoded bytes are worked out by hand from the TGA
// format's rules, every file the reader refuses, and cut files.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "tga_test_files.h"

namespace {

// Header fields (type, depth, width, height; then map type, length, entry
// bits, first entry, ID length, descriptor, by default 0; then the count of
// bytes of 0x80 after the ID where no hex is given, by default 64), the bytes
// after the ID in hex and the decoded bytes, none where the file is refused.
const char* const kFiles[][3] = {
    // Rows and channels stay in stored order whatever the origin bits say.
    {"2 24 2 2 0 0 0 0 0 48", "010203 040506 070809 0A0B0C", "010203 040506 070809 0A0B0C"},
    // 16 bits little-endian: attribute bit dropped, 5-bit fields to the top of
    // blue, green, red, the low three bits zero.
    {"2 16 6 1", "FF7F 0080 1F00 E003 007C 3412", "F8F8F8 000000 F80000 00F800 0000F8 A08820"},
    {"10 16 3 1", "81 3412 00 2184", "A08820 A08820 080808"},
    // Packets run on across row ends; a packet past the last pixel is cut off.
    {"10 32 3 2", "83 0A141E28 01 01020304 05060708",
     "0A141E28 0A141E28 0A141E28 0A141E28 01020304 05060708"},
    {"10 24 2 2", "FF 010203", "010203 010203 010203 010203"},
    {"10 24 2 2", "82 010203 02 040506", "010203 010203 010203 040506"},
    // Index k is the k-th stored entry whatever the first-entry field (10) says.
    {"1 8 2 2 1 3 24 10", "010203 040506 070809 02000102", "070809 010203 040506 070809"},
    {"1 8 2 2 1 3 24 10", "010203 040506 070809 02000302", ""},
    {"9 8 2 2 1 3 24", "010203 040506 070809 8303", ""},
    {"9 8 2 2 1 0 24", "8300", ""},
    // The image ID and a map a true-colour or grey file does not use lie
    // before the pixels, whatever the map's entry size.
    {"2 24 1 1 0 0 0 0 255", "0B1621", "0B1621"},
    {"2 24 1 1 1 1 15", "EEEE 0B1621", "0B1621"},
    {"11 8 1 1 1 2 32", "EEEEEEEE EEEEEEEE 002C", "2C"},
};
// Undecoded types and type/depth pairs, maps other than 24-bit, no pixels,
// more pixels than the file holds.
const char kRefused[] =
    "0 24, 4 24, 5 24, 6 8, 7 8, 8 8, 12 24, 255 24, 32 8 1 1 1 1 24, 33 8 1 1 1 1 24, 2 8, 2 15, "
    "2 0, 10 8, 3 16, 11 24, 1 16 1 1 1 1 24, 9 24 1 1 1 1 24, 1 8 1 1 0 1 24, 1 8 1 1 1 1 16, "
    "1 8 1 1 1 1 32, 9 8 1 1 1 1 15, 9 8 1 1 2 1 24, 2 24 0 5, 2 24 5 0, 10 24 0 0, 3 8 0 1, "
    "2 32 65535 65535, 10 32 65535 65535, 11 8 65535 65535, 2 16 100 100 0 0 0 0 0 0 19999, "
    "10 24 1000 1000";

DecodedTga DecodeRow(const std::string& fields, const char* data, TgaFields* header = nullptr) {
    TgaFields f;
    int dataBytes = 64;
    sscanf(fields.c_str(), "%hhu %hhu %hu %hu %hhu %hhu %hhu %hhu %hhu %hhu %d", &f.imageType,
           &f.depth, &f.width, &f.height, &f.colourMapType, &f.colourMapLength,
           &f.colourMapEntryBits, &f.colourMapFirst, &f.idLength, &f.descriptor, &dataBytes);
    Bytes rest = Cat({Bytes(f.idLength, 0xEE), data ? Hex(data) : Bytes(dataBytes, 0x80)});
    if (header) *header = f;
    return DecodeTgaBytes(BuildTga(f, rest));
}

TEST(TgaRules, HandBuiltFilesDecodeToTheHandWorkedBytesOrLeaveTheRecordUntouched) {
    for (const auto& [fields, data, expected] : kFiles) {
        SCOPED_TRACE(fields);
        TgaFields f;
        DecodedTga decoded = DecodeRow(fields, data, &f);
        ASSERT_EQ(*expected ? 1 : 0, decoded.result);
        if (decoded.result != 1) continue;
        EXPECT_EQ(f.width << 16 | f.height, decoded.width << 16 | decoded.height);
        EXPECT_EQ(Hex(expected), decoded.pixels);
    }
    std::istringstream refused(kRefused);
    for (std::string row; std::getline(refused, row, ',');)
        EXPECT_EQ(0, DecodeRow(row, nullptr).result) << row;
    WriteBytes("rules_empty.tga", {});
    // A JPEG's third byte, 0xFF, is no TGA type.
    WriteBytes("rules_jpeg.tga", Cat({Hex("FFD8FFE000104A464946"), Bytes(200, 0)}));
    for (const char* name : {"no/such/file.tga", "rules_empty.tga", "rules_jpeg.tga", "."})
        EXPECT_EQ(0, LoadTgaFile(name).result) << name;
}

// Every decoded type and depth with an image ID and a colour map, used or not;
// run-length files hold a run across the row end, a raw packet, another run.
// Every prefix is refused, from memory and from a file (LoadTga reads raw 8-,
// 24- and 32-bit pixels straight into the block), and the whole file reads
// alike both ways. Flipped bytes are the fuzzer's (fuzz/tga).
TEST(TgaDamage, CutFilesAreRefused) {
    for (int kind :  // type << 8 | depth
         {0x0108, 0x0908, 0x0210, 0x0A10, 0x0218, 0x0A18, 0x0220, 0x0A20, 0x0308, 0x0B08}) {
        uint8_t type = uint8_t(kind >> 8), depth = uint8_t(kind);
        SCOPED_TRACE(testing::Message() << "type " << int(type) << " depth " << int(depth));
        auto pixel = [&](int k) { return Bytes(depth / 8, uint8_t(17 * k % 4)); };
        Bytes data;
        for (int k = 0; k < (type < 9 ? 15 : 4); ++k)
            data = Cat({data, pixel(k)});
        if (type >= 9) data = Cat({{0x86}, pixel(1), {0x03}, data, {0x83}, pixel(3)});
        const Bytes file =
            BuildTga({type, depth, 5, 3, 1, 4, 24, 0, 3},
                     Cat({{'i', 'd', '!'}, Hex("282930 313233 343536 373839"), data}));
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
