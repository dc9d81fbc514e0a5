// Malformed streams the reader must refuse, made by patching a cjpeg file;
// one hand-made stream whose samples are worked out by hand; files of several
// scans put together from jpegtran's scans: the rules scans must keep, a huge
// frame on little data, and files cut anywhere.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "image/jpeg/jpeg.h"
#include "tests/jpeg/jpeg_test_support.h"

using namespace jpeg_test;

namespace {

// `bytes` written over the good file at `offset` from the 0xFF of `marker`, or
// inserted after the start of image where `marker` is 0. The good file is
// cjpeg's 32 x 16 at 2x2 without its APP0: tables DQT 0, DQT 1, then DHT DC 0,
// AC 0, DC 1, AC 1, each a segment of its own. Offsets: SOF 4 precision, 5
// height, 7 width, 9 count, 10 + 3k id, factors, table; DHT 4 class/number,
// 5 + n - 1 count of n-bit codes, 21 its 12 symbols, 54 the AC symbols; DQT 4
// precision/number; SOS 4 count, 5 + 2k component and tables, 11 spectral
// start, 12 end.
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
    {"arithmetic-coded frame", 0xC0, 1, {0xC9}},
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
    {"quantisation table this file never defined", 0xC0, 15, {2}},
    {"no quantisation table 0", 0xDB, 1, {0xFE}},
    {"quantisation table number 4", 0xDB, 4, {0x04}},
    {"quantisation precision 2", 0xDB, 4, {0x20}},
    {"16-bit quantisation table cut short", 0xDB, 4, {0x10}},
    {"no DC Huffman table 0", 0xC4, 1, {0xFE}},
    {"Huffman table class 2", 0xC4, 4, {0x20}},
    {"Huffman table number 4", 0xC4, 4, {0x04}},
    {"Huffman table of 257 symbols", 0xC4, 5, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 255}},
    {"three 1-bit codes", 0xC4, 5, {3, 0, 0, 9, 0, 0, 0, 0, 0}},
    {"four 2-bit codes, then 10-bit ones", 0xC4, 5, {0, 4, 0, 0, 0, 0, 0, 0, 0, 8}},
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

// The file with a copy of each table in every slot, so that anything the next
// decode carried over would show as a wrong success.
Bytes WithEverySlot(const Bytes& jpeg) {
    Bytes copies;
    for (size_t at : MarkerOffsets(jpeg)) {
        if (jpeg[at + 1] != 0xDB && jpeg[at + 1] != 0xC4) continue;
        for (uint8_t slot = 0; slot < 4; ++slot) {
            Bytes segment(&jpeg[at], &jpeg[at + 2 + size_t(jpeg[at + 2] << 8 | jpeg[at + 3])]);
            segment[4] = uint8_t((segment[4] & 0xF0) | slot);
            copies.insert(copies.end(), segment.begin(), segment.end());
        }
    }
    Bytes out = jpeg;
    out.insert(out.begin() + 2, copies.begin(), copies.end());
    return out;
}

// The segments before the first table after the frame header, and each scan
// with the tables written just before it.
std::pair<Bytes, std::vector<Bytes>> SplitScans(const Bytes& jpeg) {
    std::vector<size_t> offsets = MarkerOffsets(jpeg);
    std::vector<Bytes> scans;
    size_t frame = 0, start = 0;
    for (size_t k = 0; k + 1 < offsets.size(); ++k) {
        uint8_t code = jpeg[offsets[k] + 1];
        if (code >= 0xC0 && code <= 0xC2) frame = k;
        if (k == frame + 1) start = offsets[k];
        if (code == 0xDA) scans.emplace_back(&jpeg[start], &jpeg[offsets[k + 1]]);
        if (code == 0xDA) start = offsets[k + 1];
    }
    return {Bytes(jpeg.begin(), jpeg.begin() + long(offsets[frame + 1])), scans};
}

struct ScanCase {
    const char* name;
    int file;                // 0 the progressive file, 1 the sequential one
    std::vector<int> scans;  // in the order the file holds them
    // (position in the file's scans, 0 band start / 1 end / 2 Ah and Al, value)
    std::vector<std::tuple<int, int, uint8_t>> patches;
    int expected;
};

}  // namespace

TEST(JpegRefusal, BadStreamsGiveZeroAndAnEmptyRecordWhateverCameBefore) {
    // Two MCUs: a restart interval carried over would want a marker between them.
    Picture picture = MakePicture(Content::SmoothNoise, 32, 16, 3, 1);
    Bytes good = EncodeWithCjpeg(picture, "-sample 2x2");
    ASSERT_EQ(0xE0, good.at(3));
    good.erase(good.begin() + 2, good.begin() + 4 + (good[4] << 8 | good[5]));
    const Bytes primer = WithEverySlot(EncodeWithCjpeg(picture, "-sample 2x2 -restart 1"));
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = good;
        if (c.marker == 0) bytes.insert(bytes.begin() + 2, c.bytes.size(), 0);
        size_t at = c.marker ? FindMarker(good, c.marker) + c.offset : 2;
        std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + long(at));
        ASSERT_FALSE(DecodeOurs(primer).samples.empty());
        EXPECT_EQ(c.expected == 1, !DecodeOurs(bytes).samples.empty());
    }
    // An empty file, and one of fill bytes to the end.
    for (const Bytes& bytes : {Bytes{}, Bytes{0xFF, 0xD8, 0xFF, 0xFF, 0xFF}}) {
        ASSERT_FALSE(DecodeOurs(primer).samples.empty());
        EXPECT_TRUE(DecodeOurs(bytes).samples.empty());
    }
    Image image{};
    EXPECT_EQ(0, LoadJpeg("no/such/picture.jpg", &image));
}

// Grey 16 x 8: two DC-only blocks of DC -31 under a table of 7s with a restart
// between them (the predictor restarts at 0), 0xFF fill bytes before both
// markers. One 1-bit code per table: DC category 5, AC end of block. Every
// sample is -31 * 7 * 0.35355338^2 + 128 = 100.875, which we truncate toward
// zero and djpeg rounds.
TEST(JpegWorkedCase, DcOnlyBlocksTruncateWhereDjpegRounds) {
    const Bytes stream =
        Cat({Hex("FFD8 FFDB 0043 00"), Bytes(64, 7),
             Hex("FFC0 000B 08 0008 0010 01 01 11 00 FFC4 0014 00 01"), Bytes(15, 0),
             Hex("05 FFC4 0014 10 01"), Bytes(15, 0),
             Hex("00 FFDD 0004 0001 FFDA 0008 01 01 00 00 3F 00 01 FFFF D0 01 FFFF D9")});
    EXPECT_EQ(Bytes(128, 100), DecodeOurs(stream).samples);
    EXPECT_EQ(Bytes(128, 100), DecodeOurs(stream, true).samples);
    EXPECT_EQ(Bytes(128, 101), DecodeWithDjpeg(stream).samples);
}

// Scans of the progressive "0 1 2: 0 0 0 1; 0: 1 63 0 1; 1: 1 63 0 0; 2: 1 63 0
// 0; 0 1 2: 0 0 1 0; 0: 1 63 1 0;" and of the sequential "0; 1; 2;" chosen,
// repeated and patched; then a frame far larger than its scans' data.
TEST(JpegScanRules, ScansBreakingTheRulesAreRefused) {
    const ScanCase cases[] = {
        {"every scan", 0, {0, 1, 2, 3, 4, 5}, {}, 1},
        {"the DC scans alone", 0, {0, 4}, {}, 1},
        {"AC refinement without the DC refinement", 0, {0, 1, 5}, {}, 1},
        {"point transform 13", 0, {0}, {{0, 2, 0x0D}}, 1},
        {"bit 1 refined after a first scan of Al 2", 0, {0, 4}, {{0, 2, 0x02}, {1, 2, 0x21}}, 1},
        {"AC scan before the DC scan", 0, {1, 0}, {}, 0},
        {"AC refinement without its first scan", 0, {0, 5}, {}, 0},
        {"AC refinement twice", 0, {0, 1, 5, 5}, {}, 0},
        {"first AC scan twice", 0, {0, 1, 1}, {}, 0},
        {"first DC scan twice", 0, {0, 0}, {}, 0},
        {"refinement of bits never sent", 0, {0, 4}, {{1, 2, 0x21}}, 0},
        {"refinement by two bits", 0, {0, 4}, {{0, 2, 0x02}, {1, 2, 0x20}}, 0},
        {"point transform 14", 0, {0}, {{0, 2, 0x0E}}, 0},
        {"band end before its start", 0, {0, 1}, {{1, 0, 9}, {1, 1, 8}}, 0},
        {"band end 64", 0, {0, 1}, {{1, 1, 64}}, 0},
        {"DC scan with AC coefficients", 0, {0}, {{0, 1, 1}}, 0},
        {"AC scan of three components", 0, {0, 4}, {{1, 0, 1}, {1, 1, 63}, {1, 2, 0}}, 0},
        {"runs past the band's end", 0, {0, 1}, {{1, 1, 5}}, 0},
        {"sequential components in any order", 1, {1, 0, 2}, {}, 1},
        {"sequential luma alone", 1, {0}, {}, 1},
        {"sequential component twice", 1, {0, 1, 0}, {}, 0}};
    Bytes baseline = EncodeWithCjpeg(MakePicture(Content::Noise, 32, 32, 3, 5), "-sample 2x2");
    const std::pair<Bytes, std::vector<Bytes>> files[] = {
        SplitScans(Transcode(baseline, "-scans",
                             "0 1 2: 0 0 0 1; 0: 1 63 0 1; 1: 1 63 0 0; 2: 1 63 0 0;"
                             "0 1 2: 0 0 1 0; 0: 1 63 1 0;")),
        SplitScans(Transcode(baseline, "-scans", "0; 1; 2;"))};
    ASSERT_EQ(6u, files[0].second.size());
    ASSERT_EQ(3u, files[1].second.size());
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = files[c.file].first;
        for (size_t position = 0; position < c.scans.size(); ++position) {
            Bytes scan = files[c.file].second[size_t(c.scans[position])];
            for (auto [at, field, value] : c.patches) {
                size_t header = FindMarker(scan, 0xDA);
                if (size_t(at) == position)
                    scan.at(header + 5 + 2 * scan.at(header + 4) + size_t(field)) = value;
            }
            file.insert(file.end(), scan.begin(), scan.end());
        }
        file.insert(file.end(), {0xFF, 0xD9});
        EXPECT_EQ(c.expected == 1, !DecodeOurs(file).samples.empty());
    }
    // A 6000 x 6000 frame, far larger than its scans' data.
    Bytes file = files[0].first;
    std::copy_n(Bytes{0x17, 0x70, 0x17, 0x70}.begin(), 4,
                file.begin() + long(FindMarker(file, 0xC2) + 5));
    for (const Bytes& scan : files[0].second)
        file.insert(file.end(), scan.begin(), scan.end());
    EXPECT_TRUE(DecodeOurs(file).samples.empty());
}

// Every prefix and three flips of every byte of real files: a whole
// picture or a clean 0, never a fault the sanitizers see. Cut anywhere, the
// progressive file gives what it gives when it ends with an end of image
// after the last marker segment before the cut: the scans whole before it.
TEST(JpegDamage, DamagedFilesGiveZeroOrAWholePictureCutOnesTheirWholeScans) {
    Picture colour = MakePicture(Content::SmoothNoise, 33, 17, 3, 11);
    const Bytes files[] = {
        Transcode(EncodeWithCjpeg(colour, "-sample 2x2"), "-progressive -restart 1B"),
        EncodeWithCjpeg(colour, "-quality 75 -sample 2x2 -restart 1B -optimize"),
        EncodeWithCjpeg(colour, "-quality 95 -sample 2x1"),
        EncodeWithCjpeg(MakePicture(Content::Edges, 17, 9, 1, 12), "-quality 50 -restart 1B")};
    std::vector<size_t> offsets = MarkerOffsets(files[0]);
    std::vector<Bytes> distinct;
    for (const Bytes& file : files) {
        ASSERT_FALSE(file.empty());
        const uint8_t masks[] = {0, 0xFF, 0x01, 0x80};
        for (size_t i = 0; i < 4 * file.size(); ++i) {
            Bytes bytes(file.begin(), file.begin() + long(std::min(i, file.size())));
            if (i >= file.size()) bytes[i % file.size()] ^= masks[i / file.size()];
            const Bytes samples = DecodeOurs(bytes).samples;
            if (&file != &files[0] || i >= file.size()) continue;
            size_t before = 0;
            for (size_t offset : offsets)
                before = offset + 1 < i ? offset : before;  // the marker code must be in
            Bytes ended(file.begin(), file.begin() + long(before));
            ended.insert(ended.end(), {0xFF, 0xD9});
            ASSERT_TRUE(samples == DecodeOurs(ended).samples) << i;
            if (!samples.empty() && (distinct.empty() || distinct.back() != samples))
                distinct.push_back(samples);
        }
    }
    EXPECT_GE(distinct.size(), 8u);  // the picture grows scan by scan
}
