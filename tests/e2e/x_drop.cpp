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
#include <sys/select.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

struct Atoms {
    Atom aware, enter, position, status, drop, finished, leave, selection, copy, uriList, targets;
};

Atoms InternAtoms(Display* display) {
    auto intern = [display](const char* name) { return XInternAtom(display, name, False); };
    return {intern("XdndAware"),     intern("XdndEnter"),     intern("XdndPosition"),
            intern("XdndStatus"),    intern("XdndDrop"),      intern("XdndFinished"),
            intern("XdndLeave"),     intern("XdndSelection"), intern("XdndActionCopy"),
            intern("text/uri-list"), intern("TARGETS")};
}

// file:// URIs, one per line, with every byte outside the unreserved set and
// the path's slashes escaped.
std::string UriList(int count, char** paths) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string list;
    for (int i = 0; i < count; ++i) {
        list += "file://";
        for (const char* p = paths[i]; *p != '\0'; ++p) {
            const unsigned char c = static_cast<unsigned char>(*p);
            const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                               (c >= '0' && c <= '9') || c == '/' || c == '-' || c == '_' ||
                               c == '.' || c == '~';
            if (plain) {
                list += static_cast<char>(c);
            } else {
                list += '%';
                list += kHex[c >> 4];
                list += kHex[c & 15];
            }
        }
        list += "\r\n";
    }
    return list;
}

void SendMessage(Display* display, Window target, Atom type, long l0, long l1, long l2, long l3,
                 long l4) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    long* l = event.xclient.data.l;
    l[0] = l0, l[1] = l1, l[2] = l2, l[3] = l3, l[4] = l4;
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
}

// Hands the list over (or the list of targets) to whoever asked for the selection.
void AnswerSelection(Display* display, const Atoms& atoms, const XSelectionRequestEvent& request,
                     const std::string& list) {
    XEvent reply = {};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = None;
    const Atom property = request.property != None ? request.property : request.target;
    if (request.target == atoms.uriList) {
        XChangeProperty(display, request.requestor, property, atoms.uriList, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(list.data()),
                        static_cast<int>(list.size()));
        reply.xselection.property = property;
    } else if (request.target == atoms.targets) {
        const Atom offered[2] = {atoms.targets, atoms.uriList};
        XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(offered), 2);
        reply.xselection.property = property;
    }
    XSendEvent(display, request.requestor, False, NoEventMask, &reply);
    XFlush(display);
}

// Waits up to seconds for the next event; false at the deadline.
bool NextEvent(Display* display, time_t deadline, XEvent* event) {
    while (XPending(display) == 0) {
        const time_t now = time(nullptr);
        if (now >= deadline) return false;
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(display), &fds);
        timeval wait = {0, 100000};
        select(ConnectionNumber(display) + 1, &fds, nullptr, nullptr, &wait);
    }
    XNextEvent(display, event);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        fprintf(stderr, "usage: %s WINDOW X Y PATH...\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        fprintf(stderr, "x_drop: cannot open the display\n");
        return 1;
    }
    const Window target = static_cast<Window>(strtoul(argv[1], nullptr, 0));
    const long x = atol(argv[2]), y = atol(argv[3]);
    const Atoms atoms = InternAtoms(display);
    const std::string list = UriList(argc - 4, argv + 4);

    // The protocol version the window speaks, at most 5.
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long version = 0;
    if (XGetWindowProperty(display, target, atoms.aware, 0, 1, False, XA_ATOM, &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr && count == 1) {
        version = *reinterpret_cast<long*>(data);
    }
    if (data != nullptr) XFree(data);
    if (version < 3) {
        fprintf(stderr, "x_drop: window 0x%lx takes no drops (XdndAware %ld)\n", target, version);
        return 1;
    }
    if (version > 5) version = 5;

    const Window source =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, atoms.selection, source, CurrentTime);
    SendMessage(display, target, atoms.enter, static_cast<long>(source), version << 24,
                static_cast<long>(atoms.uriList), None, None);
    SendMessage(display, target, atoms.position, static_cast<long>(source), 0, (x << 16) | y,
                CurrentTime, static_cast<long>(atoms.copy));

    const time_t deadline = time(nullptr) + 20;
    bool dropped = false;
    int result = 1;
    XEvent event;
    while (NextEvent(display, deadline, &event)) {
        if (event.type == SelectionRequest) {
            AnswerSelection(display, atoms, event.xselectionrequest, list);
        } else if (event.type == ClientMessage && event.xclient.message_type == atoms.status) {
            if (dropped) continue;
            if ((event.xclient.data.l[1] & 1) == 0) {
                fprintf(stderr, "x_drop: the window refused the drop\n");
                SendMessage(display, target, atoms.leave, static_cast<long>(source), 0, 0, 0, 0);
                break;
            }
            SendMessage(display, target, atoms.drop, static_cast<long>(source), 0, CurrentTime, 0,
                        0);
            dropped = true;
        } else if (event.type == ClientMessage && event.xclient.message_type == atoms.finished) {
            result = 0;
            break;
        }
    }
    if (result != 0) fprintf(stderr, "x_drop: no answer from window 0x%lx\n", target);
    XDestroyWindow(display, source);
    XCloseDisplay(display);
    return result;
}
