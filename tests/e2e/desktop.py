"""Driving the real mascot.exe under Wine on an X display: start and stop it, find its windows,
read screen pixels, send real input with xdotool, and read the Win32 z-order with mascot-probe.

The caller provides DISPLAY and WINEPREFIX (a prefix prepared by tools/wine/prepare-prefix.sh).
"""

import argparse
import os
import re
import subprocess
import sys
import time

MASCOT_SIZE = 41          # window size in pixels
START_X, START_Y = 300, 100
BOX_LEFT, BOX_TOP, BOX_RIGHT, BOX_BOTTOM = 20, 20, 1000, 680
POLL_S = 0.1              # how often conditions are looked at
# The licence that every release carries.
LICENSE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "LICENSE")


class Failure(Exception):
    """A check did not hold; the message says which and what was seen."""


def run(args, timeout=30, check=True):
    """Runs a command and returns its standard output as text."""
    result = subprocess.run(args, capture_output=True, text=True, timeout=timeout)
    if check and result.returncode != 0:
        raise Failure(f"{' '.join(args)} failed ({result.returncode}): {result.stderr.strip()}")
    return result.stdout


def wait_for(what, condition, timeout):
    """Polls condition() until it gives something true; returns that, or fails after timeout s."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        last = condition()
        if last:
            return last
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout} s waiting for {what}")
        time.sleep(POLL_S)


class Screen:
    """One screenshot of the root window, 8 bits per channel; or of one window whose top left
    corner is at origin on the screen, in the screen's coordinates."""

    def __init__(self, window="root", origin=(0, 0), timeout=30):
        self.left, self.top = origin
        data = subprocess.run(["import", "-window", str(window), "-depth", "8", "ppm:-"],
                              capture_output=True, timeout=timeout, check=True).stdout
        fields = []
        at = 0
        while len(fields) < 4:  # magic, width, height, maximum value
            while data[at:at + 1].isspace():
                at += 1
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[at:end])
            at = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise Failure(f"unexpected screenshot format {fields}")
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[at + 1:]

    def pixel(self, x, y):
        at = 3 * ((y - self.top) * self.width + x - self.left)
        return tuple(self.pixels[at:at + 3])

    def find(self, left, top, width, height, match):
        """Pixels (x, y) of the rectangle whose colour satisfies match((r, g, b))."""
        return [(x, y) for y in range(max(top, self.top), min(top + height, self.top + self.height))
                for x in range(max(left, self.left), min(left + width, self.left + self.width))
                if match(self.pixel(x, y))]

    def area(self, left, top, width, height):
        """The rectangle's pixels as bytes, row after row, for comparing two pictures of it."""
        first = max(left, self.left) - self.left
        end = min(left + width - self.left, self.width)
        return b"".join(self.pixels[3 * (y * self.width + first):3 * (y * self.width + end)]
                        for y in range(max(top - self.top, 0), min(top + height - self.top,
                                                                   self.height)))


def is_mascot_blue(colour):
    red, green, blue = colour
    return blue >= 160 and red <= 80 and green <= 80


def save_screenshot(folder, name):
    path = os.path.join(folder, f"{name}.png")
    subprocess.run(["import", "-window", "root", path], capture_output=True, timeout=30)
    return path


# --- X windows ---------------------------------------------------------------------------------

def visible_windows(*query):
    """Ids of the visible X windows that `xdotool search` finds for the query."""
    result = subprocess.run(["xdotool", "search", "--onlyvisible", *query],
                            capture_output=True, text=True, timeout=10)
    return [int(line) for line in result.stdout.split()]


def geometry(window):
    """(x, y, width, height) of an X window, or None once it is gone."""
    result = subprocess.run(["xdotool", "getwindowgeometry", "--shell", str(window)],
                            capture_output=True, text=True, timeout=10)
    if result.returncode != 0:
        return None
    values = dict(line.split("=", 1) for line in result.stdout.split() if "=" in line)
    return tuple(int(values[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))


def program_windows(exe_name):
    """Visible X windows of the program (X sees the exe's name as WM_CLASS), with geometry."""
    pattern = "^" + re.escape(exe_name) + "$"
    found = []
    for window in visible_windows("--class", pattern):
        box = geometry(window)
        if box is not None:
            found.append((window, box))
    return found


def mascot_window(exe_name="mascot.exe"):
    """(id, geometry) of the 41 x 41 mascot window, or None."""
    for window, box in program_windows(exe_name):
        if box[2:] == (MASCOT_SIZE, MASCOT_SIZE):
            return window, box
    return None


def menu_windows(exe_name="mascot.exe"):
    """Geometries of the program's open popup menus (its other visible windows)."""
    return [box for _, box in program_windows(exe_name) if box[2:] != (MASCOT_SIZE, MASCOT_SIZE)]


def tray_window():
    """Geometry of Wine's own "Wine System Tray" window, or None when it is not shown."""
    for window in visible_windows("--name", "^Wine System Tray$"):
        box = geometry(window)
        if box is not None:
            return box
    return None


def is_shaped(window):
    """True when the X window has a bounding shape smaller than its rectangle."""
    text = run(["xwininfo", "-shape", "-id", str(window)])
    match = re.search(r"Window shape extents:\s+(\d+)x(\d+)", text)
    size = re.search(r"Width:\s+(\d+).*?Height:\s+(\d+)", text, re.S)
    if match is None or size is None:
        return False
    return (int(match.group(1)), int(match.group(2))) != (int(size.group(1)), int(size.group(2)))


# --- input -------------------------------------------------------------------------------------

def move_pointer(x, y):
    run(["xdotool", "mousemove", str(x), str(y)])


def click(x, y, button):
    """A click on a window that stays put; the short pause lets the move arrive first."""
    run(["xdotool", "mousemove", str(x), str(y)])
    time.sleep(0.05)
    run(["xdotool", "click", str(button)])


def click_moving(x, y, button):
    """A click on a moving window: the move and the press in one call, with no delay between."""
    run(["xdotool", "mousemove", str(x), str(y), "click", str(button)])


def drag(x, y, dx, dy, button=1):
    run(["xdotool", "mousemove", str(x), str(y), "mousedown", str(button)])
    for step in range(1, 6):
        run(["xdotool", "mousemove", str(x + dx * step // 5), str(y + dy * step // 5)])
        time.sleep(0.03)
    run(["xdotool", "mouseup", str(button)])


def keys(*names):
    run(["xdotool", "key", "--delay", "60", *names])


def mouse_position():
    values = dict(item.split(":", 1) for item in run(["xdotool", "getmouselocation"]).split())
    return int(values["x"]), int(values["y"])


# --- Win32 through mascot-probe -----------------------------------------------------------------

class Probe:
    """mascot-probe.exe, run under the same Wine as the mascot."""

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
        process = subprocess.Popen(["wine", self.exe, "cover", str(x), str(y), str(width),
                                    str(height), str(seconds)], stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL, text=True)
        return process


def is_cover_magenta(colour):
    red, green, blue = colour
    return red >= 200 and blue >= 200 and green <= 60


# --- the program -------------------------------------------------------------------------------

def start_program(exe, cwd=None):
    return subprocess.Popen(["wine", exe], cwd=cwd, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)


def stop_program(process):
    """Last resort after a failure: ends the program's process tree."""
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        process.kill()


def parse_arguments(doc, *names):
    """The command line: each name a required option --name; the first line of doc is the help."""
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    for name in names:
        parser.add_argument(f"--{name}", required=True)
    return parser.parse_args()


def require(condition, message):
    if not condition:
        raise Failure(message)


def require_exit(process, what, timeout=15):
    """Waits for the program to end after `what`; its exit code must be 0."""
    try:
        code = process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        raise Failure(f"still running {timeout} s after {what}")
    require(code == 0, f"exit code {code} after {what}")


def tray_icon_gone():
    """True once Wine's tray window is gone or shows no blue icon any more."""
    box = tray_window()
    return box is None or not Screen().find(*box, is_mascot_blue)


def run_checks(artifacts, checks, cleanup, keep_going=False):
    """Runs (name, action) checks in order, one line each; stops at the first failure with a
    screenshot in artifacts and exit status 1, or with keep_going runs the rest too (a check may
    then fail for an earlier one's sake) and exits 1 at the end. cleanup() runs in any case."""
    os.makedirs(artifacts, exist_ok=True)
    started = time.monotonic()
    failed = 0
    try:
        for number, (name, action) in enumerate(checks, start=1):
            begun = time.monotonic()
            try:
                action()
            except (Exception if keep_going else Failure) as failure:
                shot = save_screenshot(artifacts, f"failed-{number:02d}")
                print(f"not ok {number} - {name}: {failure} (screenshot {shot})", flush=True)
                failed += 1
                if not keep_going:
                    sys.exit(1)
                continue
            print(f"ok {number} - {name} ({time.monotonic() - begun:.1f} s)", flush=True)
        print(f"# {len(checks) - failed} of {len(checks)} checks passed in "
              f"{time.monotonic() - started:.1f} s")
        if failed:
            sys.exit(1)
    finally:
        cleanup()
