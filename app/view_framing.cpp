#include "app/view_framing.h"

#include <cmath>

#include "app/app_state.h"

double FramingDistance(double radius) {
    const double halfAngle = std::atan(kFramedHeight);  // tan 45 degrees is 1
    const double distance = radius / std::sin(halfAngle);
    return distance > 1.0 ? distance : 1.0;
}

int ComputeFraming(const Model& model, Framing* framing) {
    const double centre[3] = {model.center[0], model.center[1], model.center[2]};
    double radiusSquared = -1.0;
    for (int32_t m = 0; m < model.meshCount; ++m) {
        const Mesh& mesh = model.meshes[m];
        for (uint32_t v = 0; v < mesh.vertexCount; ++v) {
            const float* p = mesh.positions + 3 * v;
            double sum = 0.0;
            for (int axis = 0; axis < 3; ++axis) {
                const double d = static_cast<double>(p[axis]) - centre[axis];
                sum += d * d;
            }
            // A vertex with a NaN or infinite coordinate cannot be framed.
            if (std::isfinite(sum) && sum > radiusSquared) radiusSquared = sum;
        }
    }
    if (radiusSquared < 0.0) return 0;
    for (int axis = 0; axis < 3; ++axis) {
        if (!std::isfinite(model.center[axis])) return 0;
        framing->centre[axis] = model.center[axis];
    }
    const double radius = std::sqrt(radiusSquared);
    framing->radius = static_cast<float>(radius);
    framing->zoomOffset = static_cast<float>(kEyeDistance - FramingDistance(radius));
    return 1;
}

int FrameModelInView() {
    Framing framing;
    if (!modelLoaded || !ComputeFraming(model, &framing)) return 0;
    for (int axis = 0; axis < 3; ++axis)
        viewCentre[axis] = framing.centre[axis];
    zoomOffset = framing.zoomOffset;
    viewFramed = 1;
    return 1;
}

void DropFraming() {
    viewFramed = 0;
    for (float& axis : viewCentre)
        axis = 0.0f;
}
