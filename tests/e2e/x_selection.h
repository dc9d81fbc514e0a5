// What x_probe and x_drop share: client messages, waiting for the X server's
// next event, and owning a selection and handing it over to whoever asks.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <sys/select.h>

#include <cstring>
#include <ctime>
#include <string>

inline void SendClientMessage(Display* display, Window target, Atom type, long l0, long l1 = 0,
                              long l2 = 0, long l3 = 0, long l4 = 0) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    const long data[5] = {l0, l1, l2, l3, l4};
    memcpy(event.xclient.data.l, data, sizeof data);
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
}

// A 1 x 1 window of our own that owns the selection.
inline Window OwnSelection(Display* display, Atom selection) {
    const Window owner =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, selection, owner, CurrentTime);
    return owner;
}

// Waits up to the deadline for the next event; false at the deadline.
inline bool NextEvent(Display* display, time_t deadline, XEvent* event) {
    while (XPending(display) == 0) {
        if (time(nullptr) >= deadline) return false;
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(display), &fds);
        timeval wait = {0, 100000};
        select(ConnectionNumber(display) + 1, &fds, nullptr, nullptr, &wait);
    }
    XNextEvent(display, event);
    return true;
}

// Hands data over as type, or the list of targets, to whoever asked.
inline void AnswerSelection(Display* display, const XSelectionRequestEvent& request, Atom type,
                            const std::string& data) {
    const Atom targets = XInternAtom(display, "TARGETS", False);
    const Atom property = request.property != None ? request.property : request.target;
    XSelectionEvent reply = {
        SelectionNotify, 0,        False,       nullptr, request.requestor, request.selection,
        request.target,  property, request.time};
    const Atom offered[2] = {targets, type};
    if (request.target == type)
        XChangeProperty(display, request.requestor, property, type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(data.data()),
                        static_cast<int>(data.size()));
    else if (request.target == targets)
        XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(offered), 2);
    else
        reply.property = None;
    XSendEvent(display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(display);
}
