// The OpenGL, GLU and extension headers, included the same way on every
// platform. The Windows GL headers expect <windows.h> for two macros only;
// defining those keeps windows.h out of everything outside app/.
#pragma once

#if defined(_WIN32)
#ifndef APIENTRY
#define APIENTRY __stdcall
#endif
#ifndef WINGDIAPI
#define WINGDIAPI __declspec(dllimport)
#endif
#ifndef CALLBACK
#define CALLBACK __stdcall
#endif
#endif

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
