// Helpers for the TGA tests: hand-built files, decoding into vectors, PAM
// reading and running ImageMagick.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/image.h"

using Bytes = std::vector<uint8_t>;

// The 18-byte TGA header, little-endian fields.
struct TgaFields {
    uint8_t idLength = 0;
    uint8_t colourMapType = 0;
    uint8_t imageType = 2;
    uint16_t colourMapFirst = 0;
    uint16_t colourMapLength = 0;
    uint8_t colourMapEntryBits = 0;
    uint16_t width = 1;
    uint16_t height = 1;
    uint8_t depth = 24;
    uint8_t descriptor = 0;
};

// Header followed by `rest` (ID, colour map, pixel data as the case needs).
Bytes BuildTga(const TgaFields& fields, const Bytes& rest);

// A decode whose pixels were copied out and the block freed.
struct DecodedTga {
    int result;
    Image image;  // pixels is nulled after the copy
    Bytes pixels;
};

// DecodeTga on a record prefilled with `SentinelImage`, so that a failure
// can be checked to leave every field untouched.
DecodedTga DecodeTgaBytes(const Bytes& file);
// LoadTga on the named file, likewise.
DecodedTga LoadTgaFile(const std::string& fileName);
Image SentinelImage();
bool IsSentinelImage(const Image& image);

struct PamPicture {
    int width = 0;
    int height = 0;
    int depth = 0;
    std::string tupleType;
    Bytes samples;  // rows top-down
};
bool ReadPam(const std::string& fileName, PamPicture* picture);

void WriteBytes(const std::string& fileName, const Bytes& bytes);
Bytes ReadBytes(const std::string& fileName);
// Runs a shell command; returns its exit status and, if wanted, its stdout.
int RunCommand(const std::string& command, std::string* output = nullptr);
