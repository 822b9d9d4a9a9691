#!/usr/bin/env python3
"""Takes a picture of the real mascot.exe under Wine with its right-click menu and the behaviour
submenu open, cropped to the tray, the mascot and the menus.

Usage: menu_screenshot.py --exe mascot.exe --probe mascot-probe.exe --out menu.png
Needs DISPLAY and WINEPREFIX (see tools/ci/e2e.sh for how both are set up).
"""

import subprocess

from desktop_kit.checks import parse_arguments, wait_for
from desktop_kit.menus import type_into
from desktop_kit.processes import require_exit, stop
from desktop_kit.program import HALF, MASCOT_SIZE, START_X, START_Y
from desktop_kit.xdo import click, keys
from desktop_kit.wine import Probe, mascot_window, menu_windows, start_program, tray_window

MARGIN = 12  # pixels of desktop around what the picture shows


def main():
    args = parse_arguments(__doc__, "exe", "probe", "out")
    probe = Probe(args.probe)
    program = start_program(args.exe)
    try:
        wait_for("the mascot window", mascot_window, 60)
        tray = wait_for("Wine's system tray window", tray_window, 30)
        click(START_X + HALF, START_Y + HALF, 3)
        type_into(wait_for("the popup menu", menu_windows, 5)[0][1], "Down", "Right")
        menus = wait_for("the submenu", lambda: len(menu_windows()) >= 2 and menu_windows(), 5)
        boxes = [tray, (START_X, START_Y, MASCOT_SIZE, MASCOT_SIZE), *(box for _, box in menus)]
        left = max(0, min(x for x, _, _, _ in boxes) - MARGIN)
        top = max(0, min(y for _, y, _, _ in boxes) - MARGIN)
        right = max(x + w for x, _, w, _ in boxes) + MARGIN
        bottom = max(y + h for _, y, _, h in boxes) + MARGIN
        subprocess.run(["import", "-window", "root", "-crop",
                        f"{right - left}x{bottom - top}+{left}+{top}", "+repage", args.out],
                       check=True, timeout=30)
        keys("Escape", "Escape")
        probe.command("close")
        require_exit(program, "WM_CLOSE")
    finally:
        stop(program)


if __name__ == "__main__":
    main()
