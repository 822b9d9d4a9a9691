"""x11-probe, the X11 tests' own X client: it reads the stacking order, the shape, the focus and
selection owners, and holds windows of its own (a cover, a desktop-type window, an
override-redirect overlay) for the mascot to go above or below."""

import subprocess

from desktop_kit.checks import run
from desktop_kit.processes import start, stop

DESKTOP_GREEN = (0, 160, 0)      # the colour of its desktop-type window
OVERLAY_YELLOW = (255, 255, 0)   # the colour of its override-redirect window


class Probe:
    def __init__(self, exe):
        self.exe = exe
        self.held = []

    def order(self, *windows):
        """Stacking positions of the windows' top-levels, lowest 0; -1 when not found."""
        return [int(word) for word in run([self.exe, "order", *windows]).split()]

    def places(self, windows):
        """Each window's (position, count) among the root's viewable children."""
        words = run([self.exe, "place", *windows]).split()
        return [(int(words[i]), int(words[i + 1])) for i in range(0, len(words), 2)]

    def shape(self, window):
        return run([self.exe, "shape", window]).split()

    def top(self, window):
        """(id, (x, y, width, height), override-redirect) of the window's top-level."""
        words = [int(word) for word in run([self.exe, "top", window]).split()]
        return words[0], tuple(words[1:5]), words[5] == 1

    def owner(self, selection):
        return int(run([self.exe, "owner", selection]).strip())

    def focus(self):
        return int(run([self.exe, "focus"]).strip())

    def hold(self, *args):
        """Starts a window of the probe's (cover, desktop, overlay); returns (process, window id)
        once it is shown."""
        process = start([self.exe, *args], stdout=subprocess.PIPE, text=True)
        window = int(process.stdout.readline())
        self.held.append(process)
        return process, window

    def drop(self, process):
        stop(process)
        self.held.remove(process)

    def drop_all(self):
        for process in list(self.held):
            self.drop(process)
