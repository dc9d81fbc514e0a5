#include "tools/assets/icon.h"

#include <cstdint>
#include <cstdio>

namespace {

void PutLittle16(std::vector<uint8_t>& bytes, uint32_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void PutLittle32(std::vector<uint8_t>& bytes, uint32_t value) {
    PutLittle16(bytes, value & 0xFFFF);
    PutLittle16(bytes, value >> 16);
}

// One icon image: a BITMAPINFOHEADER of twice the height (colour plus mask),
// BGRA rows bottom-up, then the 1-bit AND mask, all clear since alpha rules.
std::vector<uint8_t> IconBitmap(const Picture& image) {
    std::vector<uint8_t> bytes;
    const int maskRowBytes = ((image.width + 31) / 32) * 4;
    PutLittle32(bytes, 40);
    PutLittle32(bytes, static_cast<uint32_t>(image.width));
    PutLittle32(bytes, static_cast<uint32_t>(image.height * 2));
    PutLittle16(bytes, 1);   // planes
    PutLittle16(bytes, 32);  // bits per pixel
    for (int i = 0; i < 6; ++i)
        PutLittle32(bytes, 0);  // BI_RGB, sizes, colours
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* pixel = PixelAt(image, x, y);
            bytes.insert(bytes.end(), {pixel[2], pixel[1], pixel[0], pixel[3]});
        }
    }
    bytes.insert(bytes.end(), static_cast<size_t>(maskRowBytes) * image.height, 0);
    return bytes;
}

}  // namespace

Picture MakeIconImage(const Picture& preview, float diameter, int size) {
    Picture icon = MakePicture(size, size, 4);
    const float centreX = preview.width * 0.5f;
    const float centreY = preview.height * 0.5f;
    const float radius = diameter * 0.5f;
    const float scale = diameter / size;  // preview pixels per icon pixel
    // Samples of the preview per icon pixel and direction: enough that even
    // the 16-pixel edge is smooth.
    const int steps = static_cast<int>(scale) + 1;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float sum[3] = {0, 0, 0};
            int inside = 0;
            for (int sy = 0; sy < steps; ++sy) {
                for (int sx = 0; sx < steps; ++sx) {
                    const float px = centreX - radius + (x + (sx + 0.5f) / steps) * scale;
                    const float py = centreY - radius + (y + (sy + 0.5f) / steps) * scale;
                    const float dx = px - centreX, dy = py - centreY;
                    // A little inside the outline, so no sky colour bleeds in.
                    if (dx * dx + dy * dy > (radius - 1.0f) * (radius - 1.0f)) continue;
                    const uint8_t* pixel =
                        PixelAt(preview, static_cast<int>(px), static_cast<int>(py));
                    for (int c = 0; c < 3; ++c)
                        sum[c] += pixel[c];
                    ++inside;
                }
            }
            uint8_t* out = PixelAt(icon, x, y);
            for (int c = 0; c < 3; ++c)
                out[c] = inside > 0 ? static_cast<uint8_t>(sum[c] / inside + 0.5f) : 0;
            out[3] = static_cast<uint8_t>(255.0f * inside / (steps * steps) + 0.5f);
        }
    }
    return icon;
}

bool WriteIco(const std::string& path, const std::vector<Picture>& images) {
    std::vector<std::vector<uint8_t>> bitmaps;
    for (const Picture& image : images)
        bitmaps.push_back(IconBitmap(image));
    std::vector<uint8_t> bytes;
    PutLittle16(bytes, 0);
    PutLittle16(bytes, 1);  // an icon, not a cursor
    PutLittle16(bytes, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        // A size of 256 is written as 0.
        bytes.push_back(static_cast<uint8_t>(images[i].width & 0xFF));
        bytes.push_back(static_cast<uint8_t>(images[i].height & 0xFF));
        bytes.push_back(0);  // no palette
        bytes.push_back(0);
        PutLittle16(bytes, 1);
        PutLittle16(bytes, 32);
        PutLittle32(bytes, static_cast<uint32_t>(bitmaps[i].size()));
        PutLittle32(bytes, offset);
        offset += static_cast<uint32_t>(bitmaps[i].size());
    }
    for (const std::vector<uint8_t>& bitmap : bitmaps)
        bytes.insert(bytes.end(), bitmap.begin(), bitmap.end());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
