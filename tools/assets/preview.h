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
