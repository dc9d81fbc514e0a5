// Decoding of one block's quantised coefficients, shared by the scalar and
// the vectorised pixel paths so that both follow exactly the same rules.
#pragma once

#include "image/jpeg_state.h"

namespace jpeg_coefficients {

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
template <typename Store>
inline void DecodeCoefficients(JpegComponent& component, Store store) {
    int category = DecodeHuffman(component.dcTable);
    component.dcPredictor = WrappingAdd(component.dcPredictor, ReceiveExtend(category));
    store(0, component.dcPredictor);
    for (int n = 1; n < 64;) {
        int rs = DecodeHuffman(component.acTable);
        if (rs == 0x00) break;  // end of block
        if (rs == 0xF0) {       // sixteen zeros
            n += 16;
            continue;
        }
        n += rs >> 4;
        int value = ReceiveExtend(rs & 0x0F);
        if (n < 64) store(n, value);
        n += 1;
    }
}

}  // namespace jpeg_coefficients
