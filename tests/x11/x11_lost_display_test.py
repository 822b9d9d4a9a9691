#!/usr/bin/env python3
"""The native mascot where the desktop fails it or differs: no display at all, no tray, a second
mascot on the display, an X server that goes away under it, 16- and 8-bit displays. Each case
must end in one line on standard error and a plain exit status, never a crash.

Usage: x11_lost_display_test.py --exe mascot    (starts its own Xvfb; needs no DISPLAY)
"""

import argparse
import os
import subprocess
import sys
import tempfile

from desktop_kit.checks import require, run_checks, wait_for
from desktop_kit.menus import open_menu, type_into
from desktop_kit.processes import read_line, start, start_xvfb, stop, wait_gone
from desktop_kit.program import (COMMANDS, HALF, MASCOT_SIZE, expected_image, menu_keys,
                                 send_command)
from desktop_kit.screen import Screen
from desktop_kit.xdo import geometry, windows_of

NO_TRAY = "no system tray"  # what the program says once when no tray shows its icon


class LostDisplay:
    def __init__(self, exe):
        self.exe = exe
        self.runtime = tempfile.mkdtemp(prefix="mascot-xdg-")
        self.server = None
        self.process = None

    def environment(self, display):
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime)
        env.pop("DISPLAY", None)
        if display:
            env["DISPLAY"] = display
        return env

    def check_no_display(self):
        result = subprocess.run([self.exe], capture_output=True, text=True, timeout=15,
                                env=self.environment(None))
        lines = result.stderr.strip().splitlines()
        require(result.returncode == 1, f"exit status {result.returncode}")
        require(len(lines) == 1 and "simulator" in lines[0], f"said {lines}")

    def check_no_tray(self):
        self.server, display = start_xvfb()
        os.environ["DISPLAY"] = display  # for xdotool
        self.process = start([self.exe], stderr=subprocess.PIPE, text=True,
                             env=self.environment(display))
        window, box = wait_for("the mascot window", lambda: windows_of(self.process.pid), 15)[0]
        said = read_line(self.process.stderr, 15)
        require(NO_TRAY in said, f"no word on the missing tray: {said!r}")
        # The menu on the mascot is then the only one: it must open and its items work.
        menu = open_menu(lambda: (box[0] + HALF, box[1] + HALF),
                         lambda: [found for found in windows_of(self.process.pid)
                                  if found[0] != window], attempts=4)[1]
        type_into(menu[1], *menu_keys("IDM_RANDOM16"))
        wait_for("the mascot to move", lambda: geometry(window) != box, 15)

    def check_second_mascot(self):
        second = subprocess.run([self.exe], capture_output=True, text=True, timeout=15,
                                env=self.environment(os.environ["DISPLAY"]))
        lines = second.stderr.strip().splitlines()
        require(second.returncode == 1, f"exit status {second.returncode}")
        require(len(lines) == 1 and "already runs" in lines[0], f"said {lines}")
        send_command(self.exe, COMMANDS["IDM_ALWAYS_IN_FRONT"],
                     env=self.environment(os.environ["DISPLAY"]))

    def check_lost(self):
        self.server.terminate()
        self.server.wait(timeout=10)
        code = wait_gone(self.process)
        lines = self.process.stderr.read().strip().splitlines()  # after the missing tray's
        require(code > 0, f"exit status {code} (negative: killed by a signal)")
        require(len(lines) == 1 and "connection to the X display was lost" in lines[0],
                f"said {lines}")

    def check_depth(self, depth, *options):
        """The picture drawn exactly on a display of the given depth, with nothing said."""
        self.server, display = start_xvfb(f"1024x768x{depth}", *options)
        os.environ["DISPLAY"] = display
        self.process = start([self.exe], stderr=subprocess.PIPE, text=True,
                             env=self.environment(display))
        window = wait_for("the mascot window", lambda: windows_of(self.process.pid), 15)[0]
        x, y = window[1][:2]
        require(window[1][2:] == (MASCOT_SIZE, MASCOT_SIZE), f"window {window[1]}")
        screen = Screen()
        wrong = [(col, row) for row, colours in enumerate(expected_image())
                 for col, colour in enumerate(colours)
                 if colour is not None and screen.pixel(x + col, y + row) != colour]
        self.process.terminate()
        wait_gone(self.process)
        lines = self.process.stderr.read().strip().splitlines()
        stop(self.server)
        require(not wrong, f"{len(wrong)} pixels differ at {depth} bits, first {wrong[:3]}")
        require(len(lines) == 1 and NO_TRAY in lines[0], f"said {lines}")

    def cleanup(self):
        stop(self.process, self.server)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True)
    args = parser.parse_args()
    test = LostDisplay(args.exe)
    checks = [
        ("no display: status 1 and one line naming the simulator", test.check_no_display),
        ("no tray: it runs, says so in one line, and its menu on the mascot works",
         test.check_no_tray),
        ("a second mascot says one runs and exits 1; the first still takes commands",
         test.check_second_mascot),
        ("a lost X server: one line and a non-zero status, no crash", test.check_lost),
        ("a 16-bit display shows the real picture", lambda: test.check_depth(16)),
        ("a 16-bit display without Composite, so with no 32-bit visual, shows the real picture",
         lambda: test.check_depth(16, "-extension", "Composite")),
        ("an 8-bit display shows the real picture", lambda: test.check_depth(8)),
    ]
    run_checks(tempfile.gettempdir(), checks, test.cleanup)


if __name__ == "__main__":
    sys.exit(main())
