#!/usr/bin/env python3
"""Release test: unpacks the Windows zip, checks what it holds, starts the unpacked mascot.exe
under Wine, sees its window and tray icon, and ends it cleanly with WM_CLOSE (exit code 0).

Usage: zip_test.py --zip mascot-VERSION-win64.zip --probe mascot-probe.exe --artifacts DIR
Needs DISPLAY (e.g. from xvfb-run) and WINEPREFIX (see tools/wine/prepare-prefix.sh).
"""

import os
import shutil
import zipfile

from desktop import (MASCOT_SIZE, START_X, START_Y, Probe, Screen, is_mascot_blue,
                     mascot_window, parse_arguments, require, require_exit, run_checks,
                     start_program, stop_program, tray_icon_gone, tray_window, wait_for)

EXPECTED_FILES = {"mascot.exe", "README-windows.txt"}


class ReleaseRun:
    def __init__(self, args):
        self.zip = args.zip
        self.probe = Probe(args.probe)
        self.folder = os.path.join(args.artifacts, "unpacked")
        self.process = None

    def unpack(self):
        shutil.rmtree(self.folder, ignore_errors=True)
        with zipfile.ZipFile(self.zip) as archive:
            require(archive.testzip() is None, "a damaged member in the zip")
            names = set(archive.namelist())
            require(names == EXPECTED_FILES, f"zip holds {sorted(names)}")
            archive.extractall(self.folder)
        with open(os.path.join(self.folder, "README-windows.txt"), encoding="utf-8") as readme:
            text = readme.read()
        require("mascot.exe" in text and "Zunpelを終了する" in text,
                "the readme does not say how to start and end the program")
        with open(os.path.join(self.folder, "mascot.exe"), "rb") as exe:
            require(exe.read(2) == b"MZ", "mascot.exe is not a Windows executable")

    def starts(self):
        self.process = start_program(os.path.join(self.folder, "mascot.exe"), cwd=self.folder)
        _, box = wait_for("the mascot window", mascot_window, 60)
        require(box == (START_X, START_Y, MASCOT_SIZE, MASCOT_SIZE), f"X geometry {box}")
        centre = (START_X + MASCOT_SIZE // 2, START_Y + MASCOT_SIZE // 2)
        wait_for("the blue disc", lambda: is_mascot_blue(Screen().pixel(*centre)), 10)
        box = wait_for("Wine's system tray window", tray_window, 30)
        wait_for("the tray icon", lambda: Screen().find(*box, is_mascot_blue), 10)

    def closes(self):
        self.probe.command("close")
        require_exit(self.process, "WM_CLOSE")
        wait_for("the tray icon to go", tray_icon_gone, 10)

    def cleanup(self):
        stop_program(self.process)


def main():
    args = parse_arguments(__doc__, "zip", "probe", "artifacts")
    release = ReleaseRun(args)
    run_checks(args.artifacts, [
        ("the zip holds mascot.exe and README-windows.txt", release.unpack),
        ("the unpacked mascot.exe shows its window and tray icon", release.starts),
        ("WM_CLOSE ends it with exit code 0 and removes the icon", release.closes),
    ], release.cleanup)


if __name__ == "__main__":
    main()
