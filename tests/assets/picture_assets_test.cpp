// The default pictures load through the viewer's readers with the sizes and
// depths the program expects, the TGA files are stored as the readers assume,
// the font holds glyphs only where the overlay prints them, and the quartz
// pictures tile and match each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/assets/cube_faces.h"

namespace {

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    std::fclose(file);
    return bytes;
}

struct LoadedImage {
    Image image{};
    ~LoadedImage() { std::free(image.pixels); }
};

TEST(PictureAssets, LoadThroughTheirReadersWithExpectedSizeAndDepth) {
    struct Case {
        const char* file;
        bool jpeg;
        int width;
        int height;
        int bitsPerPixel;
    };
    const Case cases[] = {
        {"font.tga", false, 256, 256, 8},
        {"quarzilbase.tga", false, 1024, 512, 24},
        {"quarzilbump.tga", false, 1024, 512, 8},
        {"cubemap/gracecubemap.jpg", true, 1536, 2048, 24},
        {"cubemap/gracediffusecubemap.tga", false, 96, 128, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::string path = AssetPath(c.file);
        LoadedImage tga, jpeg;
        EXPECT_EQ(c.jpeg ? 0 : 1, LoadTga(path.c_str(), &tga.image));
        EXPECT_EQ(c.jpeg ? 1 : 0, LoadJpeg(path.c_str(), &jpeg.image));
        const Image& image = c.jpeg ? jpeg.image : tga.image;
        EXPECT_EQ(c.width, image.width);
        EXPECT_EQ(c.height, image.height);
        EXPECT_EQ(c.bitsPerPixel, image.bitsPerPixel);
        EXPECT_NE(nullptr, image.pixels);
    }
}

TEST(PictureAssets, TgaFilesAreUncompressedWithTheBottomRowFirst) {
    struct Case {
        const char* file;
        int imageType;  // 2 true colour, 3 grey
        int depth;
    };
    const Case cases[] = {
        {"font.tga", 3, 8},
        {"quarzilbase.tga", 2, 24},
        {"quarzilbump.tga", 3, 8},
        {"cubemap/gracediffusecubemap.tga", 2, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::vector<uint8_t> bytes = ReadBytes(AssetPath(c.file));
        ASSERT_GE(bytes.size(), 18u);
        int width = bytes[12] | bytes[13] << 8, height = bytes[14] | bytes[15] << 8;
        EXPECT_EQ(0, bytes[0]);  // no image ID
        EXPECT_EQ(0, bytes[1]);  // no colour map
        EXPECT_EQ(c.imageType, bytes[2]);
        EXPECT_EQ(c.depth, bytes[16]);
        // The readers never flip: the origin must be the lower left (bit 5 clear).
        EXPECT_EQ(0, bytes[17] & 0x20);
        EXPECT_EQ(18u + static_cast<size_t>(width) * height * c.depth / 8, bytes.size());
    }
}

TEST(PictureAssets, EnvironmentJpegIsSmallBaselineFile) {
    std::vector<uint8_t> bytes = ReadBytes(AssetPath("cubemap/gracecubemap.jpg"));
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_LT(bytes.size(), 400u * 1024u);
    EXPECT_EQ(0xFF, bytes[0]);
    EXPECT_EQ(0xD8, bytes[1]);
    // Walk the marker segments up to the first scan: one baseline frame header.
    int baselineFrames = 0, otherFrames = 0;
    size_t at = 2;
    while (at + 4 <= bytes.size() && bytes[at] == 0xFF && bytes[at + 1] != 0xDA) {
        int marker = bytes[at + 1];
        if (marker == 0xC0) ++baselineFrames;
        if (marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            ++otherFrames;
        }
        at += 2 + (bytes[at + 2] << 8 | bytes[at + 3]);
    }
    EXPECT_EQ(1, baselineFrames);
    EXPECT_EQ(0, otherFrames);
}

// Coverage of the font cell of character `code`; the cell's rows run
// bottom-up in memory, row 0 of the cell being its bottom row.
std::vector<int> FontCell(const Image& font, int code) {
    std::vector<int> cell(256);
    int left = (code % 16) * 16;
    int topRowFromTop = (code / 16) * 16;
    for (int y = 0; y < 16; ++y) {
        int memoryRow = font.height - 1 - (topRowFromTop + 15 - y);
        for (int x = 0; x < 16; ++x) {
            cell[y * 16 + x] = font.pixels[static_cast<size_t>(memoryRow) * font.width + left + x];
        }
    }
    return cell;
}

TEST(PictureAssets, FontHasGlyphsForPrintableCodesAndEmptyCellsElsewhere) {
    LoadedImage font;
    ASSERT_EQ(1, LoadTga(AssetPath("font.tga").c_str(), &font.image));
    ASSERT_EQ(8, font.image.bitsPerPixel);
    for (int code = 0; code < 256; ++code) {
        std::vector<int> cell = FontCell(font.image, code);
        int ink = 0, darkest = 0;
        for (int value : cell) {
            ink += value;
            darkest = std::max(darkest, value);
        }
        bool printable = code > 32 && code < 127;
        // Line feed and carriage return are drawn as glyphs before the pen
        // moves, so their cells, like every non-printable one, must be empty.
        if (printable) {
            EXPECT_GE(darkest, 200) << "code " << code;
            EXPECT_GE(ink, 255 * 4) << "code " << code;
        } else {
            EXPECT_EQ(0, ink) << "code " << code;
        }
    }
}

TEST(PictureAssets, FontGlyphsStandUprightInTheirCells) {
    LoadedImage font;
    ASSERT_EQ(1, LoadTga(AssetPath("font.tga").c_str(), &font.image));
    auto inkHeight = [&font](int code) {  // centroid row, 0 = bottom of the cell
        std::vector<int> cell = FontCell(font.image, code);
        double sum = 0, weighted = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                sum += cell[y * 16 + x];
                weighted += (y + 0.5) * cell[y * 16 + x];
            }
        }
        return weighted / sum;
    };
    // An underscore lies low and a caret high once the overlay maps the
    // cell's bottom to the quad's bottom.
    EXPECT_LT(inkHeight('_'), 5.0);
    EXPECT_GT(inkHeight('^'), 9.0);
    EXPECT_NEAR(8.0, inkHeight('-'), 2.5);
}

// Mean absolute difference between column or row pairs of one channel.
double MeanStep(const Image& image, int channel, bool acrossWrap, bool horizontal) {
    int bytes = image.bitsPerPixel / 8;
    auto at = [&](int x, int y) {
        return static_cast<int>(
            image.pixels[(static_cast<size_t>(y) * image.width + x) * bytes + channel]);
    };
    double sum = 0;
    int count = 0;
    if (horizontal) {
        for (int y = 0; y < image.height; ++y) {
            int x0 = acrossWrap ? image.width - 1 : image.width / 2;
            int x1 = acrossWrap ? 0 : image.width / 2 + 1;
            sum += std::abs(at(x0, y) - at(x1, y));
            ++count;
        }
    } else {
        for (int x = 0; x < image.width; ++x) {
            int y0 = acrossWrap ? image.height - 1 : image.height / 2;
            int y1 = acrossWrap ? 0 : image.height / 2 + 1;
            sum += std::abs(at(x, y0) - at(x, y1));
            ++count;
        }
    }
    return sum / count;
}

TEST(PictureAssets, QuartzPicturesTileWithoutSeams) {
    for (const char* file : {"quarzilbase.tga", "quarzilbump.tga"}) {
        SCOPED_TRACE(file);
        LoadedImage picture;
        ASSERT_EQ(1, LoadTga(AssetPath(file).c_str(), &picture.image));
        for (bool horizontal : {true, false}) {
            for (int channel = 0; channel < picture.image.bitsPerPixel / 8; ++channel) {
                double wrap = MeanStep(picture.image, channel, true, horizontal);
                double inside = MeanStep(picture.image, channel, false, horizontal);
                EXPECT_LE(wrap, 1.5 * inside + 1.0)
                    << (horizontal ? "left-right" : "top-bottom") << " channel " << channel;
            }
        }
    }
}

TEST(PictureAssets, BumpReliefIsClearAndFollowsTheColourPicture) {
    LoadedImage base, bump;
    ASSERT_EQ(1, LoadTga(AssetPath("quarzilbase.tga").c_str(), &base.image));
    ASSERT_EQ(1, LoadTga(AssetPath("quarzilbump.tga").c_str(), &bump.image));
    ASSERT_EQ(base.image.width, bump.image.width);
    ASSERT_EQ(base.image.height, bump.image.height);
    size_t count = static_cast<size_t>(bump.image.width) * bump.image.height;
    int lowest = 255, highest = 0;
    double sumH = 0, sumL = 0, sumHH = 0, sumLL = 0, sumHL = 0, slope = 0;
    for (size_t i = 0; i < count; ++i) {
        double h = bump.image.pixels[i];
        const uint8_t* bgr = base.image.pixels + 3 * i;
        double l = 0.114 * bgr[0] + 0.587 * bgr[1] + 0.299 * bgr[2];
        lowest = std::min(lowest, static_cast<int>(h));
        highest = std::max(highest, static_cast<int>(h));
        sumH += h;
        sumL += l;
        sumHH += h * h;
        sumLL += l * l;
        sumHL += h * l;
        size_t right =
            (i % bump.image.width + 1 == bump.image.width) ? i + 1 - bump.image.width : i + 1;
        slope += std::fabs(h - bump.image.pixels[right]);
    }
    // The viewer's normal map tilts by 5/255 per byte of height difference
    // between neighbours: a mean step of a few bytes shows at bump scale 0.5
    // without turning to noise at 2.
    slope /= count;
    EXPECT_GE(highest - lowest, 220);
    EXPECT_GE(slope, 3.0);
    EXPECT_LE(slope, 20.0);
    // Dark veins are grooves: height and brightness go together.
    double covariance = sumHL / count - (sumH / count) * (sumL / count);
    double correlation = covariance / std::sqrt((sumHH / count - (sumH / count) * (sumH / count)) *
                                                (sumLL / count - (sumL / count) * (sumL / count)));
    EXPECT_GT(correlation, 0.3);
}

}  // namespace
