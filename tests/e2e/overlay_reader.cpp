// Reads the viewer's three overlay lines off a screenshot by matching each
// 16 x 16 cell against the glyphs of the font picture: no OCR, only the font
// the viewer draws with.
//
//   overlay_reader FONT.tga SHOT.ppm CLIENT_X CLIENT_Y CLIENT_HEIGHT [SCALE [--smudged]]
//
// prints the three lines (bump scale, GL error, frame rate), trailing spaces
// cut. SCALE (default 1) is the whole factor the overlay is drawn at on a
// high-DPI screen: each font texel then covers SCALE x SCALE pixels. With
// --smudged a fourth line counts the pixels of the glyphs read that break
// that rule: under a texel of full alpha but not white, or under an empty
// texel yet white. Drawn crisply (nearest texels) there are none; a
// magnifying filter that blends neighbouring texels makes the glyphs' edges
// grey. The text is white and the glyph's grey level is its alpha, so a texel
// of full alpha shows as pure white whatever lies behind it; the glyph that
// explains most white pixels without needing white where the screen is not
// white wins. (Text over a background that is itself pure white cannot be
// read, by this or by anyone; the viewer's text stands over the ground.)
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "image/image.h"
#include "tests/e2e/ppm.h"

namespace {

constexpr int kCell = 16;
constexpr int kLineCells = 48;  // more than the longest line the viewer prints
constexpr int kInk = 250;       // glyph alpha (of 255) that shows as white
constexpr int kWhite = 245;     // screen level counted as white

// Darkest channel of the screen pixel, or -1 outside the screen.
int ScreenLevel(const Screen& screen, int x, int y) {
    const unsigned char* p = PixelAt(screen, x, y);
    if (p == nullptr) return -1;
    int level = p[0];
    if (p[1] < level) level = p[1];
    if (p[2] < level) level = p[2];
    return level;
}

// Alpha of glyph code at (column, row) of its cell, row 0 at the top. The
// font is 16 x 16 cells in code order from the top left; the picture's first
// row in memory is its bottom row.
int GlyphAlpha(const Image& font, int code, int column, int row) {
    const int cellWidth = font.width / 16;
    const int cellHeight = font.height / 16;
    const int x = (code % 16) * cellWidth + column * cellWidth / kCell;
    const int yFromTop = (code / 16) * cellHeight + row * cellHeight / kCell;
    const int bytes = font.bitsPerPixel / 8;
    return font.pixels[(static_cast<size_t>(font.height - 1 - yFromTop) * font.width + x) * bytes];
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
                const int level = ScreenLevel(screen, left + column, top + row);
                if (alpha >= kInk) {
                    if (level >= kWhite)
                        ++inkWhite;
                    else
                        ++inkDark;
                } else if (alpha == 0 && level >= kWhite) {
                    ++blankWhite;
                }
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
    if (!LoadTga(argv[1], &font) || font.width < 16 || font.height < 16) {
        fprintf(stderr, "cannot read the font %s\n", argv[1]);
        free(font.pixels);
        return 1;
    }
    if (!ReadPpm(argv[2], &screen)) {
        fprintf(stderr, "cannot read the screenshot %s\n", argv[2]);
        free(font.pixels);
        return 1;
    }
    const int clientX = atoi(argv[3]);
    const int clientY = atoi(argv[4]);
    const int clientHeight = atoi(argv[5]);
    const int scale = argc > 6 && atoi(argv[6]) > 1 ? atoi(argv[6]) : 1;
    const int cell = kCell * scale;
    long smudged = 0;
    // The overlay's lines stand at window y 32..48, 16..32 and 0..16 (times
    // the scale), with y up from the bottom of the client area.
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
