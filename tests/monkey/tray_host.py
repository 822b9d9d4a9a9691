"""The display's tray host: trayer, an XEmbed system tray in a bar at the bottom right of the
screen, below the mascot's screen box. The monkey starts it, kills it and starts it again.
"""

import subprocess

from desktop import Screen, geometry, is_mascot_blue, visible_windows

TRAYER = ["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request",
          "--height", "24", "--SetDockType", "false", "--transparent", "false"]
MIN_ICON_PIXELS = 40     # blue pixels that make the 16 x 16 disc icon, not a stray pixel


class TrayHost:
    def __init__(self):
        self.process = None

    def start(self):
        self.process = subprocess.Popen(TRAYER, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)

    def stop(self):
        if self.process is None or self.process.poll() is not None:
            return
        self.process.terminate()
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait(timeout=5)

    def bar(self):
        """Geometry of the tray's visible bar, or None while it is not shown."""
        if self.process is None or self.process.poll() is not None:
            return None
        for window in visible_windows("--pid", str(self.process.pid)):
            box = geometry(window)
            if box is not None and box[2] > 0 and box[3] > 1:
                return box
        return None

    def bar_width(self):
        box = self.bar()
        return 0 if box is None else box[2]

    def icon(self):
        """Centre of the blue mascot icon docked in the bar, or None."""
        box = self.bar()
        if box is None:
            return None
        blue = Screen().find(*box, is_mascot_blue)
        if len(blue) < MIN_ICON_PIXELS:
            return None
        return (sum(p[0] for p in blue) // len(blue), sum(p[1] for p in blue) // len(blue))
