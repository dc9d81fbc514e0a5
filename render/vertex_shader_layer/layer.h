// GL_EXT_vertex_shader on drivers that lack it: an implementation of the
// extension's entry points that records each shader between
// glBeginVertexShaderEXT and glEndVertexShaderEXT and runs it as a
// GL_ARB_vertex_program program. The driver's own extension always wins.
#pragma once

#include "render/extensions.h"

// Decides who provides GL_EXT_vertex_shader and fetches the group's 42 entry
// points from there: the driver when its extension string offers the
// extension; this layer when it does not but offers GL_ARB_vertex_program;
// otherwise nobody, the group is left untouched and the result is 0. Returns 1
// when the extension is available. Needs a current context.
int ChooseVertexShaderExtension();

// What the last ChooseVertexShaderExtension decided.
ExtensionSource VertexShaderExtensionSource();

// The layer's own entry points by name, for FetchVertexShaderEntryPoints; null
// for names outside the group.
GlProc LookUpVertexShaderLayerProc(const char* name);

// glEnable or glDisable of GL_VERTEX_SHADER_EXT; while the layer stands in it
// reaches the driver as GL_VERTEX_PROGRAM_ARB (the driver would refuse the
// extension's own enum). Does nothing when neither provides the extension.
void SetVertexShaderEnabled(int enabled);
