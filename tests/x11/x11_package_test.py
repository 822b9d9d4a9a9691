#!/usr/bin/env python3
"""The Debian package of the X11 program: its contents and dependencies, and the packaged binary
started from an unpacked copy on an Xvfb of its own, ended by its exit command.

Usage: x11_package_test.py --deb mascot_VERSION_amd64.deb
"""

import argparse
import os
import subprocess
import tempfile

import x11_desktop  # noqa: F401  (puts tests/e2e on the path)
from desktop import require, run, run_checks, wait_for
from x11_desktop import kill_all, start_own_xvfb, wait_gone, windows_of

FILES = ("./usr/bin/mascot", "./usr/share/applications/mascot.desktop",
         "./usr/share/icons/hicolor/32x32/apps/mascot.png")
DEPENDS = ("fonts-vlgothic", "libqt6widgets6", "libxcb-shape0", "libxcb1")
EXIT = 57665


class PackageTest:
    def __init__(self, deb):
        self.deb = deb
        self.unpacked = tempfile.mkdtemp(prefix="mascot-deb-")
        self.server = None
        self.process = None

    def check_contents(self):
        listing = run(["dpkg-deb", "-c", self.deb])
        paths = {line.split()[-1] for line in listing.splitlines()}
        missing = [path for path in FILES if path not in paths]
        require(not missing, f"missing {missing}")
        depends = run(["dpkg-deb", "-f", self.deb, "Depends"])
        absent = [name for name in DEPENDS if name not in depends]
        require(not absent, f"Depends lacks {absent}: {depends.strip()}")

    def check_runs_unpacked(self):
        run(["dpkg-deb", "-x", self.deb, self.unpacked])
        exe = os.path.join(self.unpacked, "usr", "bin", "mascot")
        require("--command ID" in run([exe, "--help"]), "no help from the packaged binary")
        self.server, os.environ["DISPLAY"] = start_own_xvfb()
        self.process = subprocess.Popen([exe], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        wait_for("the packaged mascot's window", lambda: windows_of(self.process.pid), 15)
        run([exe, "--command", str(EXIT)])
        code = wait_gone(self.process)
        require(code == 0, f"exit status {code}")

    def cleanup(self):
        kill_all(self.process, self.server)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--deb", required=True)
    test = PackageTest(parser.parse_args().deb)
    run_checks(tempfile.gettempdir(), [
        ("the package holds the binary, the .desktop entry and the icon, with its dependencies",
         test.check_contents),
        ("the packaged binary runs from an unpacked copy and ends with 0", test.check_runs_unpacked),
    ], test.cleanup)


if __name__ == "__main__":
    main()
