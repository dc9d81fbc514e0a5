// Small X11 probes for the end-to-end run (DISPLAY from the environment):
//
//   x_probe cursor                   ->  "shown X Y" or "hidden X Y"
//   x_probe close WINDOW
//   x_probe clipboard TEXT           (TEXT, UTF-8, offered on the clipboard)
//
// The hidden cursor of a drag is an all-transparent cursor image (XFixes).
// There is no window manager on the virtual display: close sends
// WM_DELETE_WINDOW, which is how a window manager passes on a click on the
// title bar's close button (Wine makes it SC_CLOSE). clipboard
// is how text beyond ASCII reaches a Wine program: xdotool types a letter
// missing from the keyboard map by binding it to a spare key, which Wine
// gives a virtual key only while it has spare ones (a few), so most such
// letters would be lost; a paste (Ctrl+V) takes any text.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <unistd.h>

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

int SendClose(Display* display, Window window) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return 0;
}

// Owns the CLIPBOARD selection with text as UTF8_STRING, as a program a
// user copies a path from does, and answers requests for it in a child
// process until another client takes the selection over, or for a minute.
// The parent returns once the selection is owned, so a paste that follows
// finds it.
int OfferClipboard(Display* display, const char* text) {
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom targets = XInternAtom(display, "TARGETS", False);
    const Window owner =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, clipboard, owner, CurrentTime);
    XSync(display, False);
    if (XGetSelectionOwner(display, clipboard) != owner) return 1;
    // The parent leaves the connection to the child untouched, and the
    // child keeps no pipe of the caller's open.
    if (fork() != 0) _exit(0);
    if (freopen("/dev/null", "w", stdout) == nullptr ||
        freopen("/dev/null", "w", stderr) == nullptr)
        return 1;
    const time_t end = time(nullptr) + 60;
    while (time(nullptr) < end) {
        if (XPending(display) == 0) {
            usleep(10000);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == SelectionClear) break;
        if (event.type != SelectionRequest) continue;
        const XSelectionRequestEvent& request = event.xselectionrequest;
        XSelectionEvent reply = {};
        reply.type = SelectionNotify;
        reply.requestor = request.requestor;
        reply.selection = request.selection;
        reply.target = request.target;
        reply.time = request.time;
        reply.property = request.property != None ? request.property : request.target;
        if (request.target == targets) {
            const Atom offered[2] = {targets, utf8};
            XChangeProperty(display, request.requestor, reply.property, XA_ATOM, 32,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(offered), 2);
        } else if (request.target == utf8) {
            XChangeProperty(display, request.requestor, reply.property, utf8, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(text),
                            static_cast<int>(strlen(text)));
        } else {
            reply.property = None;
        }
        XSendEvent(display, request.requestor, False, NoEventMask,
                   reinterpret_cast<XEvent*>(&reply));
        XFlush(display);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool cursor = argc == 2 && strcmp(argv[1], "cursor") == 0;
    const bool close = argc == 3 && strcmp(argv[1], "close") == 0;
    const bool paste = argc == 3 && strcmp(argv[1], "clipboard") == 0;
    if (!cursor && !close && !paste) {
        fprintf(stderr, "usage: %s cursor | close WINDOW | clipboard TEXT\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        fprintf(stderr, "x_probe: no display\n");
        return 1;
    }
    int result = 0;
    if (cursor) {
        result = ProbeCursor(display);
    } else if (paste) {
        result = OfferClipboard(display, argv[2]);
    } else {
        result = SendClose(display, static_cast<Window>(strtoul(argv[2], nullptr, 0)));
    }
    XCloseDisplay(display);
    return result;
}
