#!/usr/bin/env python3
"""The native mascot where the desktop fails it: no display at all, no tray, and an X server
that goes away under it. Each case must end in one line on standard error and a plain exit
status, never a crash.

Usage: x11_lost_display_test.py --exe mascot    (starts its own Xvfb; needs no DISPLAY)
"""

import argparse
import os
import subprocess
import sys
import tempfile

import x11_desktop  # noqa: F401  (puts tests/e2e on the path)
from desktop import Failure, require, run_checks, wait_for
from x11_desktop import kill_all, start_own_xvfb, wait_gone, windows_of


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
        self.server, display = start_own_xvfb()
        os.environ["DISPLAY"] = display  # for xdotool
        self.process = subprocess.Popen([self.exe], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE, text=True,
                                        env=self.environment(display))
        wait_for("the mascot window", lambda: windows_of(self.process.pid), 15)

    def check_lost(self):
        self.server.terminate()
        self.server.wait(timeout=10)
        code = wait_gone(self.process)
        lines = self.process.stderr.read().strip().splitlines()
        require(code > 0, f"exit status {code} (negative: killed by a signal)")
        require(len(lines) == 2, f"said {lines}")
        require("no system tray" in lines[0], f"no word on the missing tray: {lines}")
        require("connection to the X display was lost" in lines[1], f"said {lines}")

    def cleanup(self):
        kill_all(self.process, self.server)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True)
    args = parser.parse_args()
    test = LostDisplay(args.exe)
    checks = [
        ("no display: status 1 and one line naming the simulator", test.check_no_display),
        ("no tray: it runs and says so in one line", test.check_no_tray),
        ("a lost X server: one line and a non-zero status, no crash", test.check_lost),
    ]
    run_checks(tempfile.gettempdir(), checks, test.cleanup)


if __name__ == "__main__":
    sys.exit(main())
