// The end-to-end run's stand-in for a file manager: drops files onto the
// viewer's window as Explorer's drag and drop ends, with a WM_DROPFILES
// message whose DROPFILES block lists the paths. Runs under Wine beside the
// viewer (Xvfb has no file manager).
//
//   drop_files.exe PATH...   ->  exit 0 when the message was posted
#include <windows.h>
// shlobj.h needs windows.h first.
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: drop_files PATH...\n");
        return 2;
    }
    HWND window = FindWindowA("OpenGL", "OpenGL");
    if (window == nullptr) {
        std::fprintf(stderr, "drop_files: no window titled OpenGL\n");
        return 1;
    }
    // The paths one after another, each ending in a zero, one more at the end.
    std::string list;
    for (int i = 1; i < argc; ++i) {
        list += argv[i];
        list += '\0';
    }
    list += '\0';
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    if (block == nullptr) return 1;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt.x = 400;
    drop->pt.y = 300;
    drop->fNC = FALSE;
    drop->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(block);
    if (!PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0)) {
        GlobalFree(block);
        return 1;
    }
    return 0;
}
