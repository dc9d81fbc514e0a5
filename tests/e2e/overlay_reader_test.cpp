// The end-to-end run trusts overlay_reader to read the viewer's overlay off a
// screenshot; here it reads text drawn as the viewer draws it (white, the
// font's grey as alpha, 16 x 16 cells from the lower left) over backgrounds
// that make glyphs easy to confuse: noise of every level, and a bright cloud.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "image/image.h"
#include "tests/e2e/ppm.h"

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

std::string ReadBack(const Screen& screen) {
    const std::string path = "overlay.ppm";
    FILE* file = fopen(path.c_str(), "wb");
    fprintf(file, "P6\n%d %d\n255\n", screen.width, screen.height);
    fwrite(screen.rgb.data(), 1, screen.rgb.size(), file);
    fclose(file);
    const std::string command = std::string(OVERLAY_READER) +
                                " " VIEWER_SOURCE_DIR "/assets/font.tga " + path + " " +
                                std::to_string(kClientX) + " " + std::to_string(kClientY) + " " +
                                std::to_string(kClientHeight);
    FILE* pipe = popen(command.c_str(), "r");
    std::string text;
    char buffer[256];
    while (pipe != nullptr && fgets(buffer, sizeof buffer, pipe) != nullptr)
        text += buffer;
    if (pipe != nullptr) pclose(pipe);
    return text;
}

TEST(OverlayReader, ReadsTheThreeLinesOverNoiseAndABrightCloud) {
    Image font = {};
    ASSERT_EQ(LoadTga(VIEWER_SOURCE_DIR "/assets/font.tga", &font), 1);
    ASSERT_EQ(font.bitsPerPixel, 8);
    const char* texts[] = {
        "Bump scale: 0.53\nno error\nFPS: 0.0",
        "Bump scale: 2.00\ninvalid value\nFPS: 1234.5",
        "Bump scale: 0.00\nout of memory\nFPS: 10.1",
    };
    srand(7);
    for (const char* text : texts) {
        Screen screen;
        screen.width = kWidth;
        screen.height = kHeight;
        screen.rgb.resize(static_cast<size_t>(kWidth) * kHeight * 3);
        for (unsigned char& byte : screen.rgb)
            byte = static_cast<unsigned char>(rand() % 256);
        // A bright cloud behind part of the first line: nearly white, but
        // below the level the reader takes for ink.
        for (int y = 50; y < 70; ++y)
            for (int x = 60; x < 110; ++x)
                for (int k = 0; k < 3; ++k)
                    screen.rgb[(y * kWidth + x) * 3 + k] = 240;
        DrawText(font, &screen, 0, 32, text);
        std::string expected = text;
        expected += "\n";
        EXPECT_EQ(ReadBack(screen), expected);
    }
    free(font.pixels);
}

}  // namespace
