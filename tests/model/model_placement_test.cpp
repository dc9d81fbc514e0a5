// An opened model placed as a 3D Studio viewer shows it: against the same
// model turned, centred and scaled by hand before it was written.
#include "model/model_placement.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/model/chunk_writer.h"

namespace {

void ExpectNear(const float* actual, const float* expected, int count, float tolerance) {
    for (int i = 0; i < count; ++i)
        ASSERT_NEAR(actual[i], expected[i], tolerance) << i;
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

// Nothing to scale: a model whose vertices coincide is only turned; one
// without meshes stays empty.
TEST(PlaceModel, APointSizedOrEmptyModelIsOnlyTurned) {
    Model point{};
    ASSERT_EQ(1, LoadMeshes({{"point", {5, 6, 7, 5, 6, 7, 5, 6, 7}, {0, 1, 2}, {}, ""}}, &point));
    PlaceModel(&point);
    const float turned[3] = {5, 7, -6};
    for (int v = 0; v < 3; ++v)
        ExpectNear(point.meshes[0].positions + 3 * v, turned, 3, 0.0f);
    ExpectNear(point.center, turned, 3, 0.0f);
    FreeModel(&point);
    Model empty{};
    PlaceModel(&empty);
    EXPECT_EQ(empty.meshCount, 0);
}

}  // namespace
