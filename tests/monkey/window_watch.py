"""Watching the program's window from the X server, in a background thread with a display
connection of its own: its ticks (every tick re-applies the window's shape, and each shape request
reaches the listening clients as one ShapeNotify event stamped with the server's time) and every
change of its geometry (ConfigureNotify), so that no placement between two samples goes unseen.
"""

import ctypes
import threading
import time

from xlib import read_until, x11, xext

SHAPE_NOTIFY_MASK = 1
STRUCTURE_NOTIFY_MASK = 1 << 17
EVENT_WORDS = 24                 # an XEvent is 24 longs
EVENT_TIME_WORD = 8              # XShapeEvent.time (after type, serial, send_event, display,
                                 # window, kind, x, y, width, height)
CONFIGURE_NOTIFY = 22
CONFIGURE_BOX_INTS = slice(12, 16)  # XConfigureEvent x, y, width, height, as 32-bit words

xext.XShapeQueryExtension.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                      ctypes.POINTER(ctypes.c_int)]
xext.XShapeSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong]


class TickCount:
    """Ticks seen, each with the server's time in ms, and the longest pause between two."""

    def __init__(self):
        self.lock = threading.Lock()
        self.ticks = 0
        self.first_ms = None       # server time of the first tick seen
        self.last_ms = None        # server time of the latest tick
        self.last_seen = None      # time.monotonic() when the latest tick arrived here
        self.longest_gap_ms = 0
        self.longest_gap_end_ms = None

    def count(self, server_ms):
        with self.lock:
            if self.last_ms is not None:
                gap = (server_ms - self.last_ms) & 0xFFFFFFFF
                if gap > self.longest_gap_ms:
                    self.longest_gap_ms = gap
                    self.longest_gap_end_ms = server_ms
            else:
                self.first_ms = server_ms
            self.ticks += 1
            self.last_ms = server_ms
            self.last_seen = time.monotonic()

    def snapshot(self):
        """(ticks, longest gap in ms, seconds since the latest tick arrived or None)."""
        with self.lock:
            quiet = None if self.last_seen is None else time.monotonic() - self.last_seen
            return self.ticks, self.longest_gap_ms, quiet


class WindowWatch:
    """Counts ShapeNotify events on one X window and the longest pause between two of them, and
    keeps the first geometry of the window that `fits` refuses."""

    def __init__(self, window, fits):
        self.window = window
        self.fits = fits
        self.moves = 0
        self.misfit = None         # (x, y, width, height) of the first geometry refused
        self.lock = threading.Lock()
        self.ticks = TickCount()
        self._stop = threading.Event()
        self._ready = threading.Event()
        self._error = None
        self._thread = threading.Thread(target=self._run, name="tick-watch", daemon=True)
        self._thread.start()
        if not self._ready.wait(10) or self._error:
            raise RuntimeError(self._error or "the tick watch did not start")

    def _run(self):
        display = x11.XOpenDisplay(None)
        if not display:
            self._error = "cannot open the X display"
            self._ready.set()
            return
        try:
            event_base, error_base = ctypes.c_int(), ctypes.c_int()
            if not xext.XShapeQueryExtension(display, ctypes.byref(event_base),
                                             ctypes.byref(error_base)):
                self._error = "the X server has no SHAPE extension"
                return
            xext.XShapeSelectInput(display, self.window, SHAPE_NOTIFY_MASK)
            x11.XSelectInput(display, self.window, STRUCTURE_NOTIFY_MASK)
            x11.XFlush(display)
            self._ready.set()
            event = (ctypes.c_long * EVENT_WORDS)()
            read_until(display, self._stop,
                       lambda: self._read_events(display, event, event_base.value))
        finally:
            self._ready.set()
            x11.XCloseDisplay(display)

    def _read_events(self, display, event, shape_notify):
        while x11.XPending(display):
            x11.XNextEvent(display, event)
            words = ctypes.cast(event, ctypes.POINTER(ctypes.c_int))
            if words[0] == shape_notify:
                self.ticks.count(event[EVENT_TIME_WORD] & 0xFFFFFFFF)
            elif words[0] == CONFIGURE_NOTIFY:
                self._moved(tuple(words[CONFIGURE_BOX_INTS]))

    def _moved(self, box):
        with self.lock:
            self.moves += 1
            if self.misfit is None and not self.fits(box):
                self.misfit = box

    def geometry_record(self):
        """(geometry changes seen, the first one refused or None)."""
        with self.lock:
            return self.moves, self.misfit

    def snapshot(self):
        """(ticks, longest gap in ms, seconds since the latest tick arrived or None)."""
        return self.ticks.snapshot()

    def stop(self):
        self._stop.set()
        self._thread.join(5)
