// Mesh preparation after loading: per-vertex unit normals, tangents and
// binormals, and the bounding boxes of the meshes and the model.
#pragma once

#include "model/model.h"

// The face's unnormalised normal (b - a) x (c - a): twice its area long, so
// larger faces weigh more in a sum.
void FaceCross(const float* positions, const uint16_t* face, float* n);

// Brings a summed normal to unit length; a sum that vanishes or is not finite
// gives (0, 0, 1).
void NormalizeNormal(float* n);

// Creates normals: the area-weighted sum of the normals of the faces that use a
// vertex, normalised. Returns 0 when the array cannot be allocated.
int ComputeNormals(Mesh* mesh);

// Creates tangents (direction in which s grows) and binormals (direction in
// which t falls); does nothing when the mesh has no mapping coordinates.
// Returns 0 when an array cannot be allocated.
int ComputeTangentSpace(Mesh* mesh);

// Sets every mesh's box and centre, the vertex and face totals, and the box and
// centre around all meshes.
void ComputeBounds(Model* model);
