// Helpers for the TGA tests: hand-built files, decoding into a record whose
// untouched state on failure is checked, and running tools.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "image/tga/tga.h"

using Bytes = std::vector<uint8_t>;

inline Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The header fields, most often set first.
struct TgaFields {
    uint8_t imageType = 2, depth = 24;
    uint16_t width = 1, height = 1;
    uint8_t descriptor = 0, colourMapType = 0, colourMapLength = 0, colourMapEntryBits = 0,
            colourMapFirst = 0, idLength = 0;
};

// The 18-byte header, little-endian, then `rest` (ID, colour map, pixels).
inline Bytes BuildTga(const TgaFields& f, const Bytes& rest) {
    Bytes header = {f.idLength, f.colourMapType, f.imageType, f.colourMapFirst, 0};
    header = Cat(header, {f.colourMapLength, 0, f.colourMapEntryBits, 0, 0, 0, 0});
    header = Cat(header, {uint8_t(f.width), uint8_t(f.width >> 8), uint8_t(f.height)});
    return Cat(Cat(header, {uint8_t(f.height >> 8), f.depth, f.descriptor}), rest);
}

// Bytes from pairs of hex digits; spaces are ignored.
inline Bytes Hex(const std::string& text) {
    Bytes bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != ' ') bytes.push_back(uint8_t(std::stoi(text.substr(i++, 2), nullptr, 16)));
    }
    return bytes;
}

// Result 1 with the pixels copied out; 0 for a failure that left the record
// as it was, -1 for one that changed it.
struct DecodedTga {
    int result, width, height, bitsPerPixel;
    Bytes pixels;
};

template <typename Decode>
DecodedTga DecodeInto(Decode decode) {
    static uint8_t sentinel;
    Image image{4321, 1234, 77, &sentinel};
    int result = decode(&image);
    bool untouched = image.width == 4321 && image.height == 1234 && image.bitsPerPixel == 77 &&
                     image.pixels == &sentinel;
    DecodedTga decoded{result == 1                ? 1
                       : result == 0 && untouched ? 0
                                                  : -1,
                       image.width,
                       image.height,
                       image.bitsPerPixel,
                       {}};
    if (result != 1) return decoded;
    decoded.pixels.assign(
        image.pixels, image.pixels + size_t(image.width) * image.height * (image.bitsPerPixel / 8));
    free(image.pixels);
    return decoded;
}

inline DecodedTga DecodeTgaBytes(const Bytes& file) {
    return DecodeInto([&](Image* image) { return DecodeTga(file.data(), file.size(), image); });
}

inline DecodedTga LoadTgaFile(const std::string& fileName) {
    return DecodeInto([&](Image* image) { return LoadTga(fileName.c_str(), image); });
}

inline void WriteBytes(const std::string& fileName, const Bytes& bytes) {
    std::ofstream(fileName, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline Bytes ReadBytes(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

inline int RunCommand(const std::string& command) {
    return WEXITSTATUS(system(command.c_str()));
}
