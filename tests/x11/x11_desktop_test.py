#!/usr/bin/env python3
"""End-to-end test of the native X11 mascot on an X display, driven by xdotool as a person would.

Start-up window, shape, picture and tray icon (trayer); no focus taken; idle; the tray menu
starts the motion and it keeps to the box; the menu on the moving mascot opens at the pointer and
is not covered; stop; a left click and a drag duck it below another window without moving it,
for about ten seconds; always behind, above a desktop-type window; always in front; --command;
exit and SIGTERM with status 0 and the tray icon gone; scaling variables change nothing.

Usage: x11_desktop_test.py --exe mascot --probe x11-probe --artifacts DIR --wm none|openbox
Needs DISPLAY (an Xvfb of its own: the test starts trayer, and openbox for --wm openbox).
"""

import argparse
import os
import signal
import subprocess
import time

import x11_desktop  # noqa: F401  (puts tests/e2e on the path)
from desktop import (BOX_BOTTOM, BOX_LEFT, BOX_RIGHT, BOX_TOP, MASCOT_SIZE, START_X, START_Y,
                     Failure, Screen, click, is_cover_magenta, is_mascot_blue, keys, move_pointer,
                     require, run, run_checks, wait_for)
from x11_desktop import (DESKTOP_GREEN, ROOT_GREY, Probe, expected_image,
                         poll_until_still, set_root_grey, start_openbox, start_trayer,
                         stop_helper, wait_gone, windows_of)

HALF = MASCOT_SIZE // 2
DUCK_S = 10.0
COVER = 160  # side of the covering window, centred on the mascot
KEYS_RANDOM16 = ("Down", "Right", "Down", "Down", "Down", "Return")
KEYS_STOP = ("Down", "Down", "Return")
KEYS_IN_FRONT = ("Down", "Down", "Down", "Return")
KEYS_BEHIND = ("Down", "Down", "Down", "Down", "Return")
KEYS_EXIT = ("Down", "Down", "Down", "Down", "Down", "Return")
CRUISE = 32781  # a fixed behaviour no menu item carries
TRAY_ICON_MAX = 64  # pixels: the program's only window this small is its tray icon


class MascotRun:
    def __init__(self, args):
        self.exe = args.exe
        self.probe = Probe(args.probe)
        self.wm = args.wm
        self.helpers = []
        self.trayer = None
        self.process = None
        self.window = None
        self.tray_icon = None
        self.rest = None

    # --- the program ---

    def start(self, **environment):
        env = dict(os.environ, **environment)
        self.process = subprocess.Popen([self.exe], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE, stdin=subprocess.DEVNULL,
                                        text=True, env=env)
        found = wait_for("the mascot window", self.find_mascot, 15)
        self.window = found[0]
        self.tray_icon = wait_for("the tray icon", self.find_tray_icon, 15)

    def find_mascot(self):
        for window, box in windows_of(self.process.pid):
            if box[2:] == (MASCOT_SIZE, MASCOT_SIZE):
                return window, box
        return None

    def find_tray_icon(self):
        for window, box in windows_of(self.process.pid):
            if window != self.window and box[2] <= TRAY_ICON_MAX and box[3] <= TRAY_ICON_MAX:
                return window, box
        return None

    def position(self):
        found = self.find_mascot()
        return None if found is None else found[1][:2]

    def menus(self):
        known = {self.window, self.tray_icon[0] if self.tray_icon else None}
        return [(w, box) for w, box in windows_of(self.process.pid) if w not in known]

    def open_menu(self, where, attempts=4):
        """Right-clicks at where() until a menu shows; returns (click point, (window, box))."""
        for _ in range(attempts):
            point = where()
            run(["xdotool", "mousemove", str(point[0]), str(point[1]), "click", "3"])
            try:
                return point, wait_for("the menu", self.menus, 2)[0]
            except Failure:
                continue
        raise Failure(f"no menu after {attempts} right clicks")

    def tray_point(self):
        x, y, width, height = self.tray_icon[1]
        return x + width // 2, y + height // 2

    def choose(self, key_names):
        self.open_menu(self.tray_point)
        keys(*key_names)
        wait_for("the menu to close", lambda: not self.menus(), 5)

    def mascot_centre(self):
        x, y = self.position()
        return x + HALF, y + HALF

    def require_ended(self, what):
        code = wait_gone(self.process)
        require(code == 0, f"exit status {code} after {what}")
        require(not windows_of(self.process.pid), f"windows left after {what}")
        box = windows_of(self.trayer.pid)[0][1]
        require(not Screen().find(*box, is_mascot_blue), f"tray icon still shown after {what}")

    # --- checks ---

    def check_start(self):
        if self.wm == "openbox":
            self.helpers.append(start_openbox())
        self.trayer, _ = start_trayer()
        self.helpers.append(self.trayer)
        set_root_grey()  # after a client holds the server, which resets when the last one goes
        self.start()
        box = self.find_mascot()[1]
        require(box == (START_X, START_Y, MASCOT_SIZE, MASCOT_SIZE), f"window at {box}")
        text = run(["xprop", "-id", str(self.window), "_NET_WM_STATE"])
        require("_SKIP_TASKBAR" in text and "_SKIP_PAGER" in text, f"in a taskbar: {text}")

    def check_shape(self):
        shape = self.probe.shape(self.window)
        wanted = ["".join("." if colour is None else "#" for colour in row)
                  for row in expected_image()]
        require(shape == wanted, "the X shape differs from the image:\n" + "\n".join(shape))

    def check_picture(self):
        screen = Screen()
        wrong = []
        for y, row in enumerate(expected_image()):
            for x, colour in enumerate(row):
                seen = screen.pixel(START_X + x, START_Y + y)
                if seen != (colour or ROOT_GREY):
                    wrong.append((x, y, seen))
        require(not wrong, f"{len(wrong)} pixels differ, first {wrong[:3]}")

    def check_tray_icon(self):
        require(Screen().find(*self.tray_icon[1], is_mascot_blue), "no blue disc in the tray")

    def check_idle_and_no_focus(self):
        for x, y in ((100, 500), (700, 300), (START_X + HALF, START_Y + HALF)):
            move_pointer(x, y)
            time.sleep(0.3)
            require(self.position() == (START_X, START_Y), f"moved while idle: {self.position()}")
        click(START_X + HALF, START_Y + HALF, 1)  # ducks it; the test of ducking comes later
        require(self.probe.focus() != self.window, "the mascot took the keyboard focus")
        self.process_command(32800)  # back in front

    def process_command(self, command):
        result = subprocess.run([self.exe, "--command", str(command)], capture_output=True,
                                text=True, timeout=15)
        require(result.returncode == 0, f"--command {command}: {result.returncode} "
                                        f"{result.stderr.strip()}")
        return result

    def check_tray_menu_starts_motion(self):
        self.choose(KEYS_RANDOM16)
        wait_for("the mascot to move", lambda: self.position() != (START_X, START_Y), 10)
        seen = set()
        end = time.monotonic() + 4
        while time.monotonic() < end:
            x, y = self.position()
            require(BOX_LEFT <= x <= BOX_RIGHT and BOX_TOP <= y <= BOX_BOTTOM,
                    f"left the box: ({x}, {y})")
            seen.add((x, y))
            time.sleep(0.05)
        require(len(seen) > 10, f"only {len(seen)} positions in 4 s")

    def check_menu_on_mascot(self):
        # A random mode may be braking just now: cruising moves on every tick.
        self.process_command(CRUISE)
        point, (menu, box) = self.open_menu(self.mascot_centre)
        # Qt moves a menu that would leave the screen; otherwise its corner is the pointer.
        screen = Screen()
        fits = point[0] + box[2] <= screen.width and point[1] + box[3] <= screen.height
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
        keys("Escape")
        wait_for("the menu to close", lambda: not self.menus(), 5)

    def check_stop(self):
        self.choose(KEYS_STOP)
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
        wait_for("the mascot above the new window",
                 lambda: self.probe.order(self.window, window)[0] >
                 self.probe.order(self.window, window)[1], 5)
        wait_for("the mascot to show over the window", lambda: is_mascot_blue(self.centre_colour()),
                 5)
        self.front_cover = (cover, window)

    def ducked(self, window):
        order = self.probe.order(self.window, window)
        return order[0] < order[1] and is_cover_magenta(self.centre_colour())

    def check_click_ducks(self):
        cover, window = self.front_cover
        x, y = self.rest
        click(x + HALF, y + HALF, 1)
        started = time.monotonic()
        wait_for("the mascot below the other window", lambda: self.ducked(window), 3)
        require(self.probe.focus() != self.window, "the click gave the mascot the focus")
        wait_for("the mascot back in front", lambda: is_mascot_blue(self.centre_colour()),
                 DUCK_S + 5)
        took = time.monotonic() - started
        print(f"# ducked for {took:.2f} s", flush=True)
        require(DUCK_S - 1.5 <= took <= DUCK_S + 1.5, f"ducked for {took:.1f} s")
        require(self.position() == self.rest, f"moved from {self.rest} to {self.position()}")

    def check_drag_ducks(self):
        cover, window = self.front_cover
        x, y = self.rest
        run(["xdotool", "mousemove", str(x + HALF), str(y + HALF), "mousedown", "1"])
        for step in range(1, 6):
            run(["xdotool", "mousemove", str(x + HALF + 12 * step), str(y + HALF + 8 * step)])
            time.sleep(0.03)
        run(["xdotool", "mouseup", "1"])
        wait_for("the dragged mascot below the other window", lambda: self.ducked(window), 3)
        require(self.position() == self.rest, f"dragged from {self.rest} to {self.position()}")
        self.process_command(32800)
        wait_for("the mascot in front again", lambda: is_mascot_blue(self.centre_colour()), 3)

    def check_behind_above_desktop(self):
        desktop, desktop_window = self.probe.hold("desktop", 120)
        self.choose(KEYS_BEHIND)
        cover, window = self.front_cover
        wait_for("the mascot behind the window", lambda: self.ducked(window), 5)
        order = self.probe.order(desktop_window, self.window, window)
        require(order[0] < order[1] < order[2], f"stacking desktop, mascot, window: {order}")
        self.probe.drop(cover)
        wait_for("the mascot over the desktop", lambda: is_mascot_blue(self.centre_colour()), 5)
        require(Screen().pixel(5, 5) == DESKTOP_GREEN, "the desktop window is not shown")
        # Always behind does not end by itself, and a new window lands above the mascot.
        time.sleep(2)
        self.behind_cover, _ = self.cover()
        wait_for("a new window over the mascot", lambda: is_cover_magenta(self.centre_colour()), 5)
        self.desktop = desktop

    def check_in_front(self):
        self.choose(KEYS_IN_FRONT)
        wait_for("the mascot in front", lambda: is_mascot_blue(self.centre_colour()), 5)
        self.probe.drop(self.behind_cover)
        self.probe.drop(self.desktop)

    def check_command(self):
        bad = subprocess.run([self.exe, "--command", "70000"], capture_output=True, text=True,
                             timeout=15)
        require(bad.returncode == 2 and len(bad.stderr.strip().splitlines()) == 1,
                f"bad id: {bad.returncode} {bad.stderr!r}")
        result = self.process_command(CRUISE)
        require("received" in result.stdout, f"answer {result.stdout!r}")
        wait_for("the mascot to cruise", lambda: self.position() != self.rest, 10)

    def check_exit_item(self):
        self.choose(KEYS_EXIT)
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
        keys("Escape")
        wait_for("the menu to close", lambda: not self.menus(), 5)
        self.process.send_signal(signal.SIGTERM)
        self.require_ended("SIGTERM")

    def check_sigint(self):
        self.start()
        self.process.send_signal(signal.SIGINT)
        self.require_ended("SIGINT")

    def cleanup(self):
        self.probe.drop_all()
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=5)
        for helper in reversed(self.helpers):
            stop_helper(helper)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for name in ("exe", "probe", "artifacts"):
        parser.add_argument(f"--{name}", required=True)
    parser.add_argument("--wm", choices=("none", "openbox"), required=True)
    args = parser.parse_args()
    test = MascotRun(args)
    where = "openbox" if args.wm == "openbox" else "a bare X server"
    checks = [
        (f"starts on {where}: 41x41 at (300, 100), no frame", test.check_start),
        ("the X shape is the image's, pixel for pixel", test.check_shape),
        ("the picture on screen is the image's, pixel for pixel", test.check_picture),
        ("the disc icon docks in the tray", test.check_tray_icon),
        ("idle: stays put; a click takes no focus", test.check_idle_and_no_focus),
        ("the tray menu starts a mode; it moves within the box", test.check_tray_menu_starts_motion),
        ("the menu on the moving mascot opens at the pointer, uncovered", test.check_menu_on_mascot),
        ("stop brings it to rest", test.check_stop),
        ("in front it covers a new window", test.check_front_covers_new_windows),
        ("a left click ducks it below the window for about 10 s, unmoved", test.check_click_ducks),
        ("a drag ducks it too and does not move it", test.check_drag_ducks),
        ("always behind: below windows, above a desktop window", test.check_behind_above_desktop),
        ("always in front again", test.check_in_front),
        ("--command starts a fixed behaviour; bad ids are refused", test.check_command),
        ("the exit item ends it with 0 and removes the tray icon", test.check_exit_item),
        ("scaling variables change nothing; SIGTERM ends it with 0", test.check_sigterm_with_scaling),
        ("SIGINT ends it with 0", test.check_sigint),
    ]
    run_checks(os.path.join(args.artifacts, args.wm), checks, test.cleanup)


if __name__ == "__main__":
    main()
