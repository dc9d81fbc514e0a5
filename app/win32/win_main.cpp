// Entry point of the viewer: the window, its OpenGL context, the main loop
// that alternates window messages and frames, and the shutdown.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <string>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/projection.h"
#include "app/screenshot.h"
#include "app/shell/file_choice.h"
#include "app/view_control.h"
#include "app/win32/shell_win32.h"
#include "app/win32/window_state.h"
#include "render/default_files.h"
#include "render/renderer.h"

namespace {

const char kWindowName[] = "OpenGL";

int64_t ReadCounter() {
    LARGE_INTEGER value = {};
    QueryPerformanceCounter(&value);
    return value.QuadPart;
}

void RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    // Our own icon (resource 1), at the system's large and small sizes.
    windowClass.hIcon =
        static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kWindowName;
    RegisterClassExA(&windowClass);
}

// The outer size is grown from the client size, so the client area is
// windowWidth x windowHeight.
// At other DPIs than 96 the first client area grows by DPI / 96, and the
// overlay by the whole part of it, so both keep their size on the screen.
void CreateMainWindow(HINSTANCE instance) {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    if (dpi > 96) {
        windowWidth = MulDiv(windowWidth, dpi, 96);
        windowHeight = MulDiv(windowHeight, dpi, 96);
        overlayScale = dpi / 96;
    }
    RECT outer = {0, 0, windowWidth, windowHeight};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    mainWindow = CreateWindowExA(0, kWindowName, kWindowName, WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS,
                                 CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                                 outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
}

// One message or one frame per pass, never waiting: frames run back to back
// while the queue is empty. Returns the exit code that WM_QUIT carries.
int RunMainLoop() {
    int exitCode = 0;
    while (!quitRequested) {
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quitRequested = 1;
                exitCode = static_cast<int>(message.wParam);
            } else {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            continue;
        }
        RenderFrame();
        if (screenshotRequested) {
            screenshotRequested = 0;
            SaveScreenshot(windowWidth, windowHeight);
        }
        SwapBuffers(deviceContext);
        if (CountPresentedFrame(ReadCounter())) fpsLastCounter = ReadCounter();
    }
    return exitCode;
}

// The default files are looked for beside the program when the working
// directory lacks them. The wide name, turned into the code page every narrow
// call uses (UTF-8, by the manifest): a folder of 259 characters may need
// three bytes for each, more than GetModuleFileNameA's MAX_PATH bytes hold.
void FindProgramFolder() {
    std::wstring wide(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, &wide[0], static_cast<DWORD>(wide.size()));
    if (length == 0 || length >= wide.size()) return;  // failed or cut short
    const int wideLength = static_cast<int>(length);
    BOOL lossy = FALSE;
    // A name the code page cannot hold (an older Windows ignoring the
    // manifest) leaves the folder unknown rather than wrong.
    const UINT codePage = GetACP();
    BOOL* lossyFlag = codePage == CP_UTF8 ? nullptr : &lossy;
    const int bytes =
        WideCharToMultiByte(codePage, 0, wide.data(), wideLength, nullptr, 0, nullptr, lossyFlag);
    if (bytes <= 0) return;
    std::string path(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), wideLength, &path[0], bytes, nullptr, lossyFlag);
    if (!lossy) programFolder = FolderOfPath(path.c_str());
}

// A model named on the command line (also Explorer's "Open with" and a file
// dropped on the program's icon) replaces the default one, through the same
// path as key M. One that cannot be read leaves the default model, and says
// so once, over the first frame.
void OpenCommandLineModel() {
    const std::string path = ModelPathFromCommandLine(GetCommandLineA());
    if (path.empty() || ReplaceModel(path.c_str())) return;
    RenderFrame();
    SwapBuffers(deviceContext);
    const std::string text = "Cannot read the model \"" + path + "\"; the default model stays.";
    MessageBoxA(mainWindow, text.c_str(), "Bump viewer", MB_OK | MB_ICONWARNING);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    FindProgramFolder();
    RegisterWindowClass(instance);
    CreateMainWindow(instance);
    DragAcceptFiles(mainWindow, TRUE);
    ShowWindow(mainWindow, SW_SHOW);
    SetForegroundWindow(mainWindow);

    int exitCode = 0;
    if (!CreateGLContext()) {
        quitRequested = 1;
    } else {
        ResizeScene(windowWidth, windowHeight);
        if (!InitRenderer()) quitRequested = 1;
    }
    if (!quitRequested) OpenCommandLineModel();
    if (!quitRequested) exitCode = RunMainLoop();

    // The same shutdown after every way out: model, textures and shaders (as
    // far as they exist), then the context, then the window.
    ReleaseRenderer();
    DestroyGLContext();
    DestroyWindow(mainWindow);
    return exitCode;
}
