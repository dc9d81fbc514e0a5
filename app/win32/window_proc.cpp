// Window messages: the frame-rate clock, the client size, quitting, keys,
// mouse drags and wheel, and dropped files. Every message also goes on to
// DefWindowProcA.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/projection.h"
#include "app/shell/dropped_files.h"
#include "app/view_control.h"
#include "app/view_framing.h"
#include "app/win32/shell_win32.h"
#include "app/win32/window_state.h"

static_assert(kKeyStateLeft == MK_LBUTTON && kKeyStateRight == MK_RBUTTON &&
                  kKeyStateShift == MK_SHIFT && kKeyStateControl == MK_CONTROL &&
                  kKeyStateMiddle == MK_MBUTTON,
              "the portable key-state bits are Windows' own");

int screenshotRequested = 0;

namespace {

ScreenPoint ReadCursor() {
    POINT cursor = {};
    GetCursorPos(&cursor);
    return ScreenPoint{static_cast<int32_t>(cursor.x), static_cast<int32_t>(cursor.y)};
}

void HandleKey(WPARAM key) {
    switch (key) {
        case VK_ESCAPE:
            PostQuitMessage(0);
            break;
        case 0x4D:  // M
            ChooseModel();
            break;
        case 0x54:  // T
            ChooseTextures();
            break;
        case 0x46:  // F
            FrameModelInView();
            break;
        case VK_F12:
            // Read back after the next frame is drawn, before it is presented.
            screenshotRequested = 1;
            break;
        case VK_ADD:
            bumpScale = RaiseBumpScale(bumpScale);
            break;
        case VK_SUBTRACT:
            bumpScale = LowerBumpScale(bumpScale);
            break;
        default:
            break;
    }
}

void PressButton(HWND window) {
    SetCapture(window);
    if (PressDragButton(ReadCursor())) ShowCursor(FALSE);
}

void ReleaseButton(WPARAM keyState) {
    const DragRelease release = ReleaseDragButton(static_cast<uint32_t>(keyState));
    if (release == kDragGoesOn) return;
    if (release == kDragEndedShowCursor) ShowCursor(TRUE);
    ReleaseCapture();
}

// Files dropped on the window (Explorer, or any program that posts the
// message): the first model and the first picture count; Shift held sends the
// picture to the bump map.
void DropFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileA(drop, i, nullptr, 0);
        std::string path(length + 1, '\0');
        if (DragQueryFileA(drop, i, &path[0], length + 1) != length) continue;
        path.resize(length);
        paths.push_back(path);
    }
    DragFinish(drop);
    // The message carries no key state; the key may be read either way.
    const int shiftHeld =
        (GetKeyState(VK_SHIFT) & 0x8000) != 0 || (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
    OpenDroppedFiles(PickDroppedFiles(paths), shiftHeld);
}

}  // namespace

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            LARGE_INTEGER value = {};
            QueryPerformanceFrequency(&value);
            fpsCounterFrequency = value.QuadPart;
            QueryPerformanceCounter(&value);
            fpsLastCounter = value.QuadPart;
            break;
        }
        case WM_SIZE:
            windowWidth = LOWORD(lParam);
            windowHeight = HIWORD(lParam);
            ResizeScene(windowWidth, windowHeight);
            break;
        case WM_DPICHANGED: {
            // Another monitor or scale: the window takes the rectangle
            // Windows suggests, the overlay the new whole factor.
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            const int dpi = HIWORD(wParam);
            overlayScale = dpi > 96 ? dpi / 96 : 1;
            SetWindowPos(window, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_CLOSE:
            PostQuitMessage(0);
            break;
        case WM_KEYDOWN:
            HandleKey(wParam);
            break;
        case WM_MOUSEMOVE:
            if (MoveMouse(static_cast<uint32_t>(wParam), ReadCursor()))
                SetCursorPos(dragAnchor.x, dragAnchor.y);
            break;
        case WM_MOUSEWHEEL:
            zoomOffset = WheelZoom(zoomOffset, GET_WHEEL_DELTA_WPARAM(wParam));
            break;
        case WM_DROPFILES:
            DropFiles(reinterpret_cast<HDROP>(wParam));
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            PressButton(window);
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            ReleaseButton(wParam);
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
