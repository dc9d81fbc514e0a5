// Small X11 probes for the end-to-end run (DISPLAY from the environment):
//
//   x_probe cursor                   ->  "shown X Y" or "hidden X Y"
//   x_probe wm-state WINDOW iconic   (or normal)
//
// The hidden cursor of a drag is an all-transparent cursor image (XFixes).
// There is no window manager on the virtual display, so wm-state plays its
// part in minimising and restoring: it sets WM_STATE, which Wine reads as
// the window manager's verdict and answers with SC_MINIMIZE or SC_RESTORE.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int ProbeCursor(Display* display) {
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (image == nullptr) {
        fprintf(stderr, "x_probe: no cursor image\n");
        return 1;
    }
    // Pixels are ARGB in unsigned longs; any alpha at all is a visible cursor.
    bool visible = false;
    for (int i = 0; i < image->width * image->height; ++i)
        if ((image->pixels[i] >> 24) & 0xff) visible = true;
    printf("%s %d %d\n", visible ? "shown" : "hidden", image->x, image->y);
    XFree(image);
    return 0;
}

int SetWmState(Display* display, Window window, bool iconic) {
    const Atom wmState = XInternAtom(display, "WM_STATE", False);
    // WM_STATE: the state (1 normal, 3 iconic) and the icon window (none).
    const long data[2] = {iconic ? 3L : 1L, 0L};
    XChangeProperty(display, window, wmState, wmState, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data), 2);
    XSync(display, False);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool cursor = argc == 2 && strcmp(argv[1], "cursor") == 0;
    const bool wmState = argc == 4 && strcmp(argv[1], "wm-state") == 0 &&
                         (strcmp(argv[3], "iconic") == 0 || strcmp(argv[3], "normal") == 0);
    if (!cursor && !wmState) {
        fprintf(stderr, "usage: %s cursor | wm-state WINDOW iconic|normal\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        fprintf(stderr, "x_probe: no display\n");
        return 1;
    }
    const int result = cursor
                           ? ProbeCursor(display)
                           : SetWmState(display, static_cast<Window>(strtoul(argv[2], nullptr, 0)),
                                        strcmp(argv[3], "iconic") == 0);
    XCloseDisplay(display);
    return result;
}
