// Files of every TGA type ImageMagick writes, against its decode and through
// image_dump. ImageMagick marks rows bottom-left unless -orient TopLeft sets bit
// 0x20; -auto-orient turns its decode upright by that bit. We keep stored
// order: with the bit clear our memory row r is upright row height-1-r.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/command_output.h"
#include "tga_test_files.h"

namespace {

const std::string kDump = std::string(VIEWER_TOOLS_DIR) + "/image/image_dump";
const std::string kAlpha =  // a gradient, at the -size in force, as alpha channel
    "\\( gradient:white-black \\) -alpha off -compose CopyOpacity -composite -type TrueColorAlpha";

struct WrittenKind {
    const char* name;
    const char* options;             // ALPHA: kAlpha first
    int typeAndDepth, bitsPerPixel;  // type << 8 | depth
};

const WrittenKind kKinds[] = {
    {"mapped", "-colors 40 -type Palette -compress None", 0x0108, 24},
    {"mapped_rle", "-colors 40 -type Palette -compress RLE", 0x0908, 24},
    {"true24", "-type TrueColor -compress None", 0x0218, 24},
    {"true24_rle", "-type TrueColor -compress RLE", 0x0A18, 24},
    {"true32", "ALPHA -compress None", 0x0220, 32},
    {"true32_rle", "ALPHA -compress RLE", 0x0A20, 32},
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
            std::string options = kind.options;
            if (options.rfind("ALPHA", 0) == 0) options = kAlpha + options.substr(5);
            ASSERT_EQ(0, system(("convert -seed 11 -size " + size + " plasma: -fill '#3366cc' " +
                                 "-draw 'rectangle 0,0 " + std::to_string(width / 2) + "," +
                                 std::to_string(height / 3) + "' -depth 8 " + options +
                                 (topLeft ? " -orient TopLeft" : "") + " im.tga")
                                    .c_str()));
            ASSERT_EQ(0, system("convert im.tga -auto-orient -depth 8 im.pam"));
            Bytes file = ReadBytes("im.tga"), reference = ReadBytes("im.pam");
            ASSERT_EQ(kind.typeAndDepth, file.at(2) << 8 | file.at(16));
            ASSERT_EQ(topLeft, (file.at(17) & 0x20) != 0);

            DecodedTga decoded = LoadTgaFile("im.tga");
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
