// The OpenGL context of the main window: one pixel format, no fallback.
#include "app/win32/shell_win32.h"
#include "app/win32/window_state.h"

namespace {

int FailContext(const char* text) {
    MessageBoxA(mainWindow, text, "ERROR", MB_OK);
    return 0;
}

}  // namespace

int CreateGLContext() {
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    format.cDepthBits = 24;
    format.cStencilBits = 8;

    deviceContext = GetDC(mainWindow);
    const int index = ChoosePixelFormat(deviceContext, &format);
    if (index == 0) return FailContext("ChoosePixelFormat Failed.");
    if (!SetPixelFormat(deviceContext, index, &format))
        return FailContext("SetPixelFormat Failed.");
    renderContext = wglCreateContext(deviceContext);
    if (renderContext == nullptr) return FailContext("wglCreateContext Failed.");
    if (!wglMakeCurrent(deviceContext, renderContext)) return FailContext("wglMakeCurrent Failed.");
    return 1;
}

void DestroyGLContext() {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(renderContext);
    ReleaseDC(mainWindow, deviceContext);
}
