// The Windows handles of the program: window, device context and rendering
// context. Windows only; everything portable is in app/app_state.h.
#pragma once

#include <windows.h>

// The one application window; owner of the dialogs and start-up messages.
extern HWND mainWindow;
// The window's own device context (the class has CS_OWNDC).
extern HDC deviceContext;
// The OpenGL context made current on deviceContext.
extern HGLRC renderContext;
