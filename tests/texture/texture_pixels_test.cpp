#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "image/texture.h"

namespace {

struct Rgba {
    int r, g, b, a;
};

Rgba NormalAt(const std::vector<uint8_t>& normals, int width, int x, int y) {
    const uint8_t* p = &normals[(static_cast<size_t>(y) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

void ExpectRgba(Rgba got, Rgba expected, const char* what) {
    EXPECT_EQ(got.r, expected.r) << what;
    EXPECT_EQ(got.g, expected.g) << what;
    EXPECT_EQ(got.b, expected.b) << what;
    EXPECT_EQ(got.a, expected.a) << what;
}

TEST(HeightToNormalMap, FlatHeightsGiveStraightUpNormalsWithSourceAlpha) {
    for (int bytesPerPixel : {1, 3, 4}) {
        const int width = 3, height = 2;
        std::vector<uint8_t> source(width * height * bytesPerPixel);
        for (size_t i = 0; i < source.size(); ++i) {
            // First byte of each pixel is the height, 77 everywhere; the other
            // bytes vary and must not matter, except alpha.
            source[i] = (i % bytesPerPixel == 0) ? 77 : static_cast<uint8_t>(i * 13);
        }
        std::vector<uint8_t> normals(width * height * 4, 0xCD);
        HeightToNormalMap(bytesPerPixel, source.data(), normals.data(), width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                int alpha = bytesPerPixel == 4 ? source[(y * width + x) * 4 + 3] : 255;
                ExpectRgba(NormalAt(normals, width, x, y), {127, 127, 254, alpha}, "flat");
            }
        }
    }
}

TEST(HeightToNormalMap, WorkedSlopesTruncateAndWrapAround) {
    // Rows all alike, heights 0 then 255, 24-bit (blue is the height; green and
    // red carry other values). At x = 0: dx = -5, so red = (1 - 5/sqrt 26) 127 =
    // 2.47 -> 2 and blue = (1 + 1/sqrt 26) 127 = 151.9 -> 151. At x = 1 the right
    // neighbour wraps to x = 0: dx = +5, red = 251.5 -> 251.
    const uint8_t rows[] = {0, 9, 200, 255, 1, 2, 0, 9, 200, 255, 1, 2};
    std::vector<uint8_t> normals(2 * 2 * 4);
    HeightToNormalMap(3, rows, normals.data(), 2, 2);
    for (int y = 0; y < 2; ++y) {
        ExpectRgba(NormalAt(normals, 2, 0, y), {2, 127, 151, 255}, "height 0 beside 255");
        ExpectRgba(NormalAt(normals, 2, 1, y), {251, 127, 151, 255}, "wrap to first column");
    }

    // One column, heights 0 (first row in memory) and 255: dy runs from this row
    // to the next, and the last row's next row is the first.
    const uint8_t column[] = {0, 255};
    HeightToNormalMap(1, column, normals.data(), 1, 2);
    ExpectRgba(NormalAt(normals, 1, 0, 0), {127, 251, 151, 255}, "next row higher");
    ExpectRgba(NormalAt(normals, 1, 0, 1), {127, 2, 151, 255}, "wrap to first row");

    // h = 100, right 40, next row 130: dx = 300/255, dy = 150/255, length
    // sqrt(2.730104) = 1.652303; normal (0.712019, 0.356010, 0.605216) gives
    // 217.43, 172.21, 203.86.
    const uint8_t mixed[] = {100, 40, 130, 0};  // 2 x 2, 8-bit
    HeightToNormalMap(1, mixed, normals.data(), 2, 2);
    ExpectRgba(NormalAt(normals, 2, 0, 0), {217, 172, 203, 255}, "mixed slope");
}

TEST(HeightToNormalMap, MatchesDoublePrecisionOnRandomHeights) {
    std::mt19937 random(12345);
    for (int bytesPerPixel : {1, 3, 4}) {
        const int width = 7, height = 5;
        std::vector<uint8_t> source(width * height * bytesPerPixel);
        for (auto& byte : source)
            byte = static_cast<uint8_t>(random());
        std::vector<uint8_t> normals(width * height * 4);
        HeightToNormalMap(bytesPerPixel, source.data(), normals.data(), width, height);
        auto heightAt = [&](int x, int y) {
            return source[(((y + height) % height) * width + (x + width) % width) * bytesPerPixel];
        };
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                double dx = (5.0 * heightAt(x, y) - 5.0 * heightAt(x + 1, y)) / 255.0;
                double dy = (5.0 * heightAt(x, y + 1) - 5.0 * heightAt(x, y)) / 255.0;
                double k = 1.0 / std::sqrt(dx * dx + dy * dy + 1.0);
                const double exact[3] = {(dx * k + 1) * 127, (dy * k + 1) * 127, (k + 1) * 127};
                const uint8_t* got = &normals[(y * width + x) * 4];
                for (int c = 0; c < 3; ++c) {
                    // Single precision may fall on the other side of an integer
                    // only when the exact value is that close to one.
                    double nearest = std::round(exact[c]);
                    if (std::fabs(exact[c] - nearest) < 1e-4) {
                        EXPECT_NEAR(got[c], nearest, 1.0);
                    } else {
                        EXPECT_EQ(got[c], static_cast<int>(exact[c])) << x << "," << y << " " << c;
                    }
                }
                int alpha = bytesPerPixel == 4 ? source[(y * width + x) * 4 + 3] : 255;
                EXPECT_EQ(got[3], alpha);
            }
        }
    }
}

TEST(CopyImageRect, CopiesRectangleRowByRow) {
    // 5 x 4 source, 2 bytes per pixel: pixel (x, y) holds (10 y + x, 100 + 10 y + x).
    std::vector<uint8_t> source;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            source.push_back(static_cast<uint8_t>(10 * y + x));
            source.push_back(static_cast<uint8_t>(100 + 10 * y + x));
        }
    }
    std::vector<uint8_t> destination(3 * 2 * 2 + 2, 0xAB);  // two guard bytes
    CopyImageRect(2, source.data(), destination.data(), 1, 2, 5, 3, 2);
    const std::vector<uint8_t> expected = {21,  121, 22,  122, 23,  123,  31,
                                           131, 32,  132, 33,  133, 0xAB, 0xAB};
    EXPECT_EQ(destination, expected);
}

TEST(RotateImage180, ReversesPixelOrderInPlace) {
    struct Case {
        int bytesPerPixel, width, height;
        std::vector<uint8_t> before, after;
    };
    const Case cases[] = {
        {1, 3, 2, {1, 2, 3, 4, 5, 6}, {6, 5, 4, 3, 2, 1}},
        {3, 3, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9}, {7, 8, 9, 4, 5, 6, 1, 2, 3}},
        {4,
         2,
         2,
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
         {13, 14, 15, 16, 9, 10, 11, 12, 5, 6, 7, 8, 1, 2, 3, 4}},
        {1, 1, 1, {42}, {42}},
        {2, 1, 3, {1, 2, 3, 4, 5, 6}, {5, 6, 3, 4, 1, 2}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> pixels = c.before;
        RotateImage180(c.bytesPerPixel, pixels.data(), c.width, c.height);
        EXPECT_EQ(pixels, c.after) << c.width << "x" << c.height << "x" << c.bytesPerPixel;
    }
}

}  // namespace
