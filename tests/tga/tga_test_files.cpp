#include "tga_test_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include <sys/wait.h>

#include "image/tga.h"

namespace {

void PutU16(Bytes* bytes, uint16_t value) {
    bytes->push_back(static_cast<uint8_t>(value & 0xFF));
    bytes->push_back(static_cast<uint8_t>(value >> 8));
}

uint8_t* const kSentinelPixels = reinterpret_cast<uint8_t*>(uintptr_t{0x5a5a});

DecodedTga TakeDecoded(int result, Image image) {
    DecodedTga decoded{result, image, {}};
    if (result == 1 && image.pixels && image.pixels != kSentinelPixels) {
        size_t size = size_t{image.width} * image.height * (image.bitsPerPixel / 8);
        decoded.pixels.assign(image.pixels, image.pixels + size);
        std::free(image.pixels);
        decoded.image.pixels = nullptr;
    }
    return decoded;
}

}  // namespace

Bytes BuildTga(const TgaFields& fields, const Bytes& rest) {
    Bytes bytes;
    bytes.push_back(fields.idLength);
    bytes.push_back(fields.colourMapType);
    bytes.push_back(fields.imageType);
    PutU16(&bytes, fields.colourMapFirst);
    PutU16(&bytes, fields.colourMapLength);
    bytes.push_back(fields.colourMapEntryBits);
    PutU16(&bytes, 0);  // x origin
    PutU16(&bytes, 0);  // y origin
    PutU16(&bytes, fields.width);
    PutU16(&bytes, fields.height);
    bytes.push_back(fields.depth);
    bytes.push_back(fields.descriptor);
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    return bytes;
}

Image SentinelImage() {
    return Image{4321, 1234, 77, kSentinelPixels};
}

bool IsSentinelImage(const Image& image) {
    return image.width == 4321 && image.height == 1234 && image.bitsPerPixel == 77 &&
           image.pixels == kSentinelPixels;
}

DecodedTga DecodeTgaBytes(const Bytes& file) {
    Image image = SentinelImage();
    int result = DecodeTga(file.data(), file.size(), &image);
    return TakeDecoded(result, image);
}

DecodedTga LoadTgaFile(const std::string& fileName) {
    Image image = SentinelImage();
    int result = LoadTga(fileName.c_str(), &image);
    return TakeDecoded(result, image);
}

bool ReadPam(const std::string& fileName, PamPicture* picture) {
    Bytes bytes = ReadBytes(fileName);
    const std::string endMark = "ENDHDR\n";
    std::string text(bytes.begin(), bytes.end());
    size_t end = text.find(endMark);
    if (text.compare(0, 3, "P7\n") != 0 || end == std::string::npos) return false;
    std::istringstream header(text.substr(3, end - 3));
    std::string key;
    int maxValue = 0;
    while (header >> key) {
        if (key == "WIDTH") header >> picture->width;
        if (key == "HEIGHT") header >> picture->height;
        if (key == "DEPTH") header >> picture->depth;
        if (key == "MAXVAL") header >> maxValue;
        if (key == "TUPLTYPE") header >> picture->tupleType;
    }
    size_t sampleCount = size_t(picture->width) * picture->height * picture->depth;
    size_t start = end + endMark.size();
    if (maxValue != 255 || bytes.size() != start + sampleCount) return false;
    picture->samples.assign(bytes.begin() + start, bytes.end());
    return true;
}

void WriteBytes(const std::string& fileName, const Bytes& bytes) {
    std::ofstream file(fileName, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes ReadBytes(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

int RunCommand(const std::string& command, std::string* output) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    char buffer[256];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        if (output) output->append(buffer, count);
    }
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
