#include "app/view_framing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "app/app_state.h"
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

// Framed about the centre of the box, front on, the eye where the sphere
// about it through the farthest vertex spans 80 % of the 90-degree view: its
// outline's half-angle a has tan a = 0.8, so the eye is radius sqrt(1.64) /
// 0.8 away, 250 at zoom 0. Key F does nothing without a finite vertex.
TEST(FrameModelInView, AboutTheBoxCentreFrontOnAtTheFarthestVertex) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const double eye = std::sqrt(10425.0) * std::sqrt(1.64) / 0.8;
    const struct {
        const char* what;
        std::vector<float> points;
        int loaded, framed;
        float centre[3];
        double zoom;
    } cases[] = {
        {"no model on screen", {1, 2, 3}, 0, 0, {}, 12},
        {"no vertex", {}, 1, 0, {}, 12},
        {"no finite vertex", {nan, 0, 0}, 1, 0, {}, 12},
        // A box from (100, -20, 0) to (300, 20, 10) missing a corner; the
        // farthest vertex lies sqrt(100^2 + 20^2 + 5^2) from its centre.
        {"a box", {100, -20, 0, 300, 20, 10, 120, 0, 5, 200, 19, 0}, 1, 1, {200, 0, 5}, 250 - eye},
        {"a point stays a unit away, beyond the near plane", {4, 5, 6}, 1, 1, {4, 5, 6}, 249},
    };
    for (const auto& c : cases) {
        FreeModel(&model);
        ResetView();
        model = PointModel(c.points);
        modelLoaded = c.loaded;
        yawDegrees = 30.0f;
        pitchDegrees = -20.0f;
        zoomOffset = 12.0f;
        EXPECT_EQ(FrameModelInView(), c.framed) << c.what;
        EXPECT_EQ(viewFramed, c.framed) << c.what;
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_EQ(viewCentre[axis], c.centre[axis]) << c.what;
        EXPECT_NEAR(zoomOffset, c.zoom, 1e-4) << c.what;
        EXPECT_EQ(yawDegrees, c.framed ? 0.0f : 30.0f) << c.what;
        EXPECT_EQ(pitchDegrees, c.framed ? 0.0f : -20.0f) << c.what;
    }
    FreeModel(&model);
    modelLoaded = 0;
    ResetView();
}

}  // namespace
