"""Screenshots and pixels: the root window or one window's own pixels, or what a compositor hands
over, 8 bits per channel, and the colours the tests look for."""

import subprocess

from desktop_kit.checks import run
from desktop_kit.xdo import geometry

ROOT_GREY = (128, 128, 128)


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
            raise ValueError(f"unexpected screenshot format {fields}")
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[at + 1:]

    @classmethod
    def of_rgb(cls, rgb, width, height, origin):
        """Pixels taken by other means (a compositor's screenshot): rows of RGB bytes."""
        screen = cls.__new__(cls)
        screen.left, screen.top = origin
        screen.width, screen.height, screen.pixels = width, height, rgb
        return screen

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


    def save(self, path):
        with open(path, "wb") as file:
            file.write(b"P6 %d %d 255\n" % (self.width, self.height) + self.pixels)


def root_screenshot(box=None):
    """The root window's pixels, all of them (box, the part the caller reads, is not needed)."""
    return Screen()


def window_pixels(window, box):
    """The window's own pixels, for a root window that holds none; None once it is not shown.
    Given a window that is gone, import waits for one to be picked: the timeout ends that."""
    if geometry(window) is None:
        return None
    try:
        return Screen(window, box[:2], timeout=3)
    except (subprocess.CalledProcessError, subprocess.TimeoutExpired):
        return None


def centre(points):
    """The mean point of a non-empty list of (x, y)."""
    return sum(p[0] for p in points) // len(points), sum(p[1] for p in points) // len(points)


def is_mascot_blue(colour):
    red, green, blue = colour
    return blue >= 160 and red <= 80 and green <= 80


def is_cover_magenta(colour):
    red, green, blue = colour
    return red >= 200 and blue >= 200 and green <= 60


def set_root_grey():
    run(["xsetroot", "-solid", "#%02x%02x%02x" % ROOT_GREY])
