// The two programs of the bump-mapping pass, recorded once at start-up.
#pragma once

#include "render/gl_api.h"

// Records the per-vertex program with GL_EXT_vertex_shader: clip position,
// colour, set 0 unchanged, the rows of [s*T | s*B | N] in sets 1 to 3 and the
// unit vector to the eye in set 4. Stores the shader id through shader and the
// two invariants in eyePositionInvariant and bumpScaleInvariant.
void BuildVertexShader(GLuint* shader);

// Records the per-pixel program with GL_ATI_fragment_shader: normal-map normal
// into object space, diffuse cube-map light on the base colour, Fresnel-like
// weighted reflection and the squared see-through colour.
void BuildFragmentShader(GLuint* shader);
