// The GL error that the overlay reports. The extension layers of this program
// (vertex_shader_layer, fragment_shader_layer) cannot set the driver's error
// flag, so they raise their errors here; FetchGlError reports a layer error
// first and the driver's own next, one code per call as glGetError does.
#pragma once

#include "render/gl_api.h"

// Records error unless a layer error is already waiting (the first one is
// kept until it is fetched, like GL's own flag).
void RaiseLayerError(GLenum error);

// The waiting layer error, cleared by this call; if there is none, glGetError().
GLenum FetchGlError();
