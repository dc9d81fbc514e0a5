// Process-wide state of the Windows program, shared by the shell, the input
// handling and the renderer's start-up. Windows only.
#pragma once

#include <windows.h>

// The one application window; owner of the dialogs and start-up messages.
extern HWND mainWindow;
