#include "tests/jpeg/jpeg_test_support.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include "image/image.h"

namespace jpeg_test {

Picture MakePicture(Content content, int width, int height, int channels, unsigned seed) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.channels = channels;
    picture.samples.resize(size_t(width) * height * channels);
    std::mt19937 random(seed);
    // Smooth noise: a few random waves per channel plus a little grain.
    float phase[3][4];
    float frequency[3][4];
    for (auto& row : phase) {
        for (float& value : row)
            value = std::uniform_real_distribution<float>(0, 6.28f)(random);
    }
    for (auto& row : frequency) {
        for (float& value : row)
            value = std::uniform_real_distribution<float>(0.01f, 0.2f)(random);
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c) {
                int value = 0;
                switch (content) {
                    case Content::Gradient:
                        value = c == 0   ? x * 255 / std::max(1, width - 1)
                                : c == 1 ? y * 255 / std::max(1, height - 1)
                                         : (x + y) * 255 / std::max(1, width + height - 2);
                        break;
                    case Content::Noise:
                        value = int(random() & 0xFF);
                        break;
                    case Content::Edges:
                        value = ((x / 5 + y / 3 + c) % 2) ? 255 : (c * 40);
                        break;
                    case Content::SmoothNoise: {
                        float sum = 128;
                        sum += 50 * std::sin(frequency[c][0] * x + phase[c][0]);
                        sum += 40 * std::cos(frequency[c][1] * y + phase[c][1]);
                        sum += 30 * std::sin(frequency[c][2] * (x + y) + phase[c][2]);
                        sum += std::uniform_real_distribution<float>(-6, 6)(random);
                        value = int(sum);
                        break;
                    }
                }
                value = value < 0 ? 0 : value > 255 ? 255 : value;
                picture.samples[(size_t(y) * width + x) * channels + c] = uint8_t(value);
            }
        }
    }
    return picture;
}

std::string TempPath(const std::string& name) {
    const char* base = getenv("TMPDIR");
    std::string dir = base && *base ? base : "/tmp";
    return dir + "/jpeg_test_" + std::to_string(getpid()) + "_" + name;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void WritePnm(const std::string& path, const Picture& picture) {
    std::string header = (picture.channels == 3 ? "P6\n" : "P5\n") + std::to_string(picture.width) +
                         " " + std::to_string(picture.height) + "\n255\n";
    std::vector<uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), picture.samples.begin(), picture.samples.end());
    WriteFileBytes(path, bytes);
}

bool ReadPnm(const std::string& path, Picture* picture) {
    std::vector<uint8_t> bytes = ReadFileBytes(path);
    // Header: magic, width, height, maxval, each followed by one whitespace.
    size_t pos = 0;
    auto nextToken = [&]() {
        while (pos < bytes.size() && isspace(bytes[pos]))
            ++pos;
        std::string token;
        while (pos < bytes.size() && !isspace(bytes[pos]))
            token += char(bytes[pos++]);
        return token;
    };
    std::string magic = nextToken();
    if (magic != "P5" && magic != "P6") return false;
    picture->width = atoi(nextToken().c_str());
    picture->height = atoi(nextToken().c_str());
    if (nextToken() != "255") return false;
    ++pos;
    picture->channels = magic == "P6" ? 3 : 1;
    size_t size = size_t(picture->width) * picture->height * picture->channels;
    if (bytes.size() < pos + size) return false;
    picture->samples.assign(bytes.begin() + long(pos), bytes.begin() + long(pos + size));
    return true;
}

std::vector<uint8_t> EncodeWithCjpeg(const Picture& picture, const std::string& options,
                                     const std::string& name) {
    std::string input = TempPath(name + (picture.channels == 3 ? ".ppm" : ".pgm"));
    std::string output = TempPath(name + ".jpg");
    WritePnm(input, picture);
    std::string command = "cjpeg " + options + " -outfile '" + output + "' '" + input + "'";
    int status = system(command.c_str());
    std::vector<uint8_t> bytes;
    if (status == 0) bytes = ReadFileBytes(output);
    remove(input.c_str());
    remove(output.c_str());
    return bytes;
}

bool DecodeWithDjpeg(const std::vector<uint8_t>& jpeg, const std::string& name, Picture* picture) {
    std::string input = TempPath(name + "_djpeg.jpg");
    std::string output = TempPath(name + "_djpeg.pnm");
    WriteFileBytes(input, jpeg);
    std::string command =
        "djpeg -dct float -nosmooth -pnm -outfile '" + output + "' '" + input + "'";
    bool ok = system(command.c_str()) == 0 && ReadPnm(output, picture);
    remove(input.c_str());
    remove(output.c_str());
    return ok;
}

Picture ToPicture(const Image& image) {
    Picture picture;
    picture.width = image.width;
    picture.height = image.height;
    picture.channels = image.bitsPerPixel / 8;
    picture.samples.resize(size_t(picture.width) * picture.height * picture.channels);
    for (int y = 0; y < picture.height; ++y) {
        // Memory row 0 is the bottom picture row; pixels are blue, green, red.
        const uint8_t* row =
            image.pixels + size_t(picture.height - 1 - y) * picture.width * picture.channels;
        uint8_t* out = picture.samples.data() + size_t(y) * picture.width * picture.channels;
        for (int x = 0; x < picture.width; ++x) {
            for (int c = 0; c < picture.channels; ++c) {
                int source = picture.channels == 3 ? 2 - c : c;
                out[x * picture.channels + c] = row[x * picture.channels + source];
            }
        }
    }
    return picture;
}

int DecodeFile(const std::vector<uint8_t>& bytes, const std::string& name, Image* image) {
    std::string path = TempPath(name + "_ours.jpg");
    WriteFileBytes(path, bytes);
    int result = LoadJpeg(path.c_str(), image);
    remove(path.c_str());
    return result;
}

// ---- Stream builder ----

namespace {

int BitLength(int value) {
    int magnitude = value < 0 ? -value : value;
    int bits = 0;
    while (magnitude) {
        ++bits;
        magnitude >>= 1;
    }
    return bits;
}

struct BitWriter {
    std::vector<uint8_t>* out;
    uint32_t accumulator = 0;
    int count = 0;

    void Put(uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            accumulator = (accumulator << 1) | ((value >> i) & 1);
            if (++count == 8) {
                out->push_back(uint8_t(accumulator));
                if (accumulator == 0xFF) out->push_back(0x00);  // byte stuffing
                accumulator = 0;
                count = 0;
            }
        }
    }
    // Pads the last byte with 1 bits, as encoders do before a marker.
    void Flush() {
        while (count != 0)
            Put(1, 1);
    }
    void PutValue(int value, int bits) {
        if (bits == 0) return;
        Put(uint32_t(value >= 0 ? value : value + (1 << bits) - 1) & ((1u << bits) - 1), bits);
    }
};

// The default AC table lists every run/size with size up to 10, each with an
// 8-bit code equal to its position in the list.
int DefaultAcCode(int runSize) {
    return (runSize >> 4) * 11 + (runSize & 0x0F);
}

void PutSegment(std::vector<uint8_t>* out, int marker, const std::vector<uint8_t>& body) {
    out->push_back(0xFF);
    out->push_back(uint8_t(marker));
    size_t length = body.size() + 2;
    out->push_back(uint8_t(length >> 8));
    out->push_back(uint8_t(length));
    out->insert(out->end(), body.begin(), body.end());
}

}  // namespace

BlockCode MakeBlock(int dc, const std::vector<std::pair<int, int>>& ac) {
    BlockCode block;
    block.dc = dc;
    int last = 0;
    for (auto [index, value] : ac) {
        int run = index - last - 1;
        while (run > 15) {
            block.ac.push_back({0xF0, 0});
            run -= 16;
        }
        block.ac.push_back({(run << 4) | BitLength(value), value});
        last = index;
    }
    block.endOfBlock = last < 63;
    return block;
}

std::vector<int> FlatQuant(int first, int rest) {
    std::vector<int> values(64, rest);
    values[0] = first;
    return values;
}

StreamSpec DefaultSpec(int width, int height, int components, int h, int v) {
    StreamSpec spec;
    spec.width = width;
    spec.height = height;
    spec.quant = {{0x00, FlatQuant(1)}};
    HuffmanSpec dc{0x00, std::vector<uint8_t>(16, 0), {}};
    dc.counts[3] = 12;
    for (int s = 0; s < 12; ++s)
        dc.symbols.push_back(uint8_t(s));
    HuffmanSpec ac{0x10, std::vector<uint8_t>(16, 0), {}};
    ac.counts[7] = 176;
    for (int r = 0; r < 16; ++r) {
        for (int s = 0; s <= 10; ++s)
            ac.symbols.push_back(uint8_t(r << 4 | s));
    }
    spec.huffman = {dc, ac};
    if (components == 1) {
        spec.frame = {{1, h, v, 0}};
        spec.scan = {{1, 0x00}};
        spec.blocksPerMcu = 1;
    } else {
        spec.frame = {{1, h, v, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}};
        spec.scan = {{1, 0x00}, {2, 0x00}, {3, 0x00}};
        spec.blocksPerMcu = h * v + 2;
    }
    return spec;
}

std::vector<uint8_t> BuildStream(const StreamSpec& spec) {
    std::vector<uint8_t> out = {0xFF, 0xD8};
    out.insert(out.end(), spec.extraSegments.begin(), spec.extraSegments.end());
    if (spec.jfif) {
        PutSegment(&out, 0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    }
    for (const auto& [idByte, values] : spec.quant) {
        std::vector<uint8_t> body = {uint8_t(idByte)};
        for (int value : values) {
            if (idByte & 0x10) body.push_back(uint8_t(value >> 8));
            body.push_back(uint8_t(value));
        }
        PutSegment(&out, 0xDB, body);
    }
    std::vector<uint8_t> frame = {uint8_t(spec.precision), uint8_t(spec.height >> 8),
                                  uint8_t(spec.height),    uint8_t(spec.width >> 8),
                                  uint8_t(spec.width),     uint8_t(spec.frame.size())};
    for (const FrameComponentSpec& c : spec.frame) {
        frame.insert(frame.end(), {uint8_t(c.id), uint8_t(c.h << 4 | c.v), uint8_t(c.quantTable)});
    }
    PutSegment(&out, spec.sofMarker, frame);
    std::vector<uint8_t> tables;
    for (const HuffmanSpec& table : spec.huffman) {
        tables.push_back(uint8_t(table.classAndId));
        tables.insert(tables.end(), table.counts.begin(), table.counts.end());
        tables.insert(tables.end(), table.symbols.begin(), table.symbols.end());
    }
    PutSegment(&out, 0xC4, tables);
    if (spec.restartInterval >= 0) {
        PutSegment(&out, 0xDD, {uint8_t(spec.restartInterval >> 8), uint8_t(spec.restartInterval)});
    }
    std::vector<uint8_t> scan = {uint8_t(spec.scan.size())};
    for (const ScanComponentSpec& c : spec.scan) {
        scan.insert(scan.end(), {uint8_t(c.selector), uint8_t(c.tables)});
    }
    scan.insert(scan.end(), {uint8_t(spec.spectralStart), uint8_t(spec.spectralEnd), 0});
    PutSegment(&out, 0xDA, scan);

    // Which component each block of an MCU belongs to.
    std::vector<int> blockComponent;
    if (spec.frame.size() == 1) {
        blockComponent = {0};
    } else {
        for (size_t k = 0; k < spec.frame.size(); ++k) {
            for (int i = 0; i < spec.frame[k].h * spec.frame[k].v; ++i) {
                blockComponent.push_back(int(k));
            }
        }
    }
    BitWriter bits{&out};
    int predictor[4] = {};
    size_t mcuCount = spec.blocks.size() / size_t(spec.blocksPerMcu);
    for (size_t b = 0; b < spec.blocks.size(); ++b) {
        const BlockCode& block = spec.blocks[b];
        int component = blockComponent[b % blockComponent.size()];
        int difference = block.dc - predictor[component];
        predictor[component] = block.dc;
        int category = BitLength(difference);
        bits.Put(uint32_t(category), 4);
        bits.PutValue(difference, category);
        for (const AcSymbol& symbol : block.ac) {
            bits.Put(uint32_t(DefaultAcCode(symbol.runSize)), 8);
            bits.PutValue(symbol.value, symbol.runSize & 0x0F);
        }
        if (block.endOfBlock) bits.Put(uint32_t(DefaultAcCode(0x00)), 8);
        size_t mcu = (b + 1) / size_t(spec.blocksPerMcu);
        bool mcuEnds = (b + 1) % size_t(spec.blocksPerMcu) == 0;
        if (spec.restartInterval > 0 && mcuEnds && mcu % size_t(spec.restartInterval) == 0 &&
            mcu < mcuCount) {
            bits.Flush();
            out.push_back(0xFF);
            out.push_back(uint8_t(0xD0 + (mcu / size_t(spec.restartInterval) - 1) % 8));
            for (int& value : predictor)
                value = 0;
        }
    }
    bits.Flush();
    if (spec.endMarker) out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

}  // namespace jpeg_test
