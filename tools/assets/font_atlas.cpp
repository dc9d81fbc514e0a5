#include "tools/assets/font_atlas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

namespace {

constexpr int kCell = 16;

void DrawGlyph(Picture& atlas, FT_GlyphSlot glyph, int cellLeft, int cellTop, int penX,
               int baseline) {
    const FT_Bitmap& bitmap = glyph->bitmap;
    int left = cellLeft + penX + glyph->bitmap_left;
    int top = cellTop + baseline - glyph->bitmap_top;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        for (unsigned column = 0; column < bitmap.width; ++column) {
            int x = left + static_cast<int>(column);
            int y = top + static_cast<int>(row);
            // Keep a glyph inside its own cell: a neighbour's texels must not
            // show up under linear filtering.
            if (x < cellLeft || x >= cellLeft + kCell || y < cellTop || y >= cellTop + kCell) {
                continue;
            }
            uint8_t coverage = bitmap.buffer[row * bitmap.pitch + column];
            uint8_t* pixel = PixelAt(atlas, x, y);
            *pixel = std::max(*pixel, coverage);
        }
    }
}

}  // namespace

Picture RenderFontAtlas(const std::string& fontPath, int pixelWidth, int pixelHeight) {
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) return Picture{};
    FT_Face face;
    if (FT_New_Face(library, fontPath.c_str(), 0, &face) != 0) {
        FT_Done_FreeType(library);
        return Picture{};
    }
    FT_Set_Pixel_Sizes(face, pixelWidth, pixelHeight);
    const FT_Int32 loadFlags = FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT;

    // Centre the span from the capital height down to the descender in the
    // cell, on a whole-pixel baseline.
    int capTop = 0, descent = 0;
    if (FT_Load_Char(face, 'H', loadFlags) == 0) capTop = face->glyph->bitmap_top;
    if (FT_Load_Char(face, 'g', loadFlags) == 0) {
        descent = static_cast<int>(face->glyph->bitmap.rows) - face->glyph->bitmap_top;
    }
    int baseline = (kCell - (capTop + descent)) / 2 + capTop;

    Picture atlas = MakePicture(16 * kCell, 16 * kCell, 1);
    for (int code = 32; code <= 126; ++code) {
        if (FT_Load_Char(face, static_cast<FT_ULong>(code), loadFlags) != 0) continue;
        int advance = static_cast<int>(face->glyph->advance.x >> 6);
        int penX = (kCell - advance) / 2;
        DrawGlyph(atlas, face->glyph, (code % 16) * kCell, (code / 16) * kCell, penX, baseline);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return atlas;
}
