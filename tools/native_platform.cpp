// Native (non-Windows) implementation of render/platform.h, for tests and
// tools that run on an offscreen Mesa context.
#include <GL/osmesa.h>

#include <cstdio>

#include "render/platform.h"

GlProc GetGlProcAddress(const char* name) {
    return reinterpret_cast<GlProc>(OSMesaGetProcAddress(name));
}

void ShowStartupMessage(const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
}
