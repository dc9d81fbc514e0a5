// Viewport and projection for the client area.
#pragma once

// Viewport over width x height and a 90-degree perspective (near 0.1f, far
// 4096); a height of 0 is taken as 1, and a width of 0 as 1 for the aspect.
// Leaves the model-view matrix selected and set to the identity.
void ResizeScene(int width, int height);
