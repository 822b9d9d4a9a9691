#!/usr/bin/env python3
"""End-to-end test of mascot.exe on an X display under Wine, with real input from xdotool: the
shared scenario (tests/desktop_kit/scenario.py) over Wine, the stacking read from the window's
Win32 state through mascot-probe.exe and from the screen's pixels, plus the shape at the start.

Usage: desktop_test.py --exe mascot.exe --probe mascot-probe.exe --artifacts DIR
Needs DISPLAY (e.g. from tools/on-xvfb.sh) and WINEPREFIX (see tools/wine/prepare-prefix.sh).
"""

from desktop_kit.checks import Failure, parse_arguments, require, run, run_checks, wait_for
from desktop_kit.desktops import icon_centre
from desktop_kit.menus import KeysNotTaken, NoMenu, open_menu, type_into
from desktop_kit.processes import stop
from desktop_kit.program import COMMANDS, HALF, MASCOT_SIZE, START_X, START_Y, menu_keys
from desktop_kit.scenario import Scenario
from desktop_kit.screen import Screen, is_cover_magenta, is_mascot_blue
from desktop_kit.wine import (Probe, mascot_window, menu_windows, program_windows,
                              start_program, tray_window)
from desktop_kit.xdo import click, click_moving, is_shaped, keys

MENU_OPENINGS = 3              # of a tray menu that hears no key
EMPTY_DESKTOP = (1016, 760)    # below the lowest the mascot goes (its box ends at y 680 + 41)
# Items whose check is what they do, not the tray menu: posted when the tray icon is deaf.
POSTED = ("IDM_ALWAYS_BEHIND", "IDM_ALWAYS_IN_FRONT")
PROBE_NAME = "mascot-probe.exe"  # the class of the covering window in X


class WineMascot(Scenario):
    def __init__(self, args):
        super().__init__()
        self.exe = args.exe
        self.probe = Probe(args.probe)
        self.process = None
        self.window = None
        self.tray_point = None
        self.tray_answered = False  # the tray icon's menu has taken a choice
        self.fell_back = False      # a choice went to the mascot's menu instead
        self.covers = []

    # --- the adapter ---

    def start(self):
        self.process = start_program(self.exe)

    def placed(self, x, y):
        found = mascot_window()
        self.window = found and found[0]
        return found is not None and found[1] == (x, y, MASCOT_SIZE, MASCOT_SIZE)

    def position(self):
        found = mascot_window()
        return None if found is None else found[1][:2]

    def tray_icon(self):
        self.tray_point = icon_centre(tray_window())
        return self.tray_point

    def command(self, command):
        self.probe.command("command", str(command))

    def choose(self, name):
        """Wine's tray icon can stay deaf to right clicks for a minute on a busy machine. Items
        whose check is what they do are then posted; another item is chosen on the mascot's own
        menu, which carries the same items, once in a run, or again once the tray menu has
        answered: a tray icon that never answers fails."""
        try:
            self.type_into_tray_menu(menu_keys(name), attempts=4 if name in POSTED else 10)
            self.tray_answered = True
        except NoMenu:
            if name in POSTED:
                print(f"# the tray icon ignored right clicks: {name} posted", flush=True)
                self.command(COMMANDS[name])
                return
            if self.fell_back and not self.tray_answered:
                raise
            self.fell_back = True
            print(f"# the tray icon ignored right clicks: {name} chosen on the mascot",
                  flush=True)
            self.type_into(self.open_menu(self.mascot_centre)[1], *menu_keys(name))
        wait_for("the menu to close", lambda: not menu_windows(), 5)

    def open_menu(self, where, attempts=8, clicker=click_moving):
        """Under Wine a right click soon after a menu closed sometimes opens none, the tray icon
        sometimes ignores right clicks for some seconds after the program starts or while the
        machine is busy, and a loaded machine can take seconds to show a menu, hence the tries
        and the wait for each."""
        return open_menu(where, menu_windows, attempts, timeout=4, clicker=clicker)

    def type_into(self, menu, *key_names):
        """Keys after a Right go in once the submenu it opens shows."""
        cut = key_names.index("Right") + 1 if "Right" in key_names else len(key_names)
        type_into(menu[1], *key_names[:cut])
        if key_names[cut:]:
            wait_for("the submenu", lambda: len(menu_windows()) >= 2, 3)
            keys(*key_names[cut:])

    def menus(self):
        return menu_windows()

    def open_cover(self, x, y, side):
        cover = self.probe.cover(x, y, side, side, 120)
        self.covers.append(cover)
        above = (x + side // 2, y + side // 2 - HALF - 2)  # the cover's, not the mascot's
        wait_for("the covering window", lambda: is_cover_magenta(Screen().pixel(*above)), 15)
        return cover

    def drop_cover(self, cover):
        stop(cover)

    def covers_new_window(self):
        # Wine on a bare X server maps a new window at the top of the X stack whatever the Win32
        # order, which keeps the topmost mascot above it: once Win32 says so, the X stack is
        # made to agree, as Windows would show it, for the clicks that follow.
        self.cover = self.new_cover()
        wait_for("the mascot over the new window in Win32", self.topmost_over_others, 5)
        run(["xdotool", "windowraise", str(self.window)])
        wait_for("the mascot shown over the new window", self.centre_is_blue, 5)

    def in_front(self):
        return self.topmost_over_others() and self.centre_is_blue()

    def ducked(self):
        state = self.state()
        if state["topmost"] != 0 or state["below"] != 0:
            return False
        # Wine on a bare X server raises a window that comes first in Win32's order but never
        # lowers one: the X stack is made to agree with Win32's, as Windows would show it.
        for window, _ in program_windows(PROBE_NAME):
            run(["xdotool", "windowraise", str(window)])
        return not self.centre_is_blue()

    def stacking(self):
        return f"Win32 state {self.state()}, blue at its centre: {self.centre_is_blue()}"

    # --- Wine's own ---

    def state(self):
        state = self.probe.state()
        if state is None:
            raise Failure("mascot-probe finds no mascot window")
        return state

    def topmost_over_others(self):
        state = self.state()
        return state["topmost"] == 1 and state["below"] >= 1

    def centre_is_blue(self):
        x, y = self.rest or (START_X, START_Y)
        return is_mascot_blue(Screen().pixel(x + HALF, y + HALF))

    def type_into_tray_menu(self, key_names, attempts):
        """Opens the tray icon's menu and types the keys into it. Under Wine the click on the
        tray icon can take the keyboard back after the program took it for its menu, which
        then shows but hears no key: it is closed with a click on the empty desktop and opened
        anew. A program that never takes the keyboard for its menu fails every time."""
        for _ in range(MENU_OPENINGS):
            menu = self.open_menu(lambda: self.tray_point, attempts, clicker=click)[1]
            try:
                self.type_into(menu, *key_names)
                return
            except KeysNotTaken as failure:
                print(f"# {failure}: the menu is opened again", flush=True)
                unheard = failure
                click(*EMPTY_DESKTOP, 1)
                wait_for("the unheard menu to close", lambda: not menu_windows(), 5)
        raise unheard

    def check_topmost_at_start(self):
        state = wait_for("the mascot in Win32", self.probe.state, 30)
        require(state["topmost"] == 1, f"not topmost at start: {state}")

    def check_shaped(self):
        require(is_shaped(self.window), "xwininfo -shape shows no shape smaller than the window")
        x, y = START_X, START_Y

        def corners_show_desktop():
            screen = Screen()
            desktop = screen.pixel(x - 10, y + HALF)
            corners = [screen.pixel(x + dx, y + dy) for dx in (0, MASCOT_SIZE - 1)
                       for dy in (0, MASCOT_SIZE - 1)]
            return is_mascot_blue(screen.pixel(x + HALF, y + HALF)) and \
                all(corner == desktop for corner in corners)
        wait_for("a blue disc with the desktop in the corners", corners_show_desktop, 10)

    def cleanup(self):
        stop(*self.covers, self.process)


def main():
    args = parse_arguments(__doc__, "exe", "probe", "artifacts")
    mascot = WineMascot(args)
    run_checks(args.artifacts, mascot.checks({
        "appears": [("it is topmost in Win32", mascot.check_topmost_at_start),
                    ("the window is shaped: its corners show the desktop", mascot.check_shaped)],
    }), mascot.cleanup)


if __name__ == "__main__":
    main()
