// Our reader against libjpeg-turbo's djpeg on files its cjpeg wrote, and
// against itself on jpegtran's transcodes of them into other scans. djpeg
// rounds where we truncate, so small differences are expected; structural
// faults (block order, chroma placement, row order, restarts) show as large.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "tests/jpeg/jpeg_test_support.h"

using namespace jpeg_test;

namespace {

struct OracleCase {
    Content content;
    int width, height, channels;
    const char* options;
    // Colour noise reconstructs Y, Cb and Cr far outside 0..255: we convert
    // them unclamped and clamp the result, djpeg clamps each one first.
    int largestDifference = 3;
    // A lone component is coded one block per MCU whatever sampling factors
    // its frame header gives: a grey file's factors are patched to these.
    uint8_t greyFactors = 0x11;
};

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
    {Content::SmoothNoise, 40, 24, 3, "-progressive -sample 2x2"}};

// jpegtran options and scan scripts for YCbCr and for grey files: progressive
// (spectral selection, successive approximation with refinement) and
// sequential with one scan per component, with and without restarts.
const char* const kApproximation =
    "0 1 2: 0 0 0 2; 0: 1 5 0 2; 2: 1 63 0 1; 1: 1 63 0 1; 0: 6 63 0 2; 0 1 2: "
    "0 0 2 1;"
    "0: 1 63 2 1; 0 1 2: 0 0 1 0; 2: 1 63 1 0; 1: 1 63 1 0; 0: 1 63 1 0;";
const char* const kGreyApproximation =
    "0: 0 0 0 1; 0: 1 9 0 3; 0: 10 63 0 2; 0: 1 9 3 2; 0: 0 0 1 0; 0: 1 63 2 "
    "1; 0: 1 63 1 0;";
const char* const kScripts[][3] = {
    {"-progressive", "", ""},
    {"-progressive -restart 1B", "", ""},
    {"-scans",
     "0: 0 0 0 0; 1 2: 0 0 0 0; 0: 1 9 0 0; 0: 10 63 0 0; 2: 1 63 0 0; 1: 1 63 "
     "0 0;",
     "0: 0 0 0 0; 0: 1 1 0 0; 0: 2 63 0 0;"},
    {"-scans", kApproximation, kGreyApproximation},
    {"-restart 2 -scans", kApproximation, kGreyApproximation},
    {"-scans", "1; 0; 2;", "0;"},
    {"-restart 1B -scans", "0; 2; 1;", "0;"}};

}  // namespace

// Close to djpeg; the vectorised path, which takes a shortened transform
// for blocks whose coefficients fit the top-left 4x4 corner, giving the
// scalar path's bytes exactly; every transcode giving the original's bytes.
TEST(JpegAgainstDjpeg, CjpegFilesAndTheirTranscodesDecodeCloseToDjpegOnBothPaths) {
    for (size_t i = 0; i < std::size(kCases); ++i) {
        const OracleCase& c = kCases[i];
        SCOPED_TRACE(testing::Message() << c.options << " " << c.width << "x" << c.height);
        Bytes jpeg = EncodeWithCjpeg(
            MakePicture(c.content, c.width, c.height, c.channels, unsigned(i)), c.options);
        ASSERT_FALSE(jpeg.empty());
        if (c.greyFactors != 0x11) jpeg.at(FindMarker(jpeg, 0xC0) + 11) = c.greyFactors;
        Picture ours = DecodeOurs(jpeg);
        Picture theirs = DecodeWithDjpeg(jpeg);
        ASSERT_TRUE(ours.width == theirs.width && ours.height == theirs.height);
        ASSERT_EQ(ours.samples.size(), theirs.samples.size());
        int largest = 0;
        double total = 0;
        for (size_t k = 0; k < ours.samples.size(); ++k) {
            int difference = std::abs(ours.samples[k] - theirs.samples[k]);
            largest = std::max(largest, difference);
            total += difference;
        }
        ASSERT_LE(largest, c.largestDifference);
        EXPECT_LT(total / double(ours.samples.size()), 1.0);
        ASSERT_TRUE(ours.samples == DecodeOurs(jpeg, true).samples);
        if (c.greyFactors != 0x11) continue;  // jpegtran would write the factors back
        bool grey = c.channels == 1 || std::string(c.options).find("gray") != std::string::npos;
        for (const auto& script : kScripts) {
            SCOPED_TRACE(testing::Message() << script[0] << " " << script[grey ? 2 : 1]);
            Bytes transcoded = Transcode(jpeg, script[0], script[grey ? 2 : 1]);
            ASSERT_FALSE(transcoded.empty());
            EXPECT_TRUE(ours.samples == DecodeOurs(transcoded).samples);
            EXPECT_TRUE(ours.samples == DecodeOurs(transcoded, true).samples);
        }
    }
}
