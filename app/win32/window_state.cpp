#include "app/win32/window_state.h"

HWND mainWindow = nullptr;
HDC deviceContext = nullptr;
HGLRC renderContext = nullptr;
