// An opened model placed as a 3D Studio viewer shows it: against the same
// model turned, centred and scaled by hand before it was written.
#include "model/model_placement.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/model/chunk_writer.h"

namespace {

Model LoadMesh(const TestMesh& mesh) {
    Model model{};
    EXPECT_EQ(1, LoadWritten(ModelFile({MeshObject(mesh)}), &model));
    return model;
}

void ExpectNear(const float* actual, const float* expected, int count, float tolerance) {
    for (int i = 0; i < count; ++i)
        ASSERT_NEAR(actual[i], expected[i], tolerance) << i;
}

// The Z-up box as a file in units of 1 mm, of 17 and of 10 km height would
// hold it. Its bounding sphere about the box's centre has radius u sqrt(21);
// placed, the box stands 8 u tall along +Y, its front (the -Y side) facing
// +Z, the viewer.
TEST(PlaceModel, AZUpBoxStandsUprightFacingTheViewerAtTheSphereSize) {
    const struct {
        const char* what;
        float height;
    } sizes[] = {{"1 mm", 0.001f}, {"17 units", 17.0f}, {"10 km", 10000.0f}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.what);
        const double u = size.height / 8.0;
        const ZUpBox box = MakeZUpBox(u);
        const TestMesh& file = box.file;
        const TestMesh& byHand = box.placedByHand;
        Model placed = LoadMesh(file);
        PlaceModel(&placed);
        Model expected = LoadMesh(byHand);
        ASSERT_EQ(placed.meshCount, 1);
        const Mesh& p = placed.meshes[0];
        const Mesh& e = expected.meshes[0];
        ASSERT_EQ(p.vertexCount, 24);
        ExpectNear(p.positions, e.positions, 3 * 24, 1e-3f);
        // The normals, tangents and binormals a pre-placed file gives: the
        // faces still wind counter-clockwise seen from outside.
        ExpectNear(p.normals, e.normals, 3 * 24, 1e-6f);
        ExpectNear(p.tangents, e.tangents, 3 * 24, 1e-6f);
        ExpectNear(p.binormals, e.binormals, 3 * 24, 1e-6f);
        for (int v = 0; v < 24; ++v) {
            const float* n = p.normals + 3 * v;
            const float* q = p.positions + 3 * v;
            EXPECT_GT(n[0] * q[0] + n[1] * q[1] + n[2] * q[2], 0.0f) << v;
        }
        // Upright, centred, radius 100.
        const float height = float(4 * 100 / std::sqrt(21.0));
        const float wanted[3] = {float(100 / std::sqrt(21.0)), height, height / 2};
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(placed.boundsMax[axis], wanted[axis], 1e-3f) << axis;
            EXPECT_NEAR(placed.boundsMin[axis], -wanted[axis], 1e-3f) << axis;
            EXPECT_NEAR(placed.center[axis], 0.0f, 1e-3f) << axis;
            EXPECT_EQ(p.boundsMax[axis], placed.boundsMax[axis]) << axis;
            EXPECT_EQ(p.center[axis], placed.center[axis]) << axis;
        }
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
    EXPECT_EQ(model.cameras[0].bank, 7.0f);
    EXPECT_EQ(model.cameras[0].lens, 8.0f);
    FreeModel(&model);
}

// Nothing to scale: a model whose vertices coincide is only turned; one
// without meshes stays empty.
TEST(PlaceModel, APointSizedOrEmptyModelIsOnlyTurned) {
    Model point = LoadMesh({"point", {5, 6, 7, 5, 6, 7, 5, 6, 7}, {0, 1, 2}, {}, ""});
    PlaceModel(&point);
    const float turned[3] = {5, 7, -6};
    for (int v = 0; v < 3; ++v)
        ExpectNear(point.meshes[0].positions + 3 * v, turned, 3, 0.0f);
    ExpectNear(point.center, turned, 3, 0.0f);
    FreeModel(&point);
    Model empty{};
    PlaceModel(&empty);
    EXPECT_EQ(empty.meshCount, 0);
    EXPECT_EQ(empty.center[0], 0.0f);
}

}  // namespace
