#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>

#include <cmath>

#include "model/model.h"

namespace {

const char* const kSphere = VIEWER_SOURCE_DIR "/assets/sphere.3ds";

// A closed ball of radius 100 round the origin, outside facing out, smooth
// all over, read the same by lib3ds.
TEST(SphereAsset, IsABallOfRadius100FacingOutwardAsLib3dsReadsIt) {
    Model model{};
    ASSERT_EQ(Load3ds(&model, kSphere), 1);
    ASSERT_EQ(model.meshCount, 1);
    const Mesh& mesh = model.meshes[0];
    ASSERT_EQ(model.materialCount, 1);
    for (int v = 0; v < mesh.vertexCount; ++v) {
        const float* p = mesh.positions + 3 * v;
        const float* n = mesh.normals + 3 * v;
        const double radius = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        ASSERT_NEAR(radius, 100.0, 0.01) << "vertex " << v;
        // One smoothing group: the seam's copies and each pole's vertices
        // share a normal, within 1.2 degrees of the true one everywhere.
        ASSERT_GT((p[0] * n[0] + p[1] * n[1] + p[2] * n[2]) / radius, 0.9998) << "vertex " << v;
    }
    // Counter-clockwise from outside, so GL's default culling keeps the outside.
    for (int f = 0; f < mesh.faceCount; ++f) {
        const float* a = mesh.positions + 3 * mesh.faces[3 * f];
        const float* b = mesh.positions + 3 * mesh.faces[3 * f + 1];
        const float* c = mesh.positions + 3 * mesh.faces[3 * f + 2];
        float outward = 0;
        for (int k = 0; k < 3; ++k) {
            const int k1 = (k + 1) % 3, k2 = (k + 2) % 3;
            outward += ((b[k1] - a[k1]) * (c[k2] - a[k2]) - (b[k2] - a[k2]) * (c[k1] - a[k1])) *
                       (a[k] + b[k] + c[k]);
        }
        ASSERT_GT(outward, 0.0f) << "face " << f;
    }

    Lib3dsFile* file = lib3ds_file_load(kSphere);
    ASSERT_NE(file, nullptr);
    const Lib3dsMesh* other = file->meshes;
    ASSERT_TRUE(other != nullptr && other->next == nullptr);
    ASSERT_EQ(other->points, mesh.vertexCount);
    ASSERT_EQ(other->texels, mesh.texCoordCount);
    ASSERT_EQ(other->faces, mesh.faceCount);
    for (unsigned v = 0; v < other->points; ++v) {
        for (int k = 0; k < 3; ++k)
            ASSERT_EQ(mesh.positions[3 * v + k], other->pointL[v].pos[k]) << "vertex " << v;
        for (int k = 0; k < 2; ++k)
            ASSERT_EQ(mesh.texCoords[2 * v + k], other->texelL[v][k]) << "vertex " << v;
    }
    for (unsigned f = 0; f < other->faces; ++f) {
        for (int k = 0; k < 3; ++k)
            ASSERT_EQ(mesh.faces[3 * f + k], other->faceL[f].points[k]) << "face " << f;
    }
    EXPECT_STREQ(model.materials[0].textureFile, file->materials->texture1_map.name);
    lib3ds_file_free(file);
    FreeModel(&model);
}

}  // namespace
