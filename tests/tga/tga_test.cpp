// The TGA reader on hand-built files decoded by hand, refused and cut files, and
// files of every type ImageMagick writes against its decode and through
// image_dump. ImageMagick marks rows bottom-left unless -orient TopLeft sets bit
// 0x20; -auto-orient turns its decode upright by that bit. We keep stored order:
// with the bit clear our memory row r is upright row height-1-r.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "image/tga/tga.h"
#include "tests/support/bytes.h"
#include "tests/support/command_output.h"

namespace {

// The header fields, most often set first.
struct TgaFields {
    uint8_t imageType = 2, depth = 24;
    uint16_t width = 1, height = 1;
    uint8_t colourMapType = 0, colourMapLength = 0, colourMapEntryBits = 0, colourMapFirst = 0,
            idLength = 0, descriptor = 0;
};

// The 18-byte header, little-endian, then `rest` (ID, colour map, pixels).
Bytes BuildTga(const TgaFields& f, const Bytes& rest) {
    return Cat({{f.idLength, f.colourMapType, f.imageType, f.colourMapFirst, 0, f.colourMapLength,
                 0, f.colourMapEntryBits, 0, 0, 0, 0, uint8_t(f.width), uint8_t(f.width >> 8),
                 uint8_t(f.height), uint8_t(f.height >> 8), f.depth, f.descriptor},
                rest});
}

// Result 1 with the pixels copied out; 0 for a failure that left the record
// as it was, -1 for one that changed it.
struct DecodedTga {
    int result, width, height, bitsPerPixel;
    Bytes pixels;
};

// The bytes of `file`, or where a name is given the file of that name.
DecodedTga Decode(const Bytes& file, const std::string& fileName = "") {
    static uint8_t sentinel;
    Image image{4321, 1234, 77, &sentinel};
    int result = fileName.empty() ? DecodeTga(file.data(), file.size(), &image)
                                  : LoadTga(fileName.c_str(), &image);
    bool untouched = image.width == 4321 && image.height == 1234 && image.bitsPerPixel == 77 &&
                     image.pixels == &sentinel;
    if (result != 1) return {result == 0 && untouched ? 0 : -1, 0, 0, 0, {}};
    const size_t size = size_t(image.width) * image.height * (image.bitsPerPixel / 8);
    DecodedTga decoded{1, image.width, image.height, image.bitsPerPixel,
                       Bytes(image.pixels, image.pixels + size)};
    free(image.pixels);
    return decoded;
}

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
    return Decode(BuildTga(f, rest));
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
    // An empty file is the first cut file below; a JPEG is image_dump's case.
    for (const char* name : {"no/such/file.tga", "."})
        EXPECT_EQ(0, Decode({}, name).result) << name;
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
        DecodedTga whole = Decode(file);
        WriteBytes("damage.tga", file);
        DecodedTga loaded = Decode({}, "damage.tga");
        ASSERT_EQ(1, whole.result);
        EXPECT_EQ(whole.bitsPerPixel, loaded.bitsPerPixel);
        EXPECT_EQ(whole.pixels, loaded.pixels);
        for (size_t length = 0; length < file.size(); ++length) {
            Bytes cut(file.begin(), file.begin() + long(length));
            WriteBytes("damage.tga", cut);
            EXPECT_EQ(0, Decode(cut).result) << length;
            EXPECT_EQ(0, Decode({}, "damage.tga").result) << length;
        }
    }
}

const std::string kDump = std::string(VIEWER_TOOLS_DIR) + "/image/image_dump";
const std::string kAlpha =  // a gradient, at the -size in force, as alpha channel
    "\\( gradient:white-black \\) -alpha off -compose CopyOpacity -composite -type TrueColorAlpha";

struct WrittenKind {
    const char* name;
    std::string options;
    int typeAndDepth, bitsPerPixel;  // type << 8 | depth
};

const WrittenKind kKinds[] = {
    {"mapped", "-colors 40 -type Palette -compress None", 0x0108, 24},
    {"mapped_rle", "-colors 40 -type Palette -compress RLE", 0x0908, 24},
    {"true24", "-type TrueColor -compress None", 0x0218, 24},
    {"true24_rle", "-type TrueColor -compress RLE", 0x0A18, 24},
    {"true32", kAlpha + " -compress None", 0x0220, 32},
    {"true32_rle", kAlpha + " -compress RLE", 0x0A20, 32},
    {"grey", "-colorspace Gray -type Grayscale -compress None", 0x0308, 8},
    {"grey_rle", "-colorspace Gray -type Grayscale -compress RLE", 0x0B08, 8}};

}  // namespace

// A seeded plasma with a flat rectangle, so run-length files hold run and raw
// packets; the last size is written marked top-left.
TEST(TgaImageMagick, WrittenFilesDecodeAsImageMagickDecodesThemAndDumpUpright) {
    const int sizes[][2] = {{1, 1}, {33, 65}, {300, 1}, {17, 13}};
    for (const WrittenKind& kind : kKinds) {
        for (int s = 0; s < 4; ++s) {
            int width = sizes[s][0], height = sizes[s][1];
            bool topLeft = s == 3;
            std::string size = std::to_string(width) + "x" + std::to_string(height);
            SCOPED_TRACE(std::string(kind.name) + " " + size + (topLeft ? " top-left" : ""));
            ASSERT_EQ(0, system(("convert -seed 11 -size " + size + " plasma: -fill '#3366cc' " +
                                 "-draw 'rectangle 0,0 " + std::to_string(width / 2) + "," +
                                 std::to_string(height / 3) + "' -depth 8 " + kind.options +
                                 (topLeft ? " -orient TopLeft" : "") + " im.tga")
                                    .c_str()));
            ASSERT_EQ(0, system("convert im.tga -auto-orient -depth 8 im.pam"));
            Bytes file = ReadBytes("im.tga"), reference = ReadBytes("im.pam");
            ASSERT_EQ(kind.typeAndDepth, file.at(2) << 8 | file.at(16));
            ASSERT_EQ(topLeft, (file.at(17) & 0x20) != 0);

            DecodedTga decoded = Decode({}, "im.tga");
            ASSERT_EQ(1, decoded.result);
            ASSERT_EQ(kind.bitsPerPixel, decoded.bitsPerPixel);
            int channels = kind.bitsPerPixel / 8;
            Bytes upright;  // ours turned upright and red first
            for (int r = 0; r < height; ++r) {
                size_t row = size_t(topLeft ? r : height - 1 - r) * width * channels;
                for (int i = 0; i < width * channels; ++i) {
                    int c = i % channels, swapped = channels >= 3 && c < 3 ? 2 - c : c;
                    upright.push_back(decoded.pixels[row + i - c + swapped]);
                }
            }
            ASSERT_GT(reference.size(), upright.size());  // PAM samples follow the header
            EXPECT_TRUE(
                std::equal(upright.begin(), upright.end(), reference.end() - upright.size()));
            if (topLeft) continue;  // image_dump shows memory rows last to first
            ASSERT_EQ(0, system((kDump + " im.tga dump.pam > /dev/null").c_str()));
            EXPECT_TRUE(ReadBytes("dump.pam") == reference);
        }
    }
}

// image_dump picks the reader by content, TGA first; exit status 1 when no
// reader (or not the named one) reads the file, 2 on a usage error.
TEST(TgaImageMagick, ImageDumpPicksTheReaderByContent) {
    ASSERT_EQ(0, system("convert -seed 4 -size 19x7 plasma: jpeg:dump_jpeg.tga && convert "
                        "dump_jpeg.tga -type Grayscale -compress None tga:dump_tga.jpg"));
    WriteBytes("dump_garbage.bin", Bytes(100, 0x42));
    // What it prints, then its exit status.
    const char* cases[][3] = {{"dump_jpeg.tga", "", "19 7 24 jpeg\n0"},
                              {"dump_jpeg.tga", "--reader tga", "1"},
                              {"dump_tga.jpg", "", "19 7 8 tga\n0"},
                              {"dump_tga.jpg", "--reader jpeg", "1"},
                              {"dump_garbage.bin", "", "1"},
                              {"dump_tga.jpg", "--reader png", "2"}};
    for (auto [input, options, output] : cases)
        EXPECT_EQ(std::string(output) + "\n", CommandOutput(kDump + " " + input + " dump.pam " +
                                                            options + " 2>/dev/null; echo $?"))
            << input << " " << options;
}
