"""The Windows program under Wine on an X display: started with `wine`, its windows found by the
class X gives them (the exe's name), Wine's own tray window, and mascot-probe.exe, which reads
the window's Win32 state and sends it commands from inside the same Wine, once per question or
as a server that answers line by line.

The caller provides DISPLAY and WINEPREFIX (a prefix prepared by tools/wine/prepare-prefix.sh).
"""

import re
import subprocess

from desktop_kit.checks import Failure, run
from desktop_kit.processes import read_line, start
from desktop_kit.program import MASCOT_SIZE
from desktop_kit.xdo import windows_with

EXE_NAME = "mascot.exe"
PROBE_TIMEOUT_S = 60


def start_program(exe, cwd=None):
    return start(["wine", exe], cwd=cwd)


def program_windows(exe_name=EXE_NAME):
    """Visible X windows of the program (X sees the exe's name as WM_CLASS), with geometry."""
    return windows_with("--class", "^" + re.escape(exe_name) + "$")


def mascot_window(exe_name=EXE_NAME):
    """(id, geometry) of the 41 x 41 mascot window, or None."""
    for window, box in program_windows(exe_name):
        if box[2:] == (MASCOT_SIZE, MASCOT_SIZE):
            return window, box
    return None


def menu_windows(exe_name=EXE_NAME):
    """(id, geometry) of the program's open popup menus (its other visible windows)."""
    return [(window, box) for window, box in program_windows(exe_name)
            if box[2:] != (MASCOT_SIZE, MASCOT_SIZE)]


def tray_window():
    """Geometry of Wine's own "Wine System Tray" window, or None when it is not shown."""
    found = windows_with("--name", "^Wine System Tray$")
    return found[0][1] if found else None


class Probe:
    """mascot-probe.exe, run under the same Wine as the mascot, once per question."""

    def __init__(self, exe):
        self.exe = exe

    def state(self):
        """The mascot window's Win32 state as a dict of ints, or None when there is no window.
        A probe that Wine failed to run (no "found" line: seen once on a loaded machine) runs
        once more; its finding no window is never retried."""
        for _ in range(2):
            result = subprocess.run(["wine", self.exe, "state"], capture_output=True, text=True,
                                    timeout=30)
            words = result.stdout.split()
            if words[:1] == ["found"]:
                break
        else:
            raise Failure(f"mascot-probe state gave no answer ({result.returncode}): "
                          f"{result.stdout.strip()!r} {result.stderr.strip()[-300:]!r}")
        if len(words) < 2 or words[1] != "1":
            return None
        return {words[i]: int(words[i + 1]) for i in range(0, len(words) - 1, 2)}

    def command(self, *args):
        run(["wine", self.exe, *args])

    def cover(self, x, y, width, height, seconds):
        """Starts a plain magenta window over the rectangle; returns its process."""
        return start(["wine", self.exe, "cover", x, y, width, height, seconds],
                     stdout=subprocess.PIPE, text=True)


class ProbeServer:
    """mascot-probe.exe serve: one command line in, one answer line out."""

    def __init__(self, exe):
        self.process = start(["wine", exe, "serve"], stdin=subprocess.PIPE,
                             stdout=subprocess.PIPE, text=True, bufsize=1)

    def ask(self, line, timeout=PROBE_TIMEOUT_S):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()
        answer = read_line(self.process.stdout, timeout).strip()
        if not answer:
            raise Failure(f"mascot-probe gave no answer to {line.split()[0]} in {timeout} s")
        if answer.startswith("error"):
            raise Failure(f"mascot-probe {line.split()[0]}: {answer}")
        return answer

    def close(self):
        if self.process.poll() is None:
            self.process.stdin.close()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
