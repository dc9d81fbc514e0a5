#include "model/model_placement.h"

#include <cmath>

#include "model/mesh_prep.h"

namespace {

// The placement of a point of the file: about centre, upright, scaled.
struct Placement {
    double centre[3];
    double scale;
};

// The file's (x, y, z) as the viewer's (x, z, -y).
void TurnUpright(double x, double y, double z, float* out) {
    out[0] = static_cast<float>(x);
    out[1] = static_cast<float>(z);
    out[2] = static_cast<float>(-y);
}

void PlacePoint(const Placement& placement, double x, double y, double z, float* out) {
    const double s = placement.scale;
    TurnUpright((x - placement.centre[0]) * s, (y - placement.centre[1]) * s,
                (z - placement.centre[2]) * s, out);
}

void PlacePoints(const Placement& placement, float* points, uint32_t count) {
    for (uint32_t i = 0; points != nullptr && i < count; ++i) {
        float* p = points + 3 * i;
        PlacePoint(placement, p[0], p[1], p[2], p);
    }
}

void TurnDirections(float* vectors, uint32_t count) {
    for (uint32_t i = 0; vectors != nullptr && i < count; ++i) {
        float* v = vectors + 3 * i;
        TurnUpright(v[0], v[1], v[2], v);
    }
}

// Lights and cameras hold the file's (x, y, z) as (x, z, y).
void PlaceSwappedPoint(const Placement& placement, float* p) {
    PlacePoint(placement, p[0], p[2], p[1], p);
}

}  // namespace

double BoundingSphereRadius(const Model& model, const float centre[3]) {
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
            if (std::isfinite(sum) && sum > radiusSquared) radiusSquared = sum;
        }
    }
    return radiusSquared < 0.0 ? -1.0 : std::sqrt(radiusSquared);
}

void PlaceModel(Model* model) {
    Placement placement = {{0.0, 0.0, 0.0}, 1.0};
    const double radius = BoundingSphereRadius(*model, model->center);
    const double scale = kPlacedRadius / radius;
    const bool centreFinite = std::isfinite(model->center[0]) && std::isfinite(model->center[1]) &&
                              std::isfinite(model->center[2]);
    // A point-sized model has no size to scale; a sub-normal one none that
    // a float scale could reach.
    if (centreFinite && radius > 0.0 && std::isfinite(scale)) {
        for (int axis = 0; axis < 3; ++axis)
            placement.centre[axis] = model->center[axis];
        placement.scale = scale;
    }
    for (int32_t m = 0; m < model->meshCount; ++m) {
        Mesh* mesh = &model->meshes[m];
        PlacePoints(placement, mesh->positions, mesh->vertexCount);
        TurnDirections(mesh->normals, mesh->vertexCount);
        TurnDirections(mesh->tangents, mesh->vertexCount);
        TurnDirections(mesh->binormals, mesh->vertexCount);
    }
    for (int32_t i = 0; i < model->lightCount; ++i)
        PlaceSwappedPoint(placement, model->lights[i].position);
    for (int32_t i = 0; i < model->cameraCount; ++i) {
        PlaceSwappedPoint(placement, model->cameras[i].position);
        PlaceSwappedPoint(placement, model->cameras[i].target);
    }
    ComputeBounds(model);
}
