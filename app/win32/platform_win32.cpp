// The Windows side of render/platform.h: entry points come from the WGL
// context that is current, and a start-up message is a message box with a
// single OK button owned by the main window.
#include <windows.h>

#include "app/win32/window_state.h"
#include "render/platform.h"

GlProc GetGlProcAddress(const char* name) {
    return reinterpret_cast<GlProc>(wglGetProcAddress(name));
}

void ShowStartupMessage(const char* text, const char* caption) {
    MessageBoxA(mainWindow, text, caption, MB_OK);
}
