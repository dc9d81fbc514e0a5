// Start-up, frame and release of the renderer. All of it works on the
// application state of app/app_state.h and needs a current GL context.
#pragma once

#include "model/model.h"
#include "render/gl_api.h"

// Checks the three required extensions (showing a start-up message and
// returning 0 at the first one missing), fetches their entry points, loads the
// default files from the working directory, builds both shader programs and
// sets the fixed GL state. 1 when the renderer is ready.
int InitRenderer();

// Draws one frame into the back buffer: sky box, model, overlay.
void RenderFrame();

// The six strips of the sky box, cube-map directions as texture coordinates.
void DrawSkyBox();

// Every mesh of the model from client-side vertex arrays. meshTextures, when
// given, holds per mesh the texture to draw as its base colour on unit 4, 0
// for the base texture, which is bound there on entry and again on return.
void DrawModel(const Model& model, const GLuint* meshTextures = nullptr);

// Releases what start-up made: the model and its material textures, the four
// scene textures and both
// shader objects (only those that exist, through entry points that exist).
// The font texture goes with the context.
void ReleaseRenderer();
