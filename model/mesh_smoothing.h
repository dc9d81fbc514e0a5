// Normals from a 3D Studio smoothing list. A face whose mask is 0 is flat: its
// corners take its own normal. Any other face's corner takes the normalised
// area-weighted sum of the normals of every face that has a corner at the
// same position (equal coordinates, so vertices an exporter split along a
// mapping seam do not crease) and shares a group bit with it. A vertex whose
// corners end up with different normals becomes one vertex per normal, each
// with the vertex's position and mapping.
#pragma once

#include <cstdint>

#include "model/model.h"

// Faces index vertices with 16 bits.
constexpr uint32_t kMaxMeshVertices = 65535;

// Prepares model->meshes[index], which carries a smoothing list: normals,
// the split vertices, then tangents and binormals as ComputeTangentSpace
// makes them. The vertices keep their indices, the copies follow them, and
// the faces keep their order and their corners' positions and mapping. Where
// the copies would take the mesh past kMaxMeshVertices, it becomes several
// meshes of the same name and material, its faces in order and then the
// vertices no face uses, put in its place. *pieceCount tells how many.
// Returns 0 when memory runs out; the model is then as it was.
int PrepareSmoothedMesh(Model* model, int32_t index, int32_t* pieceCount);
