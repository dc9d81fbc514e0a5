#include "app/view_framing.h"

#include <cmath>

#include "app/app_state.h"
#include "app/view_control.h"
#include "model/model_placement.h"

double FramingDistance(double radius) {
    const double halfAngle = std::atan(kFramedHeight);  // tan 45 degrees is 1
    const double distance = radius / std::sin(halfAngle);
    return distance > 1.0 ? distance : 1.0;
}

int ComputeFraming(const Model& model, Framing* framing) {
    const double radius = BoundingSphereRadius(model, model.center);
    if (radius < 0.0) return 0;
    for (int axis = 0; axis < 3; ++axis) {
        if (!std::isfinite(model.center[axis])) return 0;
        framing->centre[axis] = model.center[axis];
    }
    framing->radius = static_cast<float>(radius);
    framing->zoomOffset = static_cast<float>(kEyeDistance - FramingDistance(radius));
    return 1;
}

int FrameModelInView() {
    Framing framing;
    if (!modelLoaded || !ComputeFraming(model, &framing)) return 0;
    for (int axis = 0; axis < 3; ++axis)
        viewCentre[axis] = framing.centre[axis];
    viewFramed = 1;
    yawDegrees = pitchDegrees = 0.0f;
    // A model far larger than the sky box (only the start-up file is not
    // placed) is seen from inside the box all the same.
    zoomOffset = LimitZoom(framing.zoomOffset);
    return 1;
}

void ResetView() {
    viewFramed = 0;
    for (float& axis : viewCentre)
        axis = 0.0f;
    yawDegrees = pitchDegrees = zoomOffset = 0.0f;
}
