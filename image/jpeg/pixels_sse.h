// The vectorised pixel path of the JPEG reader, where the target has SSE2
// (every x86-64 compiler). It gives the same bytes as the scalar path.
#pragma once

#include "image/jpeg/state.h"

#if defined(__SSE2__) || defined(_M_X64)
#define JPEG_HAVE_SSE2 1
#else
#define JPEG_HAVE_SSE2 0
#endif

#if JPEG_HAVE_SSE2
// DecodeMcu's work: every block of the MCU decoded, dequantised and
// transformed into its 8x8 place of its component's sample plane.
void DecodeMcuSse();
void TransformStoredBlockSse(const int16_t* coefficients, const uint16_t* quant, float* samples);
void WriteMcuPixelsSse(Image* image, int x0, int x1, int y0, int y1);
// A grey frame's blocks firstBlock.. of the block row starting at picture
// row y0, decoded and transformed straight into the picture.
void DecodeGreyBlocksSse(Image* image, int firstBlock, int blockCount, int y0);
#endif
