// Helpers for the JPEG reader tests: test pictures, and libjpeg-turbo's cjpeg,
// jpegtran and djpeg as independent encoder, transcoder and decoder.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "image/jpeg/jpeg.h"
#include "image/jpeg/state.h"
#include "tests/support/bytes.h"
#include "tests/support/command_output.h"

namespace jpeg_test {

// Top row first, red-green-blue or grey, as PNM stores it.
struct Picture {
    int width = 0, height = 0, channels = 0;
    Bytes samples;
};

enum class Content { Noise, Edges, SmoothNoise };

inline Picture MakePicture(Content content, int width, int height, int channels, unsigned seed) {
    Picture picture{width, height, channels, {}};
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0, 1);
    float phase = 6 * unit(random), frequency = 0.05f + 0.1f * unit(random);
    for (int i = 0; i < width * height * channels; ++i) {
        int x = i / channels % width, y = i / channels / width, c = i % channels;
        float value = 128 + 60 * std::sin(frequency * (c + 1) * x + phase + c) +
                      50 * std::cos(frequency * (3 - c) * (x + y) + phase) + 12 * unit(random);
        if (content == Content::Noise) value = float(random() & 0xFF);
        if (content == Content::Edges) value = ((x / 5 + y / 3 + c) % 2) ? 255 : c * 40;
        picture.samples.push_back(uint8_t(std::clamp(int(value), 0, 255)));
    }
    return picture;
}

// The command's standard output with a file of `input` as its last argument;
// empty if it fails. Each test case runs in a directory of its own.
inline Bytes Filter(const std::string& command, const Bytes& input) {
    bool ok = WriteBytes("jpeg_test_input", input);
    const std::string out = ok ? CommandOutput(command + " jpeg_test_input", &ok) : "";
    return ok ? Bytes(out.begin(), out.end()) : Bytes{};
}

inline Bytes EncodeWithCjpeg(const Picture& picture, const std::string& options) {
    std::string header = (picture.channels == 3 ? "P6\n" : "P5\n") + std::to_string(picture.width) +
                         " " + std::to_string(picture.height) + "\n255\n";
    Bytes pnm(header.begin(), header.end());
    pnm.insert(pnm.end(), picture.samples.begin(), picture.samples.end());
    return Filter("cjpeg " + options, pnm);
}

// jpegtran's transcode: the same coefficients in other scans. A scan script
// is given as its text, with "-scans" in the options where it goes.
inline Bytes Transcode(const Bytes& jpeg, std::string options, const std::string& script = "") {
    if (!script.empty()) {
        std::ofstream("jpeg_test_scans") << script;
        options.replace(options.find("-scans"), 6, "-scans jpeg_test_scans");
    }
    return Filter("jpegtran " + options, jpeg);
}

inline Picture DecodeWithDjpeg(const Bytes& jpeg) {
    Bytes pnm = Filter("djpeg -dct float -nosmooth -pnm", jpeg);
    std::string head(pnm.begin(), pnm.begin() + long(std::min<size_t>(pnm.size(), 32)));
    Picture picture;
    int kind = 0, used = 0;
    sscanf(head.c_str(), "P%d %d %d 255%n", &kind, &picture.width, &picture.height, &used);
    if (used > 0) picture.samples.assign(pnm.begin() + used + 1,
                                         pnm.end());  // one blank ends it
    return picture;
}

// Our decode, no samples if refused, which must leave the record empty. Every
// byte of a picture is read, so the sanitizers check the whole block. Memory
// row 0 is the bottom picture row, and colour pixels are blue, green, red.
inline Picture DecodeOurs(const Bytes& jpeg, bool scalarPath = false) {
    jpegState.useScalarPath = scalarPath ? 1 : 0;
    Image image{};
    int result = LoadJpegFromMemory(jpeg.data(), jpeg.size(), &image);
    jpegState.useScalarPath = 0;
    EXPECT_TRUE(result == 1
                    ? image.pixels != nullptr
                    : !image.pixels && !image.width && !image.height && !image.bitsPerPixel);
    int channels = image.bitsPerPixel / 8;
    Picture picture{image.width, image.height, channels, {}};
    for (int y = image.height - 1; result == 1 && y >= 0; --y) {
        for (int x = 0; x < image.width * channels; x += channels) {
            for (int c = channels - 1; c >= 0; --c)
                picture.samples.push_back(image.pixels[size_t(y) * image.width * channels + x + c]);
        }
    }
    free(image.pixels);
    return picture;
}

// Offset of the marker's 0xFF, or the size when there is none.
inline size_t FindMarker(const Bytes& jpeg, uint8_t marker) {
    const uint8_t pattern[] = {0xFF, marker};
    return size_t(std::search(jpeg.begin(), jpeg.end(), pattern, pattern + 2) - jpeg.begin());
}

// Offsets of the file's markers after the start of image up to the end of
// image, a scan's entropy-coded data counted with its header (no fill bytes).
inline std::vector<size_t> MarkerOffsets(const Bytes& jpeg) {
    std::vector<size_t> offsets;
    for (size_t i = 2; i + 1 < jpeg.size();) {
        offsets.push_back(i);
        if (jpeg[i + 1] == 0xD9 || i + 3 >= jpeg.size()) break;
        bool scan = jpeg[i + 1] == 0xDA;
        i += 2 + size_t(jpeg[i + 2] << 8 | jpeg[i + 3]);
        while (scan && i + 1 < jpeg.size() &&
               (jpeg[i] != 0xFF || jpeg[i + 1] == 0 || (jpeg[i + 1] & 0xF8) == 0xD0))
            ++i;
    }
    return offsets;
}

}  // namespace jpeg_test
