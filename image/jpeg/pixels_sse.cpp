// Vectorised pixel path of the JPEG reader. Four lanes run the scalar
// path's operations in its order (the inverse DCT is literally the same
// template), so every byte equals the scalar result:
// - the row pass works on four rows at once, so the coefficients are
//   dequantised straight into a transposed block; one 8x8 transpose sits
//   between the passes;
// - the scalar shortcut for a row or column without AC terms is not taken
//   lane by lane: the full path gives the same F0 * c4/2 there, up to the
//   sign of a zero, which the level shift removes;
// - a block with no AC term at all, or four rows without any term, is
//   filled with the value the transform is known to give.
#include "image/jpeg/pixels_sse.h"

#if JPEG_HAVE_SSE2

#include <emmintrin.h>

#include <cstring>

#include "image/jpeg/coefficients.h"
#include "image/jpeg/idct.h"

// Fixed little loops over lanes and rows, unrolled so that their vectors
// stay in registers and no loop branch is left to mispredict.
#if defined(__GNUC__)
#define JPEG_UNROLL _Pragma("GCC unroll 8")
#else
#define JPEG_UNROLL
#endif

namespace {

struct Lanes {
    __m128 v;
};
inline Lanes operator+(Lanes a, Lanes b) {
    return {_mm_add_ps(a.v, b.v)};
}
inline Lanes operator-(Lanes a, Lanes b) {
    return {_mm_sub_ps(a.v, b.v)};
}
inline Lanes operator*(Lanes a, Lanes b) {
    return {_mm_mul_ps(a.v, b.v)};
}
struct Broadcast {
    Lanes operator()(float value) const { return {_mm_set1_ps(value)}; }
};

// Position of the i-th zig-zag coefficient in the transposed block
// (column-major: 8 * column + row).
const uint8_t kTransposedZigZag[64] = {
    0,  8,  1,  2,  9,  16, 24, 17, 10, 3,  4,  11, 18, 25, 32, 40, 33, 26, 19, 12, 5,  6,
    13, 20, 27, 34, 41, 48, 56, 49, 42, 35, 28, 21, 14, 7,  15, 22, 29, 36, 43, 50, 57, 58,
    51, 44, 37, 30, 23, 31, 38, 45, 52, 59, 60, 53, 46, 39, 47, 54, 61, 62, 55, 63};

alignas(16) float zeroBlock[64];

bool AllZero(const Lanes f[8]) {
    __m128 any = _mm_or_ps(_mm_or_ps(_mm_or_ps(f[0].v, f[1].v), _mm_or_ps(f[2].v, f[3].v)),
                           _mm_or_ps(_mm_or_ps(f[4].v, f[5].v), _mm_or_ps(f[6].v, f[7].v)));
    // Only +0 and -0 compare equal to zero, and only zeros OR to them.
    return _mm_movemask_ps(_mm_cmpneq_ps(any, _mm_setzero_ps())) == 0;
}

// The 1-D transform of four rows or columns at once: lane l of f[u] is
// input u of the l-th line.
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline void
TransformLanes(const Lanes f[8], Lanes x[8]) {
    if (AllZero(f)) {
        JPEG_UNROLL
        for (int k = 0; k < 8; ++k)
            x[k].v = _mm_setzero_ps();
        return;
    }
    jpeg_idct::InverseDct8(f, x, Broadcast{});
}

void Transpose(Lanes& a, Lanes& b, Lanes& c, Lanes& d) {
    _MM_TRANSPOSE4_PS(a.v, b.v, c.v, d.v);
}

// The whole 2-D transform of a dequantised block given column-major
// (transposed): rows first, then columns. x[half][k] lane c is output row k
// of column 4 * half + c, before the level shift.
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline void
InverseDctLanes(const float* transposed, Lanes x[2][8]) {
    Lanes top[8];     // after the row pass: top[k] lane r = row r (0..3), output k
    Lanes bottom[8];  // the same for rows 4..7
    Lanes f[8];
    JPEG_UNROLL
    for (int u = 0; u < 8; ++u)
        f[u].v = _mm_load_ps(transposed + 8 * u);
    TransformLanes(f, top);
    JPEG_UNROLL
    for (int u = 0; u < 8; ++u)
        f[u].v = _mm_load_ps(transposed + 8 * u + 4);
    TransformLanes(f, bottom);

    // Now rows of the intermediate block, four columns at a time.
    Transpose(top[0], top[1], top[2], top[3]);              // rows 0-3, columns 0-3
    Transpose(top[4], top[5], top[6], top[7]);              // rows 0-3, columns 4-7
    Transpose(bottom[0], bottom[1], bottom[2], bottom[3]);  // rows 4-7, columns 0-3
    Transpose(bottom[4], bottom[5], bottom[6], bottom[7]);  // rows 4-7, columns 4-7

    JPEG_UNROLL
    for (int half = 0; half < 2; ++half) {
        JPEG_UNROLL
        for (int u = 0; u < 4; ++u) {
            f[u] = top[4 * half + u];
            f[u + 4] = bottom[4 * half + u];
        }
        TransformLanes(f, x[half]);
    }
}

// Results go to samples (16 floats a row) plus 128.
void InverseDctToSamples(const float* transposed, float* samples) {
    Lanes x[2][8];
    InverseDctLanes(transposed, x);
    const __m128 levelShift = _mm_set1_ps(128.0f);
    JPEG_UNROLL
    for (int half = 0; half < 2; ++half) {
        JPEG_UNROLL
        for (int k = 0; k < 8; ++k)
            _mm_store_ps(samples + 16 * k + 4 * half, _mm_add_ps(x[half][k].v, levelShift));
    }
}

__m128 LoadChroma(const float* row, int i, bool half) {
    if (!half) return _mm_load_ps(row + i);
    // Two chroma samples, each replicated over two pixels.
    __m128 pair = _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(row + i / 2)));
    return _mm_unpacklo_ps(pair, pair);
}

// trunc() then clamp to 0..255, clamping first so that the conversion never
// sees a value outside the int range.
__m128i TruncateAndClamp(__m128 value) {
    value = _mm_min_ps(_mm_max_ps(value, _mm_setzero_ps()), _mm_set1_ps(255.0f));
    return _mm_cvttps_epi32(value);
}

}  // namespace

namespace {

inline void FinishBlock(const uint8_t* written, int writtenCount, float* samples);

// One block into its place of the sample plane (16 floats a row), level
// shift included.
inline void DecodeBlock(JpegInput& input, JpegComponent& component, float* samples) {
    // The block stays zero between calls: only the positions written are
    // cleared again afterwards.
    float* transposed = zeroBlock;
    uint8_t written[64];
    int writtenCount = 0;
    const uint16_t* quant = component.quantTable;
    jpeg_coefficients::DecodeCoefficients<true>(input, component, [&](int n, int value) {
        int position = kTransposedZigZag[n];
        transposed[position] =
            static_cast<float>(jpeg_coefficients::WrappingProduct(value, quant[n]));
        written[writtenCount++] = uint8_t(position);
    });
    FinishBlock(written, writtenCount, samples);
}

// Transforms the dequantised block in zeroBlock, whose nonzero positions
// are listed in written, and makes zeroBlock zero again.
inline void FinishBlock(const uint8_t* written, int writtenCount, float* samples) {
    float* transposed = zeroBlock;
    if (writtenCount == 1) {
        // DC only. Row pass: row 0 becomes F0 * c4/2, the others 0; the
        // column pass then scales each column's F0 once more.
        float value = transposed[0] * jpeg_idct::kHalfC4 * jpeg_idct::kHalfC4 + 128.0f;
        __m128 fill = _mm_set1_ps(value);
        for (int r = 0; r < 8; ++r) {
            _mm_store_ps(samples + 16 * r, fill);
            _mm_store_ps(samples + 16 * r + 4, fill);
        }
    } else {
        InverseDctToSamples(transposed, samples);
    }
    for (int i = 0; i < writtenCount; ++i)
        transposed[written[i]] = 0.0f;
}

// Four lanes of the column pass, level-shifted, truncated and clamped.
inline __m128i ShiftTruncateAndClamp(__m128 value) {
    return TruncateAndClamp(_mm_add_ps(value, _mm_set1_ps(128.0f)));
}

// The column pass's outputs as bytes: rows[i] holds picture rows 2i (low
// eight bytes) and 2i + 1 of the block.
inline void PackRows(const Lanes left[8], const Lanes right[8], __m128i rows[4]) {
    JPEG_UNROLL
    for (int i = 0; i < 4; ++i) {
        __m128i even = _mm_packs_epi32(ShiftTruncateAndClamp(left[2 * i].v),
                                       ShiftTruncateAndClamp(right[2 * i].v));
        __m128i odd = _mm_packs_epi32(ShiftTruncateAndClamp(left[2 * i + 1].v),
                                      ShiftTruncateAndClamp(right[2 * i + 1].v));
        rows[i] = _mm_packus_epi16(even, odd);
    }
}

// The transform of InverseDctToSamples for a block whose coefficients all
// lie in its top-left 4x4 corner: rows 4..7 are zero, so their row pass
// gives zeros, and every remaining 1-D transform has zero inputs 4..7.
void InverseDctLowToBytes(const float* transposed, __m128i rows[4]) {
    Lanes top[8];
    Lanes f[8];
    JPEG_UNROLL
    for (int u = 0; u < 4; ++u)
        f[u].v = _mm_load_ps(transposed + 8 * u);
    jpeg_idct::InverseDct8LowHalf(f, top, Broadcast{});
    Transpose(top[0], top[1], top[2], top[3]);
    Transpose(top[4], top[5], top[6], top[7]);
    Lanes left[8];
    Lanes right[8];
    jpeg_idct::InverseDct8LowHalf(top, left, Broadcast{});
    jpeg_idct::InverseDct8LowHalf(top + 4, right, Broadcast{});
    PackRows(left, right, rows);
}

void InverseDctToBytes(const float* transposed, __m128i rows[4]) {
    Lanes x[2][8];
    InverseDctLanes(transposed, x);
    PackRows(x[0], x[1], rows);
}

}  // namespace

void DecodeGreyBlocksSse(Image* image, int firstBlock, int blockCount, int y0) {
    JpegState& s = jpegState;
    JpegInput input = s.input;  // kept in registers over the whole run
    JpegComponent& component = s.components[0];
    const uint16_t* quant = component.quantTable;
    float* transposed = zeroBlock;
    int width = s.frameWidth;
    int rowsInside = s.frameHeight - y0 < 8 ? s.frameHeight - y0 : 8;
    // Row y of the picture is stored frameHeight - 1 - y rows from the start.
    uint8_t* top = image->pixels + size_t(s.frameHeight - 1 - y0) * size_t(width);
    for (int b = firstBlock; b < firstBlock + blockCount; ++b) {
        uint8_t written[64];
        int writtenCount = 0;
        int last = 0;
        jpeg_coefficients::DecodeCoefficients<true>(input, component, [&](int n, int value) {
            int position = kTransposedZigZag[n];
            transposed[position] =
                static_cast<float>(jpeg_coefficients::WrappingProduct(value, quant[n]));
            written[writtenCount++] = uint8_t(position);
            last = n;
        });
        __m128i rows[4];
        if (last == 0) {
            // DC only, as DecodeBlock fills it.
            float value = transposed[0] * jpeg_idct::kHalfC4 * jpeg_idct::kHalfC4 + 128.0f;
            __m128i words = _mm_packs_epi32(TruncateAndClamp(_mm_set1_ps(value)),
                                            TruncateAndClamp(_mm_set1_ps(value)));
            rows[0] = rows[1] = rows[2] = rows[3] = _mm_packus_epi16(words, words);
        } else if (last <= 9) {
            // Zig-zag positions 0..9 all lie in the top-left 4x4 corner.
            InverseDctLowToBytes(transposed, rows);
        } else {
            InverseDctToBytes(transposed, rows);
        }
        for (int i = 0; i < writtenCount; ++i)
            transposed[written[i]] = 0.0f;

        int x0 = 8 * b;
        uint8_t* out = top + x0;
        if (rowsInside == 8 && x0 + 8 <= width) {
            JPEG_UNROLL
            for (int i = 0; i < 4; ++i) {
                _mm_storel_epi64(reinterpret_cast<__m128i*>(out - size_t(2 * i) * width), rows[i]);
                _mm_storel_epi64(reinterpret_cast<__m128i*>(out - size_t(2 * i + 1) * width),
                                 _mm_srli_si128(rows[i], 8));
            }
        } else {
            alignas(16) uint8_t staged[64];
            for (int i = 0; i < 4; ++i)
                _mm_store_si128(reinterpret_cast<__m128i*>(staged + 16 * i), rows[i]);
            int columns = width - x0 < 8 ? width - x0 : 8;
            for (int r = 0; r < rowsInside; ++r)
                memcpy(out - size_t(r) * width, staged + 8 * r, size_t(columns));
        }
    }
    s.input = input;
}

void DecodeMcuSse() {
    JpegState& s = jpegState;
    JpegInput input = s.input;  // kept in registers over the whole MCU
    jpeg_coefficients::ForEachBlockOfMcu(s, [&](JpegComponent& component, float* samples) {
        DecodeBlock(input, component, samples);
    });
    s.input = input;
}

void TransformStoredBlockSse(const int16_t* coefficients, const uint16_t* quant, float* samples) {
    // The DC always counts as written, as it does in a coded block.
    uint64_t nonzero = jpeg_coefficients::NonzeroMask(coefficients) | 1;
    float* transposed = zeroBlock;
    uint8_t written[64];
    int writtenCount = 0;
    for (; nonzero != 0; nonzero &= nonzero - 1) {
        int n = jpeg_coefficients::LowestBit(nonzero);
        int position = kTransposedZigZag[n];
        transposed[position] =
            static_cast<float>(jpeg_coefficients::WrappingProduct(coefficients[n], quant[n]));
        written[writtenCount++] = uint8_t(position);
    }
    FinishBlock(written, writtenCount, samples);
}

void WriteMcuPixelsSse(Image* image, int x0, int x1, int y0, int y1) {
    const JpegState& s = jpegState;
    const float* luma = s.components[0].samples;
    int count = x1 - x0;
    if (s.scanComponentCount == 3) {
        const __m128 center = _mm_set1_ps(128.0f);
        const __m128 redFromCr = _mm_set1_ps(1.402f);
        const __m128 greenFromCb = _mm_set1_ps(0.34414f);
        const __m128 greenFromCr = _mm_set1_ps(0.71414f);
        const __m128 blueFromCb = _mm_set1_ps(1.772f);
        bool cbHalf = s.hStep[1] == 1;
        bool crHalf = s.hStep[2] == 1;
        for (int y = y0; y < y1; ++y) {
            int j = y - y0;
            uint8_t* out = image->pixels + 3 * (size_t(s.frameHeight - 1 - y) * s.frameWidth + x0);
            const float* lumaRow = luma + 16 * j;
            const float* cbRow = s.components[1].samples + 16 * ((j * s.vStep[1]) >> 1);
            const float* crRow = s.components[2].samples + 16 * ((j * s.vStep[2]) >> 1);
            for (int i = 0; i < count; i += 4) {
                __m128 yValue = _mm_load_ps(lumaRow + i);
                __m128 cb = _mm_sub_ps(LoadChroma(cbRow, i, cbHalf), center);
                __m128 cr = _mm_sub_ps(LoadChroma(crRow, i, crHalf), center);
                __m128 red = _mm_add_ps(yValue, _mm_mul_ps(redFromCr, cr));
                __m128 green = _mm_sub_ps(_mm_sub_ps(yValue, _mm_mul_ps(greenFromCb, cb)),
                                          _mm_mul_ps(greenFromCr, cr));
                __m128 blue = _mm_add_ps(yValue, _mm_mul_ps(blueFromCb, cb));
                __m128i packed =
                    _mm_or_si128(TruncateAndClamp(blue),
                                 _mm_or_si128(_mm_slli_epi32(TruncateAndClamp(green), 8),
                                              _mm_slli_epi32(TruncateAndClamp(red), 16)));
                alignas(16) uint32_t pixels[4];
                _mm_store_si128(reinterpret_cast<__m128i*>(pixels), packed);
                int n = count - i < 4 ? count - i : 4;
                // Little-endian: the low three bytes are blue, green, red.
                if (n == 4) {
                    // Four pixels as twelve bytes in two stores.
                    uint64_t first =
                        uint64_t(pixels[0]) | uint64_t(pixels[1]) << 24 | uint64_t(pixels[2]) << 48;
                    uint32_t second = pixels[2] >> 16 | pixels[3] << 8;
                    memcpy(out + 3 * i, &first, 8);
                    memcpy(out + 3 * i + 8, &second, 4);
                    continue;
                }
                for (int m = 0; m < n; ++m)
                    memcpy(out + 3 * (i + m), &pixels[m], 3);
            }
        }
    } else if (s.scanComponentCount == 1) {
        for (int y = y0; y < y1; ++y) {
            const float* row = luma + 16 * (y - y0);
            uint8_t* out = image->pixels + size_t(s.frameHeight - 1 - y) * s.frameWidth + x0;
            __m128i words = _mm_packs_epi32(TruncateAndClamp(_mm_load_ps(row)),
                                            TruncateAndClamp(_mm_load_ps(row + 4)));
            __m128i bytes = _mm_packus_epi16(words, words);
            if (count == 8) {
                _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
            } else {
                alignas(16) uint8_t staged[16];
                _mm_store_si128(reinterpret_cast<__m128i*>(staged), bytes);
                for (int i = 0; i < count; ++i)
                    out[i] = staged[i];
            }
        }
    }
}

#endif
