// The default scene's surroundings as a function of direction: a sky with a
// gradient, a sun with its glow, clouds, two ranges of distant hills and a
// meadow below. +Y is up; the sun stands ahead-right of the initial view
// (which looks along -Z).
#pragma once

#include "tools/assets/asset_math.h"
#include "tools/assets/cube_cross.h"

Vec3 SunDirection();

// Display colour (0..1) seen along a direction (any length).
Vec3 EnvironmentColor(Vec3 direction);

// Renders every face texel by its direction, averaging
// `samplesPerAxis` x `samplesPerAxis` directions inside the texel.
CubeFaces RenderEnvironment(int faceSize, int samplesPerAxis);
