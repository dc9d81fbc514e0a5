#include "app/window_state.h"

HWND mainWindow = nullptr;
HDC deviceContext = nullptr;
HGLRC renderContext = nullptr;
