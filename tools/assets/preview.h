// A software picture of the default scene as the viewer first shows it: the
// sphere 250 units ahead under a 90-degree vertical field of view, in front of
// the sky box, shaded with the bump-mapping pass's formula. It lets the
// generator's pictures be judged together without a GPU.
#pragma once

#include "tools/assets/cube_cross.h"
#include "tools/assets/picture.h"

struct PreviewScene {
    const CubeFaces* environment;
    const CubeFaces* irradiance;
    const Picture* base;  // colour, rows top-down
    const Picture* bump;  // heights, rows top-down
    float radius;
    float bumpScale;
};

Picture RenderPreview(const PreviewScene& scene, int width, int height);

// Writes text over the picture as the viewer's overlay does: 16 x 16 cells
// from the font picture, white modulated by the cell's coverage, starting at
// (x, y) in window pixels from the lower left; a line feed moves down 16.
void DrawOverlayText(Picture& picture, const Picture& font, int x, int y, const char* text);
