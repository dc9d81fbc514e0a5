// JPEG reader, pixel half: the coefficients of each block, dequantisation,
// the floating-point inverse DCT, and YCbCr to blue-green-red output with
// chroma by replication, truncation toward zero and clamping to 0..255.
//
// Two paths give the same bytes: the scalar one here follows the formulas
// step by step; the vectorised one (jpeg/pixels_sse.cpp) runs the same
// operations four lanes at a time and skips only work whose result is known.
#include <cstring>

#include "image/jpeg/coefficients.h"
#include "image/jpeg/idct.h"
#include "image/jpeg/pixels_sse.h"
#include "image/jpeg/state.h"

// Figure A.6 of the format: the zig-zag sequence over the 8x8 block.
const uint8_t zigZag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                            12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                            35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                            58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

namespace {

struct ScalarConstant {
    float operator()(float value) const { return value; }
};

void InverseDct8Scalar(float* data, int stride) {
    float f[8];
    for (int u = 0; u < 8; ++u)
        f[u] = data[u * stride];
    bool acZero = true;
    for (int u = 1; u < 8; ++u)
        acZero = acZero && f[u] == 0.0f;
    float x[8];
    if (acZero) {
        for (float& value : x)
            value = f[0] * jpeg_idct::kHalfC4;
    } else {
        jpeg_idct::InverseDct8(f, x, ScalarConstant{});
    }
    for (int k = 0; k < 8; ++k)
        data[k * stride] = x[k];
}

// Coefficients in zig-zag order to level-shifted samples.
void TransformBlockScalar(const int coefficients[64], const uint16_t* quant, float* samples) {
    JpegState& s = jpegState;
    for (int i = 0; i < 64; ++i) {
        s.block[zigZag[i]] =
            static_cast<float>(jpeg_coefficients::WrappingProduct(coefficients[i], quant[i]));
    }
    InverseDct8x8(s.block);
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c)
            samples[r * 16 + c] = s.block[8 * r + c] + 128.0f;
    }
}

void DecodeBlockScalar(JpegComponent& component, float* samples) {
    int coefficients[64] = {};
    jpeg_coefficients::DecodeCoefficients<false>(
        jpegState.input, component, [&](int n, int value) { coefficients[n] = value; });
    TransformBlockScalar(coefficients, component.quantTable, samples);
}

uint8_t TruncateAndClamp(float value) {
    // trunc() then clamp, done in the order that never converts a float
    // outside the int range.
    if (value <= 0.0f) return 0;
    if (value >= 255.0f) return 255;
    return static_cast<uint8_t>(static_cast<int>(value));
}

void WriteMcuPixelsScalar(Image* image, int x0, int x1, int y0, int y1) {
    const JpegState& s = jpegState;
    const float* luma = s.components[0].samples;
    if (s.scanComponentCount == 3) {
        const float* cbPlane = s.components[1].samples;
        const float* crPlane = s.components[2].samples;
        for (int y = y0; y < y1; ++y) {
            int j = y - y0;
            uint8_t* out = image->pixels + 3 * (size_t(s.frameHeight - 1 - y) * s.frameWidth + x0);
            int j2 = (j * s.vStep[1]) >> 1;
            int j3 = (j * s.vStep[2]) >> 1;
            for (int x = x0; x < x1; ++x) {
                int i = x - x0;
                float yValue = luma[j * 16 + i];
                float cb = cbPlane[j2 * 16 + ((i * s.hStep[1]) >> 1)] - 128.0f;
                float cr = crPlane[j3 * 16 + ((i * s.hStep[2]) >> 1)] - 128.0f;
                float red = yValue + 1.402f * cr;
                float green = yValue - 0.34414f * cb - 0.71414f * cr;
                float blue = yValue + 1.772f * cb;
                out[0] = TruncateAndClamp(blue);
                out[1] = TruncateAndClamp(green);
                out[2] = TruncateAndClamp(red);
                out += 3;
            }
        }
    } else if (s.scanComponentCount == 1) {
        for (int y = y0; y < y1; ++y) {
            uint8_t* out = image->pixels + size_t(s.frameHeight - 1 - y) * s.frameWidth;
            for (int x = x0; x < x1; ++x)
                out[x] = TruncateAndClamp(luma[(y - y0) * 16 + x - x0]);
        }
    }
}

}  // namespace

void InverseDct8x8(float* block) {
    for (int r = 0; r < 8; ++r)
        InverseDct8Scalar(block + 8 * r, 1);
    for (int c = 0; c < 8; ++c)
        InverseDct8Scalar(block + c, 8);
}

void DecodeMcu() {
    JpegState& s = jpegState;
#if JPEG_HAVE_SSE2
    if (!s.useScalarPath) {
        DecodeMcuSse();
        return;
    }
#endif
    jpeg_coefficients::ForEachBlockOfMcu(s, DecodeBlockScalar);
}

void TransformStoredBlock(const int16_t* coefficients, const uint16_t* quant, float* samples) {
#if JPEG_HAVE_SSE2
    if (!jpegState.useScalarPath) {
        TransformStoredBlockSse(coefficients, quant, samples);
        return;
    }
#endif
    int widened[64];
    for (int i = 0; i < 64; ++i)
        widened[i] = coefficients[i];
    TransformBlockScalar(widened, quant, samples);
}

void WriteMcuPixels(Image* image, int x0, int x1, int y0, int y1) {
#if JPEG_HAVE_SSE2
    if (!jpegState.useScalarPath) {
        WriteMcuPixelsSse(image, x0, x1, y0, y1);
        return;
    }
#endif
    WriteMcuPixelsScalar(image, x0, x1, y0, y1);
}
