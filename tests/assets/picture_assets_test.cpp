#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "image/image.h"

namespace {

TEST(PictureAssets, LoadThroughTheirReadersWithExpectedSizeAndDepth) {
    const struct {
        const char* file;
        bool jpeg;
        int width, height, bitsPerPixel;
    } cases[] = {
        {"font.tga", false, 256, 256, 8},
        {"quarzilbase.tga", false, 1024, 512, 24},
        {"quarzilbump.tga", false, 1024, 512, 8},
        {"cubemap/gracecubemap.jpg", true, 1536, 2048, 24},
        {"cubemap/gracediffusecubemap.tga", false, 96, 128, 24},
    };
    for (const auto& c : cases) {
        const std::string path = std::string(VIEWER_SOURCE_DIR "/assets/") + c.file;
        Image tga{}, jpeg{};
        EXPECT_EQ(LoadTga(path.c_str(), &tga), c.jpeg ? 0 : 1) << c.file;
        EXPECT_EQ(LoadJpeg(path.c_str(), &jpeg), c.jpeg ? 1 : 0) << c.file;
        const Image& image = c.jpeg ? jpeg : tga;
        EXPECT_NE(image.pixels, nullptr) << c.file;
        EXPECT_EQ(image.width, c.width) << c.file;
        EXPECT_EQ(image.height, c.height) << c.file;
        EXPECT_EQ(image.bitsPerPixel, c.bitsPerPixel) << c.file;
        std::free(tga.pixels);
        std::free(jpeg.pixels);
    }
}

TEST(PictureAssets, FontHasGlyphsForPrintableCodesOnly) {
    Image font{};
    ASSERT_EQ(LoadTga(VIEWER_SOURCE_DIR "/assets/font.tga", &font), 1);
    ASSERT_TRUE(font.width == 256 && font.height == 256 && font.bitsPerPixel == 8);
    // 16 x 16 cells of 16 pixels, code 0 at the top left; rows run bottom-up.
    // Line feed and carriage return are drawn as glyphs too, so must be empty.
    for (int code = 0; code < 256; ++code) {
        int ink = 0;
        for (int y = 0; y < 16; ++y) {
            const uint8_t* row =
                font.pixels + (255 - (code / 16) * 16 - y) * 256 + (code % 16) * 16;
            for (int x = 0; x < 16; ++x)
                ink += row[x];
        }
        if (code > 32 && code < 127) {
            EXPECT_GE(ink, 255 * 4) << "code " << code;
        } else {
            EXPECT_EQ(ink, 0) << "code " << code;
        }
    }
    std::free(font.pixels);
}

}  // namespace
