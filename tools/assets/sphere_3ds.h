// The default model: a UV sphere with mapping coordinates, written as a 3D
// Studio file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/assets/asset_math.h"

struct SphereMesh {
    std::vector<Vec3> positions;
    std::vector<float> texCoords;  // (s, t) per vertex
    std::vector<uint16_t> faces;   // (a, b, c) per triangle, counter-clockwise from outside
};

// Poles on the Y axis, t = 1 at +Y; s runs once around from the back (-Z),
// growing to the right as seen from +Z. The seam column is duplicated so s
// reaches 1, and each pole is one vertex per column (s at the column's
// middle) used by a single triangle, so its tangent follows that column.
SphereMesh BuildSphere(float radius, int columns, int rings);

// Writes the mesh as object "Sphere" with material "quarzil", whose texture
// map is "quarzilbase.tga" and bump map "quarzilbump.tga".
bool Write3ds(const std::string& path, const SphereMesh& mesh);
