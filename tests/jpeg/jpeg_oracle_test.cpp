// Our reader against libjpeg-turbo's djpeg on files its cjpeg wrote. djpeg
// rounds where we truncate, so small differences are expected; structural
// faults (block order, chroma placement, row order, restarts) show as large.
#include <gtest/gtest.h>

#include <iterator>
#include <random>

#include "image/jpeg.h"
#include "image/jpeg_idct.h"
#include "tests/jpeg/jpeg_test_support.h"

using namespace jpeg_test;

namespace {

struct OracleCase {
    Content content;
    int width, height, channels;
    const char* options;
    // Colour noise reconstructs Y, Cb and Cr far outside 0..255: we convert
    // them unclamped and clamp the result, djpeg clamps each one first.
    int largestDifference = 3;  // or kRefused
    // A lone component is coded one block per MCU whatever sampling factors
    // its frame header gives: a grey file's factors are patched to these.
    uint8_t greyFactors = 0x11;
};

constexpr int kRefused = -1;

const OracleCase kCases[] = {
    {Content::SmoothNoise, 64, 48, 3, "-quality 20 -sample 2x1 -restart 3"},
    {Content::SmoothNoise, 64, 48, 3, "-quality 90 -sample 1x2"},
    {Content::SmoothNoise, 64, 48, 3, "-quality 90 -sample 2x2"},
    {Content::SmoothNoise, 64, 48, 3, "-quality 90 -grayscale"},
    {Content::SmoothNoise, 17, 13, 3, "-quality 10 -sample 2x2"},
    {Content::SmoothNoise, 17, 13, 3, "-quality 100 -sample 1x1"},
    {Content::SmoothNoise, 17, 13, 1, "-quality 40 -optimize"},
    {Content::Noise, 33, 65, 3, "-quality 75 -sample 2x2 -restart 1", 40},
    {Content::Noise, 33, 65, 3, "-quality 50 -sample 2x1 -optimize", 40},
    {Content::Edges, 33, 65, 3, "-quality 95 -sample 1x2 -restart 2B"},
    {Content::Edges, 1, 300, 3, "-quality 80 -sample 2x2"},
    {Content::Edges, 300, 1, 3, "-quality 80 -sample 2x1 -restart 1B"},
    {Content::SmoothNoise, 1, 1, 3, "-quality 90 -sample 2x2"},
    {Content::SmoothNoise, 1, 1, 1, "-quality 90"},
    {Content::Noise, 1, 300, 1, "-quality 100 -restart 1B"},
    {Content::SmoothNoise, 127, 95, 3, "-quality 100 -sample 2x2 -optimize -restart 1B"},
    {Content::Noise, 40, 40, 3, "-quality 100 -sample 1x1"},
    {Content::Edges, 45, 37, 1, "-quality 90", 3, 0x22},
    {Content::Edges, 45, 37, 1, "-quality 90", 3, 0x21},
    {Content::Edges, 45, 37, 1, "-quality 90", 3, 0x12},
    {Content::Edges, 45, 37, 1, "-quality 90 -sample 2x2"},
    {Content::SmoothNoise, 83, 29, 1, "-quality 30 -restart 3"},
    {Content::SmoothNoise, 40, 24, 3, "-progressive", kRefused},
    {Content::SmoothNoise, 40, 24, 3, "-arithmetic -sample 1x1", kRefused}};

}  // namespace

// The vectorised path must also give the scalar formulas' bytes exactly.
TEST(JpegAgainstDjpeg, CjpegFilesDecodeCloseToDjpegOnBothPixelPathsOrAreRefused) {
    for (size_t i = 0; i < std::size(kCases); ++i) {
        const OracleCase& c = kCases[i];
        SCOPED_TRACE(testing::Message() << c.options << " " << c.width << "x" << c.height);
        Picture source = MakePicture(c.content, c.width, c.height, c.channels, unsigned(i));
        Bytes jpeg = EncodeWithCjpeg(source, c.options);
        ASSERT_FALSE(jpeg.empty());
        if (c.greyFactors != 0x11) jpeg.at(FindMarker(jpeg, 0xC0) + 11) = c.greyFactors;
        Picture ours = DecodeOurs(jpeg);
        if (c.largestDifference == kRefused) {
            EXPECT_TRUE(ours.samples.empty());
            continue;
        }
        Picture theirs = DecodeWithDjpeg(jpeg);
        ASSERT_LE(LargestDifference(ours, theirs), c.largestDifference);
        double total = 0;
        for (size_t k = 0; k < ours.samples.size(); ++k)
            total += std::abs(ours.samples[k] - theirs.samples[k]);
        EXPECT_LT(total / double(ours.samples.size()), 1.0);
        EXPECT_TRUE(ours.samples == DecodeOurs(jpeg, true).samples);
    }
}

// Blocks whose coefficients fit the top-left 4x4 corner take the shortened
// transform; it must give the full one's floats exactly (zeros of either
// sign count as equal: the level shift makes them the same sample).
TEST(JpegTransform, LowHalfTransformEqualsFullTransformToTheBit) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 200000; ++trial) {
        // Dequantised values: small ones as in real blocks, some up to 2^21.
        int range = trial % 4 == 0 ? 1 << 21 : 600;
        float f[8] = {};
        for (int u = 0; u < 4; ++u)
            f[u] = float(int(random() % unsigned(2 * range + 1)) - range) * (random() % 3 != 0);
        float full[8], low[8];
        auto constant = [](float value) { return value; };
        jpeg_idct::InverseDct8(f, full, constant);
        jpeg_idct::InverseDct8LowHalf(f, low, constant);
        for (int k = 0; k < 8; ++k)
            ASSERT_EQ(full[k], low[k]) << trial << " output " << k;
    }
}

// Every prefix and three flips of every byte of real files: a whole picture or
// a clean 0, never a fault the sanitizers see.
TEST(JpegDamage, DamagedFilesGiveZeroOrAWholePicture) {
    Picture colour = MakePicture(Content::SmoothNoise, 33, 17, 3, 11);
    Picture grey = MakePicture(Content::Edges, 17, 9, 1, 12);
    for (const Bytes& file :
         {EncodeWithCjpeg(colour, "-quality 75 -sample 2x2 -restart 1B -optimize"),
          EncodeWithCjpeg(colour, "-quality 95 -sample 2x1"),
          EncodeWithCjpeg(grey, "-quality 50 -restart 1B")}) {
        ASSERT_FALSE(file.empty());
        const uint8_t masks[] = {0, 0xFF, 0x01, 0x80};
        for (size_t i = 0; i < 4 * file.size(); ++i) {
            Bytes bytes(file.begin(), file.begin() + long(std::min(i, file.size())));
            if (i >= file.size()) bytes[i % file.size()] ^= masks[i / file.size()];
            Image image{};
            int result = LoadJpegFromMemory(bytes.data(), bytes.size(), &image);
            ASSERT_EQ(result == 1, image.pixels != nullptr);
            size_t size = result ? size_t(image.width) * image.height * image.bitsPerPixel / 8 : 0;
            Bytes everyByte(image.pixels, image.pixels + size);  // the sanitizers check the block
            free(image.pixels);
        }
    }
}
