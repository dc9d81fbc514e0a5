// Decoding of one block's quantised coefficients, shared by the scalar and
// the vectorised pixel paths so that both follow exactly the same rules.
#pragma once

#include "image/jpeg/pixels_sse.h"
#include "image/jpeg/state.h"

#if JPEG_HAVE_SSE2
#include <emmintrin.h>
#endif

namespace jpeg_coefficients {

// Bit n set where coefficient n of the block is not zero.
inline uint64_t NonzeroMask(const int16_t* block) {
    uint64_t nonzero = 0;
#if JPEG_HAVE_SSE2
    const __m128i zero = _mm_setzero_si128();
    for (int i = 0; i < 4; ++i) {
        __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i));
        __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i + 8));
        __m128i zeros = _mm_packs_epi16(_mm_cmpeq_epi16(low, zero), _mm_cmpeq_epi16(high, zero));
        nonzero |= uint64_t(uint16_t(~_mm_movemask_epi8(zeros))) << (16 * i);
    }
#else
    for (int n = 0; n < 64; ++n)
        nonzero |= uint64_t(block[n] != 0) << n;
#endif
    return nonzero;
}

// Index of the lowest set bit of a nonzero mask.
inline int LowestBit(uint64_t mask) {
#if defined(__GNUC__)
    return __builtin_ctzll(mask);
#else
    int n = 0;
    while (!((mask >> n) & 1))
        ++n;
    return n;
#endif
}

// Predictor sums and dequantised products wrap instead of overflowing: real
// files never come near, corrupt ones must not be undefined behaviour.
inline int WrappingAdd(int a, int b) {
    return static_cast<int>(unsigned(a) + unsigned(b));
}
inline int WrappingProduct(int a, uint16_t b) {
    return static_cast<int>(unsigned(a) * unsigned(b));
}

// Decodes the DC difference and the AC run/size symbols of one block and
// hands each coefficient to store(zigZagIndex, value), the DC first. A run
// that carries the index past 63 ends the block without storing its value.
// Callers pass a local copy of the input, which stays in registers.
// With useRunAndValue the tables' combined look-up is taken where it
// applies; without, every coefficient goes the long way, as the scalar
// reference path does.
template <bool useRunAndValue, typename Store>
inline void DecodeCoefficients(JpegInput& input, JpegComponent& component, Store store) {
    int difference;
    int fastDc = useRunAndValue ? component.dcTable->runAndValue[input.bitBuffer >> 55] : 0;
    if (fastDc != 0) {
        ConsumeBits(input, fastDc & 0x0F);
        difference = fastDc >> 8;
    } else {
        int category = DecodeHuffman(input, component.dcTable);
        difference = ReceiveExtend(input, category);
    }
    component.dcPredictor = WrappingAdd(component.dcPredictor, difference);
    store(0, component.dcPredictor);
    const HuffmanTable* ac = component.acTable;
    for (int n = 1; n < 64;) {
        int fast = useRunAndValue ? ac->runAndValue[input.bitBuffer >> 55] : 0;
        if (fast != 0) {
            n += (fast >> 4) & 0x0F;
            ConsumeBits(input, fast & 0x0F);
            if (n < 64) store(n, fast >> 8);
            n += 1;
            continue;
        }
        int rs = DecodeHuffman(input, ac);
        if (rs == 0x00) break;  // end of block
        if (rs == 0xF0) {       // sixteen zeros
            n += 16;
            continue;
        }
        n += rs >> 4;
        int value = ReceiveExtend(input, rs & 0x0F);
        if (n < 64) store(n, value);
        n += 1;
    }
}

// Calls decodeBlock(component, samples) for every block of one MCU in the
// order the data units are coded: components in frame order, then block rows,
// then blocks. A lone component is coded non-interleaved: one block per MCU.
template <typename DecodeBlockFn>
inline void ForEachBlockOfMcu(JpegState& s, DecodeBlockFn decodeBlock) {
    bool interleaved = s.componentCount > 1;
    for (int k = 0; k < s.componentCount; ++k) {
        JpegComponent& component = s.components[k];
        int vBlocks = interleaved ? component.vSampling : 1;
        int hBlocks = interleaved ? component.hSampling : 1;
        for (int v = 0; v < vBlocks; ++v)
            for (int h = 0; h < hBlocks; ++h)
                decodeBlock(component, component.samples + 8 * v * 16 + 8 * h);
    }
}

}  // namespace jpeg_coefficients
