// The overlay's bitmap font: 16 x 16 cells of 16 x 16 pixels in character
// code order from the top left, white glyphs as 8-bit coverage.
#pragma once

#include <string>

#include "tools/assets/picture.h"

// Renders printable ASCII (32-126) from a TrueType font; every other cell,
// the line feed's and carriage return's among them, stays empty. Returns an
// empty picture when the font cannot be read.
Picture RenderFontAtlas(const std::string& fontPath, int pixelWidth, int pixelHeight);
