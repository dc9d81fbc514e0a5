// Reads the viewer's three overlay lines off a screenshot by matching each
// 16 x 16 cell against the glyphs of the font picture (no OCR):
//
//   overlay_reader FONT.tga SHOT.ppm CLIENT_X CLIENT_Y CLIENT_HEIGHT [SCALE [--smudged]]
//
// prints the lines, trailing spaces cut. At a SCALE (high DPI) each texel
// covers SCALE x SCALE pixels; --smudged adds the count of glyph pixels not
// white under full alpha or white under none, which a magnifying filter that
// blends texels makes. The text is white with the glyph's grey as alpha, so
// full alpha is white over anything: the glyph that explains most white
// pixels without needing white where there is none wins.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "image/image.h"
#include "tests/e2e/ppm.h"

namespace {

constexpr int kCell = 16;
constexpr int kLineCells = 48;  // more than the longest line the viewer prints
constexpr int kInk = 250;       // glyph alpha (of 255) that shows as white
constexpr int kWhite = 245;     // screen level counted as white

// Alpha of glyph code at (column, row) of its cell, row 0 at the top. The
// font is 16 x 16 cells in code order from the top left; the picture's first
// row in memory is its bottom row.
int GlyphAlpha(const Image& font, int code, int column, int row) {
    const int cellWidth = font.width / 16, cellHeight = font.height / 16;
    const int x = (code % 16) * cellWidth + column * cellWidth / kCell;
    const int yFromTop = (code / 16) * cellHeight + row * cellHeight / kCell;
    const size_t texel = static_cast<size_t>(font.height - 1 - yFromTop) * font.width + x;
    return font.pixels[texel * (font.bitsPerPixel / 8)];
}

char ReadCell(const Image& font, const Screen& screen, int left, int top, int scale,
              long* smudged) {
    char best = '?';
    long bestScore = -1000000;
    for (int code = 32; code < 127; ++code) {
        long inkWhite = 0, inkDark = 0, blankWhite = 0;
        for (int row = 0; row < kCell * scale; ++row) {
            for (int column = 0; column < kCell * scale; ++column) {
                const int alpha = GlyphAlpha(font, code, column / scale, row / scale);
                const unsigned char* p = PixelAt(screen, left + column, top + row);
                const bool white =
                    p != nullptr && p[0] >= kWhite && p[1] >= kWhite && p[2] >= kWhite;
                inkWhite += alpha >= kInk && white;
                inkDark += alpha >= kInk && !white;
                blankWhite += alpha == 0 && white;
            }
        }
        const long score = inkWhite - 8 * inkDark - 2 * blankWhite;
        if (score > bestScore) {
            bestScore = score;
            best = static_cast<char>(code);
            *smudged = inkDark + blankWhite;
        }
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6 || argc > 8) {
        fprintf(stderr,
                "usage: %s FONT.tga SHOT.ppm CLIENT_X CLIENT_Y CLIENT_HEIGHT [SCALE [--smudged]]\n",
                argv[0]);
        return 2;
    }
    Image font = {};
    Screen screen;
    const bool fontRead = LoadTga(argv[1], &font) && font.width >= 16 && font.height >= 16;
    if (!fontRead || !ReadPpm(argv[2], &screen)) {
        fprintf(stderr, "cannot read %s\n", fontRead ? argv[2] : argv[1]);
        free(font.pixels);
        return 1;
    }
    const int clientX = atoi(argv[3]), clientY = atoi(argv[4]), clientHeight = atoi(argv[5]);
    const int scale = argc > 6 && atoi(argv[6]) > 1 ? atoi(argv[6]) : 1;
    const int cell = kCell * scale;
    long smudged = 0;
    // The lines stand at window y 32..48, 16..32 and 0..16 (times the scale),
    // y up from the bottom of the client area.
    for (int line = 0; line < 3; ++line) {
        const int top = clientY + clientHeight - 3 * cell + line * cell;
        std::string text;
        for (int column = 0; column < kLineCells; ++column) {
            long cellSmudged = 0;
            text += ReadCell(font, screen, clientX + column * cell, top, scale, &cellSmudged);
            smudged += cellSmudged;
        }
        text.erase(text.find_last_not_of(' ') + 1);
        printf("%s\n", text.c_str());
    }
    if (argc > 7 && std::string(argv[7]) == "--smudged") printf("%ld\n", smudged);
    free(font.pixels);
    return 0;
}
