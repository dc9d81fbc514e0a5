#include "app/view_framing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/app_state.h"
#include "app/shell/file_choice.h"
#include "tests/renderer/renderer_test_support.h"

namespace {

// One mesh holding the given points (no faces: only the bounds matter).
Model PointModel(const std::vector<float>& points) {
    Model made = {};
    made.meshCount = 1;
    made.meshes = static_cast<Mesh*>(std::calloc(1, sizeof(Mesh)));
    made.meshes[0].vertexCount = static_cast<uint16_t>(points.size() / 3);
    made.meshes[0].positions = CopyFloats(points);
    ComputeBounds(&made);
    return made;
}

// The distance at which a sphere's outline spans 80 % of a 90-degree view,
// worked by hand: the outline's half-angle a has tan a = 0.8, so
// sin a = 0.8 / sqrt(1.64), and the distance is radius / sin a.
TEST(FramingDistance, TheOutlineSpansEightyPercentOfTheHeight) {
    EXPECT_NEAR(FramingDistance(100.0), 100.0 * std::sqrt(1.64) / 0.8, 1e-9);
    // Seen from there, the tangent of the outline's half-angle is 0.8.
    const double d = FramingDistance(37.0);
    EXPECT_NEAR(std::tan(std::asin(37.0 / d)), 0.8, 1e-12);
    // A point-sized model stays a unit away, beyond the near plane.
    EXPECT_EQ(FramingDistance(0.0), 1.0);
}

TEST(ComputeFraming, CentreOfTheBoxRadiusOfTheFarthestVertex) {
    // A box from (100, -20, 0) to (300, 20, 10) with one corner missing:
    // centre (200, 0, 5); the farthest vertex (300, 20, 10) lies
    // sqrt(100^2 + 20^2 + 5^2) = sqrt(10425) from it.
    Model made = PointModel({100, -20, 0, 300, 20, 10, 120, 0, 5, 200, 19, 0});
    Framing framing;
    ASSERT_EQ(ComputeFraming(made, &framing), 1);
    EXPECT_EQ(framing.centre[0], 200.0f);
    EXPECT_EQ(framing.centre[1], 0.0f);
    EXPECT_EQ(framing.centre[2], 5.0f);
    EXPECT_FLOAT_EQ(framing.radius, static_cast<float>(std::sqrt(10425.0)));
    EXPECT_FLOAT_EQ(framing.zoomOffset,
                    static_cast<float>(250.0 - std::sqrt(10425.0) * std::sqrt(1.64) / 0.8));
    FreeModel(&made);

    // Nothing to frame: no vertex, or none with finite coordinates.
    Model empty = {};
    EXPECT_EQ(ComputeFraming(empty, &framing), 0);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Model broken = PointModel({nan, 0, 0});
    EXPECT_EQ(ComputeFraming(broken, &framing), 0);
    FreeModel(&broken);
}

TEST(FrameModelInView, FramesFrontOnAndEveryOpenedModelOpensFramed) {
    FreeModel(&model);
    modelLoaded = 0;
    ResetView();
    zoomOffset = 12.0f;
    yawDegrees = 30.0f;
    EXPECT_EQ(FrameModelInView(), 0);  // no model on screen: nothing changes
    EXPECT_EQ(viewFramed, 0);
    EXPECT_EQ(zoomOffset, 12.0f);
    EXPECT_EQ(yawDegrees, 30.0f);

    model = PointModel({10, 10, 10, 30, 10, 10});
    modelLoaded = 1;
    pitchDegrees = -20.0f;
    EXPECT_EQ(FrameModelInView(), 1);
    EXPECT_EQ(viewFramed, 1);
    EXPECT_EQ(viewCentre[0], 20.0f);
    EXPECT_EQ(viewCentre[1], 10.0f);
    EXPECT_EQ(zoomOffset, static_cast<float>(250.0 - FramingDistance(10.0)));
    EXPECT_EQ(yawDegrees, 0.0f);
    EXPECT_EQ(pitchDegrees, 0.0f);
    ResetView();
    EXPECT_EQ(viewFramed, 0);
    EXPECT_EQ(viewCentre[0], 0.0f);
    EXPECT_EQ(zoomOffset, 0.0f);

    // Models opened as key M opens them: a file that fails keeps the model and
    // its view; a new model, placed about the origin at radius 100, opens
    // framed and front on.
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    EXPECT_EQ(FrameModelInView(), 1);
    yawDegrees = 30.0f;
    EXPECT_EQ(ReplaceModel("missing.3ds"), 0);
    EXPECT_EQ(viewFramed, 1);
    EXPECT_EQ(viewCentre[0], 20.0f);
    EXPECT_EQ(yawDegrees, 30.0f);
    EXPECT_EQ(ReplaceModel(VIEWER_SOURCE_DIR "/assets/sphere.3ds"), 1);
    EXPECT_EQ(viewFramed, 1);
    for (float axis : viewCentre)
        EXPECT_NEAR(axis, 0.0f, 1e-3f);
    EXPECT_EQ(yawDegrees, 0.0f);
    EXPECT_NEAR(zoomOffset, 250.0 - 160.0781, 1e-3);
    FreeModel(&model);
    modelLoaded = 0;
    ResetView();
}

}  // namespace
