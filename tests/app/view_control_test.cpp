#include "app/view_control.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string TwoDecimals(float value) {
    char text[32];
    snprintf(text, sizeof text, "%0.2f", static_cast<double>(value));
    return text;
}

void ResetView() {
    yawDegrees = pitchDegrees = zoomOffset = 0.0f;
    dragAnchor = {100, 100};
    // End any drag a previous case left open.
    ReleaseDragButton(0);
}

TEST(BumpScaleKeys, StepsInSinglePrecisionAndStopsExactlyAtBothEnds) {
    float scale = 0.5f;
    for (int press = 0; press < 150; ++press)
        scale = RaiseBumpScale(scale);
    EXPECT_LT(scale, 2.0f);  // the float sums fall short: about 1.9999986
    EXPECT_NEAR(scale, 1.9999986, 1e-6);
    EXPECT_EQ(TwoDecimals(scale), "2.00");
    EXPECT_EQ(RaiseBumpScale(scale), 2.0f);
    EXPECT_EQ(RaiseBumpScale(2.0f), 2.0f);

    scale = 0.5f;
    for (int press = 0; press < 50; ++press)
        scale = LowerBumpScale(scale);
    EXPECT_GT(scale, 0.0f);  // about 0.0000002
    EXPECT_LT(scale, 1e-6f);
    EXPECT_EQ(LowerBumpScale(scale), 0.0f);
    EXPECT_EQ(LowerBumpScale(0.0f), 0.0f);
    // Three presses from the start, as the overlay then shows them.
    EXPECT_EQ(TwoDecimals(RaiseBumpScale(RaiseBumpScale(RaiseBumpScale(0.5f)))), "0.53");
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
        {"left, left and down", kKeyStateLeft, {97, 104}, 1, -3, 4, 0},
        {"right, up brings nearer", kKeyStateRight, {130, 93}, 1, 0, 0, 7},
        {"right, down", kKeyStateRight, {100, 112}, 1, 0, 0, -12},
        {"middle", kKeyStateMiddle, {120, 80}, 1, 0, 0, 0},
        {"left with shift", kKeyStateLeft | kKeyStateShift, {120, 80}, 1, 0, 0, 0},
        {"right with control", kKeyStateRight | kKeyStateControl, {120, 80}, 1, 0, 0, 0},
        {"left and right", kKeyStateLeft | kKeyStateRight, {120, 80}, 1, 0, 0, 0},
        {"the motion of the re-centring", kKeyStateLeft, {100, 100}, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ResetView();
        EXPECT_EQ(MoveMouse(c.keyState, c.position), c.recentre) << c.what;
        EXPECT_EQ(yawDegrees, c.yaw) << c.what;
        EXPECT_EQ(pitchDegrees, c.pitch) << c.what;
        EXPECT_EQ(zoomOffset, c.zoom) << c.what;
        EXPECT_EQ(dragAnchor.x, 100) << c.what;  // a drag holds the anchor
        EXPECT_EQ(dragAnchor.y, 100) << c.what;
    }
}

TEST(DragButtons, TheCursorIsHiddenOncePerDragAndShownByTheLastRelease) {
    ResetView();
    // Left, then right joins, left goes, right goes.
    EXPECT_EQ(PressDragButton({5, 6}), 1);
    EXPECT_EQ(dragAnchor.x, 5);
    EXPECT_EQ(PressDragButton({7, 8}), 0);
    EXPECT_EQ(dragAnchor.x, 7);
    EXPECT_TRUE(IsDragCursorHidden());
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

TEST(FrameRate, EveryTwentyFirstFrameSetsTheRateFromTheCounter) {
    fpsCounterFrequency = 1000;
    fpsLastCounter = 2000;
    fpsFrameCount = 0;
    framesPerSecond = 0.0f;
    for (int frame = 1; frame <= 20; ++frame)
        EXPECT_EQ(CountPresentedFrame(9999), 0);
    EXPECT_EQ(framesPerSecond, 0.0f);
    // 21 frames in 500 ticks of a 1000-tick clock: 42 per second.
    EXPECT_EQ(CountPresentedFrame(2500), 1);
    EXPECT_EQ(framesPerSecond, 42.0f);
    EXPECT_EQ(fpsFrameCount, 0);
    // A clock that has not moved keeps the last rate instead of an infinity.
    fpsLastCounter = 2500;
    for (int frame = 1; frame <= 20; ++frame)
        CountPresentedFrame(2500);
    EXPECT_EQ(CountPresentedFrame(2500), 1);
    EXPECT_EQ(framesPerSecond, 42.0f);
}

}  // namespace

namespace {

// A notch is as far as a right drag over kWheelNotchPixels: checked against
// the drag itself, so the two can never drift apart.
TEST(MouseWheel, ANotchMovesAsFarAsARightDragOfTheSameDirection) {
    for (int notches : {1, 3, -1, -4}) {
        ResetView();
        MoveMouse(kKeyStateRight, {100, 100 - notches * kWheelNotchPixels});
        const float dragged = zoomOffset;
        EXPECT_EQ(WheelZoom(0.0f, notches * kWheelNotchDelta), dragged) << notches;
    }
    // Up (positive) is nearer; a smooth wheel's finer steps add up to a notch.
    EXPECT_EQ(WheelZoom(10.0f, 120), 35.0f);
    float zoom = 0.0f;
    for (int i = 0; i < 4; ++i)
        zoom = WheelZoom(zoom, 30);
    EXPECT_EQ(zoom, 25.0f);
    EXPECT_EQ(WheelZoom(0.0f, 0), 0.0f);
}

// The sky box is a cube of half-edge 1024 about the model's origin; the eye
// stays within 1000 of that origin, that is at most 750 units farther than
// at the start (250), or 1000 beyond the model when zooming in through it,
// and less by the distance of the turning point from the origin when framed.
TEST(ZoomLimit, TheEyeStaysWithinAThousandUnitsOfTheSkyBoxCentre) {
    const struct {
        const char* what;
        float centre[3];  // framed about it; none when all 0
        int dragUp, notchesUp;
        float zoom;
    } cases[] = {
        {"a long drag down", {}, -2000, 0, -750.0f},
        {"many notches down", {}, 0, -100, -750.0f},
        {"a drag down within the box", {}, -700, 0, -700.0f},
        {"a long drag up, through the model", {}, 3000, 0, 1250.0f},
        {"many notches up", {}, 0, 100, 1250.0f},
        {"framed about (30, 40, 0), 50 from the origin", {30, 40, 0}, -2000, 0, -700.0f},
        {"... and up", {30, 40, 0}, 0, 100, 1200.0f},
    };
    for (const auto& c : cases) {
        ResetView();
        viewFramed = c.centre[0] != 0.0f;
        for (int axis = 0; axis < 3; ++axis)
            viewCentre[axis] = c.centre[axis];
        MoveMouse(kKeyStateRight, {100, 100 - c.dragUp});
        zoomOffset = WheelZoom(zoomOffset, c.notchesUp * kWheelNotchDelta);
        EXPECT_EQ(zoomOffset, c.zoom) << c.what;
        // Held at the limit, not wound up beyond it: the way back starts at once.
        dragAnchor = {100, 100};
        MoveMouse(kKeyStateRight, {100, c.zoom < 0 ? 90 : 110});
        EXPECT_EQ(zoomOffset, c.zoom < 0 ? c.zoom + 10 : c.zoom - 10) << c.what;
    }
    viewFramed = 0;
    for (float& axis : viewCentre)
        axis = 0.0f;
    ResetView();
}

}  // namespace
