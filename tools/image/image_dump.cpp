// image_dump IN OUT.pam [--reader tga|jpeg]
//
// Reads IN the way texture creation does (the TGA reader first, then the JPEG
// reader) or with the one reader named, and writes the picture as a PAM (P7)
// file, top row first, red before blue. Prints "WIDTH HEIGHT BITSPERPIXEL
// READER". Exit status 1 when no reader succeeds or OUT cannot be written, 2
// on a usage error.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "image/image.h"

namespace {

struct DumpOptions {
    const char* inputName;
    const char* outputName;
    bool tryTga;
    bool tryJpeg;
};

bool ParseDumpOptions(int argc, char** argv, DumpOptions* options) {
    if (argc != 3 && argc != 5) return false;
    options->inputName = argv[1];
    options->outputName = argv[2];
    options->tryTga = true;
    options->tryJpeg = true;
    if (argc == 3) return true;
    if (std::strcmp(argv[3], "--reader") != 0) return false;
    options->tryTga = std::strcmp(argv[4], "tga") == 0;
    options->tryJpeg = std::strcmp(argv[4], "jpeg") == 0;
    return options->tryTga || options->tryJpeg;
}

// PAM rows run top-down; the picture's first memory row is its bottom row, so
// memory rows are written last to first. Colour bytes turn from blue, green,
// red (, alpha) to red, green, blue (, alpha).
bool WritePam(const Image& image, const char* fileName) {
    int channels = image.bitsPerPixel / 8;
    const char* tupleType = channels == 1 ? "GRAYSCALE" : channels == 3 ? "RGB" : "RGB_ALPHA";
    FILE* file = std::fopen(fileName, "wb");
    if (!file) return false;
    std::fprintf(file, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH %d\nMAXVAL 255\nTUPLTYPE %s\nENDHDR\n",
                 image.width, image.height, channels, tupleType);
    size_t rowBytes = size_t{image.width} * channels;
    unsigned char* row = static_cast<unsigned char*>(std::malloc(rowBytes ? rowBytes : 1));
    bool written = row != nullptr;
    for (int y = image.height - 1; written && y >= 0; --y) {
        std::memcpy(row, image.pixels + size_t(y) * rowBytes, rowBytes);
        if (channels >= 3) {
            for (size_t x = 0; x < rowBytes; x += channels) {
                unsigned char blue = row[x];
                row[x] = row[x + 2];
                row[x + 2] = blue;
            }
        }
        written = std::fwrite(row, 1, rowBytes, file) == rowBytes;
    }
    std::free(row);
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    DumpOptions options;
    if (!ParseDumpOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: image_dump IN OUT.pam [--reader tga|jpeg]\n");
        return 2;
    }
    Image image{};
    const char* reader = nullptr;
    if (options.tryTga && LoadTga(options.inputName, &image)) {
        reader = "tga";
    } else if (options.tryJpeg && LoadJpeg(options.inputName, &image)) {
        reader = "jpeg";
    }
    if (!reader) {
        std::fprintf(stderr, "image_dump: %s: no reader could read it\n", options.inputName);
        return 1;
    }
    int status = 0;
    if (image.bitsPerPixel != 8 && image.bitsPerPixel != 24 && image.bitsPerPixel != 32) {
        std::fprintf(stderr, "image_dump: %s: unexpected depth %d\n", options.inputName,
                     image.bitsPerPixel);
        status = 1;
    } else if (!WritePam(image, options.outputName)) {
        std::fprintf(stderr, "image_dump: cannot write %s\n", options.outputName);
        status = 1;
    } else {
        std::printf("%d %d %d %s\n", image.width, image.height, image.bitsPerPixel, reader);
    }
    std::free(image.pixels);
    return status;
}
