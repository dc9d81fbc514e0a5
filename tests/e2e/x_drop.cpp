// Drops files onto a window the way an X file manager does, through the XDND
// protocol: enter, position, drop, and the file list handed over as a
// text/uri-list selection when the window asks for it. Wine turns such a drop
// on a window that accepts files into WM_DROPFILES, as Explorer's would be.
//
//   x_drop WINDOW X Y PATH...   (X, Y on the screen; absolute paths)
//
// Exit status 0 when the window took the drop (XdndFinished), 1 otherwise.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "tests/e2e/x_selection.h"

namespace {

Display* display = nullptr;

Atom Intern(const char* name) {
    return XInternAtom(display, name, False);
}

// file:// URIs, one a line, every byte but the unreserved ones and slashes escaped.
std::string UriList(int count, char** paths) {
    std::string list;
    for (int i = 0; i < count; ++i) {
        list += "file://";
        for (const char* p = paths[i]; *p != '\0'; ++p) {
            const unsigned char c = static_cast<unsigned char>(*p);
            char escaped[4];
            snprintf(escaped, sizeof escaped, "%%%02X", c);
            list += c < 128 && (isalnum(c) || strchr("/-_.~", c)) ? std::string(1, *p) : escaped;
        }
        list += "\r\n";
    }
    return list;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        fprintf(stderr, "usage: %s WINDOW X Y PATH...\n", argv[0]);
        return 2;
    }
    if ((display = XOpenDisplay(nullptr)) == nullptr) {
        fprintf(stderr, "x_drop: cannot open the display\n");
        return 1;
    }
    const Window target = static_cast<Window>(strtoul(argv[1], nullptr, 0));
    const long x = atol(argv[2]), y = atol(argv[3]);
    const std::string list = UriList(argc - 4, argv + 4);

    // The protocol version the window speaks, at most 5.
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long version = 0;
    if (XGetWindowProperty(display, target, Intern("XdndAware"), 0, 1, False, XA_ATOM, &type,
                           &format, &count, &after, &data) == Success &&
        data != nullptr && count == 1)
        version = *reinterpret_cast<long*>(data);
    if (data != nullptr) XFree(data);
    if (version < 3) {
        fprintf(stderr, "x_drop: window 0x%lx takes no drops (XdndAware %ld)\n", target, version);
        return 1;
    }

    const Window source = OwnSelection(display, Intern("XdndSelection"));
    SendClientMessage(display, target, Intern("XdndEnter"), static_cast<long>(source),
                      (version > 5 ? 5 : version) << 24,
                      static_cast<long>(Intern("text/uri-list")));
    SendClientMessage(display, target, Intern("XdndPosition"), static_cast<long>(source), 0,
                      (x << 16) | y, CurrentTime, static_cast<long>(Intern("XdndActionCopy")));
    const time_t deadline = time(nullptr) + 20;
    bool dropped = false;
    int result = 1;
    XEvent event;
    while (result != 0 && NextEvent(display, deadline, &event)) {
        const Atom message = event.type == ClientMessage ? event.xclient.message_type : None;
        if (event.type == SelectionRequest)
            AnswerSelection(display, event.xselectionrequest, Intern("text/uri-list"), list);
        if (message == Intern("XdndFinished")) result = 0;
        if (message != Intern("XdndStatus") || dropped) continue;
        if ((event.xclient.data.l[1] & 1) == 0) {
            fprintf(stderr, "x_drop: the window refused the drop\n");
            SendClientMessage(display, target, Intern("XdndLeave"), static_cast<long>(source), 0);
            break;
        }
        SendClientMessage(display, target, Intern("XdndDrop"), static_cast<long>(source), 0,
                          CurrentTime);
        dropped = true;
    }
    if (result != 0) fprintf(stderr, "x_drop: no answer from window 0x%lx\n", target);
    XDestroyWindow(display, source);
    XCloseDisplay(display);
    return result;
}
