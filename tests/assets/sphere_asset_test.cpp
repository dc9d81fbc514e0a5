// The default model: a closed ball of radius 100 around the origin, wound so
// that its outside faces the viewer, mapped once around, and read the same by
// the viewer's reader and by lib3ds.
#include <gtest/gtest.h>

#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>

#include <cmath>
#include <cstring>

#include "model/model.h"
#include "tests/assets/cube_faces.h"

namespace {

struct LoadedModel {
    Model model{};
    ~LoadedModel() { FreeModel(&model); }
};

double Length3(const float* v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

TEST(SphereAsset, LoadsAsOneMappedMeshOfRadius100) {
    LoadedModel loaded;
    ASSERT_EQ(1, Load3ds(&loaded.model, AssetPath("sphere.3ds").c_str()));
    const Model& model = loaded.model;
    ASSERT_EQ(1, model.meshCount);
    const Mesh& mesh = model.meshes[0];
    // 64 columns and 32 rings: a seam column of duplicates and one vertex
    // per column at each pole.
    EXPECT_EQ(2143, mesh.vertexCount);
    EXPECT_EQ(3968, mesh.faceCount);
    EXPECT_EQ(mesh.vertexCount, mesh.texCoordCount);
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_NEAR(0.0f, model.center[axis], 1e-3f);
        EXPECT_NEAR(-100.0f, model.boundsMin[axis], 0.5f);
        EXPECT_NEAR(100.0f, model.boundsMax[axis], 0.5f);
    }
    ASSERT_EQ(1, model.materialCount);
    EXPECT_STREQ("quarzil", model.materials[0].name);
    EXPECT_STREQ("quarzilbase.tga", model.materials[0].textureFile);
    EXPECT_STREQ("quarzil", mesh.materialName);
    EXPECT_EQ(0, mesh.materialIndex);
}

TEST(SphereAsset, NormalsAndFacesPointOutwardAndTangentsFollowTheMapping) {
    LoadedModel loaded;
    ASSERT_EQ(1, Load3ds(&loaded.model, AssetPath("sphere.3ds").c_str()));
    ASSERT_EQ(1, loaded.model.meshCount);
    const Mesh& mesh = loaded.model.meshes[0];
    ASSERT_NE(nullptr, mesh.tangents);
    int worstVertex = -1;
    double worstCosine = 1.0;
    for (int v = 0; v < mesh.vertexCount; ++v) {
        const float* p = mesh.positions + 3 * v;
        const float* n = mesh.normals + 3 * v;
        const float* tangent = mesh.tangents + 3 * v;
        const float* binormal = mesh.binormals + 3 * v;
        double radius = Length3(p);
        ASSERT_NEAR(100.0, radius, 0.01) << "vertex " << v;
        double cosine = (p[0] * n[0] + p[1] * n[1] + p[2] * n[2]) / radius;
        if (cosine < worstCosine) {
            worstCosine = cosine;
            worstVertex = v;
        }
        // s runs around the vertical axis and t from the bottom pole to the
        // top: tangents are horizontal, binormals (minus d position / dt)
        // point downwards.
        EXPECT_NEAR(1.0, Length3(tangent), 1e-4) << "vertex " << v;
        EXPECT_NEAR(0.0, tangent[1], 1e-3) << "vertex " << v;
        EXPECT_LT(binormal[1], 0.0f) << "vertex " << v;
        const float* st = mesh.texCoords + 2 * v;
        EXPECT_TRUE(st[0] >= 0.0f && st[0] <= 1.0f && st[1] >= 0.0f && st[1] <= 1.0f)
            << "vertex " << v;
    }
    // Pole vertices take the normal of a single slightly tilted triangle.
    EXPECT_GT(worstCosine, 0.995) << "vertex " << worstVertex;

    // Counter-clockwise from outside: (b - a) x (c - a) points away from the
    // centre, so GL's default culling keeps the outside.
    for (int f = 0; f < mesh.faceCount; ++f) {
        const float* a = mesh.positions + 3 * mesh.faces[3 * f];
        const float* b = mesh.positions + 3 * mesh.faces[3 * f + 1];
        const float* c = mesh.positions + 3 * mesh.faces[3 * f + 2];
        float e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        float e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        float cross[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                          e1[0] * e2[1] - e1[1] * e2[0]};
        float outward = cross[0] * (a[0] + b[0] + c[0]) + cross[1] * (a[1] + b[1] + c[1]) +
                        cross[2] * (a[2] + b[2] + c[2]);
        ASSERT_GT(outward, 0.0f) << "face " << f;
    }
}

TEST(SphereAsset, Lib3dsReadsTheSameMesh) {
    LoadedModel loaded;
    ASSERT_EQ(1, Load3ds(&loaded.model, AssetPath("sphere.3ds").c_str()));
    ASSERT_EQ(1, loaded.model.meshCount);
    const Mesh& mesh = loaded.model.meshes[0];

    Lib3dsFile* file = lib3ds_file_load(AssetPath("sphere.3ds").c_str());
    ASSERT_NE(nullptr, file);
    Lib3dsMesh* other = file->meshes;
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(nullptr, other->next);
    EXPECT_STREQ(mesh.name, other->name);
    ASSERT_EQ(mesh.vertexCount, other->points);
    ASSERT_EQ(mesh.texCoordCount, other->texels);
    ASSERT_EQ(mesh.faceCount, other->faces);
    for (unsigned v = 0; v < other->points; ++v) {
        for (int k = 0; k < 3; ++k) {
            ASSERT_EQ(mesh.positions[3 * v + k], other->pointL[v].pos[k]) << "vertex " << v;
        }
        for (int k = 0; k < 2; ++k) {
            ASSERT_EQ(mesh.texCoords[2 * v + k], other->texelL[v][k]) << "vertex " << v;
        }
    }
    for (unsigned f = 0; f < other->faces; ++f) {
        for (int k = 0; k < 3; ++k) {
            ASSERT_EQ(mesh.faces[3 * f + k], other->faceL[f].points[k]) << "face " << f;
        }
        ASSERT_STREQ(mesh.materialName, other->faceL[f].material) << "face " << f;
    }
    Lib3dsMaterial* material = file->materials;
    ASSERT_NE(nullptr, material);
    EXPECT_STREQ(loaded.model.materials[0].name, material->name);
    EXPECT_STREQ(loaded.model.materials[0].textureFile, material->texture1_map.name);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(loaded.model.materials[0].diffuse[k], material->diffuse[k], 1e-6f);
    }
    lib3ds_file_free(file);
}

}  // namespace
