// The two services that code outside app/ needs from the platform. Every other
// platform call lives in app/.
//
// Windows build (app/): GetGlProcAddress is wglGetProcAddress and
// ShowStartupMessage is a MessageBoxA with one OK button, owned by the main
// window. Native build (tools/native_platform.cpp, linked by tests and tools):
// OSMesa's proc address, and the message written to standard error.
#pragma once

typedef void (*GlProc)(void);

// Address of a GL entry point of the current context, or null.
GlProc GetGlProcAddress(const char* name);

// Tells the user why the program cannot start.
void ShowStartupMessage(const char* text, const char* caption);
