// Hand-made streams: pixels worked out by hand in single precision, and
// every malformed stream the reader must refuse.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "image/jpeg/jpeg.h"
#include "tests/jpeg/jpeg_test_support.h"

using namespace jpeg_test;

namespace {

// DC difference to the component's previous block, AC (run/size, value)
// symbols.
struct BlockCode {
    int dcDifference = 0;
    std::vector<std::pair<int, int>> ac = {};
};

// Sequential, grey or YCbCr with luma factors h x v and chroma 1 x 1, sizes
// below 256. Every DC Huffman table codes category c as the 4 bits c, every
// AC table run/size rs as the 8 bits (rs >> 4) * 11 + (rs & 15).
struct StreamPlan {
    int width = 8, height = 8, components = 1, h = 1, v = 1;
    std::vector<std::pair<int, int>> quant = {{0x00, 1}};  // precision/number byte, every value
    std::vector<int> huffmanTables = {0x00, 0x10};         // class/number bytes
    int scanTables[3] = {0x00, 0x00, 0x00};                // DC table << 4 | AC table
    int restartInterval = -1;                              // -1: no DRI segment
    std::vector<BlockCode> blocks = {};
    int fillBytes = 0;  // 0xFF fill bytes before each marker after the start of image
};

void PutSegment(Bytes* out, int marker, const Bytes& body, int fillBytes) {
    size_t length = body.size() + 2;
    out->insert(out->end(), size_t(fillBytes), 0xFF);
    out->insert(out->end(), {0xFF, uint8_t(marker), uint8_t(length >> 8), uint8_t(length)});
    out->insert(out->end(), body.begin(), body.end());
}

// A negative value goes as value - 1 in its size's bits.
void PutBits(std::string* bits, int value, int count) {
    for (int i = count - 1; i >= 0; --i)
        bits->push_back(char('0' + (((value < 0 ? value - 1 : value) >> i) & 1)));
}

// Entropy-coded bits as bytes: padded with 1 bits, a 0 stuffed after each 0xFF.
void PackBits(std::string* bits, Bytes* out) {
    bits->append((8 - bits->size() % 8) % 8, '1');
    for (size_t i = 0; i < bits->size(); i += 8) {
        out->push_back(uint8_t(std::stoi(bits->substr(i, 8), nullptr, 2)));
        if (out->back() == 0xFF) out->push_back(0x00);
    }
    bits->clear();
}

Bytes BuildStream(const StreamPlan& plan) {
    Bytes out = {0xFF, 0xD8};
    for (auto [idByte, value] : plan.quant) {
        Bytes table = {uint8_t(idByte)};
        for (int i = 0; i < 64; ++i) {
            if (idByte & 0x10) table.push_back(uint8_t(value >> 8));  // big-endian
            table.push_back(uint8_t(value));
        }
        PutSegment(&out, 0xDB, table, plan.fillBytes);
    }
    Bytes frame = {8, 0, uint8_t(plan.height), 0, uint8_t(plan.width), uint8_t(plan.components)};
    Bytes scan = {uint8_t(plan.components)};
    for (int k = 0; k < plan.components; ++k) {
        frame.insert(frame.end(), {uint8_t(k + 1), uint8_t(k ? 0x11 : plan.h << 4 | plan.v), 0});
        scan.insert(scan.end(), {uint8_t(k + 1), uint8_t(plan.scanTables[k])});
    }
    PutSegment(&out, 0xC0, frame, plan.fillBytes);
    Bytes dc(16, 0), ac(16, 0), tables;  // counts by code length, then symbols
    dc[3] = 12;
    ac[7] = 176;
    for (int symbol = 0; symbol < 256; ++symbol) {
        if (symbol < 12) dc.push_back(uint8_t(symbol));
        if ((symbol & 15) <= 10) ac.push_back(uint8_t(symbol));
    }
    for (int classAndId : plan.huffmanTables) {
        const Bytes& table = classAndId & 0x10 ? ac : dc;
        tables.push_back(uint8_t(classAndId));
        tables.insert(tables.end(), table.begin(), table.end());
    }
    PutSegment(&out, 0xC4, tables, plan.fillBytes);
    int interval = plan.restartInterval, blocks = int(plan.blocks.size());
    if (interval >= 0)
        PutSegment(&out, 0xDD, {uint8_t(interval >> 8), uint8_t(interval)}, plan.fillBytes);
    scan.insert(scan.end(), {0, 63, 0});
    PutSegment(&out, 0xDA, scan, plan.fillBytes);
    std::string bits;
    int mcuBlocks = interval * (plan.components == 1 ? 1 : plan.h * plan.v + 2);
    for (int b = 0; b < blocks; ++b) {
        const BlockCode& block = plan.blocks[b];
        int category = 0;
        while (std::abs(block.dcDifference) >> category)
            ++category;
        PutBits(&bits, category, 4);
        PutBits(&bits, block.dcDifference, category);
        for (auto [runSize, value] : block.ac) {
            PutBits(&bits, (runSize >> 4) * 11 + (runSize & 15), 8);
            PutBits(&bits, value, runSize & 15);
        }
        PutBits(&bits, 0, 8);  // end of block
        if (interval > 0 && (b + 1) % mcuBlocks == 0 && b + 1 < blocks) {
            PackBits(&bits, &out);
            out.insert(out.end(), size_t(plan.fillBytes), 0xFF);
            out.insert(out.end(), {0xFF, uint8_t(0xD0 + ((b + 1) / mcuBlocks - 1) % 8)});
        }
    }
    PackBits(&bits, &out);
    out.insert(out.end(), size_t(plan.fillBytes), 0xFF);
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

// Decodes `bytes` right after a file defining every table slot and a restart
// interval, so that anything carried over would show as a wrong success.
void ExpectResult(const Bytes& bytes, int expected) {
    StreamPlan plan{16, 8, 3, 2, 1, {{0x00, 8}, {0x01, 8}, {0x02, 8}, {0x03, 8}}};
    plan.huffmanTables = {0x00, 0x01, 0x02, 0x03, 0x10, 0x11, 0x12, 0x13};
    plan.restartInterval = 1;
    plan.blocks = {{1}, {2}, {3}, {4}};
    ASSERT_FALSE(DecodeOurs(BuildStream(plan)).samples.empty());
    Image image{};
    EXPECT_EQ(expected, LoadJpegFromMemory(bytes.data(), bytes.size(), &image));
    EXPECT_TRUE(expected ||
                (!image.pixels && !image.width && !image.height && !image.bitsPerPixel));
    free(image.pixels);
}

// `bytes` written over a good stream at `offset` from the 0xFF of `marker`, or
// inserted after the start of image where `marker` is 0. Offsets: SOF 4
// precision, 5 height, 7 width, 9 count, 10 + 3k id, factors, table; DHT 4 DC
// class/number, 5 + n - 1 count of n-bit codes, 21 its 12 symbols, 33 AC
// class/number, 34 counts, 50 symbols; DQT 4 precision/number; SOS 4 count,
// 5 + 2k component and tables, 11 spectral start, 12 end.
struct Case {
    const char* name;
    uint8_t marker;
    size_t offset;
    Bytes bytes;
    int expected = 0;
};

const Case kCases[] = {
    {"no application segment", 0, 0, {}, 1},
    {"Exif and no APP0", 0, 0, {0xFF, 0xE1, 0, 6, 'E', 'x', 'i', 'f'}, 1},
    {"JFIF, another APP0", 0, 0, {0xFF, 0xE0, 0, 7, 'J', 'F', 'I', 'F', 0, 0xFF, 0xE0, 0, 2}, 1},
    {"first APP0 not JFIF", 0, 0, {0xFF, 0xE0, 0, 6, 'A', 'V', 'I', '1'}},
    {"no start of image", 0xD8, 1, {0xD9}},
    {"no marker where one is due", 0, 0, {0x00}},
    {"fill bytes before a comment", 0, 0, {0xFF, 0xFF, 0xFF, 0xFE, 0, 3, 0xFF}, 1},
    {"fill bytes, then end of image", 0, 0, {0xFF, 0xFF, 0xFF, 0xD9}},
    {"end of image before any scan", 0, 0, {0xFF, 0xD9}},
    {"segment past the end of the file", 0, 0, {0xFF, 0xFE, 0x10, 0x00, 'x'}},
    {"segment length below two", 0, 0, {0xFF, 0xFE, 0, 1}},
    {"restart interval segment of the wrong size", 0, 0, {0xFF, 0xDD, 0, 5, 0, 1, 0}},
    {"restart marker missing", 0, 0, {0xFF, 0xDD, 0, 4, 0, 1}},
    {"width 0", 0xC0, 8, {0}},
    {"height 0, left to a DNL marker", 0xC0, 6, {0}},
    {"65535 x 65535 frame", 0xC0, 5, {0xFF, 0xFF, 0xFF, 0xFF}},
    {"frame far larger than its data", 0xC0, 5, {0x1F, 0x40, 0x1F, 0x40}},
    {"scan before any frame header", 0xC0, 1, {0xFE}},
    {"differential frame", 0xC0, 1, {0xC5}},
    {"12-bit samples", 0xC0, 4, {12}},
    {"two components", 0xC0, 9, {2}},
    {"four components", 0xC0, 9, {4}},
    {"frame header longer than its components", 0xC0, 9, {1}},
    {"component identifier 0", 0xC0, 10, {0}},
    {"component identifier 4 of 3", 0xC0, 16, {4}},
    {"component listed twice", 0xC0, 16, {2}},
    {"sampling factor 3", 0xC0, 11, {0x32}},
    {"sampling factor 0", 0xC0, 14, {0x10}},
    {"chroma denser than luma", 0xC0, 11, {0x11, 0, 2, 0x21}},
    {"frame selects quantisation table 4", 0xC0, 12, {4}},
    {"quantisation table this file never defined", 0xC0, 15, {1}},
    {"no quantisation table at all", 0xDB, 1, {0xFE}},
    {"quantisation table number 4", 0xDB, 4, {0x04}},
    {"quantisation precision 2", 0xDB, 4, {0x20}},
    {"16-bit quantisation table cut short", 0xDB, 4, {0x10}},
    {"no Huffman table at all", 0xC4, 1, {0xFE}},
    {"Huffman table class 2", 0xC4, 4, {0x20}},
    {"Huffman table number 4", 0xC4, 33, {0x14}},
    {"Huffman table of 257 symbols", 0xC4, 8, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 255}},
    {"three 1-bit codes", 0xC4, 5, {3, 0, 0, 9}},
    {"four 2-bit codes, then 10-bit ones", 0xC4, 6, {4, 0, 0, 0, 0, 0, 0, 0, 8}},
    {"Huffman symbols past the segment", 0xC4, 8, {255}},
    {"DC category 12", 0xC4, 32, {12}},
    {"AC size 11", 0xC4, 55, {0x0B}},
    {"DC table 2, never defined", 0xDA, 6, {0x20}},
    {"AC table 3, never defined", 0xDA, 6, {0x03}},
    {"DC table 4", 0xDA, 6, {0x40}},
    {"AC table 4", 0xDA, 6, {0x04}},
    {"first scan without every component", 0xDA, 4, {2}},
    {"scan components out of frame order", 0xDA, 7, {3, 0, 2}},
    {"scan selects component 5", 0xDA, 9, {5}},
    {"spectral range ends at 62", 0xDA, 12, {62}},
    {"spectral range starts at 1", 0xDA, 11, {1}}};

}  // namespace

TEST(JpegRefusal, BadStreamsGiveZeroAndAnEmptyRecordWhateverCameBefore) {
    StreamPlan plan{32, 16, 3, 2, 2, {{0x00, 8}}};  // two MCUs: a restart interval carried over
                                                    // would want a marker between them
    for (int i = 0; i < 12; ++i)
        plan.blocks.push_back({i * 3 - 7});
    const Bytes good = BuildStream(plan);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = good;
        if (c.marker == 0) bytes.insert(bytes.begin() + 2, c.bytes.size(), 0);
        size_t at = c.marker ? FindMarker(good, c.marker) + c.offset : 2;
        std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + long(at));
        ExpectResult(bytes, c.expected);
    }
    ExpectResult({}, 0);
    ExpectResult({0xFF, 0xD8, 0xFF, 0xFF, 0xFF}, 0);  // fill bytes up to the end
    Image image{};
    EXPECT_EQ(0, LoadJpeg("no/such/picture.jpg", &image));
}

// Pictures of 8x8 MCUs each of one colour, their samples worked out by hand
// in single precision: every sample of a DC-only block dequantised to F is
// F * 0.35355338^2 + 128, truncated toward zero and clamped to 0..255.
TEST(JpegWorkedCases, HandMadeStreamsGiveTheHandWorkedSamplesOnBothPaths) {
    auto grey = [](std::pair<int, int> quant, BlockCode block) {
        StreamPlan plan{8, 8, 1, 1, 1, {quant}};
        plan.blocks = {block};
        return plan;
    };
    // Index 49 + run 15 passes 63: the value is dropped and the block ends.
    const BlockCode runPast63 = {1, {{0xF0, 0}, {0xF0, 0}, {0xF0, 0}, {0xF1, 1}}};
    // Three 4:4:4 MCUs stacked, DC x 8 x 0.125 = sample - 128. Top: Cr 192,
    // so R 217.7, G 82.3, B 128. Middle: Y 255, Cr 255, so R 433 clamps, G
    // 164.3. Bottom: Y 0, Cb 0, so B -226.8 clamps, G 44.05. Cb is coded with
    // Huffman tables 1, Cr with DC table 2 and AC table 3.
    StreamPlan colour{
        8, 24, 3, 1, 1, {{0x00, 8}}, {0x00, 0x10, 0x01, 0x11, 0x02, 0x13}, {0, 0x11, 0x23}};
    colour.blocks = {{0}, {0}, {64}, {127}, {0}, {63}, {-255}, {-128}, {-127}};  // DC differences
    // 8 MCUs in a row with interval 4: one marker, after MCU 4, where the DC
    // predictor restarts at 0; none after MCU 8. Each MCU is 4 * DC / 8 + 128
    // for DC values 10, 20, -30, 40, 50, -60, 70, 5.
    StreamPlan restarts{64, 8, 1, 1, 1, {{0x00, 4}}, {0x00, 0x10}, {0, 0, 0}, 4};
    restarts.blocks = {{10}, {10}, {-50}, {70}, {50}, {-110}, {130}, {-65}};  // DC differences
    // (name, stream, samples of each MCU, largest difference to djpeg)
    std::vector<std::tuple<const char*, StreamPlan, std::vector<int>, int>> cases = {
        {"8 * 1: 129", grey({0x00, 8}, {1}), {129}, 1},
        {"7 * -31: 100.875 truncates", grey({0x00, 7}, {-31}), {100}, 1},
        {"7 * 83: 200.625", grey({0x00, 7}, {83}), {200}, 1},
        {"4 * 21: 138.5", grey({0x00, 4}, {21}), {138}, 1},
        {"8 * 172: 300 clamps", grey({0x00, 8}, {172}), {255}, 1},
        {"8 * -131: -3 clamps", grey({0x00, 8}, {-131}), {0}, 1},
        {"16-bit table, big-endian 0x0102 = 258: 160.25", grey({0x10, 0x0102}, {1}), {160}, 1},
        {"AC run past 63", grey({0x00, 8}, runPast63), {129}, 255},
        {"colour, rows bottom up", colour, {217, 82, 128, 255, 164, 255, 0, 44, 0}, 1}};
    // The same restarts with 0xFF fill bytes before every marker, where the
    // format allows any number of them.
    for (int fillBytes : {0, 3}) {
        restarts.fillBytes = fillBytes;
        cases.push_back({"restarts", restarts, {133, 138, 113, 148, 153, 98, 163, 130}, 1});
    }
    for (const auto& [name, plan, expected, djpegDifference] : cases) {
        SCOPED_TRACE(testing::Message() << name << ", " << plan.fillBytes << " fill bytes");
        Bytes jpeg = BuildStream(plan);
        Picture picture = DecodeOurs(jpeg);
        ASSERT_EQ(size_t(plan.width * plan.height * plan.components), picture.samples.size());
        for (size_t i = 0; i < picture.samples.size(); ++i) {
            size_t x = i / plan.components % plan.width, y = i / plan.components / plan.width;
            size_t mcu = y / 8 * size_t(plan.width / 8) + x / 8;
            ASSERT_EQ(expected[mcu * plan.components + i % plan.components], picture.samples[i])
                << "sample " << i;
        }
        EXPECT_TRUE(picture.samples == DecodeOurs(jpeg, true).samples);
        EXPECT_LE(LargestDifference(picture, DecodeWithDjpeg(jpeg)), djpegDifference);
    }
}
