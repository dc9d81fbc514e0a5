// Streams the reader must refuse, and damaged files it must survive. Each
// bad stream is decoded right after a good file that defines every table
// slot, a frame and a restart interval, so that anything carried over from
// the earlier file would show up as a wrong success.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "image/jpeg.h"
#include "tests/jpeg/jpeg_test_support.h"

using namespace jpeg_test;

namespace {

StreamSpec Base() {
    StreamSpec spec = DefaultSpec(16, 16, 3, 2, 2);
    spec.quant = {{0x00, FlatQuant(8, 2)}};
    for (int i = 0; i < 6; ++i)
        spec.blocks.push_back(MakeBlock(i * 3 - 7, {{1, i + 1}}));
    return spec;
}

std::vector<uint8_t> Mutated(const std::function<void(StreamSpec&)>& mutate) {
    StreamSpec spec = Base();
    mutate(spec);
    return BuildStream(spec);
}

// A good file using every table slot, two quantisation tables and restarts.
std::vector<uint8_t> EverythingDefined() {
    StreamSpec spec = DefaultSpec(16, 8, 3, 2, 1);
    spec.quant = {{0x00, FlatQuant(8)}, {0x01, FlatQuant(8)}};
    spec.frame[1].quantTable = 1;
    spec.frame[2].quantTable = 1;
    HuffmanSpec dc1 = spec.huffman[0];
    dc1.classAndId = 0x01;
    HuffmanSpec ac1 = spec.huffman[1];
    ac1.classAndId = 0x11;
    spec.huffman.push_back(dc1);
    spec.huffman.push_back(ac1);
    spec.scan[1].tables = 0x11;
    spec.scan[2].tables = 0x11;
    spec.restartInterval = 1;
    spec.blocks = {MakeBlock(1), MakeBlock(2), MakeBlock(3), MakeBlock(4)};
    return BuildStream(spec);
}

std::vector<uint8_t> WithSegmentLengthened(std::vector<uint8_t> bytes, uint8_t marker) {
    for (size_t i = 2; i + 3 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == marker) {
            size_t length = size_t(bytes[i + 2]) << 8 | bytes[i + 3];
            bytes[i + 3] = uint8_t(length + 1);
            bytes.insert(bytes.begin() + long(i + 2 + length), 0x00);
            break;
        }
    }
    return bytes;
}

HuffmanSpec TableWithSymbols(int classAndId, int length, int count) {
    HuffmanSpec table{classAndId, std::vector<uint8_t>(16, 0), {}};
    for (int i = 0; i < count; ++i)
        table.symbols.push_back(uint8_t(i % 11));
    table.counts[length - 1] = uint8_t(count);
    return table;
}

struct BadCase {
    const char* name;
    std::vector<uint8_t> bytes;
};

std::vector<BadCase> BadCases() {
    std::vector<uint8_t> good = BuildStream(Base());
    std::vector<uint8_t> noStart = good;
    noStart[1] = 0xD9;
    HuffmanSpec tooMany{0x01, std::vector<uint8_t>(16, 0), std::vector<uint8_t>(257, 0)};
    tooMany.counts[15] = 255;
    tooMany.counts[14] = 2;
    return {
        {"empty file", {}},
        {"only start and end of image", {0xFF, 0xD8, 0xFF, 0xD9}},
        {"no start of image", noStart},
        {"no marker where one is due", Mutated([](StreamSpec& s) { s.extraSegments = {0x00}; })},
        {"end of image before any scan", Mutated([](StreamSpec& s) {
             s.extraSegments = {0xFF, 0xD9};
         })},
        {"segment runs past the end of the file", Mutated([](StreamSpec& s) {
             s.extraSegments = {0xFF, 0xFE, 0x10, 0x00, 'x'};
         })},
        {"segment length below two", Mutated([](StreamSpec& s) {
             s.extraSegments = {0xFF, 0xFE, 0x00, 0x01};
         })},
        {"width 0", Mutated([](StreamSpec& s) { s.width = 0; })},
        {"height 0, left to a DNL marker", Mutated([](StreamSpec& s) { s.height = 0; })},
        {"scan before any frame header", Mutated([](StreamSpec& s) { s.sofMarker = 0xFE; })},
        {"differential sequential frame", Mutated([](StreamSpec& s) { s.sofMarker = 0xC5; })},
        {"progressive frame", Mutated([](StreamSpec& s) { s.sofMarker = 0xC2; })},
        {"lossless frame", Mutated([](StreamSpec& s) { s.sofMarker = 0xC3; })},
        {"arithmetic-coded frame", Mutated([](StreamSpec& s) { s.sofMarker = 0xC9; })},
        {"12-bit samples", Mutated([](StreamSpec& s) { s.precision = 12; })},
        {"two components", Mutated([](StreamSpec& s) { s.frame.pop_back(); })},
        {"four components", Mutated([](StreamSpec& s) {
             s.frame.push_back({4, 1, 1, 0});
         })},
        {"frame header longer than its components", WithSegmentLengthened(good, 0xC0)},
        {"component identifier 0", Mutated([](StreamSpec& s) { s.frame[0].id = 0; })},
        {"component identifier 4 in a three-component frame",
         Mutated([](StreamSpec& s) { s.frame[2].id = 4; })},
        {"component listed twice", Mutated([](StreamSpec& s) { s.frame[2].id = 2; })},
        {"sampling factor 3", Mutated([](StreamSpec& s) { s.frame[0].h = 3; })},
        {"sampling factor 4 on a grey frame",
         [] {
             StreamSpec spec = DefaultSpec(8, 8, 1, 4, 4);
             spec.blocks = {MakeBlock(1)};
             return BuildStream(spec);
         }()},
        {"sampling factor 0", Mutated([](StreamSpec& s) { s.frame[1].v = 0; })},
        {"chroma denser than luma", Mutated([](StreamSpec& s) {
             s.frame[0].h = 1;
             s.frame[0].v = 1;
             s.frame[1].h = 2;
         })},
        {"quantisation table number 4 in the frame",
         Mutated([](StreamSpec& s) { s.frame[0].quantTable = 4; })},
        {"quantisation table this file never defined",
         Mutated([](StreamSpec& s) { s.frame[1].quantTable = 1; })},
        {"no quantisation table at all", Mutated([](StreamSpec& s) { s.quant.clear(); })},
        {"Huffman table this file never defined",
         Mutated([](StreamSpec& s) { s.scan[1].tables = 0x11; })},
        {"no Huffman table at all", Mutated([](StreamSpec& s) { s.huffman.clear(); })},
        {"scan selects DC table 2, never defined",
         Mutated([](StreamSpec& s) { s.scan[0].tables = 0x20; })},
        {"scan selects DC table 4", Mutated([](StreamSpec& s) { s.scan[0].tables = 0x40; })},
        {"scan selects AC table 4", Mutated([](StreamSpec& s) { s.scan[0].tables = 0x04; })},
        {"scan without every frame component", Mutated([](StreamSpec& s) { s.scan.pop_back(); })},
        {"scan components out of frame order",
         Mutated([](StreamSpec& s) { std::swap(s.scan[1], s.scan[2]); })},
        {"scan selects component 5", Mutated([](StreamSpec& s) { s.scan[2].selector = 5; })},
        {"spectral range ends at 62", Mutated([](StreamSpec& s) { s.spectralEnd = 62; })},
        {"spectral range starts at 1", Mutated([](StreamSpec& s) { s.spectralStart = 1; })},
        {"Huffman table class 2", Mutated([](StreamSpec& s) { s.huffman[0].classAndId = 0x20; })},
        {"Huffman table number 4", Mutated([](StreamSpec& s) { s.huffman[1].classAndId = 0x14; })},
        {"Huffman table of 257 symbols",
         Mutated([&](StreamSpec& s) { s.huffman.push_back(tooMany); })},
        {"over-subscribed code lengths",
         Mutated([](StreamSpec& s) { s.huffman.push_back(TableWithSymbols(0x01, 1, 3)); })},
        {"over-subscribed codes past nine bits", Mutated([](StreamSpec& s) {
             HuffmanSpec table{0x11, std::vector<uint8_t>(16, 0), {1, 2, 3, 4, 5}};
             table.counts[1] = 4;  // 00 01 10 11 leave no room for a 10-bit code
             table.counts[9] = 1;
             s.huffman.push_back(table);
         })},
        {"Huffman symbols past the segment", Mutated([](StreamSpec& s) {
             s.huffman.resize(1);
             s.huffman[0].symbols.resize(5);
         })},
        {"DC category 12", Mutated([](StreamSpec& s) { s.huffman[0].symbols[11] = 12; })},
        {"AC size 11", Mutated([](StreamSpec& s) { s.huffman[1].symbols[5] = 0x0B; })},
        {"quantisation table number 4", Mutated([](StreamSpec& s) {
             s.quant.push_back({0x04, FlatQuant(1)});
         })},
        {"quantisation precision 2", Mutated([](StreamSpec& s) {
             s.quant.push_back({0x21, FlatQuant(1)});
         })},
        {"quantisation table cut short by its segment", Mutated([](StreamSpec& s) {
             s.quant.push_back({0x01, std::vector<int>(10, 1)});
         })},
        {"restart interval segment of the wrong size",
         Mutated([](StreamSpec& s) { s.extraSegments = {0xFF, 0xDD, 0x00, 0x05, 0, 1, 0}; })},
        {"restart marker missing", Mutated([](StreamSpec& s) {
             s.width = 32;
             s.blocks.insert(s.blocks.end(), s.blocks.begin(), s.blocks.end());
             s.extraSegments = {0xFF, 0xDD, 0x00, 0x04, 0x00, 0x01};
         })},
        {"65535 x 65535 frame", Mutated([](StreamSpec& s) { s.width = s.height = 65535; })},
        {"frame far larger than its data could code",
         Mutated([](StreamSpec& s) { s.width = s.height = 8000; })},
    };
}

}  // namespace

TEST(JpegRefusal, BadStreamsGiveZeroAndLeaveTheRecordEmpty) {
    std::vector<uint8_t> everything = EverythingDefined();
    for (const BadCase& c : BadCases()) {
        SCOPED_TRACE(c.name);
        Image previous{};
        ASSERT_EQ(1, LoadJpegFromMemory(everything.data(), everything.size(), &previous));
        free(previous.pixels);

        Image image{};
        EXPECT_EQ(0, LoadJpegFromMemory(c.bytes.data(), c.bytes.size(), &image));
        EXPECT_EQ(nullptr, image.pixels);
        EXPECT_EQ(0, image.width);
        EXPECT_EQ(0, image.height);
        EXPECT_EQ(0, image.bitsPerPixel);
    }
    // The unmutated base decodes, so each failure above is the mutation's.
    std::vector<uint8_t> good = BuildStream(Base());
    Image image{};
    EXPECT_EQ(1, LoadJpegFromMemory(good.data(), good.size(), &image));
    free(image.pixels);
}

TEST(JpegRefusal, MissingFileGivesZero) {
    Image image{};
    EXPECT_EQ(0, LoadJpeg("no/such/picture.jpg", &image));
    EXPECT_EQ(nullptr, image.pixels);
}

TEST(JpegRefusal, AFileDecodesTheSameWhateverWasDecodedBefore) {
    std::vector<uint8_t> good = BuildStream(Base());
    Image first{};
    ASSERT_EQ(1, LoadJpegFromMemory(good.data(), good.size(), &first));
    std::vector<uint8_t> other = EverythingDefined();
    Image between{};
    ASSERT_EQ(1, LoadJpegFromMemory(other.data(), other.size(), &between));
    Image second{};
    ASSERT_EQ(1, LoadJpegFromMemory(good.data(), good.size(), &second));
    EXPECT_EQ(0, memcmp(first.pixels, second.pixels, 16 * 16 * 3));
    free(first.pixels);
    free(between.pixels);
    free(second.pixels);
}

// Every prefix of real files and every byte flipped: a picture or a clean 0,
// never a crash, an out-of-bounds access or a leak (run under the sanitizers).
TEST(JpegRefusal, DamagedFilesGiveZeroOrAPicture) {
    Picture colour = MakePicture(Content::SmoothNoise, 33, 17, 3, 11);
    Picture grey = MakePicture(Content::Edges, 17, 9, 1, 12);
    std::vector<std::vector<uint8_t>> files = {
        EncodeWithCjpeg(colour, "-quality 75 -sample 2x2 -restart 1B -optimize", "damaged1"),
        EncodeWithCjpeg(colour, "-quality 95 -sample 2x1", "damaged2"),
        EncodeWithCjpeg(grey, "-quality 50 -restart 1B", "damaged3"),
    };
    for (const std::vector<uint8_t>& file : files) {
        ASSERT_FALSE(file.empty());
        std::vector<std::vector<uint8_t>> variants;
        for (size_t length = 0; length < file.size(); ++length) {
            variants.emplace_back(file.begin(), file.begin() + long(length));
        }
        for (size_t i = 0; i < file.size(); ++i) {
            for (uint8_t mask : {0xFF, 0x01, 0x80}) {
                variants.push_back(file);
                variants.back()[i] ^= mask;
            }
        }
        int pictures = 0;
        for (const std::vector<uint8_t>& bytes : variants) {
            Image image{};
            int result = LoadJpegFromMemory(bytes.data(), bytes.size(), &image);
            if (result == 1) {
                ++pictures;
                ASSERT_NE(nullptr, image.pixels);
                ASSERT_GT(image.width, 0);
                // Touch every byte so the sanitizers see the whole block.
                unsigned sum = 0;
                size_t size = size_t(image.width) * image.height * image.bitsPerPixel / 8;
                for (size_t b = 0; b < size; ++b)
                    sum += image.pixels[b];
                (void)sum;
                free(image.pixels);
            } else {
                ASSERT_EQ(0, result);
                ASSERT_EQ(nullptr, image.pixels);
            }
        }
        EXPECT_GT(pictures, 0);
    }
}
