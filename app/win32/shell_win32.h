// The Windows shell: context, window procedure and file dialogs. WinMain
// (app/win32/win_main.cpp) owns the window and the main loop.
#pragma once

#include <windows.h>

// Sets the pixel format on mainWindow's device context, then creates the
// rendering context and makes it current. On a failure, shows one message
// (caption "ERROR") and returns 0; what was obtained stays for the shutdown.
int CreateGLContext();

// Makes no context current, deletes renderContext and gives deviceContext back.
void DestroyGLContext();

// The window procedure of the application window.
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Key T: a base picture, then a bump (height) picture, each through a dialog.
void ChooseTextures();

// Key M: a 3D Studio model through a dialog.
void ChooseModel();

// Set by key F12: the main loop saves the next frame before presenting it.
extern int screenshotRequested;
