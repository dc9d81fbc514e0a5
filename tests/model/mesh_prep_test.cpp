// Normals, tangent frames and bounds of loaded meshes, against values worked
// out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/model.h"
#include "tests/model/chunk_writer.h"

namespace {

// The meshes, in order, from one file.
Model LoadMeshes(const std::vector<TestMesh>& meshes) {
    Bytes objects;
    for (const TestMesh& m : meshes)
        objects = Cat({objects, MeshObject(m)});
    Model model{};
    EXPECT_EQ(1, LoadWritten(ModelFile({objects}), &model));
    return model;
}

void ExpectVector(const float* v, std::vector<float> expected) {
    for (int k = 0; k < 3; ++k)
        EXPECT_FLOAT_EQ(expected[k], v[k]) << k;
}

void ExpectFiniteUnit(const float* v) {
    ASSERT_TRUE(std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]));
    EXPECT_NEAR(1.0f, std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]), 1e-6f);
}

}  // namespace

// The tangent points where s grows, the binormal where t falls. Tiny and huge
// scales take squared lengths out of the normal float range.
TEST(MeshPrep, FrameFollowsWindingAndMappingAtAnyScale) {
    std::vector<TestMesh> meshes;
    for (float s : {1.0f, 1e-20f, 1e-10f, 3e-10f, 1e10f}) {
        meshes.push_back({"ccw", {0, 0, 0, s, 0, 0, 0, s, 0}, {0, 1, 2}, {0, 0, 1, 0, 0, 1}, ""});
        meshes.push_back({"cw", {0, 0, 0, 0, s, 0, s, 0, 0}, {0, 1, 2}, {0, 0, 0, 2, 2, 0}, ""});
    }
    meshes.push_back({"unmapped", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}, {}, ""});
    Model model = LoadMeshes(meshes);
    ASSERT_EQ(11, model.meshCount);
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        for (int v = 0; v < 3; ++v) {
            ExpectVector(model.meshes[i].normals + 3 * v, {0, 0, i % 2 == 1 ? -1.0f : 1.0f});
            // Either way s grows along x and t along y.
            ExpectVector(model.meshes[i].tangents + 3 * v, {1, 0, 0});
            ExpectVector(model.meshes[i].binormals + 3 * v, {0, -1, 0});
        }
    }
    ExpectVector(model.meshes[10].normals, {0, 0, 1});
    EXPECT_EQ(nullptr, model.meshes[10].tangents);
    EXPECT_EQ(nullptr, model.meshes[10].binormals);
    FreeModel(&model);
}

TEST(MeshPrep, LargerFacesWeighMoreInTheVertexNormal) {
    // Vertex 0 is shared by a face in the xy plane (normal +z, area 50) and
    // one in the xz plane (normal -y, area 0.5): sum (0, -1, 100).
    Model model = LoadMeshes(
        {{"m", {0, 0, 0, 10, 0, 0, 0, 10, 0, 1, 0, 0, 0, 0, 1}, {0, 1, 2, 0, 3, 4}, {}, ""}});
    ASSERT_EQ(1, model.meshCount);
    float length = std::sqrt(100.0f * 100.0f + 1.0f);
    ExpectVector(model.meshes[0].normals, {0, -1 / length, 100 / length});
    FreeModel(&model);
}

TEST(MeshPrep, DegenerateMappingCarriesTheLastComputedFrame) {
    // Face 0 maps s along -y and t along +x: ds1 = 0, dt1 = 1, ds2 = -1,
    // dt2 = 0, det = 1, tangent -e2 = (0, -1, 0), binormal -e1 = (-1, 0, 0).
    // Face 1 has its own vertices and all three mapping pairs alike.
    TestMesh mesh = {"after",
                     {0, 0, 0, 1, 0, 0, 0, 1, 0, 5, 5, 1, 6, 5, 1, 5, 6, 1},
                     {0, 1, 2, 3, 4, 5},
                     {0, 0, 0, 1, -1, 0, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f},
                     ""};
    TestMesh before = mesh;
    before.faces = {3, 4, 5, 0, 1, 2};
    Model model = LoadMeshes({mesh, before});
    ASSERT_EQ(2, model.meshCount);
    for (int i = 0; i < 6; ++i) {
        ExpectVector(model.meshes[0].tangents + 3 * i, {0, -1, 0});
        ExpectVector(model.meshes[0].binormals + 3 * i, {-1, 0, 0});
    }
    // Before any face had a frame, the degenerate one adds zero: the fallback.
    for (int i = 3; i < 6; ++i) {
        ExpectFiniteUnit(model.meshes[1].tangents + 3 * i);
        ExpectFiniteUnit(model.meshes[1].binormals + 3 * i);
    }
    ExpectVector(model.meshes[1].tangents, {0, -1, 0});
    FreeModel(&model);
}

TEST(MeshPrep, VanishingSumsGiveFiniteUnitVectors) {
    const std::vector<float> tri = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    std::vector<TestMesh> meshes = {
        {"unused vertex", {0, 0, 0, 1, 0, 0, 0, 1, 0, 9, 9, 9}, {0, 1, 2}, {}, ""},
        {"faces that cancel", tri, {0, 1, 2, 0, 2, 1}, {}, ""},
        {"collapsed face", {1, 1, 1, 1, 1, 1, 1, 1, 1}, {0, 1, 2}, {}, ""},
        {"not a number", {NAN, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}, {}, ""},
        {"infinity", {INFINITY, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}, {}, ""},
    };
    for (TestMesh& m : meshes)
        m.texCoords.assign(m.positions.size() / 3 * 2, 0.25f);
    Model model = LoadMeshes(meshes);
    ASSERT_EQ(5, model.meshCount);
    for (const Mesh& m : std::vector<Mesh>(model.meshes, model.meshes + 5)) {
        SCOPED_TRACE(m.name);
        for (int i = 0; i < 3 * m.vertexCount; i += 3) {
            ExpectFiniteUnit(m.normals + i);
            ExpectFiniteUnit(m.tangents + i);
            ExpectFiniteUnit(m.binormals + i);
        }
    }
    FreeModel(&model);
}

TEST(MeshPrep, BoundsEncloseMeshesAndModel) {
    // A mesh without vertices gets a zero box and leaves the model's alone.
    Model model = LoadMeshes({{"a", {-1, 2, 0, 3, -4, 5}, {}, {}, ""},
                              {"empty", {}, {}, {}, ""},
                              {"b", {0, 0, 0, 1, 1, 1}, {}, {}, ""}});
    ASSERT_EQ(3, model.meshCount);
    ExpectVector(model.meshes[0].boundsMin, {-1, -4, 0});
    ExpectVector(model.meshes[0].boundsMax, {3, 2, 5});
    ExpectVector(model.meshes[0].center, {1, -1, 2.5f});
    ExpectVector(model.meshes[1].boundsMin, {0, 0, 0});
    ExpectVector(model.meshes[1].center, {0, 0, 0});
    EXPECT_EQ(nullptr, model.meshes[1].normals);
    ExpectVector(model.boundsMin, {-1, -4, 0});
    ExpectVector(model.boundsMax, {3, 2, 5});
    EXPECT_EQ(4, model.vertexTotal);
    FreeModel(&model);

    // Boxes (0,0,0)-(1,1,1) and (-2,0.5,0)-(0,3,0.5).
    model = LoadMeshes(
        {{"b", {0, 0, 0, 1, 1, 1}, {}, {}, ""}, {"c", {-2, 0.5f, 0, 0, 3, 0.5f}, {}, {}, ""}});
    ExpectVector(model.boundsMin, {-2, 0, 0});
    ExpectVector(model.boundsMax, {1, 3, 1});
    ExpectVector(model.center, {-0.5f, 1.5f, 0.5f});
    FreeModel(&model);
}
