// Mesh preparation after loading: per-vertex unit normals, tangents and
// binormals, and the bounding boxes of the meshes and the model.
#pragma once

#include "model/model.h"

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
