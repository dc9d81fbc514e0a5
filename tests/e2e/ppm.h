// Screenshots of the end-to-end run: binary PPM (P6, 8 bits), as
// `import -window root -depth 8 NAME.ppm` writes them.
#pragma once

#include <cstdio>
#include <vector>

struct Screen {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;  // top row first
};

inline bool ReadPpm(const char* path, Screen* s) {
    FILE* file = fopen(path, "rb");
    if (file == nullptr) return false;
    int maxValue = 0;
    bool ok = fscanf(file, "P6 %d %d %d", &s->width, &s->height, &maxValue) == 3 &&
              maxValue == 255 && fgetc(file) != EOF && s->width > 0 && s->height > 0 &&
              s->width <= 16384 && s->height <= 16384;
    if (ok) s->rgb.resize(static_cast<size_t>(s->width) * s->height * 3);
    ok = ok && fread(s->rgb.data(), 1, s->rgb.size(), file) == s->rgb.size();
    fclose(file);
    return ok;
}

// The pixel at (x, y), or null outside the screen.
inline const unsigned char* PixelAt(const Screen& s, int x, int y) {
    if (x < 0 || y < 0 || x >= s.width || y >= s.height) return nullptr;
    return &s.rgb[(static_cast<size_t>(y) * s.width + x) * 3];
}
