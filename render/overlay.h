// Text over the finished frame, in window pixels (origin at the lower left),
// with a 16 x 16-cell bitmap font held in one texture.
#pragma once

#include "render/gl_api.h"

#if defined(__GNUC__)
#define VIEWER_PRINTF_FORMAT(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define VIEWER_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

// Saves the GL state and sets up 2D drawing with blending for a client area of
// width x height pixels. Every overlay unit then covers scale x scale pixels
// (a whole factor, so glyph edges stay on pixel edges at high DPI).
void BeginOverlay(int width, int height, int scale = 1);

// Formats the text printf-style (cut at 4095 characters) and draws it from
// (x, y), 16 pixels per character and per line.
void PrintText(int x, int y, GLuint texture, const char* format, ...) VIEWER_PRINTF_FORMAT(4, 5);

// Restores what BeginOverlay changed.
void EndOverlay();
