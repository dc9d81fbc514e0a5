// Files written by ImageMagick in every TGA type it writes decode to the same
// pixels as ImageMagick's own decode.
//
// ImageMagick writes its rows in its own memory order and sets the
// descriptor's origin bit (0x20, top left) from the picture's orientation tag:
// a picture with no tag is stored top row first yet marked bottom-left. Its
// reader does not reorder rows either, so the comparison uses `-auto-orient`,
// which turns the decode upright by the origin bit as the TGA format defines
// it. Our reader keeps stored order, so with the bit clear its memory row r is
// upright row height-1-r, and with the bit set it is upright row r.
#include <gtest/gtest.h>

#include <string>

#include "tga_test_files.h"

namespace {

struct WrittenKind {
    const char* name;
    const char* options;  // what turns the plasma picture into this kind
    uint8_t imageType;
    uint8_t depth;
    uint8_t bitsPerPixel;
};

const WrittenKind kWrittenKinds[] = {
    {"mapped", "-colors 40 -type Palette -compress None", 1, 8, 24},
    {"mapped_rle", "-colors 40 -type Palette -compress RLE", 9, 8, 24},
    {"true24", "-type TrueColor -compress None", 2, 24, 24},
    {"true24_rle", "-type TrueColor -compress RLE", 10, 24, 24},
    {"true32", "ALPHA -compress None", 2, 32, 32},
    {"true32_rle", "ALPHA -compress RLE", 10, 32, 32},
    {"grey", "-colorspace Gray -type Grayscale -compress None", 3, 8, 8},
    {"grey_rle", "-colorspace Gray -type Grayscale -compress RLE", 11, 8, 8},
};

const int kSizes[][2] = {{1, 1}, {17, 13}, {33, 65}, {1, 300}, {300, 1}};

std::string SizeText(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

// Seeded plasma with a flat rectangle over part of it, so run-length files
// hold both run and raw packets; ALPHA adds a gradient as the alpha channel.
std::string WriteTgaWithImageMagick(const WrittenKind& kind, int width, int height,
                                    const std::string& extra) {
    std::string size = SizeText(width, height);
    std::string fileName =
        std::string("im_") + kind.name + "_" + size + (extra.empty() ? "" : "_oriented") + ".tga";
    std::string options = kind.options;
    if (options.compare(0, 5, "ALPHA") == 0) {
        options = "\\( -size " + size +
                  " gradient:white-black \\) -alpha off -compose CopyOpacity " +
                  "-composite -type TrueColorAlpha" + options.substr(5);
    }
    std::string command = "convert -seed 11 -size " + size + " plasma: -fill '#3366cc' -draw " +
                          "'rectangle 0,0 " + std::to_string(width / 2) + "," +
                          std::to_string(height / 3) + "' -depth 8 " + options + " " + extra + " " +
                          fileName + " 2>&1";
    std::string output;
    EXPECT_EQ(0, RunCommand(command, &output)) << command << "\n" << output;
    return fileName;
}

bool DecodeUprightWithImageMagick(const std::string& tgaName, PamPicture* picture) {
    std::string pamName = tgaName + ".ref.pam";
    std::string command = "convert " + tgaName + " -auto-orient -depth 8 " + pamName + " 2>&1";
    std::string output;
    if (RunCommand(command, &output) != 0) return false;
    return ReadPam(pamName, picture);
}

// Compares our stored-order, blue-first pixels with an upright, red-first PAM.
void ExpectSamePixels(const DecodedTga& decoded, const PamPicture& reference, bool topLeft) {
    int channels = decoded.image.bitsPerPixel / 8;
    ASSERT_EQ(decoded.image.width, reference.width);
    ASSERT_EQ(decoded.image.height, reference.height);
    ASSERT_EQ(channels, reference.depth);
    int width = reference.width, height = reference.height;
    for (int row = 0; row < height; ++row) {
        int uprightRow = topLeft ? row : height - 1 - row;
        for (int x = 0; x < width; ++x) {
            const uint8_t* ours = &decoded.pixels[(size_t(row) * width + x) * channels];
            const uint8_t* theirs = &reference.samples[(size_t(uprightRow) * width + x) * channels];
            for (int c = 0; c < channels; ++c) {
                int theirChannel = (channels >= 3 && c < 3) ? 2 - c : c;
                if (ours[c] != theirs[theirChannel]) {
                    FAIL() << "row " << row << " column " << x << " channel " << c << ": "
                           << int(ours[c]) << " vs " << int(theirs[theirChannel]);
                }
            }
        }
    }
}

void CheckAgainstImageMagick(const WrittenKind& kind, int width, int height,
                             const std::string& extra) {
    SCOPED_TRACE(testing::Message() << kind.name << " " << SizeText(width, height) << extra);
    std::string fileName = WriteTgaWithImageMagick(kind, width, height, extra);
    Bytes file = ReadBytes(fileName);
    ASSERT_GE(file.size(), 18u);
    ASSERT_EQ(kind.imageType, file[2]) << "ImageMagick wrote another type";
    ASSERT_EQ(kind.depth, file[16]);
    bool topLeft = (file[17] & 0x20) != 0;

    DecodedTga decoded = LoadTgaFile(fileName);
    ASSERT_EQ(1, decoded.result);
    EXPECT_EQ(kind.bitsPerPixel, decoded.image.bitsPerPixel);
    PamPicture reference;
    ASSERT_TRUE(DecodeUprightWithImageMagick(fileName, &reference));
    ExpectSamePixels(decoded, reference, topLeft);
}

TEST(TgaImageMagick, EveryWrittenKindAndSizeMatchesImageMagicksDecode) {
    for (const WrittenKind& kind : kWrittenKinds) {
        for (const auto& size : kSizes)
            CheckAgainstImageMagick(kind, size[0], size[1], "");
    }
}

TEST(TgaImageMagick, TopLeftOriginFilesKeepTheirStoredRowOrder) {
    for (const WrittenKind& kind : kWrittenKinds) {
        CheckAgainstImageMagick(kind, 17, 13, "-orient TopLeft");
        Bytes file = ReadBytes(std::string("im_") + kind.name + "_17x13_oriented.tga");
        ASSERT_GE(file.size(), 18u);
        EXPECT_NE(0, file[17] & 0x20) << kind.name << " is not marked top-left";
    }
}

TEST(TgaImageMagick, ImageDumpWritesTheUprightPictureImageMagickShows) {
    const std::string dump = std::string(VIEWER_TOOLS_DIR) + "/image/image_dump";
    for (const WrittenKind& kind : kWrittenKinds) {
        SCOPED_TRACE(kind.name);
        std::string fileName = WriteTgaWithImageMagick(kind, 17, 13, "");
        Bytes file = ReadBytes(fileName);
        ASSERT_GE(file.size(), 18u);
        ASSERT_EQ(0, file[17] & 0x20);  // marked bottom-left
        std::string output;
        ASSERT_EQ(0, RunCommand(dump + " " + fileName + " dump.pam", &output));
        EXPECT_EQ("17 13 " + std::to_string(kind.bitsPerPixel) + " tga\n", output);
        PamPicture ours, reference;
        ASSERT_TRUE(ReadPam("dump.pam", &ours));
        ASSERT_TRUE(DecodeUprightWithImageMagick(fileName, &reference));
        EXPECT_EQ(reference.tupleType, ours.tupleType);
        EXPECT_EQ(reference.depth, ours.depth);
        EXPECT_TRUE(reference.samples == ours.samples);

        output.clear();
        ASSERT_EQ(0, RunCommand(dump + " " + fileName + " dump.pam --reader tga", &output));
        EXPECT_EQ("17 13 " + std::to_string(kind.bitsPerPixel) + " tga\n", output);
    }
    // Readers are picked by content, TGA first: a JPEG named .tga goes to the
    // JPEG reader, a TGA named .jpg to the TGA reader.
    std::string output;
    ASSERT_EQ(0,
              RunCommand("convert -seed 4 -size 19x7 plasma: -quality 90 jpeg:dump_jpeg.tga 2>&1"));
    ASSERT_EQ(0, RunCommand(dump + " dump_jpeg.tga dump.pam", &output));
    EXPECT_EQ("19 7 24 jpeg\n", output);
    PamPicture fromJpeg;
    ASSERT_TRUE(ReadPam("dump.pam", &fromJpeg));
    EXPECT_EQ("RGB", fromJpeg.tupleType);
    EXPECT_EQ(1, RunCommand(dump + " dump_jpeg.tga dump.pam --reader tga 2>/dev/null"));
    WriteBytes("dump_tga.jpg", ReadBytes("im_grey_17x13.tga"));
    output.clear();
    ASSERT_EQ(0, RunCommand(dump + " dump_tga.jpg dump.pam", &output));
    EXPECT_EQ("17 13 8 tga\n", output);

    WriteBytes("not_a_picture.bin", Bytes(100, 0x42));
    std::string ignored;
    EXPECT_EQ(1, RunCommand(dump + " not_a_picture.bin dump.pam 2>/dev/null", &ignored));
    EXPECT_EQ(
        1, RunCommand(dump + " im_true24_17x13.tga dump.pam --reader jpeg 2>/dev/null", &ignored));
    EXPECT_EQ(
        2, RunCommand(dump + " im_true24_17x13.tga dump.pam --reader png 2>/dev/null", &ignored));
    EXPECT_EQ("", ignored);
}

}  // namespace
