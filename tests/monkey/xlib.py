"""Xlib and its extension libraries (SHAPE, RECORD, X-Resource) bound once through ctypes for the
X11 monkey's watchers: the libraries, the prototypes of the calls they share, display
atoms, and the loop that reads a connection in a background thread."""

import ctypes
import select

WAIT_S = 0.2  # how long a reading thread sleeps in select() before looking at its stop flag

x11 = ctypes.CDLL("libX11.so.6")
xext = ctypes.CDLL("libXext.so.6")   # SHAPE
xtst = ctypes.CDLL("libXtst.so.6")   # RECORD
xres = ctypes.CDLL("libXRes.so.1")   # X-Resource

x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
x11.XPending.argtypes = [ctypes.c_void_p]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XGetAtomName.restype = ctypes.c_void_p
x11.XGetAtomName.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XFree.argtypes = [ctypes.c_void_p]

_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
# Xlib's default handler ends the process on any error, such as a window that has just gone.
_ignore_errors = _ERROR_HANDLER(lambda display, error: 0)
x11.XSetErrorHandler(_ignore_errors)


def intern_atom(display, name):
    return x11.XInternAtom(display, name.encode("ascii"), 0)


def atom_name(display, atom):
    pointer = x11.XGetAtomName(display, atom)
    try:
        return ctypes.string_at(pointer).decode("ascii")
    finally:
        x11.XFree(pointer)


def read_until(display, stopped, handle):
    """Calls handle() each time the connection may have something to read, until the
    threading.Event stopped is set."""
    connection = x11.XConnectionNumber(display)
    while not stopped.is_set():
        select.select([connection], [], [], WAIT_S)
        handle()
