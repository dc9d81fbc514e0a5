// Where the frame puts things, worked out in double precision from the view
// state alone: the model-view of a frame (translate by zoomOffset - 250, then
// turn by yaw about Y followed by pitch about X), the 90-degree projection,
// and the eye in object space.
#pragma once

#include <cmath>

#include "tests/renderer/shading_reference.h"

struct ViewReference {
    double rotation[3][3];  // row-major; object to eye, before the translation
    double distance;        // the translation's z: zoomOffset - 250
    double aspect;          // width / height
    int width;
    int height;
};

inline ViewReference MakeViewReference(double yawDegrees, double pitchDegrees, double zoomOffset,
                                       int width, int height) {
    const double pi = 3.14159265358979323846;
    const double cy = std::cos(yawDegrees * pi / 180), sy = std::sin(yawDegrees * pi / 180);
    const double cp = std::cos(pitchDegrees * pi / 180), sp = std::sin(pitchDegrees * pi / 180);
    const double yaw[3][3] = {{cy, 0, sy}, {0, 1, 0}, {-sy, 0, cy}};
    const double pitch[3][3] = {{1, 0, 0}, {0, cp, -sp}, {0, sp, cp}};
    ViewReference view;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            view.rotation[r][c] = 0;
            for (int k = 0; k < 3; ++k)
                view.rotation[r][c] += pitch[r][k] * yaw[k][c];
        }
    }
    view.distance = zoomOffset - 250;
    view.aspect = static_cast<double>(width) / height;
    view.width = width;
    view.height = height;
    return view;
}

inline Vec3 RotateToEye(const ViewReference& view, Vec3 v) {
    const double(&m)[3][3] = view.rotation;
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
            m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
            m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

inline Vec3 RotateToObject(const ViewReference& view, Vec3 v) {
    const double(&m)[3][3] = view.rotation;
    return {m[0][0] * v.x + m[1][0] * v.y + m[2][0] * v.z,
            m[0][1] * v.x + m[1][1] * v.y + m[2][1] * v.z,
            m[0][2] * v.x + m[1][2] * v.y + m[2][2] * v.z};
}

// The eye's position in the model's object space.
inline Vec3 EyeInObject(const ViewReference& view) {
    return RotateToObject(view, {0, 0, -view.distance});
}

// Window position (pixels, origin lower left) and clip w of an object point.
struct WindowPoint {
    double x;
    double y;
    double w;
};

inline WindowPoint ProjectToWindow(const ViewReference& view, Vec3 p) {
    Vec3 e = RotateToEye(view, p);
    e.z += view.distance;
    const double w = -e.z;  // a 90-degree field of view: cot(45) = 1
    return {(e.x / view.aspect / w + 1) * 0.5 * view.width, (e.y / w + 1) * 0.5 * view.height, w};
}

// The object-space direction through the centre of window pixel (px, py).
inline Vec3 PixelRay(const ViewReference& view, int px, int py) {
    const Vec3 eyeDirection = {((px + 0.5) / view.width * 2 - 1) * view.aspect,
                               (py + 0.5) / view.height * 2 - 1, -1};
    return RotateToObject(view, eyeDirection);
}
