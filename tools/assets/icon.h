// The program's icon: the quartz sphere of the default scene on a clear
// background, at the sizes Windows asks for (title bar, task bar, Explorer).
#pragma once

#include <string>
#include <vector>

#include "tools/assets/picture.h"

// Cuts the sphere out of a square preview (the sphere centred, its diameter
// `diameter` pixels) and shrinks it to size x size with an alpha channel from
// the sphere's outline: 4 channels, red, green, blue, alpha, rows top-down.
Picture MakeIconImage(const Picture& preview, float diameter, int size);

// Writes the pictures (4 channels, at most 256 x 256) as one .ico file with
// 32-bit BGRA bitmaps, which every Windows since XP reads.
bool WriteIco(const std::string& path, const std::vector<Picture>& images);
