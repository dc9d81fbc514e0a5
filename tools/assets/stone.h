// The quartz-like material: a colour picture and its height map, built from
// the same periodic noise fields so that the relief follows the colour and
// both tile seamlessly in both directions.
#pragma once

#include "tools/assets/picture.h"

struct StonePictures {
    Picture base;  // 24-bit colour
    Picture bump;  // 8-bit heights
};

// width should be twice height: the sphere wraps the picture once around its
// equator and once from pole to pole, twice as far around as over the top.
StonePictures MakeStonePictures(int width, int height);
