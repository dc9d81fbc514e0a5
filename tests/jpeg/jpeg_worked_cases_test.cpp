// Hand-made streams whose pixels were worked out by hand in single
// precision: a DC-only block with dequantised value q*d gives every sample
// q*d * 0.35355338 * 0.35355338 + 128.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "image/jpeg.h"
#include "tests/jpeg/jpeg_test_support.h"

using namespace jpeg_test;

namespace {

struct Decoded {
    int result = 0;
    Image image{};
    ~Decoded() { free(image.pixels); }
};

void Decode(const std::vector<uint8_t>& bytes, Decoded* out) {
    out->result = LoadJpegFromMemory(bytes.data(), bytes.size(), &out->image);
}

// Byte c (0 blue, 1 green, 2 red) of picture pixel (x, y), y from the top.
int PixelByte(const Image& image, int x, int y, int c = 0) {
    int channels = image.bitsPerPixel / 8;
    return image.pixels[(size_t(image.height - 1 - y) * image.width + x) * channels + c];
}

// Compares a valid hand-made stream with djpeg: the builder's files are
// ordinary baseline JPEG, so the independent decoder must agree closely.
void ExpectCloseToDjpeg(const std::vector<uint8_t>& bytes, const Image& image) {
    Picture theirs;
    ASSERT_TRUE(DecodeWithDjpeg(bytes, "worked", &theirs));
    Picture ours = ToPicture(image);
    ASSERT_EQ(theirs.samples.size(), ours.samples.size());
    for (size_t i = 0; i < ours.samples.size(); ++i) {
        ASSERT_LE(std::abs(int(ours.samples[i]) - int(theirs.samples[i])), 3) << "sample " << i;
    }
}

}  // namespace

TEST(JpegWorkedCases, DcOnlyBlockOfDequantisedEightIs129) {
    StreamSpec spec = DefaultSpec(8, 8);
    spec.quant = {{0x00, FlatQuant(8)}};
    spec.blocks = {MakeBlock(1)};
    Decoded decoded;
    Decode(BuildStream(spec), &decoded);
    ASSERT_EQ(1, decoded.result);
    EXPECT_EQ(8, decoded.image.width);
    EXPECT_EQ(8, decoded.image.bitsPerPixel);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(129, decoded.image.pixels[i]);
}

// Samples stay floats until the end, then truncate toward zero and clamp.
TEST(JpegWorkedCases, SamplesTruncateAndClamp) {
    struct Case {
        int quant;
        int dc;
        int expected;
    };
    const Case cases[] = {
        {7, 83, 200},   // 200.625
        {8, 172, 255},  // 300
        {8, -131, 0},   // -3
        {4, 21, 138},   // 138.5
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dc);
        StreamSpec spec = DefaultSpec(8, 8);
        spec.quant = {{0x00, FlatQuant(c.quant)}};
        spec.blocks = {MakeBlock(c.dc)};
        Decoded decoded;
        Decode(BuildStream(spec), &decoded);
        ASSERT_EQ(1, decoded.result);
        EXPECT_EQ(c.expected, decoded.image.pixels[0]);
        EXPECT_EQ(c.expected, decoded.image.pixels[63]);
    }
}

TEST(JpegWorkedCases, ColourConversionTruncatesAndClampsEachChannel) {
    // Three 4:4:4 MCUs side by side: neutral grey; Y = 255 with Cr = 255
    // (R = 433 before clamping); Y ~ 0 with Cb = 0 (B = -226). Then a file
    // with Y = 100.875 and neutral chroma.
    StreamSpec spec = DefaultSpec(24, 8, 3);
    spec.quant = {{0x00, FlatQuant(8)}};
    spec.blocks = {MakeBlock(0),    MakeBlock(0),    MakeBlock(0),  // neutral grey
                   MakeBlock(127),  MakeBlock(0),    MakeBlock(127),
                   MakeBlock(-128), MakeBlock(-128), MakeBlock(0)};
    Decoded decoded;
    Decode(BuildStream(spec), &decoded);
    ASSERT_EQ(1, decoded.result);
    EXPECT_EQ(24, decoded.image.bitsPerPixel);
    EXPECT_EQ(255, PixelByte(decoded.image, 8, 0, 2));  // red 433 clamped
    EXPECT_EQ(164, PixelByte(decoded.image, 8, 0, 1));  // green 164.3
    EXPECT_EQ(255, PixelByte(decoded.image, 8, 0, 0));  // blue = Y
    EXPECT_EQ(0, PixelByte(decoded.image, 16, 7, 0));   // blue -226.8 clamped
    EXPECT_EQ(44, PixelByte(decoded.image, 16, 7, 1));  // green 44.05
    EXPECT_EQ(0, PixelByte(decoded.image, 23, 3, 2));   // red 0.0000076

    StreamSpec neutral = DefaultSpec(8, 8, 3);
    neutral.quant = {{0x00, FlatQuant(7)}};
    neutral.blocks = {MakeBlock(-31), MakeBlock(0), MakeBlock(0)};
    Decoded grey;
    Decode(BuildStream(neutral), &grey);
    ASSERT_EQ(1, grey.result);
    for (int i = 0; i < 8 * 8 * 3; ++i)
        EXPECT_EQ(100, grey.image.pixels[i]);  // 100.875
}

TEST(JpegWorkedCases, FirstPictureRowLandsInLastMemoryRowAsBlueGreenRed) {
    // Top block: Cr = 192 (R 217.7, G 82.3, B 128); bottom block: Cb = 192
    // (B 241.4, G 105.97, R 128). Y = 128 throughout.
    StreamSpec spec = DefaultSpec(8, 16, 3);
    spec.quant = {{0x00, FlatQuant(8)}};
    spec.blocks = {MakeBlock(0), MakeBlock(0),  MakeBlock(64),
                   MakeBlock(0), MakeBlock(64), MakeBlock(0)};
    Decoded decoded;
    std::vector<uint8_t> bytes = BuildStream(spec);
    Decode(bytes, &decoded);
    ASSERT_EQ(1, decoded.result);
    const uint8_t* firstMemoryRow = decoded.image.pixels;
    const uint8_t* lastMemoryRow = decoded.image.pixels + 15 * 8 * 3;
    EXPECT_EQ(241, firstMemoryRow[0]);
    EXPECT_EQ(105, firstMemoryRow[1]);
    EXPECT_EQ(128, firstMemoryRow[2]);
    EXPECT_EQ(128, lastMemoryRow[0]);
    EXPECT_EQ(82, lastMemoryRow[1]);
    EXPECT_EQ(217, lastMemoryRow[2]);
    ExpectCloseToDjpeg(bytes, decoded.image);

    StreamSpec grey = DefaultSpec(8, 16);
    grey.quant = {{0x00, FlatQuant(4)}};
    grey.blocks = {MakeBlock(21), MakeBlock(-21)};  // 138.5 above 117.5
    Decoded greyDecoded;
    Decode(BuildStream(grey), &greyDecoded);
    ASSERT_EQ(1, greyDecoded.result);
    EXPECT_EQ(117, greyDecoded.image.pixels[0]);
    EXPECT_EQ(138, greyDecoded.image.pixels[15 * 8 + 7]);
}

TEST(JpegWorkedCases, FourPixelsOf420ShareOneChromaSample) {
    StreamSpec spec = DefaultSpec(16, 16, 3, 2, 2);
    spec.quant = {{0x00, FlatQuant(8, 8)}};
    // Four flat luma blocks, chroma varying across the MCU.
    spec.blocks = {MakeBlock(0),
                   MakeBlock(10),
                   MakeBlock(-10),
                   MakeBlock(20),
                   MakeBlock(5, {{1, 30}, {2, -20}}),
                   MakeBlock(-5, {{1, -25}, {5, 9}})};
    std::vector<uint8_t> bytes = BuildStream(spec);
    Decoded decoded;
    Decode(bytes, &decoded);
    ASSERT_EQ(1, decoded.result);
    for (int c = 0; c < 3; ++c) {
        int shared = PixelByte(decoded.image, 0, 0, c);
        EXPECT_EQ(shared, PixelByte(decoded.image, 1, 0, c));
        EXPECT_EQ(shared, PixelByte(decoded.image, 0, 1, c));
        EXPECT_EQ(shared, PixelByte(decoded.image, 1, 1, c));
    }
    bool differs = false;
    for (int c = 0; c < 3; ++c) {
        differs = differs || PixelByte(decoded.image, 0, 0, c) != PixelByte(decoded.image, 2, 0, c);
    }
    EXPECT_TRUE(differs);
    ExpectCloseToDjpeg(bytes, decoded.image);
}

// 8 MCUs in one row. With an interval of 4 the stream holds one marker, after
// MCU 4, and the DC predictor restarts at 0 there; none follows MCU 8.
TEST(JpegWorkedCases, RestartIntervalsAreCheckedBetweenMcusOnly) {
    const int dcs[8] = {10, 20, -30, 40, 50, -60, 70, 5};
    for (int interval : {0, 1, 3, 4, 7, 8, 9}) {
        SCOPED_TRACE(interval);
        StreamSpec spec = DefaultSpec(64, 8);
        spec.quant = {{0x00, FlatQuant(4)}};
        spec.restartInterval = interval;
        for (int dc : dcs)
            spec.blocks.push_back(MakeBlock(dc));
        std::vector<uint8_t> bytes = BuildStream(spec);
        Decoded decoded;
        Decode(bytes, &decoded);
        ASSERT_EQ(1, decoded.result);
        for (int m = 0; m < 8; ++m) {
            // 4 * dc * 0.125 + 128, all exact halves or integers.
            int expected = int(std::floor(dcs[m] * 0.5 + 128));
            EXPECT_EQ(expected, PixelByte(decoded.image, 8 * m + 3, 4)) << "MCU " << m;
        }
        ExpectCloseToDjpeg(bytes, decoded.image);
    }
    // The same stream without its marker fails at the restart point.
    StreamSpec spec = DefaultSpec(64, 8);
    spec.restartInterval = 4;
    for (int dc : dcs)
        spec.blocks.push_back(MakeBlock(dc));
    std::vector<uint8_t> bytes = BuildStream(spec);
    std::vector<uint8_t> pattern = {0xFF, 0xD0};
    auto found = std::search(bytes.begin() + 20, bytes.end(), pattern.begin(), pattern.end());
    ASSERT_NE(bytes.end(), found);
    bytes.erase(found, found + 2);
    Decoded broken;
    Decode(bytes, &broken);
    EXPECT_EQ(0, broken.result);
    EXPECT_EQ(nullptr, broken.image.pixels);
}

TEST(JpegWorkedCases, RunsOfZerosAndStuffedBytesDecodeAsTheCoefficientsSay) {
    struct Case {
        const char* name;
        BlockCode block;
    };
    BlockCode zrlThenEnd = MakeBlock(40);
    zrlThenEnd.ac = {{0xF0, 0}};  // sixteen zeros, then end of block
    // DC category 11 with value 2047 followed by an AC code starting with a
    // 1 bit puts a whole 0xFF byte into the data, which must be stuffed.
    BlockCode stuffed = MakeBlock(2047, {{12, 100}});
    const Case cases[] = {
        {"zero run then end of block", zrlThenEnd},
        {"zero run before a coefficient", MakeBlock(40, {{17, -50}})},
        {"coefficients up to 63", MakeBlock(-12, {{1, 5}, {40, 3}, {63, -7}})},
        {"stuffed 0xFF data byte", stuffed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StreamSpec spec = DefaultSpec(8, 8);
        spec.quant = {{0x00, FlatQuant(1, 2)}};
        spec.blocks = {c.block, MakeBlock(1000, {{3, 20}})};
        spec.width = 16;
        std::vector<uint8_t> bytes = BuildStream(spec);
        Decoded decoded;
        Decode(bytes, &decoded);
        ASSERT_EQ(1, decoded.result);
        ExpectCloseToDjpeg(bytes, decoded.image);
    }
    std::vector<uint8_t> bytes = BuildStream([&] {
        StreamSpec spec = DefaultSpec(8, 8);
        spec.blocks = {stuffed};
        return spec;
    }());
    std::vector<uint8_t> pattern = {0xFF, 0x00};
    EXPECT_NE(bytes.end(), std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end()));
}

// A corrupt run may carry the coefficient index past 63: the value is
// dropped and the block ends, leaving the other coefficients alone.
TEST(JpegWorkedCases, AcRunPastCoefficient63IsDropped) {
    StreamSpec spec = DefaultSpec(8, 8);
    spec.quant = {{0x00, FlatQuant(8)}};
    BlockCode block = MakeBlock(1);
    block.ac = {{0xF0, 0}, {0xF0, 0}, {0xF0, 0}, {0xF1, 1}};  // index 49 + 15 = 64
    block.endOfBlock = false;
    spec.blocks = {block};
    Decoded decoded;
    Decode(BuildStream(spec), &decoded);
    ASSERT_EQ(1, decoded.result);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(129, decoded.image.pixels[i]);
}

TEST(JpegWorkedCases, TableVariantsReadAsTheFormatSays) {
    // A 16-bit quantisation table is big-endian: 0x0102 = 258, 258 / 8 + 128.
    StreamSpec wide = DefaultSpec(8, 8);
    wide.quant = {{0x10, FlatQuant(0x0102)}};
    wide.blocks = {MakeBlock(1)};
    Decoded wideDecoded;
    Decode(BuildStream(wide), &wideDecoded);
    ASSERT_EQ(1, wideDecoded.result);
    EXPECT_EQ(160, wideDecoded.image.pixels[0]);

    // DC 0, AC 0, DC 1, AC 1 (and DC 2, AC 3) in one segment; Cb uses the
    // tables 1, Cr the tables 2 and 3.
    StreamSpec four = DefaultSpec(8, 8, 3);
    four.quant = {{0x00, FlatQuant(8)}};
    for (int classAndId : {0x01, 0x11, 0x02, 0x13}) {
        HuffmanSpec table = four.huffman[classAndId >> 4];
        table.classAndId = classAndId;
        four.huffman.push_back(table);
    }
    four.scan[1].tables = 0x11;
    four.scan[2].tables = 0x23;
    four.blocks = {MakeBlock(0), MakeBlock(0), MakeBlock(64)};
    Decoded fourDecoded;
    Decode(BuildStream(four), &fourDecoded);
    ASSERT_EQ(1, fourDecoded.result);
    EXPECT_EQ(217, fourDecoded.image.pixels[2]);
}

TEST(JpegWorkedCases, ApplicationSegmentsDecideAsTheFirstApp0Says) {
    std::vector<uint8_t> exif = {0xFF, 0xE1, 0x00, 0x0A, 'E', 'x', 'i', 'f', 0, 0, 'M', 'M'};
    std::vector<uint8_t> avi = {0xFF, 0xE0, 0x00, 0x08, 'A', 'V', 'I', '1', 0, 0};
    std::vector<uint8_t> jfxx = {0xFF, 0xE0, 0x00, 0x08, 'J', 'F', 'X', 'X', 0, 0x10};
    struct Case {
        const char* name;
        bool jfif;
        std::vector<uint8_t> extra;
        int expected;
    };
    const Case cases[] = {
        {"Exif without APP0", false, exif, 1},
        {"no application segment", false, {}, 1},
        {"first APP0 not JFIF", true, avi, 0},
        {"JFIF then another APP0", false,
         [&] {
             std::vector<uint8_t> both = {0xFF, 0xE0, 0x00, 0x07, 'J', 'F', 'I', 'F', 0};
             both.insert(both.end(), jfxx.begin(), jfxx.end());
             return both;
         }(),
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StreamSpec spec = DefaultSpec(8, 8);
        spec.jfif = c.jfif;
        spec.extraSegments = c.extra;
        spec.blocks = {MakeBlock(3)};
        Decoded decoded;
        Decode(BuildStream(spec), &decoded);
        EXPECT_EQ(c.expected, decoded.result);
    }
}
