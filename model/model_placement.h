// Where an opened model goes: 3D Studio files are Z-up with the front on the
// -Y side, the viewer is Y-up looking down -Z, and files come in any units.
// PlaceModel turns, centres and scales the prepared arrays once, so that the
// model stands upright facing the viewer where the default sphere sits. The
// arrays change rather than the model-view matrix: the shaders look the sky
// up in the model's object space, which must stay the sky box's.
#pragma once

#include "model/model.h"

// The radius of a placed model's bounding sphere: the default sphere's.
constexpr double kPlacedRadius = 100.0;

// The greatest distance of a vertex from centre, in double precision,
// skipping vertices with a NaN or infinite coordinate; -1 when there is none.
double BoundingSphereRadius(const Model& model, const float centre[3]);

// After Load3ds: the file's (x, y, z) becomes (x, z, -y) (a proper rotation,
// so faces keep their winding and normals, tangents and binormals turn alike,
// staying unit vectors), about the centre of the model's box, which moves to
// the origin, and scaled so that the bounding sphere about it has radius
// kPlacedRadius. Lights and cameras (stored as the file's (x, z, y)) come
// along into the same space. The boxes and centres are worked out again. A
// model without a finite centre or with a radius of 0 is only turned.
void PlaceModel(Model* model);
