#include <gtest/gtest.h>

#include <cstdlib>

#include "image/image.h"

namespace {

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
