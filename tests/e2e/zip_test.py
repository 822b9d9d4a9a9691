#!/usr/bin/env python3
"""Release test: unpacks the Windows zip, checks what it holds, starts the unpacked mascot.exe
under Wine, sees its window and tray icon, and ends it cleanly with WM_CLOSE (exit code 0).

Usage: zip_test.py --zip mascot-VERSION-win64.zip --probe mascot-probe.exe --artifacts DIR
Needs DISPLAY (e.g. from xvfb-run) and WINEPREFIX (see tools/wine/prepare-prefix.sh).
"""

import argparse
import os
import shutil
import zipfile

from desktop import (MASCOT_SIZE, START_X, START_Y, Failure, Probe, Screen, Steps,
                     is_mascot_blue, main_guard, mascot_window, require, start_program,
                     stop_program, tray_window, wait_for)

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
        try:
            code = self.process.wait(timeout=15)
        except Exception:
            raise Failure("still running 15 s after WM_CLOSE")
        require(code == 0, f"exit code {code}")

        def icon_gone():
            box = tray_window()
            return box is None or not Screen().find(*box, is_mascot_blue)
        wait_for("the tray icon to go", icon_gone, 10)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--zip", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--artifacts", required=True)
    args = parser.parse_args()
    os.makedirs(args.artifacts, exist_ok=True)
    release = ReleaseRun(args)
    steps = Steps(args.artifacts)

    def body():
        try:
            steps.check("the zip holds mascot.exe and README-windows.txt", release.unpack)
            steps.check("the unpacked mascot.exe shows its window and tray icon", release.starts)
            steps.check("WM_CLOSE ends it with exit code 0 and removes the icon", release.closes)
            steps.finish()
        finally:
            stop_program(release.process)

    main_guard(body)


if __name__ == "__main__":
    main()
