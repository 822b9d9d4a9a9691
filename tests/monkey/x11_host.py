"""The native X11 program: `mascot` started as it is, commands sent by `mascot --command ID`,
its X resources counted by the X-Resource extension (x11_resources.py), its ticks, presses and
received commands read through the RECORD extension (x11_record.py), and its z-order state
followed from those (zorder_model.py) and compared with the place of its window's top-level (a
window manager's frame, if any) among the root's viewable children that show (x11-probe place).

Needs DISPLAY; --probe is x11-probe. With --wm it starts that desktop's window manager (and
compositor) as the end-to-end test does, openbox with the monkey's own configuration, which binds
no menus and no keys, so that random clicks and keys cannot end the window manager or start
programs; mutter needs a D-Bus session bus.
"""

import os
import time

from desktop_kit.checks import Failure, run, wait_for
from desktop_kit.desktops import start_window_manager
from desktop_kit.processes import start, stop
from desktop_kit.program import (BAD_USAGE, COMMANDS, NO_MASCOT, RECEIVED, finish_command,
                                 send_command, start_command)
from host_base import Figure, Host
from window_watch import WindowWatch
from x11_record import ClientRecord
from x11_resources import process_resources
from desktop_kit.x11_probe import Probe
from zorder_model import Moment, ZOrderModel

OPENBOX_CONFIG = os.path.join(os.path.dirname(os.path.abspath(__file__)), "openbox-rc.xml")
COVER = (420, 260, 240, 180)     # an ordinary window of the probe's inside the screen box
COVER_SLACK_S = 600              # the cover outlives the run by this much; close() ends it
BEYOND_16_BITS = 0x10000
TICK_WAIT_S = 2.0
FIRST_MODE = COMMANDS["IDM_RANDOM64"]  # started at once, since only a mode's ticks show
MENU_CHOICE_UNCERTAINTY_S = 0.5  # how long before that tick a chosen item may have run
MENU_CLOSE_S = 2.0
RECORDED_UNCERTAINTY_S = 0.02    # a recorded press or command acts on the next tick or two
FORGET_AFTER_S = 120             # events older than this are folded into the z-order model
WM_SETTLE_S = 1.0                # a window manager applies a new layer when it gets to it, on a
                                 # loaded machine some hundreds of ms after the program asked
TOP, LOWEST, BETWEEN = 1, 0, 2   # the place of the mascot window's top-level among them
WINDOW_TYPE = "_NET_WM_WINDOW_TYPE"
TOOLTIP_TYPE = "_NET_WM_WINDOW_TYPE_TOOLTIP"
QUIET_POINTER = (0, 0)           # the screen's corner: off the mascot's box, the tray and the cover
TOOLTIP_GONE_S = 5
STDERR_FILE = "program-stderr.txt"
SETTLE_S = 0.5

# The X resource types counted one by one (the others are counted together, under None), and
# the tolerances of the counts and the memory: docs/monkey.md gives the spread they rest on.
RESOURCE_NAMES = {"WINDOW": "windows", "PIXMAP": "pixmaps", "GC": "GCs", "PICTURE": "pictures"}
RESOURCE_TOLERANCES = {"WINDOW": 0, "PIXMAP": 0, "GC": 0, "PICTURE": 0, None: 0}
RESIDENT_TOLERANCE_KIB = 1024

class X11Watch:
    """Ticks from the record, geometries from the window's ConfigureNotify events."""

    def __init__(self, record, geometry):
        self.record = record
        self.geometry = geometry

    def snapshot(self):
        return self.record.ticks.snapshot()

    def geometry_record(self):
        return self.geometry.geometry_record()

    def stop(self):
        self.record.stop()
        self.geometry.stop()


class X11Host(Host):
    name = "x11"
    resident_tolerance_kib = RESIDENT_TOLERANCE_KIB
    return_closes_unselected = False  # a Qt menu ignores Return until an item is selected

    def __init__(self, options):
        super().__init__(options)
        self.exe = options.exe
        self.probe = Probe(options.probe)
        self.helpers = []
        self.record = None
        self.model = None
        self.taken = 0          # events of the record already given to the model
        self.started_at = None  # time.monotonic() when the program was started
        self.window = None

    # --- helpers of the display ---

    def _hold_cover(self):
        self.probe.hold("cover", *COVER, int(self.options.seconds) + COVER_SLACK_S)

    # --- the Host interface ---

    def command(self):
        return [self.exe]

    def start_desktop(self):
        self.helpers += start_window_manager(self.options.wm, self.probe.owner,
                                             {"openbox": ["--config-file", OPENBOX_CONFIG]})

    def start(self):
        """Starts the cover window, then the program with its standard error kept in the
        artifacts."""
        self._hold_cover()
        self.started_at = time.monotonic()
        with open(self.stderr_path(), "w", encoding="utf-8") as stderr:
            self.process = start(self.command(), stderr=stderr)
        return self.process

    def stderr_path(self):
        return os.path.join(self.options.artifacts, STDERR_FILE)

    def main_window(self):
        """The program's window on the desktop, not its tray icon, which is embedded (XEmbed)
        in the tray's window."""
        for window, box in self.own_windows():
            if "_XEMBED_INFO(" not in run(["xprop", "-id", str(window), "_XEMBED_INFO"],
                                          check=False):
                return window, box
        return None

    def transient_windows(self, mascot):
        """(id, geometry) of the program's shown windows besides the mascot window and the tray
        icon: its menus and the tray icon's tooltip."""
        windows = [(w, box) for w, box in self.own_windows() if w != mascot]
        if not windows:
            return []
        places = self.probe.places(w for w, _ in windows)
        return [(w, box) for (w, box), (position, _) in zip(windows, places) if position >= 0]

    def transients(self, mascot):
        return [box for _, box in self.transient_windows(mascot)]

    def menus(self, mascot):
        return [box for window, box in self.transient_windows(mascot)
                if TOOLTIP_TYPE not in run(["xprop", "-id", str(window), WINDOW_TYPE],
                                           check=False)]

    def window_watch(self, window, fits):
        self.window = window
        self.record = ClientRecord(window)
        # An idle tick sends the server nothing; a mode's tick queries the pointer, and no
        # command ends a mode, so from here on every tick shows in the record.
        send_command(self.exe, FIRST_MODE)
        latest = self.record.wait_ticks(1, TICK_WAIT_S)
        if latest is None:
            raise Failure("no tick of the program recorded")
        # The server's clock against this one: the start-up time on the server's.
        offset_s = time.monotonic() - latest / 1000
        found = time.monotonic() - offset_s
        begun = self.started_at - offset_s
        self.model = ZOrderModel(self.commands, Moment((found + begun) / 2, (found - begun) / 2))
        return X11Watch(self.record, WindowWatch(window, fits))

    def post_commands(self, ids, codes, span_s):
        """Starts one sender per id, spread over the span, and one with an id beyond 16 bits;
        each must end as the help says: 0 and "received", 2 and one line."""
        senders = []
        began = time.monotonic()
        for index, command in enumerate(ids + [ids[0] + BEYOND_16_BITS]):
            delay = began + span_s * index / len(ids) - time.monotonic()
            if delay > 0:
                time.sleep(delay)
            senders.append((command, start_command(self.exe, command)))
        for command, sender in senders:
            finish_command(sender, BAD_USAGE if command >= BEYOND_16_BITS else RECEIVED)

    def figures(self):
        # A tooltip, shown while the pointer rests on the tray icon, holds resources of its own.
        run(["xdotool", "mousemove", *map(str, QUIET_POINTER)])
        wait_for("the program's menus and tooltips to go",
                 lambda: not self.transient_windows(self.window), TOOLTIP_GONE_S)
        time.sleep(SETTLE_S)  # a hidden tooltip's window is destroyed on a later turn of the loop
        counts, clients = process_resources(self.process.pid)
        if not clients:
            raise Failure(f"the X server knows no connection of PID {self.process.pid}")
        other = sum(count for kind, count in counts.items() if kind not in RESOURCE_NAMES)
        return [Figure(f"X {name}", counts.get(kind, 0), RESOURCE_TOLERANCES[kind])
                for kind, name in RESOURCE_NAMES.items()] + \
            [Figure("other X resources", other, RESOURCE_TOLERANCES[None])]

    def chose(self, command):
        """A menu item was chosen just now. The program runs it as the menu closes: at the
        latest on the tick after the menu is seen gone, and that look takes a moment."""
        try:
            wait_for("the menu to close", lambda: not self.menus(self.window), MENU_CLOSE_S)
        except Failure:
            pass  # the monkey's own check of the menus tells
        latest = self.record.wait_ticks(1, TICK_WAIT_S)
        if latest is not None:
            self.model.command(Moment(latest / 1000, MENU_CHOICE_UNCERTAINTY_S), command)

    def _follow(self):
        for server_ms, kind, value in self.record.events(self.taken):
            moment = Moment(server_ms / 1000, RECORDED_UNCERTAINTY_S)
            if kind == "press":
                self.model.press(moment, value)
            else:
                self.model.command(moment, value)
            self.taken += 1

    def z_order_sample(self):
        before = self.record.wait_ticks(1, TICK_WAIT_S)
        top = self.probe.top(self.window)[0]
        position, count = self.probe.places([top])[0]
        after = self.record.wait_ticks(2, TICK_WAIT_S)
        if before is None or after is None:
            return None  # too few ticks: the tick check tells why
        self._follow()
        self.model.forget_before(after / 1000 - FORGET_AFTER_S)
        moments = [before / 1000, after / 1000]
        if self.options.wm != "none":
            moments.insert(0, moments[0] - WM_SETTLE_S)
        states = [self.model.state(moment) for moment in moments]
        if None in states or len(set(states)) > 1:
            return None
        place = TOP if position == count - 1 else LOWEST if position == 0 else BETWEEN
        return states[0], place, states[0]

    def after_exit(self):
        """With no mascot on the display a sender ends with 1 and one line."""
        send_command(self.exe, 0, due=NO_MASCOT)
        with open(self.stderr_path(), encoding="utf-8", errors="replace") as stderr:
            said = len(stderr.read().splitlines())
        return f"mascot --command then ends with 1; the program said {said} lines on standard " \
               f"error ({STDERR_FILE})"

    def close(self):
        self.probe.drop_all()
        stop(*reversed(self.helpers))
