"""X windows and input through xdotool: visible windows by process, class or name, their
geometry and shape, the pointer and keys as a person uses them."""

import re
import subprocess

from desktop_kit.checks import run

KEY_DELAY_MS = 60
DRAG_STEPS = 5


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


def windows_with(*query):
    """(id, geometry) of the visible windows that the query finds and that are still there."""
    found = []
    for window in visible_windows(*query):
        box = geometry(window)
        if box is not None:
            found.append((window, box))
    return found


def windows_of(pid):
    """Visible X windows whose _NET_WM_PID is pid, with their geometry."""
    return windows_with("--pid", str(pid))


def is_shaped(window):
    """True when the X window has a bounding shape smaller than its rectangle."""
    text = run(["xwininfo", "-shape", "-id", str(window)])
    match = re.search(r"Window shape extents:\s+(\d+)x(\d+)", text)
    size = re.search(r"Width:\s+(\d+).*?Height:\s+(\d+)", text, re.S)
    if match is None or size is None:
        return False
    return (int(match.group(1)), int(match.group(2))) != (int(size.group(1)), int(size.group(2)))


def display_size():
    return tuple(int(value) for value in run(["xdotool", "getdisplaygeometry"]).split())


def move_pointer(x, y):
    """Moves the pointer and waits until it is there (xdotool's wait would last 15 s for a
    pointer that is there already)."""
    if mouse_position() != (x, y):
        run(["xdotool", "mousemove", "--sync", x, y])


def click(x, y, button):
    """A click on a window that stays put, pressed once the pointer has arrived."""
    move_pointer(x, y)
    run(["xdotool", "click", button])


def click_moving(x, y, button):
    """A click on a moving window: the move and the press in one call, with no wait between."""
    run(["xdotool", "mousemove", x, y, "click", button])


def drag(x, y, dx, dy, button=1):
    """Press at (x, y), move by (dx, dy) in steps, each arrived before the next, release."""
    move_pointer(x, y)
    run(["xdotool", "mousedown", button])
    for step in range(1, DRAG_STEPS + 1):
        move_pointer(x + dx * step // DRAG_STEPS, y + dy * step // DRAG_STEPS)
    run(["xdotool", "mouseup", button])


def keys(*names):
    run(["xdotool", "key", "--delay", KEY_DELAY_MS, *names])


def mouse_position():
    values = dict(item.split(":", 1) for item in run(["xdotool", "getmouselocation"]).split())
    return int(values["x"]), int(values["y"])
