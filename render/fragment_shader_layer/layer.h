// GL_ATI_fragment_shader on drivers that lack it: an implementation of the
// extension's entry points that records each shader between
// glBeginFragmentShaderATI and glEndFragmentShaderATI and runs it as a
// GL_ARB_fragment_program program, one per combination of the texture targets
// enabled on the units it samples. The driver's own extension always wins.
#pragma once

#include "render/extensions.h"

// Decides who provides GL_ATI_fragment_shader and fetches the group's 14 entry
// points from there: the driver when its extension string offers the
// extension; this layer when it does not but offers GL_ARB_fragment_program;
// otherwise nobody, the group is left untouched and the result is 0. Returns 1
// when the extension is available. Needs a current context.
int ChooseFragmentShaderExtension();

// Makes this layer the provider even when the driver offers the extension
// (which lets tests run one shader both ways in one process): fetches the
// group from the layer and returns 1, or returns 0 and changes nothing when
// the driver lacks GL_ARB_fragment_program. Needs a current context.
int UseFragmentShaderLayer();

// What the last ChooseFragmentShaderExtension or UseFragmentShaderLayer decided.
ExtensionSource FragmentShaderExtensionSource();

// The layer's own entry points by name, for FetchFragmentShaderEntryPoints;
// null for names outside the group.
GlProc LookUpFragmentShaderLayerProc(const char* name);

// glEnable or glDisable of GL_FRAGMENT_SHADER_ATI; while the layer stands in it
// reaches the driver as GL_FRAGMENT_PROGRAM_ARB.
void SetFragmentShaderEnabled(int enabled);

// Called after the texture units are set up and before drawing with the bound
// shader: while the layer stands in, binds the ARB program built for the
// texture targets now enabled (building it on first use). Does nothing when
// the driver provides the extension.
void PrepareFragmentShaderForDraw();
