#include "app/view_control.h"

#include <cmath>

#include "app/view_framing.h"

namespace {

constexpr float kBumpScaleStep = 0.01f;
constexpr float kBumpScaleMax = 2.0f;
constexpr int kFramesPerRateUpdate = 21;

// Set by the press that starts a drag, cleared by the release that ends it: a
// flag of our own rather than the key state, so that hides and shows of the
// cursor always pair up.
int dragCursorHidden = 0;

}  // namespace

float RaiseBumpScale(float scale) {
    scale += kBumpScaleStep;
    return scale >= kBumpScaleMax ? kBumpScaleMax : scale;
}

float LowerBumpScale(float scale) {
    scale -= kBumpScaleStep;
    return scale <= 0.0f ? 0.0f : scale;
}

int PressDragButton(ScreenPoint position) {
    dragAnchor = position;
    if (dragCursorHidden) return 0;
    dragCursorHidden = 1;
    return 1;
}

DragRelease ReleaseDragButton(uint32_t keyState) {
    if ((keyState & kKeyStateButtons) != 0) return kDragGoesOn;
    if (!dragCursorHidden) return kDragEnded;
    dragCursorHidden = 0;
    return kDragEndedShowCursor;
}

int MoveMouse(uint32_t keyState, ScreenPoint position) {
    if ((keyState & kKeyStateButtons) == 0) {
        dragAnchor = position;
        return 0;
    }
    const int dx = position.x - dragAnchor.x;
    const int dy = dragAnchor.y - position.y;  // screen y grows downwards: up is positive
    // The motion that putting the cursor back causes reports no change.
    if (dx == 0 && dy == 0) return 0;
    if (keyState == kKeyStateLeft) {
        yawDegrees += static_cast<float>(dx);
        pitchDegrees -= static_cast<float>(dy);
    } else if (keyState == kKeyStateRight) {
        zoomOffset = LimitZoom(zoomOffset + static_cast<float>(dy));
    }
    return 1;
}

float WheelZoom(float zoom, int wheelDelta) {
    // In double, so a whole notch adds exactly kWheelNotchPixels.
    const double pixels = static_cast<double>(wheelDelta) * kWheelNotchPixels / kWheelNotchDelta;
    return LimitZoom(zoom + static_cast<float>(pixels));
}

float LimitZoom(float zoom) {
    double reach = kFarthestEye;
    if (viewFramed) {
        const double x = viewCentre[0], y = viewCentre[1], z = viewCentre[2];
        reach -= std::sqrt(x * x + y * y + z * z);
        if (!(reach > 0.0)) reach = 0.0;
    }
    const double eyeDistance = kEyeDistance - static_cast<double>(zoom);
    if (eyeDistance > reach) return static_cast<float>(kEyeDistance - reach);
    if (eyeDistance < -reach) return static_cast<float>(kEyeDistance + reach);
    return zoom;
}

int IsDragCursorHidden() {
    return dragCursorHidden;
}

int CountPresentedFrame(int64_t now) {
    fpsFrameCount += 1;
    if (fpsFrameCount < kFramesPerRateUpdate) return 0;
    // Ticks in 64-bit integers, the rate in double; a counter that has not
    // moved (or no frequency) leaves the old rate rather than an infinity.
    const int64_t ticks = now - fpsLastCounter;
    if (ticks > 0 && fpsCounterFrequency > 0) {
        const double seconds =
            static_cast<double>(ticks) / static_cast<double>(fpsCounterFrequency);
        framesPerSecond = static_cast<float>(static_cast<double>(fpsFrameCount) / seconds);
    }
    fpsFrameCount = 0;
    return 1;
}
