// The view: key F's framing, the mouse, the keys and the wheel.
#include "app/view_control.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "app/app_state.h"
#include "app/view_framing.h"
#include "tests/renderer/renderer_test_support.h"

namespace {

// One mesh holding the given points (no faces: only the bounds matter).
Model PointModel(const std::vector<float>& points) {
    Model made = {};
    made.meshCount = 1;
    made.meshes = static_cast<Mesh*>(std::calloc(1, sizeof(Mesh)));
    made.meshes[0].vertexCount = static_cast<uint16_t>(points.size() / 3);
    // No points, no array: memcpy must not be handed an empty vector's null data.
    made.meshes[0].positions = points.empty() ? nullptr : CopyFloats(points);
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

// The view of the start, no drag open, the anchor at (100, 100).
void StartView() {
    ResetView();
    dragAnchor = {100, 100};
    ReleaseDragButton(0);
}

// Up from 0.5, the float sums fall short of 2 (about 1.9999986) and the next
// press stops at 2 exactly; down, they leave about 2e-7, and the next stops at 0.
TEST(BumpScaleKeys, StepInSinglePrecisionAndStopExactlyAtBothEnds) {
    float up = 0.5f, down = 0.5f;
    for (int press = 0; press < 150; ++press)
        up = RaiseBumpScale(up);
    for (int press = 0; press < 50; ++press)
        down = LowerBumpScale(down);
    EXPECT_NEAR(up, 1.9999986, 1e-6);
    EXPECT_GT(down, 0.0f);
    EXPECT_LT(down, 1e-6f);
    EXPECT_EQ(RaiseBumpScale(up), 2.0f);
    EXPECT_EQ(RaiseBumpScale(2.0f), 2.0f);
    EXPECT_EQ(LowerBumpScale(down), 0.0f);
    EXPECT_EQ(LowerBumpScale(0.0f), 0.0f);
}

TEST(MouseMotion, OnlyALeftOrRightButtonAloneMovesTheView) {
    struct Case {
        const char* what;
        uint32_t keyState;
        ScreenPoint position;  // anchor is (100, 100)
        int recentre;
        float yaw, pitch, zoom;
    } cases[] = {
        {"left, right and up", kKeyStateLeft, {110, 95}, 1, 10, -5, 0},
        {"right, up brings nearer", kKeyStateRight, {130, 93}, 1, 0, 0, 7},
        {"middle", kKeyStateMiddle, {120, 80}, 1, 0, 0, 0},
        {"left with shift", kKeyStateLeft | kKeyStateShift, {120, 80}, 1, 0, 0, 0},
        {"right with control", kKeyStateRight | kKeyStateControl, {120, 80}, 1, 0, 0, 0},
        {"left and right", kKeyStateLeft | kKeyStateRight, {120, 80}, 1, 0, 0, 0},
        {"the motion of the re-centring", kKeyStateLeft, {100, 100}, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        StartView();
        EXPECT_EQ(MoveMouse(c.keyState, c.position), c.recentre) << c.what;
        EXPECT_EQ(yawDegrees, c.yaw) << c.what;
        EXPECT_EQ(pitchDegrees, c.pitch) << c.what;
        EXPECT_EQ(zoomOffset, c.zoom) << c.what;
        // A drag holds the anchor.
        EXPECT_TRUE(dragAnchor.x == 100 && dragAnchor.y == 100) << c.what;
    }
}

TEST(DragButtons, TheCursorIsHiddenOncePerDragAndShownByTheLastRelease) {
    StartView();
    // Left, then right joins, left goes, right goes.
    EXPECT_EQ(PressDragButton({5, 6}), 1);
    EXPECT_EQ(dragAnchor.x, 5);
    EXPECT_EQ(PressDragButton({7, 8}), 0);
    EXPECT_EQ(dragAnchor.x, 7);
    EXPECT_EQ(ReleaseDragButton(kKeyStateRight), kDragGoesOn);
    EXPECT_TRUE(IsDragCursorHidden());
    EXPECT_EQ(ReleaseDragButton(kKeyStateShift), kDragEndedShowCursor);
    EXPECT_FALSE(IsDragCursorHidden());
    // A release whose press went to another window shows nothing.
    EXPECT_EQ(ReleaseDragButton(0), kDragEnded);
    // The next drag hides the cursor again.
    EXPECT_EQ(PressDragButton({1, 1}), 1);
    EXPECT_EQ(ReleaseDragButton(0), kDragEndedShowCursor);
}

// 21 frames in 500 ticks of a 1000-tick clock are 42 a second; a clock that
// has not moved since keeps the last rate instead of an infinity.
TEST(FrameRate, EveryTwentyFirstFrameSetsTheRateFromTheCounter) {
    fpsCounterFrequency = 1000;
    fpsLastCounter = 2000;
    fpsFrameCount = 0;
    framesPerSecond = 0.0f;
    for (float rateBefore : {0.0f, 42.0f}) {
        for (int frame = 1; frame <= 20; ++frame)
            EXPECT_EQ(CountPresentedFrame(9999), 0);
        EXPECT_EQ(framesPerSecond, rateBefore);
        EXPECT_EQ(CountPresentedFrame(2500), 1);
        EXPECT_EQ(framesPerSecond, 42.0f);
        EXPECT_EQ(fpsFrameCount, 0);
        fpsLastCounter = 2500;
    }
}

// A right drag up brings the eye nearer, and a wheel notch up (120) as far as
// 25 pixels of it; a smooth wheel's finer steps are worth their share. The
// sky box is a cube of half-edge 1024 about the model's origin; the eye stays
// within 1000 of that origin, that is at most 750 units farther than at the
// start (250), or 1000 beyond the model when zooming in through it, and less
// by the distance of the turning point from the origin when framed.
TEST(RightDragAndWheel, ZoomAlikeWithinAThousandUnitsOfTheSkyBoxCentre) {
    const struct {
        const char* what;
        float centre[3];  // framed about it; none when all 0
        int dragUp, wheel;
        float zoom;
    } cases[] = {
        {"a drag up", {}, 75, 0, 75.0f},
        {"three notches up", {}, 0, 360, 75.0f},
        {"four notches down", {}, 0, -480, -100.0f},
        {"a smooth wheel's step", {}, 0, 30, 6.25f},
        {"a long drag down", {}, -2000, 0, -750.0f},
        {"a drag down within the box", {}, -700, 0, -700.0f},
        {"a long drag up, through the model", {}, 3000, 0, 1250.0f},
        {"many notches up", {}, 0, 12000, 1250.0f},
        {"framed about (30, 40, 0), 50 from the origin", {30, 40, 0}, -2000, 0, -700.0f},
        {"... and up", {30, 40, 0}, 0, 12000, 1200.0f},
    };
    for (const auto& c : cases) {
        StartView();
        viewFramed = c.centre[0] != 0.0f;
        for (int axis = 0; axis < 3; ++axis)
            viewCentre[axis] = c.centre[axis];
        MoveMouse(kKeyStateRight, {100, 100 - c.dragUp});
        zoomOffset = WheelZoom(zoomOffset, c.wheel);
        EXPECT_EQ(zoomOffset, c.zoom) << c.what;
        // Held at the limit, not wound up beyond it: the way back starts at once.
        dragAnchor = {100, 100};
        MoveMouse(kKeyStateRight, {100, c.zoom < 0 ? 90 : 110});
        EXPECT_EQ(zoomOffset, c.zoom < 0 ? c.zoom + 10 : c.zoom - 10) << c.what;
    }
    StartView();
}

}  // namespace
