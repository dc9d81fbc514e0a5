// Our reader against libjpeg-turbo's djpeg on files its cjpeg wrote. djpeg
// rounds where we truncate, so small differences are expected; structural
// faults (block order, chroma placement, row order, restarts) show as large.
#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <tuple>
#include <utility>

#include "image/jpeg/idct.h"
#include "image/jpeg/jpeg.h"
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
    {Content::SmoothNoise, 40, 24, 3, "-progressive -sample 2x2"},
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

// The same coefficients in other scans must give the same bytes: progressive
// files (spectral selection, successive approximation with refinement),
// sequential files with one scan per component, with and without restarts.
TEST(JpegScans, TranscodedFilesGiveTheOriginalsPixelsOnBothPaths) {
    struct Script {
        const char* options;
        const char* colour;  // scan script for YCbCr; grey files take grey's
        const char* grey;
    };
    const char* approximation =
        "0 1 2: 0 0 0 2; 0: 1 5 0 2; 2: 1 63 0 1; 1: 1 63 0 1;"
        "0: 6 63 0 2; 0 1 2: 0 0 2 1; 0: 1 63 2 1; 0 1 2: 0 0 1 0;"
        "2: 1 63 1 0; 1: 1 63 1 0; 0: 1 63 1 0;";
    const char* greyApproximation =
        "0: 0 0 0 1; 0: 1 9 0 3; 0: 10 63 0 2; 0: 1 9 3 2;"
        "0: 0 0 1 0; 0: 1 63 2 1; 0: 1 63 1 0;";
    const Script scripts[] = {
        {"-progressive", "", ""},
        {"-progressive -restart 1B", "", ""},
        {"-scans", "0: 0 0 0 0; 1 2: 0 0 0 0; 0: 1 9 0 0; 0: 10 63 0 0; 2: 1 63 0 0; 1: 1 63 0 0;",
         "0: 0 0 0 0; 0: 1 1 0 0; 0: 2 63 0 0;"},
        {"-scans", approximation, greyApproximation},
        {"-restart 2 -scans", approximation, greyApproximation},
        {"-scans", "1; 0; 2;", "0;"},
        {"-restart 1B -scans", "0; 2; 1;", "0;"}};
    for (size_t i = 0; i < std::size(kCases); ++i) {
        const OracleCase& c = kCases[i];
        if (c.largestDifference == kRefused || c.greyFactors != 0x11) continue;
        Bytes original = EncodeWithCjpeg(
            MakePicture(c.content, c.width, c.height, c.channels, unsigned(i)), c.options);
        Picture expected = DecodeOurs(original);
        bool grey = c.channels == 1 || std::string(c.options).find("gray") != std::string::npos;
        for (const Script& script : scripts) {
            SCOPED_TRACE(testing::Message()
                         << c.options << " " << c.width << "x" << c.height << ", " << script.options
                         << " " << (grey ? script.grey : script.colour));
            Bytes transcoded =
                Transcode(original, script.options, grey ? script.grey : script.colour);
            ASSERT_FALSE(transcoded.empty());
            ASSERT_FALSE(expected.samples.empty());
            EXPECT_TRUE(expected.samples == DecodeOurs(transcoded).samples);
            EXPECT_TRUE(expected.samples == DecodeOurs(transcoded, true).samples);
        }
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

// Every prefix and three flips of every byte of real files, one progressive:
// a whole picture or a clean 0, never a fault the sanitizers see.
TEST(JpegDamage, DamagedFilesGiveZeroOrAWholePicture) {
    Picture colour = MakePicture(Content::SmoothNoise, 33, 17, 3, 11);
    Picture grey = MakePicture(Content::Edges, 17, 9, 1, 12);
    for (const Bytes& file :
         {EncodeWithCjpeg(colour, "-quality 75 -sample 2x2 -restart 1B -optimize"),
          EncodeWithCjpeg(colour, "-quality 95 -sample 2x1"),
          EncodeWithCjpeg(grey, "-quality 50 -restart 1B"),
          Transcode(EncodeWithCjpeg(colour, "-sample 2x2"), "-progressive -restart 1B")}) {
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

namespace {

// Where WithFillBytes puts its 0xFF fill bytes.
constexpr unsigned kBeforeSegments = 1, kBeforeRestarts = 2, kBeforeEnd = 4;

// The file with `count` 0xFF fill bytes in front of each marker of `places`:
// the segment markers after the start of image up to the scan's, the
// restart markers in the scan, the end of image.
Bytes WithFillBytes(const Bytes& jpeg, size_t count, unsigned places) {
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    bool inScan = false;
    size_t i = 2;
    while (i + 1 < jpeg.size()) {
        uint8_t code = jpeg[i + 1];
        bool marker = jpeg[i] == 0xFF && code != 0x00;
        size_t length = jpeg[i] == 0xFF ? 2 : 1;  // a marker, a stuffed 0xFF or a data byte
        unsigned place = 0;
        if (marker && !inScan) {
            place = kBeforeSegments;
            if (i + 3 < jpeg.size()) length = 2 + size_t(jpeg[i + 2] << 8 | jpeg[i + 3]);
            inScan = code == 0xDA;
        } else if (marker) {
            place = code == 0xD9 ? kBeforeEnd : code >= 0xD0 && code <= 0xD7 ? kBeforeRestarts : 0;
        }
        if (places & place) out.insert(out.end(), count, 0xFF);
        length = std::min(length, jpeg.size() - i);
        out.insert(out.end(), jpeg.begin() + long(i), jpeg.begin() + long(i + length));
        i += length;
    }
    out.insert(out.end(), jpeg.begin() + long(i), jpeg.end());
    return out;
}

}  // namespace

// Any marker may follow 0xFF fill bytes. With them between the segments,
// before the restart markers and before the end of image, both pixel paths
// must give the bytes they give without, and djpeg must agree.
TEST(JpegFillBytes, FillBytesBeforeMarkersChangeNoPixel) {
    const std::tuple<Content, int, int, int, const char*> files[] = {
        {Content::SmoothNoise, 40, 24, 3, "-quality 90 -sample 2x2 -restart 1B"},
        {Content::Noise, 33, 17, 3, "-quality 75 -sample 2x1 -restart 2B -optimize"},
        {Content::Noise, 40, 17, 1, "-quality 95 -restart 1B"},
        {Content::Edges, 64, 16, 1, "-quality 60 -restart 3B"},
        {Content::SmoothNoise, 24, 24, 3, "-quality 90 -sample 1x1"}};
    const std::pair<unsigned, size_t> fills[] = {
        {kBeforeSegments, 3},
        {kBeforeRestarts, 1},
        {kBeforeRestarts, 2},
        {kBeforeRestarts, 9},
        {kBeforeEnd, 5},
        {kBeforeSegments | kBeforeRestarts | kBeforeEnd, 1},
        {kBeforeSegments | kBeforeRestarts | kBeforeEnd, 300}};
    for (const auto& [content, width, height, channels, options] : files) {
        Picture source = MakePicture(content, width, height, channels, unsigned(width));
        Bytes plain = EncodeWithCjpeg(source, options);
        ASSERT_FALSE(plain.empty());
        Picture ours = DecodeOurs(plain);
        ASSERT_FALSE(ours.samples.empty()) << options;
        for (auto [places, count] : fills) {
            SCOPED_TRACE(testing::Message() << options << ", places " << places << " x" << count);
            Bytes filled = WithFillBytes(plain, count, places);
            // Restart markers are the only 0xFF 0xD0..0xD7 pairs after the scan header.
            size_t restarts = 0;
            for (size_t i = FindMarker(plain, 0xDA); i + 1 < plain.size(); ++i)
                restarts += plain[i] == 0xFF && plain[i + 1] >= 0xD0 && plain[i + 1] <= 0xD7;
            if (std::string(options).find("restart") != std::string::npos) {
                ASSERT_GT(restarts, 0u);
            }
            // APP0, DQT, SOF0, DHT and SOS at least come before the scan.
            size_t segmentGrowth =
                filled.size() - plain.size() -
                count * ((places & kBeforeRestarts ? restarts : 0) + (places & kBeforeEnd ? 1 : 0));
            ASSERT_EQ(0u, segmentGrowth % count);
            ASSERT_EQ(places & kBeforeSegments ? true : false, segmentGrowth >= 5 * count);
            EXPECT_TRUE(ours.samples == DecodeOurs(filled).samples);
            EXPECT_TRUE(ours.samples == DecodeOurs(filled, true).samples);
            EXPECT_LE(LargestDifference(DecodeOurs(filled), DecodeWithDjpeg(filled)),
                      content == Content::Noise && channels == 3 ? 40 : 3);
        }
    }
}
