// Tangent frames and bounds of loaded meshes, against values worked out by
// hand (normals: smoothing_test.cpp).
#include <gtest/gtest.h>

#include <cmath>

#include "model/model.h"
#include "tests/model/chunk_writer.h"

namespace {

void ExpectVector(const float* v, std::vector<float> expected) {
    for (int k = 0; k < 3; ++k)
        EXPECT_FLOAT_EQ(expected[k], v[k]) << k;
}

}  // namespace

// The tangent points where s grows, the binormal where t falls; tiny and huge
// scales take squared lengths out of the normal float range. A face of
// degenerate mapping carries the last computed frame; where there is none,
// and where sums vanish, the vectors are still finite and of unit length.
TEST(MeshPrep, FrameFollowsWindingAndMappingAndStaysFinite) {
    std::vector<TestMesh> meshes;
    for (float s : {1.0f, 1e-20f, 1e-10f, 3e-10f, 1e10f}) {
        meshes.push_back({"ccw", {0, 0, 0, s, 0, 0, 0, s, 0}, {0, 1, 2}, {0, 0, 1, 0, 0, 1}, ""});
        meshes.push_back({"cw", {0, 0, 0, 0, s, 0, s, 0, 0}, {0, 1, 2}, {0, 0, 0, 2, 2, 0}, ""});
    }
    // Face 0 maps s along -y and t along +x: det = 1, tangent -e2 = (0, -1, 0),
    // binormal -e1 = (-1, 0, 0). Face 1 has its own vertices and all three
    // mapping pairs alike.
    const TestMesh frameFirst = {"frame first",
                                 {0, 0, 0, 1, 0, 0, 0, 1, 0, 5, 5, 1, 6, 5, 1, 5, 6, 1},
                                 {0, 1, 2, 3, 4, 5},
                                 {0, 0, 0, 1, -1, 0, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f},
                                 ""};
    TestMesh degenerateFirst = frameFirst;
    degenerateFirst.faces = {3, 4, 5, 0, 1, 2};
    meshes.insert(meshes.end(),
                  {frameFirst,
                   degenerateFirst,
                   {"unused vertex", {0, 0, 0, 1, 0, 0, 0, 1, 0, 9, 9, 9}, {0, 1, 2}, {}, ""},
                   {"faces that cancel", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2, 0, 2, 1}, {}, ""},
                   {"collapsed face", {1, 1, 1, 1, 1, 1, 1, 1, 1}, {0, 1, 2}, {}, ""},
                   {"not a number", {NAN, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}, {}, ""},
                   {"infinity", {INFINITY, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}, {}, ""}});
    for (TestMesh& m : meshes)
        if (m.texCoords.empty()) m.texCoords.assign(m.positions.size() / 3 * 2, 0.25f);
    Model model{};
    ASSERT_EQ(1, LoadMeshes(meshes, &model));
    ASSERT_EQ(17, model.meshCount);
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        for (int v = 0; v < 9; v += 3) {
            ExpectVector(model.meshes[i].normals + v, {0, 0, i % 2 == 1 ? -1.0f : 1.0f});
            ExpectVector(model.meshes[i].tangents + v, {1, 0, 0});
            ExpectVector(model.meshes[i].binormals + v, {0, -1, 0});
        }
    }
    for (int v = 0; v < 18; v += 3) {
        ExpectVector(model.meshes[10].tangents + v, {0, -1, 0});
        ExpectVector(model.meshes[10].binormals + v, {-1, 0, 0});
    }
    for (const Mesh* m = model.meshes; m != model.meshes + model.meshCount; ++m) {
        SCOPED_TRACE(m->name);
        for (const float* frame : {m->normals, m->tangents, m->binormals})
            for (const float* v = frame; v != frame + 3 * m->vertexCount; v += 3)
                EXPECT_NEAR(1.0f, std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]), 1e-6f);
    }
    FreeModel(&model);
}

// A mesh without vertices gets a zero box and leaves the model's alone (y from
// 0.5).
TEST(MeshPrep, BoundsEncloseMeshesAndModel) {
    Model model{};
    ASSERT_EQ(1, LoadMeshes({{"a", {-1, 4, 0, 3, 2, 5}, {}, {}, ""},
                             {"empty", {}, {}, {}, ""},
                             {"b", {-2, 0.5f, 0, 0, 3, 0.5f}, {}, {}, ""}},
                            &model));
    ASSERT_EQ(3, model.meshCount);
    const Mesh &a = model.meshes[0], &empty = model.meshes[1];
    ExpectVector(a.boundsMin, {-1, 2, 0});
    ExpectVector(a.boundsMax, {3, 4, 5});
    ExpectVector(a.center, {1, 3, 2.5f});
    ExpectVector(empty.boundsMin, {0, 0, 0});
    ExpectVector(empty.boundsMax, {0, 0, 0});
    ExpectVector(model.boundsMin, {-2, 0.5f, 0});
    ExpectVector(model.boundsMax, {3, 4, 5});
    ExpectVector(model.center, {0.5f, 2.25f, 2.5f});
    EXPECT_EQ(4, model.vertexTotal);
    FreeModel(&model);
}
