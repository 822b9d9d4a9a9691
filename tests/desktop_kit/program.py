"""What the tests know of the program: its window's size, start and screen box, and, read from
the project's own sources, its z-order states and duck time, its command ids, its popup menu and
its picture; and `mascot --command`, the native program's sender of a command."""

import importlib.util
import os
import subprocess
import time

from desktop_kit.checks import Failure, require
from desktop_kit.headers import ROOT, constants
from desktop_kit.menu_model import Resources, keys_to

LICENSE = os.path.join(ROOT, "LICENSE")
MASCOT_SIZE = 41          # window size in pixels
HALF = MASCOT_SIZE // 2
START_X, START_Y = 300, 100
BOX_LEFT, BOX_TOP, BOX_RIGHT, BOX_BOTTOM = 20, 20, 1000, 680
RESOURCE_SCRIPT = "resources/mascot.rc"  # the menu and, through its headers, the command ids
SENDER_TIMEOUT_S = 15
# The exit statuses of `mascot --command` that its help lists.
RECEIVED, NO_MASCOT, BAD_USAGE = 0, 1, 2

TICK = constants("tick/tick.h")
Z_FRONT, Z_DUCKED, Z_BEHIND = TICK["ZOrderFront"], TICK["ZOrderDucked"], TICK["ZOrderBehind"]
DUCK_S = TICK["kDuckSeconds"]  # how long a click or a drag keeps it at the bottom
RESOURCES = Resources(RESOURCE_SCRIPT)
COMMANDS = RESOURCES.commands  # id by name: IDM_STOP, IDM_EXIT, ...
MENU = RESOURCES.menu
CRUISE = COMMANDS["IDM_FIRST_BEHAVIOUR"] + 10  # a fixed behaviour that no menu item carries


def menu_keys(name):
    """The keys that choose the item carrying command `name` from a freshly opened menu."""
    return keys_to(MENU, COMMANDS[name])


def start_command(exe, command, env=None):
    """`mascot --command ID` started; finish_command() waits for it and checks its end."""
    return subprocess.Popen([str(exe), "--command", str(command)], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True, env=env)


def finish_command(sender, due=RECEIVED):
    """Waits for a started sender; it must end with status `due` and one line, on standard
    output saying "received" for RECEIVED, else on standard error. Returns that line."""
    out, err = sender.communicate(timeout=SENDER_TIMEOUT_S)
    said = (out if due == RECEIVED else err).strip().splitlines()
    if sender.returncode != due or len(said) != 1 or due == RECEIVED and "received" not in out:
        raise Failure(f"{' '.join(sender.args)} ended with {sender.returncode}, said "
                      f"{out.strip()!r} {err.strip()!r}; {due} and one line were due")
    return said[0]


def send_command(exe, command, due=RECEIVED, env=None):
    """`mascot --command ID`, ended with status `due` and one line (see finish_command)."""
    return finish_command(start_command(exe, command, env), due)


def positions_in_box(position, seconds, every_s=0.05):
    """The window's positions over `seconds` of motion, each required to lie in the screen box;
    position() gives the window's (x, y)."""
    seen = set()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        x, y = position()
        require(BOX_LEFT <= x <= BOX_RIGHT and BOX_TOP <= y <= BOX_BOTTOM,
                f"window at ({x}, {y}) outside x {BOX_LEFT}..{BOX_RIGHT}, "
                f"y {BOX_TOP}..{BOX_BOTTOM}")
        seen.add((x, y))
        time.sleep(every_s)
    return seen


def _make_images():
    found = importlib.util.spec_from_file_location(
        "make_images", os.path.join(ROOT, "resources", "make_images.py"))
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


def expected_image():
    """Rows of the window as it must look: an RGB colour inside the shape, None outside."""
    images = _make_images()
    colours = {images.BLACK: (0, 0, 0), images.BLUE: (0, 0, 255)}
    rows = [[None if index == images.WHITE else colours[index] for index in row] + [None]
            for row in images.mascot_pixels()]
    return rows + [[None] * MASCOT_SIZE]
