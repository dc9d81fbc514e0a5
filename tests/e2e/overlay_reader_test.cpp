// The end-to-end run trusts overlay_reader to read the viewer's overlay off a
// screenshot; here it reads text drawn as the viewer draws it over
// backgrounds that make glyphs easy to confuse: noise of every level, and a
// bright cloud.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "image/image.h"
#include "tests/e2e/ppm.h"
#include "tests/support/command_output.h"

namespace {

constexpr int kWidth = 400, kHeight = 120;
constexpr int kClientX = 7, kClientY = 5, kClientHeight = 100;

// Draws text at window (x, y) as PrintText does: a line feed is drawn as its
// (empty) glyph, then moves the pen one line down.
void DrawText(const Image& font, Screen* screen, int x, int y, const std::string& text) {
    int px = x, py = y;
    for (unsigned char c : text) {
        for (int row = 0; row < 16; ++row) {
            for (int column = 0; column < 16; ++column) {
                const int fontRow = font.height - 1 - ((c / 16) * 16 + row);
                const int alpha = font.pixels[fontRow * font.width + (c % 16) * 16 + column];
                const int sx = kClientX + px + column;
                const int sy = kClientY + kClientHeight - (py + 16) + row;
                unsigned char* p = &screen->rgb[(static_cast<size_t>(sy) * kWidth + sx) * 3];
                for (int k = 0; k < 3; ++k)
                    p[k] = static_cast<unsigned char>((alpha * 255 + (255 - alpha) * p[k] + 127) /
                                                      255);
            }
        }
        px += 16;
        if (c == '\n') py -= 16, px = x;
    }
}

TEST(OverlayReader, ReadsTheThreeLinesOverNoiseAndABrightCloud) {
    Image font = {};
    ASSERT_EQ(LoadTga(VIEWER_SOURCE_DIR "/assets/font.tga", &font), 1);
    ASSERT_EQ(font.bitsPerPixel, 8);
    srand(7);
    for (const char* text :
         {"Bump scale: 0.53\nno error\nFPS: 0.0", "Bump scale: 2.00\ninvalid value\nFPS: 1234.5",
          "Bump scale: 0.00\nout of memory\nFPS: 10.1"}) {
        Screen screen{kWidth, kHeight, std::vector<unsigned char>(kWidth * kHeight * 3)};
        for (size_t i = 0; i < screen.rgb.size(); ++i) {
            // A bright cloud behind part of the first line: nearly white, but
            // below the level the reader takes for ink.
            const size_t x = i / 3 % kWidth, y = i / 3 / kWidth;
            screen.rgb[i] = static_cast<unsigned char>(rand() % 256);
            if (y >= 50 && y < 70 && x >= 60 && x < 110) screen.rgb[i] = 240;
        }
        DrawText(font, &screen, 0, 32, text);
        std::ofstream("overlay.ppm", std::ios::binary)
            << "P6\n"
            << kWidth << " " << kHeight << "\n255\n"
            << std::string(screen.rgb.begin(), screen.rgb.end());
        const std::string client = std::to_string(kClientX) + " " + std::to_string(kClientY);
        EXPECT_EQ(
            CommandOutput(OVERLAY_READER " " VIEWER_SOURCE_DIR "/assets/font.tga overlay.ppm " +
                          client + " " + std::to_string(kClientHeight)),
            std::string(text) + "\n");
    }
    free(font.pixels);
}

}  // namespace
