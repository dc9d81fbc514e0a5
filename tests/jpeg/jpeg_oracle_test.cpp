// Our reader against libjpeg-turbo's djpeg on files libjpeg-turbo's cjpeg
// wrote. djpeg rounds where we truncate and its float transform is
// factorised differently, so small differences are expected; anything
// structural (block order, chroma placement, row order, restarts, colour
// order) shows up as large ones.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "image/jpeg.h"
#include "image/jpeg_state.h"
#include "tests/jpeg/jpeg_test_support.h"

using namespace jpeg_test;

namespace {

struct OracleCase {
    Content content;
    int width;
    int height;
    int channels;
    const char* options;
    // Largest difference allowed. Colour noise reconstructs Y, Cb and Cr well
    // outside 0..255; we convert those samples as they are and clamp only the
    // result, while djpeg rounds and clamps each component first, so a pixel
    // next to such an overshoot may differ by much more than rounding.
    int largestDifference = 3;
};

const OracleCase kCases[] = {
    {Content::SmoothNoise, 64, 48, 3, "-quality 90 -sample 1x1"},
    {Content::SmoothNoise, 64, 48, 3, "-quality 90 -sample 2x1"},
    {Content::SmoothNoise, 64, 48, 3, "-quality 90 -sample 1x2"},
    {Content::SmoothNoise, 64, 48, 3, "-quality 90 -sample 2x2"},
    {Content::SmoothNoise, 64, 48, 3, "-quality 90 -grayscale"},
    {Content::SmoothNoise, 64, 48, 1, "-quality 85"},
    {Content::Gradient, 17, 13, 3, "-quality 10 -sample 2x2"},
    {Content::Gradient, 17, 13, 3, "-quality 100 -sample 1x1"},
    {Content::Gradient, 17, 13, 1, "-quality 40"},
    {Content::Noise, 33, 65, 3, "-quality 75 -sample 2x2 -restart 1", 40},
    {Content::Noise, 33, 65, 3, "-quality 50 -sample 2x1 -optimize", 40},
    {Content::Edges, 33, 65, 3, "-quality 95 -sample 1x2 -restart 2B"},
    {Content::Edges, 1, 300, 3, "-quality 80 -sample 2x2"},
    {Content::Edges, 300, 1, 3, "-quality 80 -sample 2x1 -restart 1B"},
    {Content::Gradient, 1, 1, 3, "-quality 90 -sample 2x2"},
    {Content::Gradient, 1, 1, 1, "-quality 90"},
    {Content::Noise, 1, 300, 1, "-quality 100 -restart 1B"},
    {Content::Edges, 17, 13, 1, "-quality 30 -optimize"},
    {Content::SmoothNoise, 127, 95, 3, "-quality 100 -sample 2x2 -optimize -restart 1B"},
    {Content::SmoothNoise, 127, 95, 3, "-quality 60 -sample 1x1 -restart 5B"},
    {Content::Noise, 40, 40, 3, "-quality 100 -sample 1x1", 40},
    {Content::Edges, 64, 64, 3, "-quality 100 -sample 2x2 -dct float"},
    {Content::SmoothNoise, 200, 150, 1, "-quality 20 -restart 3"},
    {Content::SmoothNoise, 100, 70, 3, "-quality 70 -sample 2x1 -optimize -restart 7B"},
};

std::string CaseName(size_t index) {
    return "case" + std::to_string(index);
}

Picture DecodeOurs(const std::vector<uint8_t>& jpeg, bool scalar) {
    jpegState.useScalarPath = scalar ? 1 : 0;
    Image image{};
    int result = LoadJpegFromMemory(jpeg.data(), jpeg.size(), &image);
    jpegState.useScalarPath = 0;
    Picture picture;
    if (result == 1) picture = ToPicture(image);
    free(image.pixels);
    return picture;
}

}  // namespace

TEST(JpegAgainstDjpeg, CjpegFilesDecodeWithinThreeOfDjpeg) {
    for (size_t i = 0; i < std::size(kCases); ++i) {
        const OracleCase& c = kCases[i];
        SCOPED_TRACE(std::string(c.options) + " " + std::to_string(c.width) + "x" +
                     std::to_string(c.height));
        Picture source = MakePicture(c.content, c.width, c.height, c.channels, unsigned(i));
        std::vector<uint8_t> jpeg = EncodeWithCjpeg(source, c.options, CaseName(i));
        ASSERT_FALSE(jpeg.empty());
        Picture expected;
        ASSERT_TRUE(DecodeWithDjpeg(jpeg, CaseName(i), &expected));

        Image image{};
        ASSERT_EQ(1, DecodeFile(jpeg, CaseName(i), &image));
        Picture ours = ToPicture(image);
        free(image.pixels);

        ASSERT_EQ(expected.width, ours.width);
        ASSERT_EQ(expected.height, ours.height);
        ASSERT_EQ(expected.channels, ours.channels);
        int largest = 0;
        double total = 0;
        for (size_t s = 0; s < ours.samples.size(); ++s) {
            int difference = std::abs(int(ours.samples[s]) - int(expected.samples[s]));
            largest = std::max(largest, difference);
            total += difference;
        }
        EXPECT_LE(largest, c.largestDifference);
        EXPECT_LT(total / double(ours.samples.size()), 1.0);
    }
}

// The vectorised transform and colour conversion against the plain scalar
// formulas, on real files: not one byte may differ.
TEST(JpegFastPath, MatchesScalarFormulasToTheBit) {
    for (size_t i = 0; i < std::size(kCases); ++i) {
        const OracleCase& c = kCases[i];
        SCOPED_TRACE(c.options);
        Picture source = MakePicture(c.content, c.width, c.height, c.channels, unsigned(i) + 100);
        std::vector<uint8_t> jpeg = EncodeWithCjpeg(source, c.options, CaseName(i));
        ASSERT_FALSE(jpeg.empty());
        Picture fast = DecodeOurs(jpeg, false);
        Picture scalar = DecodeOurs(jpeg, true);
        ASSERT_EQ(c.width, fast.width);
        EXPECT_TRUE(fast.samples == scalar.samples);
    }
}

TEST(JpegAgainstDjpeg, ProgressiveAndArithmeticFilesAreRefused) {
    Picture source = MakePicture(Content::SmoothNoise, 40, 24, 3, 7);
    for (const char* options :
         {"-progressive", "-arithmetic", "-progressive -grayscale", "-arithmetic -sample 1x1"}) {
        SCOPED_TRACE(options);
        std::vector<uint8_t> jpeg = EncodeWithCjpeg(source, options, "refused");
        ASSERT_FALSE(jpeg.empty());
        Image image{};
        EXPECT_EQ(0, DecodeFile(jpeg, "refused", &image));
        EXPECT_EQ(nullptr, image.pixels);
    }
}

// A grey frame is one non-interleaved component: one block per MCU, whatever
// sampling factors the frame header gives it.
TEST(JpegAgainstDjpeg, GreyFilesWithSamplingFactorsTwoDecodeLikeFactorsOne) {
    Picture source = MakePicture(Content::Edges, 45, 37, 1, 3);
    std::vector<uint8_t> plain = EncodeWithCjpeg(source, "-quality 90", "grey");
    ASSERT_FALSE(plain.empty());
    Picture expected = DecodeOurs(plain, false);
    ASSERT_EQ(45, expected.width);
    Picture reference;
    ASSERT_TRUE(DecodeWithDjpeg(plain, "grey", &reference));

    // The frame header's component entry: id 1, sampling byte, table 0.
    size_t sof = 0;
    while (!(plain[sof] == 0xFF && plain[sof + 1] == 0xC0))
        ++sof;
    size_t sampling = sof + 11;
    ASSERT_EQ(0x11, plain[sampling]);
    for (uint8_t factors : {0x22, 0x21, 0x12}) {
        SCOPED_TRACE(int(factors));
        std::vector<uint8_t> patched = plain;
        patched[sampling] = factors;
        Picture ours = DecodeOurs(patched, false);
        EXPECT_TRUE(ours.samples == expected.samples);
        Picture theirs;
        ASSERT_TRUE(DecodeWithDjpeg(patched, "grey", &theirs));
        EXPECT_TRUE(theirs.samples == reference.samples);
    }
    std::vector<uint8_t> written = EncodeWithCjpeg(source, "-quality 90 -sample 2x2", "grey22");
    EXPECT_TRUE(DecodeOurs(written, false).samples == expected.samples);
}
