// The view of a model as it opens, and key F's way back to it: front on (yaw
// and pitch 0), turning about the centre of the model's box, with the model's
// bounding sphere (about that centre) filling kFramedHeight of the view's
// height under the projection's 90-degree vertical field of view.
#pragma once

#include "model/model.h"

// The part of the view's height the framed bounding sphere fills.
constexpr double kFramedHeight = 0.8;
// The eye's distance from the turning point with zoomOffset at 0.
constexpr double kEyeDistance = 250.0;

struct Framing {
    float centre[3];   // model space
    float radius;      // of the bounding sphere about centre
    float zoomOffset;  // puts the eye at the framing distance
};

// The framing of model: centre of its box, radius as the greatest distance of
// a vertex from it (in double precision), and the zoomOffset at which the
// sphere's outline, seen from the eye, spans kFramedHeight of the view. 0 when
// the model has no finite vertex.
int ComputeFraming(const Model& model, Framing* framing);

// The eye's distance at which a sphere of radius fills kFramedHeight of a
// view with a 90-degree vertical field of view: its outline's half-angle a
// has tan a = kFramedHeight, so distance = radius / sin a. At least 1 unit,
// so a point-sized model stays beyond the near plane.
double FramingDistance(double radius);

// Key F, and every newly opened model: frames the model on screen, front on
// (nothing without one); returns 1 when it did.
int FrameModelInView();

// The view of the start: front on, turning about the model's origin, the eye
// 250 units from it.
void ResetView();
