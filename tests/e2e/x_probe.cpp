// X11 helpers of the end-to-end run (DISPLAY from the environment):
//
//   x_probe cursor                    ->  "shown X Y" or "hidden X Y"
//   x_probe close WINDOW
//   x_probe clipboard TEXT            (TEXT, UTF-8, offered on the clipboard)
//
// A drag hides the cursor as an all-transparent image (XFixes). With no
// window manager on the virtual display, close sends WM_DELETE_WINDOW as one
// would for the close button. Text beyond ASCII reaches Wine through a paste:
// xdotool types such letters through spare keys, of which Wine maps only a
// few.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "tests/e2e/x_selection.h"

namespace {

Display* display = nullptr;

Atom Intern(const char* name) {
    return XInternAtom(display, name, False);
}

int ProbeCursor() {
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (image == nullptr) {
        fprintf(stderr, "x_probe: no cursor image\n");
        return 1;
    }
    // Pixels are ARGB in unsigned longs; any alpha at all is a visible cursor.
    bool visible = false;
    for (int i = 0; i < image->width * image->height; ++i)
        visible = visible || ((image->pixels[i] >> 24) & 0xff) != 0;
    printf("%s %d %d\n", visible ? "shown" : "hidden", image->x, image->y);
    XFree(image);
    return 0;
}

// Owns CLIPBOARD with text as UTF8_STRING, as a program a path is copied
// from does, and answers requests in a child process until another client
// takes the selection, or for a minute. The parent returns once the
// selection is owned, so a paste that follows finds it.
int OfferClipboard(const char* text) {
    const Atom clipboard = Intern("CLIPBOARD"), utf8 = Intern("UTF8_STRING");
    const Window owner = OwnSelection(display, clipboard);
    XSync(display, False);
    if (XGetSelectionOwner(display, clipboard) != owner) return 1;
    // The parent leaves the connection to the child, and the child keeps no
    // pipe of the caller's open.
    if (fork() != 0) _exit(0);
    if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) return 1;
    const time_t deadline = time(nullptr) + 60;
    XEvent event;
    while (NextEvent(display, deadline, &event) && event.type != SelectionClear)
        if (event.type == SelectionRequest)
            AnswerSelection(display, event.xselectionrequest, utf8, text);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (!(command == "cursor" && argc == 2) &&
        !((command == "close" || command == "clipboard") && argc == 3)) {
        fprintf(stderr, "usage: %s cursor | close WINDOW | clipboard TEXT\n", argv[0]);
        return 2;
    }
    if ((display = XOpenDisplay(nullptr)) == nullptr) {
        fprintf(stderr, "x_probe: no display\n");
        return 1;
    }
    const Window window = argc > 2 ? static_cast<Window>(strtoul(argv[2], nullptr, 0)) : 0;
    if (command == "close")
        SendClientMessage(display, window, Intern("WM_PROTOCOLS"),
                          static_cast<long>(Intern("WM_DELETE_WINDOW")), CurrentTime);
    const int result = command == "cursor"      ? ProbeCursor()
                       : command == "clipboard" ? OfferClipboard(argv[2])
                                                : 0;
    XCloseDisplay(display);
    return result;
}
