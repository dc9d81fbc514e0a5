#include "model/mesh_prep.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "model/model_memory.h"

namespace {

// A vertex whose summed vectors vanish (no face uses it, or its faces cancel)
// still needs a unit frame for the vertex shader: the frame of a face lying in
// the xy plane with s along x and t along y.
const float kFallbackNormal[3] = {0.0f, 0.0f, 1.0f};
const float kFallbackTangent[3] = {1.0f, 0.0f, 0.0f};
const float kFallbackBinormal[3] = {0.0f, -1.0f, 0.0f};

// Single-precision 1e-6: below it the mapping of a face is taken as degenerate.
const float kMinMappingDeterminant = 1e-6f;

void Scale(float* v, float factor) {
    v[0] *= factor;
    v[1] *= factor;
    v[2] *= factor;
}

void Normalize(float* v, const float* fallback) {
    int finite = std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
    float lengthSquared = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    if (finite && !(lengthSquared >= FLT_MIN && std::isfinite(lengthSquared))) {
        // Squaring overflowed or fell below the normal range, where too few
        // bits are left for a unit result: bring the largest component to 1
        // first. A true zero vector stays zero.
        float largest = std::fabs(v[0]);
        if (std::fabs(v[1]) > largest) largest = std::fabs(v[1]);
        if (std::fabs(v[2]) > largest) largest = std::fabs(v[2]);
        // Divide rather than multiply: the reciprocal of a huge component
        // would be subnormal and lose precision.
        if (largest > 0.0f) {
            v[0] /= largest;
            v[1] /= largest;
            v[2] /= largest;
        }
        lengthSquared = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    }
    if (!finite || !(lengthSquared > 0.0f)) {
        v[0] = fallback[0];
        v[1] = fallback[1];
        v[2] = fallback[2];
        return;
    }
    Scale(v, 1.0f / std::sqrt(lengthSquared));
}

void Add(float* sum, const float* v) {
    sum[0] += v[0];
    sum[1] += v[1];
    sum[2] += v[2];
}

void Subtract(const float* a, const float* b, float* difference) {
    difference[0] = a[0] - b[0];
    difference[1] = a[1] - b[1];
    difference[2] = a[2] - b[2];
}

// Preparation runs on meshes that the reader has checked; a stray index is
// skipped rather than followed all the same.
int FaceInRange(const uint16_t* face, uint16_t vertexCount) {
    return face[0] < vertexCount && face[1] < vertexCount && face[2] < vertexCount;
}

void AddToCorners(float* sums, const uint16_t* face, const float* v) {
    Add(sums + 3 * face[0], v);
    Add(sums + 3 * face[1], v);
    Add(sums + 3 * face[2], v);
}

void NormalizeAll(float* vectors, uint16_t count, const float* fallback) {
    for (uint32_t i = 0; i < count; ++i)
        Normalize(vectors + 3 * i, fallback);
}

// The sums are added into the new array, so its first touch would be a read:
// the system then maps a shared zero page and takes a second fault, copying
// it, at the first write. Writing the zeros once up front takes one fault per
// page instead.
void ReplaceArray(float** array, size_t count, int* ok) {
    free(*array);
    *ok = AllocateModelArray(array, count) && *ok;
    if (*array != nullptr) memset(*array, 0, count * sizeof(float));
}

void MeshBounds(Mesh* mesh) {
    for (int axis = 0; axis < 3; ++axis) {
        float first = mesh->vertexCount != 0 ? mesh->positions[axis] : 0.0f;
        mesh->boundsMin[axis] = first;
        mesh->boundsMax[axis] = first;
    }
    for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
        const float* p = mesh->positions + 3 * i;
        for (int axis = 0; axis < 3; ++axis) {
            if (p[axis] < mesh->boundsMin[axis]) mesh->boundsMin[axis] = p[axis];
            if (p[axis] > mesh->boundsMax[axis]) mesh->boundsMax[axis] = p[axis];
        }
    }
    for (int axis = 0; axis < 3; ++axis)
        mesh->center[axis] = (mesh->boundsMin[axis] + mesh->boundsMax[axis]) * 0.5f;
}

}  // namespace

void FaceCross(const float* positions, const uint16_t* face, float* n) {
    float e1[3], e2[3];
    Subtract(positions + 3 * face[1], positions + 3 * face[0], e1);
    Subtract(positions + 3 * face[2], positions + 3 * face[0], e2);
    n[0] = e1[1] * e2[2] - e1[2] * e2[1];
    n[1] = e1[2] * e2[0] - e1[0] * e2[2];
    n[2] = e1[0] * e2[1] - e1[1] * e2[0];
}

void NormalizeNormal(float* n) {
    Normalize(n, kFallbackNormal);
}

int ComputeNormals(Mesh* mesh) {
    int ok = 1;
    ReplaceArray(&mesh->normals, size_t{mesh->vertexCount} * 3, &ok);
    if (!ok) return 0;
    const float* p = mesh->positions;
    for (uint32_t f = 0; f < mesh->faceCount; ++f) {
        const uint16_t* face = mesh->faces + 3 * f;
        if (!FaceInRange(face, mesh->vertexCount)) continue;
        float n[3];
        FaceCross(p, face, n);
        AddToCorners(mesh->normals, face, n);
    }
    NormalizeAll(mesh->normals, mesh->vertexCount, kFallbackNormal);
    return 1;
}

int ComputeTangentSpace(Mesh* mesh) {
    if (mesh->texCoordCount == 0) return 1;
    // The mapping coordinates are indexed by vertex; a shorter list cannot
    // serve every face.
    if (mesh->texCoordCount < mesh->vertexCount) return 1;
    int ok = 1;
    ReplaceArray(&mesh->tangents, size_t{mesh->vertexCount} * 3, &ok);
    ReplaceArray(&mesh->binormals, size_t{mesh->vertexCount} * 3, &ok);
    if (!ok) return 0;
    const float* p = mesh->positions;
    const float* st = mesh->texCoords;
    // A face with a degenerate mapping carries on the frame of the last face
    // that had one; before any such face the frame is zero.
    float ft[3] = {0.0f, 0.0f, 0.0f};
    float fb[3] = {0.0f, 0.0f, 0.0f};
    for (uint32_t f = 0; f < mesh->faceCount; ++f) {
        const uint16_t* face = mesh->faces + 3 * f;
        if (!FaceInRange(face, mesh->vertexCount)) continue;
        uint32_t a = face[0], b = face[1], c = face[2];
        float e1[3], e2[3];
        Subtract(p + 3 * b, p + 3 * a, e1);
        Subtract(p + 3 * c, p + 3 * a, e2);
        float ds1 = st[2 * b] - st[2 * a];
        float dt1 = st[2 * b + 1] - st[2 * a + 1];
        float ds2 = st[2 * c] - st[2 * a];
        float dt2 = st[2 * c + 1] - st[2 * a + 1];
        float det = ds1 * dt2 - ds2 * dt1;
        if (std::fabs(det) > kMinMappingDeterminant) {
            for (int k = 0; k < 3; ++k) {
                ft[k] = (dt2 * e1[k] - dt1 * e2[k]) / det;
                fb[k] = (ds2 * e1[k] - ds1 * e2[k]) / det;
            }
        }
        AddToCorners(mesh->tangents, face, ft);
        AddToCorners(mesh->binormals, face, fb);
    }
    NormalizeAll(mesh->tangents, mesh->vertexCount, kFallbackTangent);
    NormalizeAll(mesh->binormals, mesh->vertexCount, kFallbackBinormal);
    return 1;
}

void ComputeBounds(Model* model) {
    model->vertexTotal = 0;
    model->faceTotal = 0;
    int boxStarted = 0;
    for (int axis = 0; axis < 3; ++axis) {
        model->boundsMin[axis] = 0.0f;
        model->boundsMax[axis] = 0.0f;
    }
    for (int32_t i = 0; i < model->meshCount; ++i) {
        Mesh* mesh = &model->meshes[i];
        MeshBounds(mesh);
        model->vertexTotal += mesh->vertexCount;
        model->faceTotal += mesh->faceCount;
        // A mesh without vertices has no box of its own to contribute.
        if (mesh->vertexCount == 0) continue;
        for (int axis = 0; axis < 3; ++axis) {
            if (!boxStarted || mesh->boundsMin[axis] < model->boundsMin[axis])
                model->boundsMin[axis] = mesh->boundsMin[axis];
            if (!boxStarted || mesh->boundsMax[axis] > model->boundsMax[axis])
                model->boundsMax[axis] = mesh->boundsMax[axis];
        }
        boxStarted = 1;
    }
    for (int axis = 0; axis < 3; ++axis)
        model->center[axis] = (model->boundsMin[axis] + model->boundsMax[axis]) * 0.5f;
}
