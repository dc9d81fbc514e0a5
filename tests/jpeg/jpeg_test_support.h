// Helpers for the JPEG reader tests: pictures to encode, the cjpeg encoder
// and djpeg decoder (libjpeg-turbo tools) as independent references, and a
// small stream builder for hand-made files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/image.h"

namespace jpeg_test {

// A picture in PNM order: top row first, RGB or grey.
struct Picture {
    int width = 0;
    int height = 0;
    int channels = 0;  // 1 or 3
    std::vector<uint8_t> samples;
};

enum class Content { Gradient, Noise, Edges, SmoothNoise };

Picture MakePicture(Content content, int width, int height, int channels, unsigned seed);

std::string TempPath(const std::string& name);
std::vector<uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void WritePnm(const std::string& path, const Picture& picture);
bool ReadPnm(const std::string& path, Picture* picture);

// Runs cjpeg with the given options on the picture; returns the file's bytes
// (empty on failure).
std::vector<uint8_t> EncodeWithCjpeg(const Picture& picture, const std::string& options,
                                     const std::string& name);
// Decodes with djpeg -dct float -nosmooth; false on failure.
bool DecodeWithDjpeg(const std::vector<uint8_t>& jpeg, const std::string& name, Picture* picture);

// Our decoder's Image turned into PNM order (top row first, RGB).
Picture ToPicture(const Image& image);

// Decodes bytes through the file entry point; the Image is owned by caller.
int DecodeFile(const std::vector<uint8_t>& bytes, const std::string& name, Image* image);

// ---- Hand-made streams ----

// One block's entropy-coded content: the absolute DC value (the builder codes
// the difference to the predictor) and AC run/size symbols with their values.
struct AcSymbol {
    int runSize;  // the RS byte
    int value;    // coded in (runSize & 15) bits
};
struct BlockCode {
    int dc = 0;
    std::vector<AcSymbol> ac;
    bool endOfBlock = true;
};
// AC coefficients as (zig-zag index, value) pairs, turned into symbols.
BlockCode MakeBlock(int dc, const std::vector<std::pair<int, int>>& ac = {});

struct HuffmanSpec {
    int classAndId;
    std::vector<uint8_t> counts;  // 16 entries
    std::vector<uint8_t> symbols;
};

struct FrameComponentSpec {
    int id;
    int h;
    int v;
    int quantTable;
};

struct ScanComponentSpec {
    int selector;
    int tables;  // DC table << 4 | AC table
};

struct StreamSpec {
    int sofMarker = 0xC0;
    int precision = 8;
    int width = 8;
    int height = 8;
    std::vector<FrameComponentSpec> frame;  // default: one grey component
    // Quantisation tables written, each as (identifier byte, 64 values).
    std::vector<std::pair<int, std::vector<int>>> quant;
    std::vector<HuffmanSpec> huffman;  // default: DC 0 and AC 0, one segment
    std::vector<ScanComponentSpec> scan;
    int spectralStart = 0;
    int spectralEnd = 63;
    int restartInterval = -1;  // -1: no DRI segment
    bool jfif = true;
    std::vector<uint8_t> extraSegments;  // raw bytes placed before the frame header
    std::vector<BlockCode> blocks;       // in decode order
    int blocksPerMcu = 1;
    bool endMarker = true;
};

// A grey (or, with three components, YCbCr) spec with default tables: every
// quantisation value 1, DC categories as 4-bit codes, AC symbols as 8-bit codes.
StreamSpec DefaultSpec(int width, int height, int components = 1, int h = 1, int v = 1);
std::vector<int> FlatQuant(int first, int rest = 1);
std::vector<uint8_t> BuildStream(const StreamSpec& spec);

}  // namespace jpeg_test
