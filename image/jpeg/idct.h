// The 8-point inverse DCT of the JPEG reader, written once for any number
// type with +, - and *: plain float for the scalar path and a four-lane
// vector for the fast one. Both therefore run the very same operations in
// the very same order, so every lane gives the scalar result to the bit.
//
// x_k = sum over u of C(u)/2 * F_u * cos((2k+1) u pi / 16), C(0) = 1/sqrt(2),
// C(u) = 1 otherwise; a row pass and a column pass together give the 2-D
// inverse DCT with its factor 1/4. c_n below stands for cos(n pi / 16).
#pragma once

namespace jpeg_idct {

constexpr float kHalfC4 = 0.35355338f;  // c4 / 2
constexpr float kHalfC2 = 0.46193975f;  // c2 / 2
constexpr float kHalfC6 = 0.19134171f;  // c6 / 2
constexpr float kC1C7 = 0.58793777f;    // (c1 + c7) / 2
constexpr float kC3C5 = 0.69351995f;    // (c3 + c5) / 2
constexpr float kC5C7 = 0.37533027f;    // (c5 + c7) / 2
constexpr float kC1C3 = 0.90612745f;    // (c1 + c3) / 2
constexpr float kHalfC7 = 0.09754516f;  // c7 / 2
constexpr float kHalfC5 = 0.27778512f;  // c5 / 2
constexpr float kHalfC3 = 0.41573480f;  // c3 / 2
constexpr float kHalfC1 = 0.49039263f;  // c1 / 2

// The full path, 16 multiplications. With F1..F7 all zero it yields F0 * c4/2
// in every output exactly (up to the sign of a zero), which is what the
// shortcut of the scalar path gives.
// The last stage of the 8-point transform: outputs k and 7 - k are the sum
// and difference of the even part Ek and the odd part Ok.
template <typename V>
inline void CombineEvenOdd(V e0, V e1, V e2, V e3, V o0, V o1, V o2, V o3, V x[8]) {
    x[0] = e0 + o0;
    x[7] = e0 - o0;
    x[1] = e1 + o1;
    x[6] = e1 - o1;
    x[2] = e2 + o2;
    x[5] = e2 - o2;
    x[3] = e3 + o3;
    x[4] = e3 - o3;
}

template <typename V, typename K>
inline void InverseDct8(const V f[8], V x[8], K k) {
    V a = f[0] * k(kHalfC4);
    V b = f[4] * k(kHalfC4);
    V p = a + b;
    V m = a - b;
    V t = f[2] * k(kHalfC2) + f[6] * k(kHalfC6);
    V e = f[2] * k(kHalfC6) - f[6] * k(kHalfC2);
    V e0 = p + t;
    V e1 = m + e;
    V e2 = m - e;
    V e3 = p - t;

    V d35 = f[3] - f[5];
    V s35 = f[3] + f[5];
    V o0 = k(kC1C7) * f[1] + k(kC3C5) * f[3] - k(kC5C7) * d35 + k(kHalfC7) * (d35 + f[7] - f[1]);
    V o1 = k(kC3C5) * f[1] - k(kC1C7) * f[5] - k(kHalfC5) * (f[1] - f[3] + f[5] + f[7]) -
           k(kC5C7) * d35;
    V o2 = k(kC3C5) * f[1] + k(kC1C7) * f[5] - k(kC1C3) * s35 + k(kHalfC3) * (s35 + f[7] - f[1]);
    V o3 = k(kC1C7) * f[1] - k(kC3C5) * f[3] + k(kC1C3) * s35 -
           k(kHalfC1) * (f[1] + f[3] + f[5] + f[7]);

    CombineEvenOdd(e0, e1, e2, e3, o0, o1, o2, o3, x);
}

// InverseDct8 for inputs whose f[4..7] are all zero: the same operations in
// the same order with those zeros put in and the terms x + 0, x - 0 and
// 0 * c dropped. Inputs are finite, so each dropped term changes at most the
// sign of a zero result, and the level shift that follows removes that.
template <typename V, typename K>
inline void InverseDct8LowHalf(const V f[8], V x[8], K k) {
    V a = f[0] * k(kHalfC4);
    V t = f[2] * k(kHalfC2);
    V e = f[2] * k(kHalfC6);
    V e0 = a + t;
    V e1 = a + e;
    V e2 = a - e;
    V e3 = a - t;

    V o0 = k(kC1C7) * f[1] + k(kC3C5) * f[3] - k(kC5C7) * f[3] + k(kHalfC7) * (f[3] - f[1]);
    V o1 = k(kC3C5) * f[1] - k(kHalfC5) * (f[1] - f[3]) - k(kC5C7) * f[3];
    V o2 = k(kC3C5) * f[1] - k(kC1C3) * f[3] + k(kHalfC3) * (f[3] - f[1]);
    V o3 = k(kC1C7) * f[1] - k(kC3C5) * f[3] + k(kC1C3) * f[3] - k(kHalfC1) * (f[1] + f[3]);

    CombineEvenOdd(e0, e1, e2, e3, o0, o1, o2, o3, x);
}

}  // namespace jpeg_idct
