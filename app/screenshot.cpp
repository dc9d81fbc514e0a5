#include "app/screenshot.h"

#include <cstdio>
#include <vector>

#include "render/gl_api.h"

namespace {

constexpr int kLastScreenshotNumber = 99999;

bool Exists(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

void PutU16(uint8_t* at, int value) {
    at[0] = static_cast<uint8_t>(value & 0xFF);
    at[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

}  // namespace

std::string NextScreenshotName(const std::string& folder) {
    for (int number = 1; number <= kLastScreenshotNumber; ++number) {
        char name[32];
        std::snprintf(name, sizeof(name), "screenshot-%03d.tga", number);
        const std::string path = folder + name;
        if (!Exists(path)) return path;
    }
    return std::string();
}

int WriteTga24(const char* path, int width, int height, const uint8_t* pixels) {
    if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF) return 0;
    uint8_t header[18] = {};
    header[2] = 2;  // uncompressed true colour
    PutU16(header + 12, width);
    PutU16(header + 14, height);
    header[16] = 24;
    header[17] = 0;  // no alpha bits, first row at the bottom
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return 0;
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 3;
    bool ok = std::fwrite(header, 1, sizeof(header), file) == sizeof(header) &&
              std::fwrite(pixels, 1, bytes, file) == bytes;
    ok = (std::fclose(file) == 0) && ok;
    if (!ok) std::remove(path);
    return ok ? 1 : 0;
}

std::string SaveScreenshot(int width, int height) {
    if (width <= 0 || height <= 0) return std::string();
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);  // rows of 3 * width bytes, no padding
    glReadPixels(0, 0, width, height, GL_BGR_EXT, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    const std::string name = NextScreenshotName("");
    if (name.empty() || !WriteTga24(name.c_str(), width, height, pixels.data()))
        return std::string();
    return name;
}
