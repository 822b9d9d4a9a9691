#!/usr/bin/env python3
"""End-to-end test of the native X11 mascot on an X display, driven by xdotool as a person would.

Start-up window (no frame, no taskbar entry), shape, picture and tray icon; no focus taken; idle;
the tray menu starts the motion and it keeps to the box, below another program's override-redirect
window; the menu on the moving mascot opens at the pointer and is not covered; stop; a left click
and a drag duck it below another window without moving it, for about ten seconds; always behind,
above a desktop-type window; always in front; put back after being moved, resized or unmapped
from outside; --command; exit and SIGTERM with status 0 and the tray icon gone; scaling variables
change nothing. Stacking is read from the screen's pixels and sampled from the X order; under a
Wayland compositor, whose rootless Xwayland keeps no pixels in the root window, from the X order
alone, and the tray icon and the picture from their windows' own pixels.

Usage: x11_desktop_test.py --exe mascot --probe x11-probe --artifacts DIR
       --wm none|openbox|picom|mutter|kwin|xfce|mutter-wayland|kwin-wayland [--keep-going]
Needs DISPLAY (an Xvfb of its own: the test starts the desktop and its tray host, or the Xwayland
of the Wayland compositor it runs under) and, for xfce, a D-Bus session bus.
"""

import argparse
import os
import signal
import subprocess
import time

from desktop_kit.checks import Failure, poll_until_still, require, run, run_checks, wait_for
from desktop_kit.desktops import DESKTOPS, start_desktop
from desktop_kit.menus import open_menu, type_into
from desktop_kit.processes import process_tree, start, stop, wait_gone
from desktop_kit.program import (COMMANDS, CRUISE, DUCK_S, HALF, MASCOT_SIZE, START_X, START_Y,
                                 expected_image, menu_keys, positions_in_box)
from desktop_kit.screen import Screen, is_mascot_blue, set_root_grey, window_pixels
from desktop_kit.xdo import click, display_size, drag, move_pointer, windows_of
from x11_stacking import DESKTOP_GREEN, OVERLAY_YELLOW, Probe

COVER = 160  # side of the covering window, centred on the mascot
IN_FRONT = COMMANDS["IDM_ALWAYS_IN_FRONT"]
TRAY_ICON_SIZES = range(8, 65)  # pixels across a tray icon
SAMPLE_S = 0.1  # how often stacking is sampled


class MascotRun:
    def __init__(self, args):
        self.exe = args.exe
        self.probe = Probe(args.probe)
        self.wm = args.wm
        self.pixels = DESKTOPS[args.wm][3]
        self.helpers = []
        self.tray_host = None
        self.process = None
        self.window = None
        self.tray_icon = None
        self.rest = None
        self.background = None
        self.menu_owners, self.before_menu = [], set()

    # --- the program ---

    def start(self, **environment):
        env = dict(os.environ, **environment)
        self.process = start([self.exe], stderr=subprocess.PIPE, text=True, env=env)
        found = wait_for("the mascot window", self.find_mascot, 15)
        self.window = found[0]
        self.tray_icon = wait_for("the tray icon", self.find_tray_icon, 15)

    def find_mascot(self):
        for window, box in windows_of(self.process.pid):
            if box[2:] == (MASCOT_SIZE, MASCOT_SIZE):
                return window, box
        return None

    def find_tray_icon(self):
        """The box round the blue disc inside the tray host's windows (xfce4-panel draws the
        icon itself, trayer embeds the program's window), or None."""
        screen = Screen() if self.pixels else None
        for window, box in windows_of(self.tray_host.pid):
            pixels = screen or window_pixels(window, box)
            found = pixels.find(*box, is_mascot_blue) if pixels else []
            xs, ys = [x for x, _ in found], [y for _, y in found]
            if found and max(xs) - min(xs) + 1 in TRAY_ICON_SIZES and \
                    max(ys) - min(ys) + 1 in TRAY_ICON_SIZES:
                return min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1
        return None

    def position(self):
        found = self.find_mascot()
        return None if found is None else found[1][:2]

    def owned_windows(self):
        return [found for pid in self.menu_owners for found in windows_of(pid)]

    def menus(self):
        """Windows on screen that the mascot or the tray host showed since the last right click."""
        return [(w, box) for w, box in self.owned_windows()
                if w not in self.before_menu and box[0] + box[2] > 0 and box[1] + box[3] > 0]

    def open_menu(self, where):
        """Right-clicks at where() until a menu shows; returns (click point, (window, box))."""
        return open_menu(where, self.menus, attempts=4, timeout=2, before=self.note_windows)

    def note_windows(self):
        """The windows the mascot and the tray host show before a right click."""
        self.menu_owners = [self.process.pid] + process_tree(self.tray_host.pid)
        self.before_menu = {window for window, _ in self.owned_windows()}

    def tray_point(self):
        x, y, width, height = self.tray_icon
        return x + width // 2, y + height // 2

    def type_into(self, menu, box, *key_names):
        """Types into an open menu once it takes keys; where the root window holds no pixels,
        the menu's own pixels tell."""
        type_into(box, *key_names, picture=None if self.pixels else
                  lambda: (lambda pixels: pixels and pixels.area(*box))(window_pixels(menu, box)))

    def choose(self, command):
        _, (menu, box) = self.open_menu(self.tray_point)
        self.type_into(menu, box, *menu_keys(command))
        wait_for("the menu to close", lambda: not self.menus(), 5)

    def close_menu(self, menu, box):
        self.type_into(menu, box, "Escape")
        wait_for("the menu to close", lambda: not self.menus(), 5)

    def mascot_centre(self):
        x, y = self.position()
        return x + HALF, y + HALF

    def require_ended(self, what):
        code = wait_gone(self.process)
        require(code == 0, f"exit status {code} after {what}")
        require(not windows_of(self.process.pid), f"windows left after {what}")
        wait_for(f"the tray icon to go after {what}", lambda: self.find_tray_icon() is None, 5)

    def placed(self, x, y):
        """Shown at (x, y), 41 x 41, and so is its top-level: a frame, if any, has no border."""
        box = (x, y, MASCOT_SIZE, MASCOT_SIZE)
        return self.find_mascot() == (self.window, box) and self.probe.top(self.window)[1] == box

    def pixels_or_skip(self, what):
        """Whether the screen's pixels can be read; if not, says that `what` is not looked at."""
        if not self.pixels:
            print(f"# skipped: {what} (the root window holds no pixels)", flush=True)
        return self.pixels

    def count_bad(self, seconds, bad):
        """Samples bad() every SAMPLE_S for `seconds`; returns (bad samples, samples)."""
        results, start = [], time.monotonic()
        while time.monotonic() < start + seconds:
            results.append(bool(bad()))
            time.sleep(max(0.0, start + len(results) * SAMPLE_S - time.monotonic()))
        return sum(results), len(results)

    # --- checks ---

    def check_start(self):
        self.helpers, self.tray_host = start_desktop(self.wm, self.probe.owner)
        set_root_grey()  # after a client holds the server, which resets when the last one goes
        if self.pixels:  # the picture's check says what it skips
            self.background = poll_until_still(
                lambda: Screen().area(START_X, START_Y, MASCOT_SIZE, MASCOT_SIZE), 0.3, 10)
        self.start()
        wait_for("the mascot at (300, 100), 41 x 41, with no frame",
                 lambda: self.placed(START_X, START_Y), 5)

    def check_no_taskbar_entry(self):
        state = run(["xprop", "-id", str(self.window), "_NET_WM_STATE"])
        missing = [name for name in ("_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER")
                   if name not in state]
        require(not missing, f"{state.strip()}: no {missing}")

    def check_shape(self):
        shape = self.probe.shape(self.window)
        wanted = ["".join("." if colour is None else "#" for colour in row)
                  for row in expected_image()]
        require(shape == wanted, "the X shape differs from the image:\n" + "\n".join(shape))

    def check_picture(self):
        # Where the root window holds none, the window's own pixels inside its shape.
        screen = Screen() if self.pixels_or_skip("the pixels on screen and round the shape") \
            else Screen(self.window, (START_X, START_Y))
        wrong = []
        shadow = 24 if DESKTOPS[self.wm][1] else 0  # a compositor may shade round the disc
        for y, row in enumerate(expected_image()):
            for x, colour in enumerate(row):
                if colour is None and not self.pixels:
                    continue
                seen = screen.pixel(START_X + x, START_Y + y)
                at = 3 * (y * MASCOT_SIZE + x)
                wanted, off = colour or self.background[at:at + 3], 0 if colour else shadow
                if any(abs(a - b) > off for a, b in zip(seen, wanted)):
                    wrong.append((x, y, seen))
        require(not wrong, f"{len(wrong)} pixels differ, first {wrong[:3]}")

    def check_tray_icon(self):
        require(self.find_tray_icon(), "no disc in the tray")

    def check_idle_and_no_focus(self):
        for x, y in ((100, 500), (700, 300), (START_X + HALF, START_Y + HALF)):
            move_pointer(x, y)
            time.sleep(0.3)
            require(self.position() == (START_X, START_Y), f"moved while idle: {self.position()}")
        click(START_X + HALF, START_Y + HALF, 1)  # ducks it; the test of ducking comes later
        require(self.probe.focus() != self.window, "the mascot took the keyboard focus")
        self.process_command(IN_FRONT)  # back in front

    def process_command(self, command):
        result = subprocess.run([self.exe, "--command", str(command)], capture_output=True,
                                text=True, timeout=15)
        require(result.returncode == 0, f"--command {command}: {result.returncode} "
                                        f"{result.stderr.strip()}")
        return result

    def check_tray_menu_starts_motion(self):
        self.choose("IDM_RANDOM16")
        wait_for("the mascot to move", lambda: self.position() != (START_X, START_Y), 10)
        seen = positions_in_box(self.position, 4)
        require(len(seen) > 10, f"only {len(seen)} positions in 4 s")

    def overlaid(self, overlay):
        """Whether the mascot shows over the window (in the X order or on screen)."""
        found = self.find_mascot()
        order = self.probe.order(self.window, overlay)
        return order[0] > order[1] or self.pixels and found and Screen().find(
            found[1][0] - HALF, found[1][1] - HALF, 2 * MASCOT_SIZE, 2 * MASCOT_SIZE,
            is_mascot_blue)

    def check_stays_below_overlay(self):
        overlay, window = self.probe.hold("overlay", 60)
        if self.pixels_or_skip("the overlay's and the mascot's colours on screen"):
            wait_for("the overlay shown", lambda: Screen().pixel(5, 400) == OVERLAY_YELLOW, 5)
        bad, total = self.count_bad(2, lambda: self.overlaid(window))
        self.probe.drop(overlay)
        require(not bad, f"over the override-redirect window in {bad} of {total} samples")

    def check_menu_on_mascot(self):
        # A random mode may be braking just now: cruising moves on every tick.
        self.process_command(CRUISE)
        point, (menu, box) = self.open_menu(self.mascot_centre)
        # Qt moves a menu that would leave the screen; otherwise its corner is the pointer.
        width, height = display_size()
        fits = point[0] + box[2] <= width and point[1] + box[3] <= height
        if fits:
            require(abs(box[0] - point[0]) <= 2 and abs(box[1] - point[1]) <= 2,
                    f"menu at {box[:2]}, clicked at {point}")
        moved = {self.position()}
        for _ in range(10):
            time.sleep(0.1)
            moved.add(self.position())
            order = self.probe.order(self.window, menu)
            require(order[0] < order[1], f"the mascot covers its menu: {order}")
        require(len(moved) > 1, "the mascot stopped while its menu was open")
        self.close_menu(menu, box)

    def check_stop(self):
        self.choose("IDM_STOP")
        self.rest = poll_until_still(self.position, 1.0, 20)

    def cover(self):
        x, y = self.rest
        process, window = self.probe.hold("cover", x + HALF - COVER // 2, y + HALF - COVER // 2,
                                          COVER, COVER, 120)
        return process, window

    def centre_colour(self):
        x, y = self.rest
        return Screen().pixel(x + HALF, y + HALF)

    def check_front_covers_new_windows(self):
        cover, window = self.cover()
        self.pixels_or_skip("the colour at the mascot's centre")
        wait_for("the mascot above the new window", lambda: self.in_front_of(window), 5)
        self.front_cover = (cover, window)

    def in_front_of(self, window):
        """Above the window in the X order and, where the screen's pixels can be read, shown."""
        order = self.probe.order(self.window, window)
        return order[0] > order[1] and (not self.pixels or is_mascot_blue(self.centre_colour()))

    def ducked(self, window):
        # Not the mascot's colour rather than the cover's: a window manager may have pushed the
        # cover below a top panel, leaving its title bar over the mascot's centre.
        order = self.probe.order(self.window, window)
        return order[0] < order[1] and (not self.pixels
                                         or not is_mascot_blue(self.centre_colour()))

    def wait_ducked(self, window, what, timeout):
        try:
            wait_for(what, lambda: self.ducked(window), timeout)
        except Failure as failure:
            colour = self.centre_colour() if self.pixels else "unread"
            raise Failure(f"{failure}; X order {self.probe.order(self.window, window)}, "
                          f"colour {colour} at the mascot's centre")

    def check_click_ducks(self):
        cover, window = self.front_cover
        x, y = self.rest
        self.pixels_or_skip("the colour at the mascot's centre")
        click(x + HALF, y + HALF, 1)
        started = time.monotonic()
        self.wait_ducked(window, "the mascot below the other window", 3)
        require(self.probe.focus() != self.window, "the click gave the mascot the focus")
        bad, total = self.count_bad(started + DUCK_S - 1.5 - time.monotonic(),
                                    lambda: not self.ducked(window))
        require(not bad, f"over the window in {bad} of {total} samples while ducked")
        wait_for("the mascot back in front", lambda: self.in_front_of(window), DUCK_S + 5)
        took = time.monotonic() - started
        print(f"# ducked for {took:.2f} s", flush=True)
        require(DUCK_S - 1.5 <= took <= DUCK_S + 1.5, f"ducked for {took:.1f} s")
        require(self.position() == self.rest, f"moved from {self.rest} to {self.position()}")

    def check_drag_ducks(self):
        cover, window = self.front_cover
        x, y = self.rest
        self.pixels_or_skip("the colour at the mascot's centre")
        drag(x + HALF, y + HALF, 60, 40)
        self.wait_ducked(window, "the dragged mascot below the other window", 3)
        require(self.position() == self.rest, f"dragged from {self.rest} to {self.position()}")
        self.process_command(IN_FRONT)
        wait_for("the mascot in front again", lambda: self.in_front_of(window), 3)

    def check_behind_above_desktop(self):
        desktop, desktop_window = self.probe.hold("desktop", 120)
        self.choose("IDM_ALWAYS_BEHIND")
        cover, window = self.front_cover
        self.pixels_or_skip("the colours at the mascot's centre and of the desktop window")
        self.wait_ducked(window, "the mascot behind the window", 5)
        # Always behind does not end by itself.
        bad, total = self.count_bad(2, lambda: not self.ducked(window))
        require(not bad, f"over the window in {bad} of {total} samples while behind")
        order = self.probe.order(desktop_window, self.window, window)
        require(order[0] < order[1] < order[2], f"stacking desktop, mascot, window: {order}")
        self.probe.drop(cover)
        wait_for("the mascot over the desktop", lambda: self.in_front_of(desktop_window), 5)
        require(not self.pixels or Screen().pixel(5, 400) == DESKTOP_GREEN,
                "the desktop window is not shown")
        self.behind_cover = self.cover()
        wait_for("a new window over the mascot", lambda: self.ducked(self.behind_cover[1]), 5)
        self.desktop = desktop

    def check_in_front(self):
        self.choose("IDM_ALWAYS_IN_FRONT")
        self.pixels_or_skip("the colour at the mascot's centre")
        wait_for("the mascot in front", lambda: self.in_front_of(self.behind_cover[1]), 5)
        self.probe.drop(self.behind_cover[0])
        self.probe.drop(self.desktop)

    def check_put_back(self):
        x, y = self.rest
        top = self.probe.top(self.window)[0]
        for action in (["windowmove", "500", "400"], ["windowsize", "80", "80"], ["windowunmap"]):
            # Waits for the change to land (a window manager makes it later, or refuses it).
            watch = subprocess.Popen([self.probe.exe, "changed", "2", str(top), str(x), str(y),
                                      str(MASCOT_SIZE), str(MASCOT_SIZE)],
                                     stdout=subprocess.PIPE, text=True)
            try:
                watch.stdout.readline()
                run(["xdotool", action[0], str(self.window), *action[1:]])
            finally:
                watch.communicate(timeout=5)
            wait_for(f"the mascot put back after xdotool {action[0]}", lambda: self.placed(x, y),
                     3)
            top = self.probe.top(self.window)[0]

    def check_command(self):
        bad = subprocess.run([self.exe, "--command", "70000"], capture_output=True, text=True,
                             timeout=15)
        require(bad.returncode == 2 and len(bad.stderr.strip().splitlines()) == 1,
                f"bad id: {bad.returncode} {bad.stderr!r}")
        result = self.process_command(CRUISE)
        require("received" in result.stdout, f"answer {result.stdout!r}")
        wait_for("the mascot to cruise", lambda: self.position() != self.rest, 10)

    def check_exit_item(self):
        self.choose("IDM_EXIT")
        self.require_ended("the exit item")
        none = subprocess.run([self.exe, "--command", str(CRUISE)], capture_output=True,
                              text=True, timeout=15)
        require(none.returncode == 1, f"--command with no mascot: {none.returncode}")

    def check_sigterm_with_scaling(self):
        self.start(QT_SCALE_FACTOR="2", QT_SCREEN_SCALE_FACTORS="2")
        require(self.find_mascot()[1] == (START_X, START_Y, MASCOT_SIZE, MASCOT_SIZE),
                f"scaled window {self.find_mascot()[1]}")
        point, (menu, box) = self.open_menu(lambda: (START_X + HALF, START_Y + HALF))
        require(abs(box[0] - point[0]) <= 2 and abs(box[1] - point[1]) <= 2,
                f"scaled menu at {box[:2]}, clicked at {point}")
        self.close_menu(menu, box)
        self.process.send_signal(signal.SIGTERM)
        self.require_ended("SIGTERM")

    def check_sigint(self):
        self.start()
        self.process.send_signal(signal.SIGINT)
        self.require_ended("SIGINT")

    def cleanup(self):
        self.probe.drop_all()
        stop(self.process, *reversed(self.helpers))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for name in ("exe", "probe", "artifacts"):
        parser.add_argument(f"--{name}", required=True)
    parser.add_argument("--wm", choices=DESKTOPS, required=True)
    parser.add_argument("--keep-going", action="store_true", help="run the checks after a failure")
    args = parser.parse_args()
    test = MascotRun(args)
    where = args.wm if args.wm != "none" else "a bare X server"
    checks = [
        (f"starts on {where}: 41x41 at (300, 100), no frame", test.check_start),
        ("no taskbar or pager entry", test.check_no_taskbar_entry),
        ("the X shape is the image's, pixel for pixel", test.check_shape),
        ("the picture on screen is the image's, pixel for pixel", test.check_picture),
        ("the disc icon docks in the tray", test.check_tray_icon),
        ("idle: stays put; a click takes no focus", test.check_idle_and_no_focus),
        ("the tray menu starts a mode; it moves within the box", test.check_tray_menu_starts_motion),
        ("moving in front, it stays below an override-redirect window", test.check_stays_below_overlay),
        ("the menu on the moving mascot opens at the pointer, uncovered", test.check_menu_on_mascot),
        ("stop brings it to rest", test.check_stop),
        ("in front it covers a new window", test.check_front_covers_new_windows),
        ("a left click ducks it below the window for about 10 s, unmoved", test.check_click_ducks),
        ("a drag ducks it too and does not move it", test.check_drag_ducks),
        ("always behind: below windows, above a desktop window", test.check_behind_above_desktop),
        ("always in front again", test.check_in_front),
        ("moved, resized or unmapped from outside, it is put back", test.check_put_back),
        ("--command starts a fixed behaviour; bad ids are refused", test.check_command),
        ("the exit item ends it with 0 and removes the tray icon", test.check_exit_item),
        ("scaling variables change nothing; SIGTERM ends it with 0", test.check_sigterm_with_scaling),
        ("SIGINT ends it with 0", test.check_sigint),
    ]
    run_checks(os.path.join(args.artifacts, args.wm), checks, test.cleanup, args.keep_going)


if __name__ == "__main__":
    main()
