// Screenshots of the end-to-end run: binary PPM (P6, 8 bits), as
// `import -window root -depth 8 NAME.ppm` writes them.
#pragma once

#include <cstdio>
#include <vector>

struct Screen {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // top row first
};

inline bool ReadPpm(const char* path, Screen* screen) {
    FILE* file = fopen(path, "rb");
    if (file == nullptr) return false;
    int maxValue = 0;
    bool ok = fscanf(file, "P6 %d %d %d", &screen->width, &screen->height, &maxValue) == 3 &&
              maxValue == 255 && fgetc(file) != EOF && screen->width > 0 && screen->height > 0 &&
              screen->width <= 16384 && screen->height <= 16384;
    if (ok) {
        screen->rgb.resize(static_cast<size_t>(screen->width) * screen->height * 3);
        ok = fread(screen->rgb.data(), 1, screen->rgb.size(), file) == screen->rgb.size();
    }
    fclose(file);
    return ok;
}

// The pixel at (x, y), or null outside the screen.
inline const unsigned char* PixelAt(const Screen& screen, int x, int y) {
    if (x < 0 || y < 0 || x >= screen.width || y >= screen.height) return nullptr;
    return &screen.rgb[(static_cast<size_t>(y) * screen.width + x) * 3];
}
