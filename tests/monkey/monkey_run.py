"""One monkey run against one host: the program, the tray host and the window watch, what the
actions need from them, and the checks that run between and during the actions.
"""

import time

from desktop_kit.checks import Failure, run as run_command, wait_for
from desktop_kit.desktops import Trayer
from desktop_kit.processes import stop
from desktop_kit.program import (BOX_BOTTOM, BOX_LEFT, BOX_RIGHT, BOX_TOP, HALF, MASCOT_SIZE,
                                 Z_FRONT)
from desktop_kit.xdo import display_size, geometry, mouse_position

# The window's place as a host reads it: topmost or not, and for a host that can tell, lowest
# (0) or in between.
PLACES = {0: "not topmost", 1: "topmost", 2: "neither topmost nor lowest"}
TICK_GAP_LIMIT_MS = 1000       # a tick at least once a second
QUIET_LIMIT_S = 2.5            # no tick received for this long: the watch is not keeping up or
                               # the program has stopped ticking
QUIET_RECHECK_S = 1.0
SAMPLE_EVERY_S = 0.25
TRAY_ICON_S = 20               # how long the icon may take to come back to a new tray
TRAY_GLANCE_S = 3              # how long a shown icon may be hidden from the screenshot
TRAY_BAR_S = 10                # how long a new tray host may take to show its bar
TRAY_ATTEMPTS = 3
MENU_CLOSE_S = 2.0             # how long a menu may take to close on its own
ESCAPES = 3                    # enough to close a submenu and its menu


def fits_screen_box(box):
    """True for a 41 x 41 window whose corner lies in the screen box."""
    x, y, width, height = box
    return (width, height) == (MASCOT_SIZE, MASCOT_SIZE) and \
        BOX_LEFT <= x <= BOX_RIGHT and BOX_TOP <= y <= BOX_BOTTOM


class Fault(Exception):
    """A check of the run did not hold."""

    def __init__(self, check, message):
        super().__init__(message)
        self.check = check


class Run:
    def __init__(self, host, menu_items, log):
        self.host = host
        self.menu_items = menu_items
        self.log = log
        self.tray = Trayer()
        self.watch = None
        self.window = None
        self.screen = display_size()
        self.samples = {"geometry": 0, "front": 0, "not front": 0, "skipped": 0}
        self.tray_restarts = 0
        self.shell_restarts = 0
        self.commands = 0
        self.keys_unanswered = 0  # menus that stayed open after keys that should close them
        self.bar_width = None  # of the tray's bar with the program's one icon

    # --- start and stop ---

    def start(self):
        """Starts the tray host and the program; returns the geometry of the program's window
        (at first its only window, whatever its size)."""
        self.host.start_desktop()
        self.start_tray()
        self.host.start()
        self.window, box = wait_for("the program's window", self.host.main_window, 60)
        self.watch = self.host.window_watch(self.window, fits_screen_box)
        self.wait_tray_icon("the start")
        self.bar_width = self.tray.bar_width()
        return box

    def start_tray(self):
        for _ in range(TRAY_ATTEMPTS):
            self.tray.start()
            try:
                wait_for("the tray host's bar", self.tray.bar, TRAY_BAR_S)
                return
            except Failure:
                self.log(f"the tray host showed no bar in {TRAY_BAR_S} s: starting it again")
                self.tray.stop()
        raise Fault("tray", f"the tray host showed no bar in {TRAY_ATTEMPTS} attempts")

    def stop(self):
        if self.watch is not None:
            self.watch.stop()
        stop(self.host.process)
        self.host.close()
        self.tray.stop()

    # --- what actions use ---

    def mascot_box(self):
        box = geometry(self.window)
        if box is None:
            raise Fault("window", f"the mascot window {self.window} is gone")
        return box

    def mascot_centre(self):
        x, y, _, _ = self.mascot_box()
        return x + HALF, y + HALF

    def move_pointer(self, point, *then):
        """Moves the pointer to point, kept on the screen, then runs the xdotool commands then."""
        x = min(max(point[0], 0), self.screen[0] - 1)
        y = min(max(point[1], 0), self.screen[1] - 1)
        run_command(["xdotool", "mousemove", str(x), str(y), *[str(word) for word in then]])

    def pointer(self):
        return mouse_position()

    def menus(self):
        return self.host.menus(self.window)

    def wait_menu(self, timeout):
        """The first menu's geometry once one shows, or None after timeout."""
        try:
            return wait_for("a menu", self.menus, timeout)[0]
        except Failure:
            return None

    def close_menus(self, expect_open=False):
        """Makes sure no menu stays open: waits for it to close (unless it is expected to stay
        open), then presses Escape, then clicks away from it all. Returns what closed it: None
        (it closed by itself), "escape" or "click"."""
        remedies = ("escape", "click") if expect_open else (None, "escape", "click")
        for remedy in remedies:
            if remedy == "escape":
                run_command(["xdotool", "key", "--delay", "60", *["Escape"] * ESCAPES])
            elif remedy == "click":
                self.move_pointer((2, self.screen[1] // 2), "click", 1)
            try:
                wait_for("the menus to close", lambda: not self.menus(), MENU_CLOSE_S)
                return remedy
            except Failure:
                continue
        raise Fault("menu", f"a menu stays open after Escape and a click elsewhere: {self.menus()}")

    def point_off_menus(self, point):
        """point, or a point beside the open menus when it lies on one."""
        x, y = point
        for mx, my, mw, mh in self.menus():
            if mx <= x < mx + mw and my <= y < my + mh:
                x = mx - 20 if mx >= 40 else mx + mw + 20
        return x, y

    def note_choice(self, command):
        """A menu item carrying `command` was chosen."""
        self.commands += 1
        self.host.chose(command)

    def note_posted(self, commands):
        self.commands += len(commands)

    def tray_icon(self):
        """The icon's centre. One glance can miss it (once in an hour under openbox, with the
        icon back in the screenshot taken right after), so the icon has a few seconds to be
        seen; a lost icon stays lost."""
        try:
            return wait_for("the tray icon in the tray host's bar", self.tray.icon, TRAY_GLANCE_S)
        except Failure:
            raise Fault("tray", f"no tray icon in the tray host's bar for {TRAY_GLANCE_S} s") \
                from None

    def wait_tray_icon(self, what):
        try:
            return wait_for(f"the tray icon after {what}", self.tray.icon, TRAY_ICON_S)
        except Failure as failure:
            raise Fault("tray", str(failure)) from None

    def icon_comes_back(self, after):
        """Waits for the icon in the tray, and for the bar to be as wide as it was with the one
        icon at the start: a second icon of the program would widen it."""
        began = time.monotonic()
        icon = self.wait_tray_icon(after)
        try:
            wait_for("the bar to hold one icon", lambda: self.tray.bar_width() == self.bar_width, 5)
        except Failure:
            raise Fault("tray", f"after {after} the bar is {self.tray.bar_width()} pixels wide, "
                        f"{self.bar_width} with the one icon at the start") from None
        return f"icon back at {icon} in {time.monotonic() - began:.1f} s"

    def restart_tray(self, pause):
        self.tray.stop()
        self.wait(pause)
        self.start_tray()
        self.tray_restarts += 1
        return f"killed, started after {pause} s; " + self.icon_comes_back("the tray restart")

    def restart_shell(self, pause, keeps_icon):
        if not self.host.has_shell:
            self.wait(pause)
            return "no shell on this host"
        if not keeps_icon:
            self.host.drop_tray_icon()
            try:
                wait_for("the dropped icon to go", lambda: self.tray.icon() is None, 10)
            except Failure:
                raise Fault("tray", "the icon stayed after the shell dropped it") from None
        self.wait(pause)
        self.host.announce_shell()
        self.shell_restarts += 1
        kept = "icon kept" if keeps_icon else "icon dropped"
        return f"{kept}, shell announced after {pause} s; " + \
            self.icon_comes_back("the shell announced itself")

    def wait(self, seconds):
        end = time.monotonic() + seconds
        while True:
            self.check(z_order=True)
            left = end - time.monotonic()
            if left <= 0:
                return
            time.sleep(min(SAMPLE_EVERY_S, left))

    # --- checks ---

    def check(self, z_order=True):
        """The checks that hold at any moment; the z-order one only with no menu open."""
        if not self.host.alive():
            raise Fault("alive", f"the program ended with status {self.host.process.returncode}")
        self.check_ticks()
        self.check_geometry()
        if z_order:
            self.check_z_order()

    def check_ticks(self):
        ticks, longest_ms, quiet_s = self.watch.snapshot()
        if longest_ms > TICK_GAP_LIMIT_MS:
            raise Fault("ticks", f"no tick for {longest_ms} ms (after {ticks} ticks)")
        if quiet_s is not None and quiet_s <= QUIET_LIMIT_S:
            return
        # The watch may just not have run for a while (the monkey shares a busy machine): give
        # it time to read what has come before calling the program silent.
        time.sleep(QUIET_RECHECK_S)
        ticks, _, quiet_s = self.watch.snapshot()
        if quiet_s is None:
            raise Fault("ticks", "no tick seen since the program started")
        if quiet_s > QUIET_LIMIT_S:
            raise Fault("ticks", f"no tick seen for {quiet_s:.1f} s (after {ticks} ticks)")

    def check_geometry(self):
        """The window's geometry now, and every geometry the watch has seen it take."""
        box = self.mascot_box()
        self.samples["geometry"] += 1
        _, misfit = self.watch.geometry_record()
        for seen, what in ((box, "is"), (misfit, "was")):
            if seen is not None and not fits_screen_box(seen):
                raise Fault("geometry", f"the window {what} {seen[2]} x {seen[3]} at "
                            f"({seen[0]}, {seen[1]}): not {MASCOT_SIZE} x {MASCOT_SIZE} in x "
                            f"{BOX_LEFT}..{BOX_RIGHT}, y {BOX_TOP}..{BOX_BOTTOM}")

    def check_z_order(self):
        """The window's place against its z-order state, while none of the program's menus or
        tooltips shows (a tooltip, shown while the pointer rests on the tray icon, stands above
        the mascot window as a menu does)."""
        if self.host.transients(self.window):
            self.samples["skipped"] += 1
            return
        sample = self.host.z_order_sample()
        if sample is None or sample[0] != sample[2] or self.host.transients(self.window):
            self.samples["skipped"] += 1  # the state moved, or a menu opened, meanwhile
            return
        before, topmost, _ = sample
        front = before == Z_FRONT
        self.samples["front" if front else "not front"] += 1
        if topmost != front:
            raise Fault("z-order", f"z-order state {before} but the window is "
                        f"{PLACES[topmost]}")
