"""End-to-end test of the native X11 mascot on an X display, driven by xdotool as a person would:
the shared scenario (tests/desktop_kit/scenario.py) over X11, plus what is X11's own: no frame
and no taskbar entry, the shape and picture pixel for pixel, no focus taken, below another
program's override-redirect window, its menu never covered, always behind yet above a desktop
window, put back after being moved, resized or unmapped from outside, --command, exit by SIGTERM
and SIGINT with status 0, and scaling variables changing nothing. Stacking is read from the
screen's pixels and sampled from the X order. Under a Wayland compositor, whose rootless Xwayland
keeps no pixels in the root window, the pixels are the compositor's own screenshot, and a native
Wayland window opened over the X cover is what the mascot must show over and duck under; where
the compositor gives no screenshot, stacking is read from the X order alone, and the tray icon
and the picture from their windows' own pixels.

Usage: x11_desktop_test.py --exe mascot --probe x11-probe --artifacts DIR
       --wm none|openbox|picom|mutter|kwin|xfce|mutter-wayland|kwin-wayland|gnome-shell
       [--keep-going]
       [--wayland-probe wayland-probe]  (the native window, for Wayland desktops with screenshots)
Needs DISPLAY (an Xvfb of its own: the test starts the desktop and its tray host, or the Xwayland
of the Wayland compositor it runs under) and, for xfce, a D-Bus session bus; GNOME Shell it
starts itself, in the D-Bus session it runs in.
"""

import argparse
import os
import signal
import subprocess
import time

from desktop_kit.checks import require, run, run_checks, wait_for
from desktop_kit.desktops import DESKTOPS, icon_centre, start_desktop
from desktop_kit.menus import open_menu, type_into
from desktop_kit.processes import process_tree, start, stop
from desktop_kit.program import (BAD_USAGE, COMMANDS, CRUISE, HALF, MASCOT_SIZE, NO_MASCOT,
                                 START_X, START_Y, expected_image, menu_keys, send_command)
from desktop_kit.scenario import Scenario, count_bad
from desktop_kit.screen import (Screen, is_cover_magenta, is_mascot_blue, set_root_grey,
                                window_pixels)
from desktop_kit.wayland import NativeWindow
from desktop_kit.x11_probe import DESKTOP_GREEN, OVERLAY_YELLOW, Probe
from desktop_kit.xdo import click, windows_of

IN_FRONT = COMMANDS["IDM_ALWAYS_IN_FRONT"]
BAD_ID = 70000  # beyond the 16 bits of a command id


class X11Mascot(Scenario):
    def __init__(self, args):
        super().__init__()
        self.exe = args.exe
        self.probe = Probe(args.probe)
        self.wm = args.wm
        desktop = DESKTOPS[args.wm]
        self.shot = desktop.screenshot
        self.activate_native = desktop.activate_native
        self.pixels = self.shot is not None
        self.native_exe = args.wayland_probe if desktop.wayland and self.pixels else None
        self.native = None  # the native window over the X cover while there is one
        self.helpers = []
        self.tray_host = None
        self.window = None
        self.tray_point = None
        self.menu_owners, self.before_menu = [], set()

    # --- the adapter ---

    def start(self, **environment):
        """Starts the desktop the first time, then the program; waits for its window and icon."""
        if self.tray_host is None:
            self.start_desktop()
        env = dict(os.environ, **environment)
        self.process = start([self.exe], stderr=subprocess.PIPE, text=True, env=env)
        self.window = wait_for("the mascot window", self.find_mascot, 15)[0]
        wait_for("the tray icon", self.tray_icon, 15)

    def placed(self, x, y):
        """Shown at (x, y), 41 x 41, and so is its top-level: a frame, if any, has no border."""
        box = (x, y, MASCOT_SIZE, MASCOT_SIZE)
        return self.find_mascot() == (self.window, box) and self.probe.top(self.window)[1] == box

    def position(self):
        found = self.find_mascot()
        return None if found is None else found[1][:2]

    def tray_icon(self):
        """The centre of the blue disc inside the tray host's windows (xfce4-panel draws the
        icon itself, trayer embeds the program's window), or None."""
        screen = self.shot() if self.pixels else None
        self.tray_point = None
        for window, box in windows_of(self.tray_host.pid):
            pixels = screen or window_pixels(window, box)
            self.tray_point = icon_centre(box, pixels) if pixels else None
            if self.tray_point:
                break
        return self.tray_point

    def command(self, command):
        send_command(self.exe, command)

    def choose(self, name):
        menu = self.open_menu(lambda: self.tray_point)[1]
        self.type_into(menu, *menu_keys(name))
        wait_for("the menu to close", lambda: not self.menus(), 5)

    def open_menu(self, where):
        return open_menu(where, self.menus, attempts=4, timeout=2, before=self.note_windows)

    def type_into(self, menu, *key_names):
        """Types into an open menu once it takes keys; where the screen's pixels cannot be read,
        the menu's own pixels tell."""
        window, box = menu
        pixels = (lambda: self.shot(box)) if self.pixels else lambda: window_pixels(window, box)
        type_into(box, *key_names,
                  picture=lambda: (lambda shown: shown and shown.area(*box))(pixels()))

    def menus(self):
        """Windows on screen that the mascot or the tray host showed since the last right click."""
        return [(w, box) for w, box in self.owned_windows()
                if w not in self.before_menu and box[0] + box[2] > 0 and box[1] + box[3] > 0]

    def open_cover(self, x, y, side):
        """The X cover and, on Wayland, a native window over it (maximized): the X order sees
        the one, only the compositor's screenshot the other."""
        cover = self.probe.hold("cover", x, y, side, side, 120)
        if self.native_exe:
            self.native = NativeWindow(self.native_exe)
            if self.activate_native:
                self.activate_native()
            box = (x, y, side, side)
            wait_for("the native window over the X cover",
                     lambda: not self.shot(box).find(*box, is_cover_magenta), 5)
        return cover

    def drop_cover(self, cover):
        self.probe.drop(cover[0])
        if self.native:
            self.native.close()
            self.native = None

    def in_front(self, window=None):
        """Above the window in the X order and, where the screen's pixels can be read, shown."""
        order = self.probe.order(self.window, window or self.cover[1])
        return order[0] > order[1] and (not self.pixels or is_mascot_blue(self.centre_colour()))

    def ducked(self, window=None):
        # Not the mascot's colour rather than the cover's: a window manager may have pushed the
        # cover below a top panel, leaving its title bar over the mascot's centre.
        order = self.probe.order(self.window, window or self.cover[1])
        return order[0] < order[1] and (not self.pixels
                                         or not is_mascot_blue(self.centre_colour()))

    def stacking(self):
        colour = self.centre_colour() if self.pixels else "unread"
        native = ", a native window over the X cover" if self.native else ""
        return (f"X order {self.probe.order(self.window, self.cover[1])}, colour {colour} at "
                f"the mascot's centre{native}")

    # --- X11's own ---

    def start_desktop(self):
        self.helpers, self.tray_host = start_desktop(self.wm, self.probe.owner)
        set_root_grey()  # after a client holds the server, which resets when the last one goes

    def find_mascot(self):
        for window, box in windows_of(self.process.pid):
            if box[2:] == (MASCOT_SIZE, MASCOT_SIZE):
                return window, box
        return None

    def owned_windows(self):
        return [found for pid in self.menu_owners for found in windows_of(pid)]

    def note_windows(self):
        """The windows the mascot and the tray host show before a right click."""
        self.menu_owners = [self.process.pid] + process_tree(self.tray_host.pid)
        self.before_menu = {window for window, _ in self.owned_windows()}

    def close_menu(self, menu):
        self.type_into(menu, "Escape")
        wait_for("the menu to close", lambda: not self.menus(), 5)

    def pixels_or_skip(self, what):
        """Whether the screen's pixels can be read; if not, says that `what` is not looked at."""
        if not self.pixels:
            print(f"# skipped: {what} (nothing gives the screen's pixels here)", flush=True)
        return self.pixels

    def colour_at(self, x, y):
        return self.shot((x, y, 1, 1)).pixel(x, y)

    def centre_colour(self):
        x, y = self.rest or (START_X, START_Y)
        return self.colour_at(x + HALF, y + HALF)

    # --- checks of X11's own ---

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
        """The image inside the shape and, where the screen's pixels can be read, what is behind
        round it (a green desktop window), not the black square a compositor may draw."""
        box = (START_X, START_Y, MASCOT_SIZE, MASCOT_SIZE)
        if not self.pixels_or_skip("the pixels on screen and round the shape"):
            return self.require_picture(Screen(self.window, box[:2]))
        desktop = self.probe.hold("desktop", 60)[0]
        try:
            wait_for("the desktop window shown", lambda: self.colour_at(5, 400) == DESKTOP_GREEN,
                     5)
            self.require_picture(self.shot(box), DESKTOP_GREEN)
        finally:
            self.probe.drop(desktop)

    def require_picture(self, screen, behind=None):
        """The window's square as the image has it; outside the shape `behind` (None: unread)."""
        wrong = []
        shadow = 24 if DESKTOPS[self.wm].composites else 0  # a compositor may shade round the disc
        for y, row in enumerate(expected_image()):
            for x, colour in enumerate(row):
                if colour is None and behind is None:
                    continue
                seen = screen.pixel(START_X + x, START_Y + y)
                off = 0 if colour else shadow
                if any(abs(a - b) > off for a, b in zip(seen, colour or behind)):
                    wrong.append((x, y, seen))
        require(not wrong, f"{len(wrong)} pixels differ, first {wrong[:3]}")

    def check_click_takes_no_focus(self):
        click(START_X + HALF, START_Y + HALF, 1)  # ducks it; the test of ducking comes later
        require(self.probe.focus() != self.window, "the mascot took the keyboard focus")
        self.command(IN_FRONT)  # back in front

    def overlaid(self, overlay):
        """Whether the mascot shows over the window (in the X order or on screen)."""
        found = self.find_mascot()
        order = self.probe.order(self.window, overlay)
        if order[0] > order[1] or not self.pixels or not found:
            return order[0] > order[1]
        box = (found[1][0] - HALF, found[1][1] - HALF, 2 * MASCOT_SIZE, 2 * MASCOT_SIZE)
        return self.shot(box).find(*box, is_mascot_blue)

    def check_stays_below_overlay(self):
        overlay, window = self.probe.hold("overlay", 60)
        if self.pixels_or_skip("the overlay's and the mascot's colours on screen"):
            wait_for("the overlay shown", lambda: self.colour_at(5, 400) == OVERLAY_YELLOW, 5)
        bad, total = count_bad(2, lambda: self.overlaid(window))
        self.probe.drop(overlay)
        require(not bad, f"over the override-redirect window in {bad} of {total} samples")

    def check_menu_uncovered(self):
        """Below its menu in the X order and, where the screen can be read, none of its blue
        shows inside the menu."""
        box = self.menu[1]
        for _ in range(10):
            time.sleep(0.1)
            order = self.probe.order(self.window, self.menu[0])
            require(order[0] < order[1], f"the mascot covers its menu: {order}")
            blue = self.pixels and self.shot(box).find(*box, is_mascot_blue)
            require(not blue, f"the mascot shows over its menu at {blue[:3] if blue else ''}")

    def check_behind_above_desktop(self):
        desktop, desktop_window = self.probe.hold("desktop", 120)
        def stacked():
            order = self.probe.order(desktop_window, self.window, self.cover[1])
            return order[0] < order[1] < order[2]
        wait_for("the desktop window, the mascot and the window in that order from the bottom",
                 stacked, 5)
        self.drop_cover(self.cover)
        self.pixels_or_skip("the colour of the desktop window")
        wait_for("the mascot over the desktop", lambda: self.in_front(desktop_window), 5)
        require(not self.pixels or self.colour_at(5, 400) == DESKTOP_GREEN,
                "the desktop window is not shown")
        self.cover = self.new_cover()
        wait_for("a new window over the mascot", self.ducked, 5)
        self.probe.drop(desktop)

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
        send_command(self.exe, BAD_ID, due=BAD_USAGE)
        self.command(CRUISE)
        wait_for("the mascot to cruise", lambda: self.position() != self.rest, 10)

    def check_command_with_no_mascot(self):
        send_command(self.exe, CRUISE, due=NO_MASCOT)

    def check_sigterm_with_scaling(self):
        self.start(QT_SCALE_FACTOR="2", QT_SCREEN_SCALE_FACTORS="2")
        require(self.find_mascot()[1] == (START_X, START_Y, MASCOT_SIZE, MASCOT_SIZE),
                f"scaled window {self.find_mascot()[1]}")
        point, menu = self.open_menu(lambda: (START_X + HALF, START_Y + HALF))
        box = menu[1]
        require(abs(box[0] - point[0]) <= 2 and abs(box[1] - point[1]) <= 2,
                f"scaled menu at {box[:2]}, clicked at {point}")
        self.close_menu(menu)
        self.process.send_signal(signal.SIGTERM)
        self.require_ended("SIGTERM")

    def check_sigint(self):
        self.start()
        self.process.send_signal(signal.SIGINT)
        self.require_ended("SIGINT")

    def cleanup(self):
        if self.native:
            self.native.close()
        self.probe.drop_all()
        stop(self.process, *reversed(self.helpers))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for name in ("exe", "probe", "artifacts"):
        parser.add_argument(f"--{name}", required=True)
    parser.add_argument("--wm", choices=DESKTOPS, required=True)
    parser.add_argument("--wayland-probe", help="the native window, on Wayland with screenshots")
    parser.add_argument("--keep-going", action="store_true", help="run the checks after a failure")
    args = parser.parse_args()
    desktop = DESKTOPS[args.wm]
    if desktop.wayland and desktop.screenshot and not args.wayland_probe:
        parser.error(f"{args.wm} needs --wayland-probe")
    test = X11Mascot(args)
    where = args.wm if args.wm != "none" else "a bare X server"
    print(f"# on {where}", flush=True)
    checks = test.checks({
        "appears": [("no frame, no taskbar or pager entry", test.check_no_taskbar_entry),
                    ("the X shape is the image's, pixel for pixel", test.check_shape),
                    ("the picture on screen is the image's, pixel for pixel", test.check_picture)],
        "idle": [("a click takes no focus", test.check_click_takes_no_focus)],
        "tray_menu_starts_motion": [("moving in front, it stays below an override-redirect "
                                     "window", test.check_stays_below_overlay)],
        "menu_on_mascot": [("the mascot never covers its menu", test.check_menu_uncovered)],
        "always_behind": [("behind, it stays above a desktop window and below new windows",
                           test.check_behind_above_desktop)],
        "always_in_front": [("moved, resized or unmapped from outside, it is put back",
                             test.check_put_back),
                            ("--command starts a fixed behaviour; bad ids are refused",
                             test.check_command)],
        "exit_item": [("--command with no mascot running ends with 1",
                       test.check_command_with_no_mascot),
                      ("scaling variables change nothing; SIGTERM ends it with 0",
                       test.check_sigterm_with_scaling),
                      ("SIGINT ends it with 0", test.check_sigint)],
    })
    run_checks(os.path.join(args.artifacts, args.wm), checks, test.cleanup, args.keep_going,
               desktop.screenshot if desktop.wayland else None)


if __name__ == "__main__":
    main()
