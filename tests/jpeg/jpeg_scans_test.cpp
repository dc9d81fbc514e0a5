// Files of several scans put together from jpegtran's scans: the rules
// scans must keep, huge frames on little data, and files cut anywhere.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "image/jpeg/jpeg.h"
#include "tests/jpeg/jpeg_test_support.h"

using namespace jpeg_test;

namespace {

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

// Scans of the progressive "0 1 2: 0 0 0 1; 0: 1 63 0 1; 1: 1 63 0 0; 2: 1 63 0
// 0; 0 1 2: 0 0 1 0; 0: 1 63 1 0;" and of the sequential "0; 1; 2;" chosen,
// repeated and patched; then frames far larger than their scans' data.
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
