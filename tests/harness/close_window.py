#!/usr/bin/env python3
"""Asks an X window to close, as a window manager's close button does.

  close_window.py WINDOW_ID

Sends the WM_DELETE_WINDOW client message to the window on $DISPLAY. Unlike
`xdotool windowclose`, which destroys the window under the program's feet,
this leaves the program to decide, so it can close as a player would have it
close. Uses libX11 through ctypes: nothing beyond Python and the X library.
"""

import ctypes
import ctypes.util
import sys


class ClientMessage(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
    ]


class Event(ctypes.Union):
    # Xlib's XEvent is padded to 24 longs.
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]


CLIENT_MESSAGE = 33
NO_EVENT_MASK = 0


def close(window):
    """Sends WM_DELETE_WINDOW to the window; False when it could not be sent."""
    name = ctypes.util.find_library("X11") or "libX11.so.6"
    x11 = ctypes.CDLL(name)
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.POINTER(Event)]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    display = x11.XOpenDisplay(None)
    if not display:
        sys.stderr.write("close_window.py: cannot open the display\n")
        return False
    event = Event()
    event.xclient.type = CLIENT_MESSAGE
    event.xclient.send_event = 1
    event.xclient.window = window
    event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    event.xclient.data[1] = 0  # CurrentTime
    sent = x11.XSendEvent(display, window, 0, NO_EVENT_MASK, ctypes.byref(event))
    x11.XSync(display, 0)
    x11.XCloseDisplay(display)
    return bool(sent)


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: close_window.py WINDOW_ID\n")
        return 2
    return 0 if close(int(sys.argv[1], 0)) else 1


if __name__ == "__main__":
    sys.exit(main())
