#include "app/app_state.h"

HWND mainWindow = nullptr;
