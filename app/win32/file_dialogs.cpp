// Keys M and T: standard open-file dialogs owned by the main window. Modal,
// so the main loop draws no frame until they are closed.
#include <windows.h>
// commdlg.h needs windows.h first.
#include <commdlg.h>

#include <cstring>

#include "app/app_state.h"
#include "app/shell/file_choice.h"
#include "app/win32/shell_win32.h"
#include "app/win32/window_state.h"

namespace {

// Filters are pairs of description and pattern, each ending in a zero, the
// list ending in one more.
const char kPictureFilter[] = "Images (*.tga;*.jpg)\0*.tga;*.jpg\0All Files (*.*)\0*.*\0";
const char kModelFilter[] = "3D Studio Models (*.3ds)\0*.3ds\0All Files (*.*)\0*.*\0";

OPENFILENAMEA MakeRequest(const char* filter, char* path) {
    OPENFILENAMEA request = {};
    request.lStructSize = sizeof(OPENFILENAMEA);
    request.hwndOwner = mainWindow;
    request.lpstrFilter = filter;
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = static_cast<DWORD>(kDialogPathSize);
    request.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    return request;
}

// Shows the dialog; 1 when a file was chosen, its path then in request's
// buffer. A dialog that fails leaves the buffer as it was shown.
int ShowOpenDialog(OPENFILENAMEA* request, const char* title) {
    char saved[kDialogPathSize];
    std::memcpy(saved, request->lpstrFile, kDialogPathSize);
    request->lpstrTitle = title;
    return SettleDialogPath(GetOpenFileNameA(request) ? 1 : 0, request->lpstrFile, saved);
}

}  // namespace

void ChooseTextures() {
    // One request for both dialogs: the second starts with the first's path
    // and filter.
    char path[kDialogPathSize] = {};
    OPENFILENAMEA request = MakeRequest(kPictureFilter, path);
    if (ShowOpenDialog(&request, "Open Base Texture")) OpenBasePicture(path);
    if (ShowOpenDialog(&request, "Open Bump Texture")) OpenBumpPicture(path);
}

void ChooseModel() {
    char path[kDialogPathSize] = {};
    OPENFILENAMEA request = MakeRequest(kModelFilter, path);
    if (ShowOpenDialog(&request, "Open Model")) ReplaceModel(path);
}
