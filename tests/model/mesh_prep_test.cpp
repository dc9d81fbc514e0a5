// Tangent frames and bounds of loaded meshes, against values worked out by
// hand (normals: smoothing_test.cpp); an opened model placed as a 3D Studio
// viewer shows it, against the same model turned, centred and scaled by hand
// before it was written.
#include <gtest/gtest.h>

#include <cmath>

#include "model/model.h"
#include "model/model_placement.h"
#include "tests/model/chunk_writer.h"

namespace {

void ExpectVector(const float* v, std::vector<float> expected) {
    for (int k = 0; k < 3; ++k)
        EXPECT_FLOAT_EQ(expected[k], v[k]) << k;
}

void ExpectNear(const float* actual, const float* expected, int count, float tolerance) {
    for (int i = 0; i < count; ++i)
        ASSERT_NEAR(actual[i], expected[i], tolerance) << i;
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

// The Z-up box as a file in units of 1 mm, of 17 and of 10 km height would
// hold it: placed, it is the box placed by hand, its normals, tangents and
// binormals and its bounds those a pre-placed file gives.
TEST(PlaceModel, AZUpBoxStandsUprightFacingTheViewerAtTheSphereSize) {
    for (float height : {0.001f, 17.0f, 10000.0f}) {
        SCOPED_TRACE(height);
        const ZUpBox box = MakeZUpBox(height / 8.0);
        Model placed{}, expected{};
        ASSERT_EQ(1, LoadMeshes({box.file}, &placed));
        ASSERT_EQ(1, LoadMeshes({box.placedByHand}, &expected));
        PlaceModel(&placed);
        ASSERT_EQ(placed.meshCount, 1);
        const Mesh& p = placed.meshes[0];
        const Mesh& e = expected.meshes[0];
        ASSERT_EQ(p.vertexCount, 24);
        ExpectNear(p.positions, e.positions, 3 * 24, 1e-3f);
        ExpectNear(p.normals, e.normals, 3 * 24, 1e-6f);
        ExpectNear(p.tangents, e.tangents, 3 * 24, 1e-6f);
        ExpectNear(p.binormals, e.binormals, 3 * 24, 1e-6f);
        ExpectNear(placed.boundsMin, e.boundsMin, 3, 1e-3f);
        ExpectNear(placed.boundsMax, e.boundsMax, 3, 1e-3f);
        ExpectNear(placed.center, e.center, 3, 1e-3f);
        ExpectNear(p.center, e.center, 3, 1e-3f);
        EXPECT_NEAR(BoundingSphereRadius(placed, placed.center), 100.0, 1e-3);
        FreeModel(&placed);
        FreeModel(&expected);
    }
}

// Lights and cameras (held as the file's (x, z, y)) go where the model goes.
// The sample's quad (0, 0, 0)-(1, 1, 0) has centre (0.5, 0.5, 0) and radius
// sqrt(0.5); light a and the camera stand at (1, 2, 3) of the file, the
// camera looks at (4, 5, 6).
TEST(PlaceModel, LightsAndCamerasComeAlong) {
    Model model{};
    ASSERT_EQ(1, LoadWritten(SampleModelFile(), &model));
    PlaceModel(&model);
    const float k = float(100 / std::sqrt(0.5));
    const float at[3] = {0.5f * k, 3 * k, -1.5f * k}, target[3] = {3.5f * k, 6 * k, -4.5f * k};
    ASSERT_EQ(model.lightCount, 2);
    ASSERT_EQ(model.cameraCount, 1);
    ExpectNear(model.lights[0].position, at, 3, 1e-3f);
    ExpectNear(model.cameras[0].position, at, 3, 1e-3f);
    ExpectNear(model.cameras[0].target, target, 3, 1e-3f);
    FreeModel(&model);
}

// Nothing to scale: a model whose vertices coincide is only turned.
TEST(PlaceModel, APointSizedModelIsOnlyTurned) {
    Model point{};
    ASSERT_EQ(1, LoadMeshes({{"point", {5, 6, 7, 5, 6, 7, 5, 6, 7}, {0, 1, 2}, {}, ""}}, &point));
    PlaceModel(&point);
    const float turned[3] = {5, 7, -6};
    for (int v = 0; v < 3; ++v)
        ExpectNear(point.meshes[0].positions + 3 * v, turned, 3, 0.0f);
    ExpectNear(point.center, turned, 3, 0.0f);
    FreeModel(&point);
}
