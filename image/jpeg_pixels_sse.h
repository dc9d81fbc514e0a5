// The vectorised pixel path of the JPEG reader, where the target has SSE2
// (every x86-64 compiler). It gives the same bytes as the scalar path.
#pragma once

#include "image/jpeg_state.h"

#if defined(__SSE2__) || defined(_M_X64)
#define JPEG_HAVE_SSE2 1
#else
#define JPEG_HAVE_SSE2 0
#endif

#if JPEG_HAVE_SSE2
// Decodes, dequantises and transforms one block into its 8x8 place of a
// component's sample plane (16 floats a row), level shift included.
void DecodeBlockSse(JpegComponent& component, float* samples);
void WriteMcuPixelsSse(Image* image, int x0, int x1, int y0, int y1);
#endif
