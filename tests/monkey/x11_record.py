"""The X11 program's traffic as the X server sees it, through the RECORD extension, read in a
background thread: the pointer query that each of its ticks makes while a mode runs (the one
request every such tick sends, moving or not; an idle tick sends nothing), the button presses
delivered to it and the command messages it receives, each with the server's time.
"""

import ctypes
import threading

from desktop_kit.headers import defines
from window_watch import TickCount
from xlib import intern_atom, read_until, x11, xtst

QUERY_POINTER = 38         # core request opcode
BUTTON_PRESS = 4           # core event types
CLIENT_MESSAGE = 33
SENT_EVENT_FLAG = 0x80
FROM_SERVER, FROM_CLIENT, END_OF_DATA = 0, 1, 5  # XRecordInterceptData categories
SERVER_TIMES = 1 | 2       # XRecordFromServerTime | XRecordFromClientTime
COMMAND_ID_WORD = 4        # 32-bit words of a client message: response type and format,
                           # window, type, then the data: version, command id, ...
COMMAND_ATOM = defines("host/x11/display.h")["MASCOT_COMMAND_ATOM"]


class Range8(ctypes.Structure):
    _fields_ = [("first", ctypes.c_ubyte), ("last", ctypes.c_ubyte)]


class Range16(ctypes.Structure):
    _fields_ = [("first", ctypes.c_ushort), ("last", ctypes.c_ushort)]


class ExtRange(ctypes.Structure):
    _fields_ = [("ext_major", Range8), ("ext_minor", Range16)]


class RecordRange(ctypes.Structure):
    _fields_ = [("core_requests", Range8), ("core_replies", Range8),
                ("ext_requests", ExtRange), ("ext_replies", ExtRange),
                ("delivered_events", Range8), ("device_events", Range8), ("errors", Range8),
                ("client_started", ctypes.c_int), ("client_died", ctypes.c_int)]


class InterceptData(ctypes.Structure):
    _fields_ = [("id_base", ctypes.c_ulong), ("server_time", ctypes.c_ulong),
                ("client_seq", ctypes.c_ulong), ("category", ctypes.c_int),
                ("client_swapped", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("data_len", ctypes.c_ulong)]


_INTERCEPT = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.POINTER(InterceptData))
xtst.XRecordAllocRange.restype = ctypes.POINTER(RecordRange)
xtst.XRecordCreateContext.restype = ctypes.c_ulong
xtst.XRecordCreateContext.argtypes = [
    ctypes.c_void_p, ctypes.c_int, ctypes.POINTER(ctypes.c_ulong), ctypes.c_int,
    ctypes.POINTER(ctypes.POINTER(RecordRange)), ctypes.c_int]
xtst.XRecordEnableContextAsync.argtypes = [ctypes.c_void_p, ctypes.c_ulong, _INTERCEPT,
                                           ctypes.c_void_p]
xtst.XRecordProcessReplies.argtypes = [ctypes.c_void_p]
xtst.XRecordDisableContext.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
xtst.XRecordFreeContext.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
xtst.XRecordFreeData.argtypes = [ctypes.POINTER(InterceptData)]


def _ranges():
    """The pointer query, and the events from presses to client messages: the program's
    connection selects presses alone, and is sent client messages."""
    wanted = xtst.XRecordAllocRange()
    wanted.contents.core_requests = Range8(QUERY_POINTER, QUERY_POINTER)
    wanted.contents.delivered_events = Range8(BUTTON_PRESS, CLIENT_MESSAGE)
    return (ctypes.POINTER(RecordRange) * 1)(wanted)


def _word(data, index):
    return int.from_bytes(bytes(data[4 * index:4 * index + 4]), "little")


class ClientRecord:
    """Records the X client that owns `window`.

    ticks: a TickCount of its pointer queries; events(): the presses ("press", button) and
    commands ("command", id) delivered to it, with the server time of each in ms.
    """

    def __init__(self, window):
        self.window = window
        self.command_type = None
        self.ticks = TickCount()
        self._events = []
        self._changed = threading.Condition()
        self._stop = threading.Event()
        self._ready = threading.Event()
        self._error = None
        self._callback = _INTERCEPT(self._intercept)  # kept alive as long as the record
        self._thread = threading.Thread(target=self._run, name="x11-record", daemon=True)
        self._thread.start()
        if not self._ready.wait(10) or self._error:
            raise RuntimeError(self._error or "the X record did not start")

    def _run(self):
        control, data = x11.XOpenDisplay(None), x11.XOpenDisplay(None)
        try:
            if not control or not data:
                self._error = "cannot open the X display"
                return
            self.command_type = intern_atom(control, COMMAND_ATOM)
            client = ctypes.c_ulong(self.window)
            ranges = _ranges()
            context = xtst.XRecordCreateContext(control, SERVER_TIMES, ctypes.byref(client), 1,
                                                 ranges, len(ranges))
            x11.XSync(control, 0)
            if not context or not xtst.XRecordEnableContextAsync(data, context, self._callback,
                                                                  None):
                self._error = "the X server refused to record the program (no RECORD?)"
                return
            self._ready.set()
            read_until(data, self._stop, lambda: xtst.XRecordProcessReplies(data))
            xtst.XRecordDisableContext(control, context)
            xtst.XRecordFreeContext(control, context)
            x11.XSync(control, 0)
        finally:
            self._ready.set()
            for display in (data, control):
                if display:
                    x11.XCloseDisplay(display)

    def _intercept(self, closure, recorded):
        try:
            datum = recorded.contents
            if datum.data_len:
                self._take(datum.category, datum.server_time & 0xFFFFFFFF,
                           datum.data[:4 * datum.data_len])
        finally:
            xtst.XRecordFreeData(recorded)

    def _take(self, category, server_ms, data):
        if category == FROM_CLIENT and data[0] == QUERY_POINTER:
            self.ticks.count(server_ms)
            event = None
        elif category == FROM_SERVER and data[0] & ~SENT_EVENT_FLAG == BUTTON_PRESS:
            event = ("press", data[1])
        elif category == FROM_SERVER and _word(data, 2) == self.command_type:
            event = ("command", _word(data, COMMAND_ID_WORD) & 0xFFFF)
        else:
            return
        with self._changed:
            if event is not None:
                self._events.append((server_ms, *event))
            self._changed.notify_all()

    def events(self, since=0):
        """The presses and commands recorded, from the index `since` on."""
        with self._changed:
            return self._events[since:]

    def wait_ticks(self, count, timeout):
        """Waits until `count` more ticks have been recorded; returns the server time of the
        latest, or None after timeout seconds."""
        with self._changed:
            target = self.ticks.snapshot()[0] + count
            if not self._changed.wait_for(lambda: self.ticks.snapshot()[0] >= target, timeout):
                return None
            return self.ticks.last_ms

    def stop(self):
        self._stop.set()
        self._thread.join(5)
